#include "gui/MainWindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QVBoxLayout>
#include <ctime>

#include "foundation/CalendarTime.h"
#include "foundation/Catalogue.h"
#include "gui/AboutDialog.h"
#include "gui/BackupDialog.h"
#include "gui/CallBarringWindow.h"
#include "gui/CallForwardingWindow.h"
#include "gui/CommandModeDialog.h"
#include "gui/FileDialogs.h"
#include "gui/Latin1Text.h"
#include "gui/MessageListWindow.h"
#include "gui/NetworkMonitorWindow.h"
#include "gui/NetworkSelectionWindow.h"
#include "gui/OrganizerWindow.h"
#include "gui/PhoneWorker.h"
#include "gui/PhonebookWindow.h"
#include "gui/RestoreDialog.h"
#include "gui/SettingsDialog.h"
#include "gui/Shell.h"
#include "gui/StatusLine.h"
#include "gui/StatusPixmaps.h"
#include "network/Texts.h"
#include "ui_MainWindow.h"

namespace vondrix::gui {
MainWindow::MainWindow(Session& session, Reporter& reporter, QWidget* parent)
    : QDialog(parent),
      session_(session),
      reporter_(reporter),
      window_(session, reporter),
      transfers_(session, reporter, window_.state().audio),
      ui_(std::make_unique<Ui::MainWindow>()) {
    ui_->setupUi(this);
    setWindowIcon(QIcon(programPixmap(32)));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    buildMenu();
    statusLine_ = addStatusLine(this);

    chooseSaveFile = [this](const QString& preset) {
        return QFileDialog::getSaveFileName(this, QString(), preset, tr("CSV file (*.csv)"));
    };
    runDialog = [](QDialog& d) { d.exec(); };
    chooseFile = [this](const FileQuestion& q) {
        const QString filter = q.filters.join(QStringLiteral(";;"));
        return q.save ? askSaveFile(this, QString(), filter, q.defaultSuffix, q.preset,
                                    OverwriteQuestion::Ask)
                      : askOpenFile(this, QString(), filter, q.defaultSuffix, q.preset);
    };

    ui_->phonebookButton->setToolTip(catalogue(1));
    ui_->sendLogoButton->setToolTip(catalogue(msg::TipSendLogo));
    ui_->organizerButton->setToolTip(catalogue(msg::TipOrganizer));
    ui_->messagesButton->setToolTip(catalogue(msg::TipShowMessages));
    ui_->deleteLogoButton->setToolTip(catalogue(13));
    ui_->sendRingtoneButton->setToolTip(catalogue(msg::TipSendMidi));
    ui_->clockButton->setToolTip(catalogue(10));
    ui_->switchOffButton->setToolTip(catalogue(4));
    ui_->networksButton->setToolTip(catalogue(msg::TipNetworkInfo));
    ui_->forwardingButton->setToolTip(catalogue(msg::TitleForwarding));
    ui_->barringButton->setToolTip(catalogue(msg::TitleBarring));
    ui_->batteryButton->setIconSize(QSize(21, 9));
    ui_->signalButton->setIconSize(QSize(27, 9));

    if (session.settings.noModem) {
        // Functions the older phones lack.
        ui_->organizerButton->setEnabled(false);
        ui_->deleteLogoButton->setEnabled(false);
        ui_->sendLogoButton->setEnabled(false);
        ui_->sendRingtoneButton->setEnabled(false);
        downloadLogoAction_->setEnabled(false);
        downloadRingtoneAction_->setEnabled(false);
        ui_->clockButton->setEnabled(false);
        ui_->testButton->setEnabled(false);
    }

    connect(ui_->refreshButton, &QPushButton::clicked, this,
            [this] { busy([this] { refreshNetwork(); }); });
    connect(ui_->batteryButton, &QToolButton::clicked, this,
            [this] { busy([this] { refreshNetwork(); }); });
    connect(ui_->signalButton, &QToolButton::clicked, this,
            [this] { busy([this] { refreshNetwork(); }); });
    connect(ui_->phonebookButton, &QPushButton::clicked, this, &MainWindow::showPhonebook);
    connect(ui_->organizerButton, &QPushButton::clicked, this, &MainWindow::showOrganizer);
    connect(ui_->monitorButton, &QPushButton::clicked, this, &MainWindow::showNetworkMonitor);
    connect(ui_->networksButton, &QPushButton::clicked, this, &MainWindow::showNetworkSelection);
    connect(ui_->forwardingButton, &QPushButton::clicked, this, &MainWindow::showCallForwarding);
    connect(ui_->barringButton, &QPushButton::clicked, this, &MainWindow::showCallBarring);
    connect(ui_->messagesButton, &QPushButton::clicked, this, &MainWindow::showMessages);
    connect(ui_->clockButton, &QPushButton::clicked, this, &MainWindow::setClock);
    connect(ui_->switchOffButton, &QPushButton::clicked, this, &MainWindow::switchOff);
    connect(ui_->deleteLogoButton, &QPushButton::clicked, this, &MainWindow::deleteLogo);
    connect(ui_->sendLogoButton, &QPushButton::clicked, this, &MainWindow::sendLogo);
    connect(ui_->sendRingtoneButton, &QPushButton::clicked, this, &MainWindow::sendRingtone);
    connect(ui_->testButton, &QPushButton::clicked, this, &MainWindow::toggleRingToneTest);
    connect(ui_->ringOffCheck, &QCheckBox::clicked, this, &MainWindow::ringToneOffClicked);
    connect(ui_->handsFreeCheck, &QCheckBox::clicked, this, &MainWindow::handsFreeClicked);
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &MainWindow::showHelp);

    onPhone([this] { window_.open(); });
    const DeviceInfo& d = window_.state().device;
    ui_->manufacturerLabel->setText(fromPc(d.manufacturer));
    ui_->modelLabel->setText(fromPc(d.model));
    ui_->revisionLabel->setText(fromPc(d.revision));
    ui_->imeiLabel->setText(fromPc(d.imei));
    ui_->imsiLabel->setText(fromPc(d.imsi));
    ui_->simSerialLabel->setText(fromPc(d.simSerial));
    applyNetwork();
    applyAudio();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenu() {
    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName(QStringLiteral("menuBar"));
    QMenu* file = menuBar_->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("fileMenu"));
    QAction* options = file->addAction(tr("&Options..."), this, &MainWindow::showOptions);
    options->setObjectName(QStringLiteral("optionsAction"));
    downloadLogoAction_ = file->addAction(tr("Download &logo..."), this, &MainWindow::downloadLogo);
    downloadLogoAction_->setObjectName(QStringLiteral("downloadLogoAction"));
    downloadRingtoneAction_ =
        file->addAction(tr("Download ring &tone..."), this, &MainWindow::downloadRingtone);
    downloadRingtoneAction_->setObjectName(QStringLiteral("downloadRingtoneAction"));
    QAction* save = file->addAction(tr("&Save device information..."), this,
                                    &MainWindow::saveDeviceInformation);
    save->setObjectName(QStringLiteral("saveInfoAction"));
    QAction* commandMode =
        file->addAction(tr("&Command mode..."), this, &MainWindow::showCommandMode);
    commandMode->setObjectName(QStringLiteral("commandModeAction"));
    file->addSeparator();
    QAction* backup = file->addAction(tr("&Backup..."), this, &MainWindow::showBackup);
    backup->setObjectName(QStringLiteral("backupAction"));
    QAction* restore = file->addAction(tr("&Restore..."), this, &MainWindow::showRestore);
    restore->setObjectName(QStringLiteral("restoreAction"));
    file->addSeparator();
    QAction* exit = file->addAction(tr("E&xit"), this, &MainWindow::exitProgram);
    exit->setObjectName(QStringLiteral("exitAction"));
    QMenu* helpMenu = menuBar_->addMenu(tr("&Help"));
    helpMenu->setObjectName(QStringLiteral("helpMenu"));
    QAction* contents = helpMenu->addAction(tr("&Contents"), this, &MainWindow::showHelp);
    contents->setShortcut(QKeySequence::HelpContents);
    contents->setShortcutContext(Qt::WidgetShortcut);  // F1 itself is the window's shortcut
    QAction* about = helpMenu->addAction(tr("&About Vondrix..."), this, &MainWindow::showAbout);
    about->setObjectName(QStringLiteral("aboutAction"));
    layout()->setMenuBar(menuBar_);
}

QString MainWindow::catalogue(int id) const {
    const auto t = catalogueText(id, session_.language);
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

void MainWindow::busy(const std::function<void()>& work) {
    setEnabled(false);
    work();
    setEnabled(true);
    activateWindow();
}

void MainWindow::applyNetwork() {
    const NetworkStatus& n = window_.state().network;
    if (n.batteryBitmap) {
        ui_->batteryLabel->setText(fromPc(n.batteryText));
        ui_->batteryButton->setIcon(QIcon(statusPixmap(n.batteryBitmap)));
    }
    // Beside the raw replies, what they mean (in a smaller, plain line).
    const auto decoded = [](QLabel* label, const std::string& utf8) {
        label->setText(QString::fromUtf8(utf8.c_str()));
        label->setVisible(!utf8.empty());
    };
    if (n.registration)
        ui_->registrationLabel->setText(fromPc(*n.registration));
    decoded(ui_->registrationDecodedLabel,
            n.registration ? network::registrationSummary(session_.language, *n.registration)
                           : std::string());
    if (n.rssi) {
        ui_->signalLabel->setText(n.signalKnown ? fromPc(n.signalText) : tr("unknown"));
        ui_->signalButton->setIcon(QIcon(statusPixmap(n.signalBitmap)));
    }
    if (n.operatorText)
        ui_->operatorLabel->setText(fromPc(*n.operatorText));
    decoded(ui_->operatorDecodedLabel,
            n.operatorText ? network::operatorModeText(session_.language, *n.operatorText)
                           : std::string());
}

void MainWindow::applyAudio() {
    const AudioState& a = window_.state().audio;
    if (a.rangesRead) {
        ui_->ringToneSpin->setRange(a.toneMin, a.toneMax);
        ui_->ringVolumeSpin->setRange(a.volumeMin, a.volumeMax);
    }
    ui_->ringToneSpin->setValue(a.ringTone);
    ui_->ringVolumeSpin->setValue(a.volume);
    ui_->ringOffCheck->setChecked(a.ringOff);
    ui_->handsFreeCheck->setChecked(a.handsFree);
}

void MainWindow::refreshNetwork() {
    onPhone([this] { window_.refreshNetwork(); });
    applyNetwork();
}

void MainWindow::setClock() {
    const std::tm local = localCalendar(std::time(nullptr));
    onPhone([&] { window_.setClock(local); });
}

void MainWindow::switchOff() {
    onPhone([this] { window_.switchOff(); });
    done(QDialog::Accepted);  // the program ends either way
}

void MainWindow::deleteLogo() {
    onPhone([this] { window_.deleteLogo(); });
}

void MainWindow::reportTransfer(media::TransferResult result, const QString& done) {
    using media::TransferResult;
    switch (result) {
        case TransferResult::Done:
            statusLine_->showMessage(done);
            break;
        // The two failures the transfer itself leaves unsaid.
        case TransferResult::NotConverted:
            reporter_.message(msg::GifNotConverted, Caption::Error);
            break;
        case TransferResult::SourceUnreadable:
            reporter_.message(msg::FileReadBroken, Caption::Error);
            break;
        default:
            statusLine_->clearMessage();
            break;
    }
}

QString MainWindow::askFile(bool save, const QStringList& filters, const QString& suffix) {
    const QString path = chooseFile({save, filters, suffix, lastPath_});
    if (!path.isEmpty())
        lastPath_ = path;
    return path;
}

void MainWindow::sendLogo() {
    const QString path =
        askFile(false, {tr("BMP file (*.bmp)"), tr("GIF file (*.gif)")}, QStringLiteral("bmp"));
    if (path.isEmpty())
        return;
    busy([&] {
        const auto result = onPhone([&] { return transfers_.sendLogo(path.toStdString()); });
        reportTransfer(result, tr("Logo sent to the phone"));
    });
}

void MainWindow::sendRingtone() {
    const QString path = askFile(false, {tr("MID file (*.mid)")}, QStringLiteral("mid"));
    if (path.isEmpty())
        return;
    busy([&] {
        const auto result = onPhone([&] { return transfers_.sendRingtone(path.toStdString()); });
        reportTransfer(result, tr("Ring tone sent to the phone"));
    });
    // The melody may be one more ring tone now.
    const AudioState& a = window_.state().audio;
    if (a.rangesRead)
        ui_->ringToneSpin->setRange(a.toneMin, a.toneMax);
}

void MainWindow::downloadLogo() {
    const QString path = askFile(true, {tr("BMP file (*.bmp)")}, QStringLiteral("bmp"));
    if (path.isEmpty())
        return;
    busy([&] {
        const auto result = onPhone([&] { return transfers_.downloadLogo(path.toStdString()); });
        reportTransfer(result, tr("Logo saved as %1").arg(QDir::toNativeSeparators(path)));
    });
}

void MainWindow::downloadRingtone() {
    const QString path = askFile(true, {tr("Midi file (*.mid)")}, QStringLiteral("mid"));
    if (path.isEmpty())
        return;
    busy([&] {
        const auto result =
            onPhone([&] { return transfers_.downloadRingtone(path.toStdString()); });
        reportTransfer(result, tr("Ring tone saved as %1").arg(QDir::toNativeSeparators(path)));
    });
}

void MainWindow::toggleRingToneTest() {
    const bool running =
        onPhone([&, tone = ui_->ringToneSpin->value(), volume = ui_->ringVolumeSpin->value()] {
            return window_.audio().toggleTest(tone, volume);
        });
    ui_->testButton->setText(running ? tr("Stop") : tr("Test"));
}

void MainWindow::ringToneOffClicked(bool checked) {
    ui_->ringOffCheck->setChecked(onPhone([&] { return window_.audio().setRingToneOff(checked); }));
}

void MainWindow::handsFreeClicked(bool checked) {
    ui_->handsFreeCheck->setChecked(onPhone([&] { return window_.audio().setHandsFree(checked); }));
}

void MainWindow::saveDeviceInformation() {
    const QString preset = lastPath_.isEmpty() ? QString::fromLatin1(kDeviceInfoFile) : lastPath_;
    const QString path = chooseSaveFile(preset);
    if (path.isEmpty())
        return;
    lastPath_ = path;
    busy([&] {
        DeviceInfo shown;
        shown.imei = toPc(ui_->imeiLabel->text());
        shown.revision = toPc(ui_->revisionLabel->text());
        shown.simSerial = toPc(ui_->simSerialLabel->text());
        if (onPhone([&] { return window_.saveDeviceInformation(path.toStdString(), shown); })) {
            statusLine_->showMessage(tr("Saved as %1").arg(QDir::toNativeSeparators(path)));
            openFile(path);
        }
    });
}

void MainWindow::showPhonebook() {
    busy([this] {
        PhonebookWindow window(session_, reporter_);
        runDialog(window);
    });
}

void MainWindow::showOrganizer() {
    busy([this] {
        OrganizerWindow window(session_, reporter_);
        runDialog(window);
    });
}

void MainWindow::showBackup() {
    busy([this] {
        BackupDialog dialog(session_, reporter_, window_.state().device);
        runDialog(dialog);
    });
}

void MainWindow::showRestore() {
    busy([this] {
        RestoreDialog dialog(session_, reporter_);
        runDialog(dialog);
    });
}

void MainWindow::showMessages() {
    busy([this] {
        MessageListWindow window(session_, reporter_);
        runDialog(window);
    });
}

void MainWindow::showNetworkMonitor() {
    busy([this] {
        NetworkMonitorWindow window(window_, reporter_);
        runDialog(window);
    });
    // Its closing read the network information again.
    applyNetwork();
}

void MainWindow::showNetworkSelection() {
    busy([this] {
        NetworkSelectionWindow window(window_, reporter_);
        runDialog(window);
    });
    // A selected network changed operator and registration.
    applyNetwork();
}

void MainWindow::showCallForwarding() {
    busy([this] {
        CallForwardingWindow window(session_, reporter_);
        runDialog(window);
    });
}

void MainWindow::showCallBarring() {
    busy([this] {
        CallBarringWindow window(session_, reporter_);
        runDialog(window);
    });
}

void MainWindow::showCommandMode() {
    busy([this] {
        // Without a usable module the window does not open (message 96 or 97).
        if (auto dialog = CommandModeDialog::open(session_, reporter_))
            runDialog(*dialog);
    });
}

void MainWindow::showOptions() {
    busy([this] {
        SettingsDialog dialog(session_, reporter_);
        runDialog(dialog);
        if (dialog.result() == QDialog::Accepted)
            statusLine_->showMessage(tr("Options saved"));
    });
}

void MainWindow::showAbout() {
    AboutDialog dialog(helpFilePath(QString::fromStdString(session_.helpFile)));
    runDialog(dialog);
}

void MainWindow::showHelp() {
    const QString path = helpFilePath(QString::fromStdString(session_.helpFile));
    if (path.isEmpty() || !openFile(path))
        reporter_.text(tr("Unable to activate help").toStdString(), Caption::Error);
}

void MainWindow::exitProgram() {
    done(QDialog::Accepted);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    onPhone([this] { window_.close(); });
    event->accept();
    done(QDialog::Rejected);
}

void MainWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (centred_)
        return;
    centred_ = true;
    // The middle of the work area, as the original placed it.
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move((area.right() - frameGeometry().width()) / 2,
             (area.bottom() - frameGeometry().height()) / 2);
    }
}

}  // namespace vondrix::gui
