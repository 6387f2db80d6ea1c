#include "gui/GuiApp.h"

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <iostream>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

#include "files/UserFolder.h"
#include "foundation/Catalogue.h"
#include "foundation/ForwardingReporter.h"
#include "gui/AboutDialog.h"
#include "gui/BackupDialog.h"
#include "gui/CallBarringWindow.h"
#include "gui/CallForwardingWindow.h"
#include "gui/CommandModeDialog.h"
#include "gui/EntryDialog.h"
#include "gui/GroupDialog.h"
#include "gui/GuiReporter.h"
#include "gui/MainWindow.h"
#include "gui/MessageListWindow.h"
#include "gui/MessageViewDialog.h"
#include "gui/NetworkMonitorWindow.h"
#include "gui/NetworkSelectionWindow.h"
#include "gui/OrganizerEntryDialog.h"
#include "gui/OrganizerWindow.h"
#include "gui/PhoneWorker.h"
#include "gui/PhonebookWindow.h"
#include "gui/Pin2Dialog.h"
#include "gui/PredefinedDialog.h"
#include "gui/ProgressWindow.h"
#include "gui/ReplyDialog.h"
#include "gui/RestoreDialog.h"
#include "gui/SendDialog.h"
#include "gui/SettingsDialog.h"
#include "gui/Shell.h"
#include "gui/UiTranslator.h"
#include "phonebook/LocalFile.h"
#include "phonesim/Startup.h"
#include "session/PhonebookWindowSession.h"
#include "session/Startup.h"
#include "sms/Module.h"
#include "text/Decimal.h"

namespace vondrix::gui {
namespace {

bool saveShot(QWidget& w, const QDir& dir, const QString& name) {
    w.adjustSize();
    w.show();
    QCoreApplication::processEvents();
    const bool ok = w.grab().save(dir.filePath(name + ".png"));
    if (!ok)
        std::cerr << "vondrix: cannot write " << dir.filePath(name + ".png").toStdString() << '\n';
    w.hide();
    return ok;
}

// The network windows: the monitor after a few polls with a call in
// progress and the level moving, forwarding for "If no answer", barring of
// all outgoing calls.
bool networkShots(MainWindow& main, Session& session, Reporter& reporter, const QDir& dir,
                  phonesim::Simulator* sim) {
    const auto simulated = [sim](const std::function<void(phonesim::PhoneState&)>& change) {
        if (sim)
            sim->withState(change);
    };
    simulated([](phonesim::PhoneState& s) {
        s.net.calls = {phonesim::Call{1, 1, 0, 0, false, "+4930123456", 145}};
    });
    // The picture writes no cell log.
    const bool monProt = session.settings.monProt;
    session.settings.monProt = false;
    bool ok = true;
    {
        NetworkMonitorWindow monitor(main.windowSession(), reporter);
        for (const int rssi : {15, 19, 22, 20, 14, 12, 16, 18, 21, 17}) {
            simulated([rssi](phonesim::PhoneState& s) { s.rssi = rssi; });
            monitor.pollNow();
        }
        ok = saveShot(monitor, dir, QStringLiteral("network-monitor"));
    }
    session.settings.monProt = monProt;
    simulated([](phonesim::PhoneState& s) { s.net.calls.clear(); });
    NetworkSelectionWindow networks(main.windowSession(), reporter);
    ok = saveShot(networks, dir, QStringLiteral("network-selection")) && ok;
    CallForwardingWindow forwarding(session, reporter);
    if (auto* reason = forwarding.findChild<QComboBox*>(QStringLiteral("reasonCombo")))
        reason->setCurrentIndex(static_cast<int>(network::ForwardReason::NoAnswer));
    ok = saveShot(forwarding, dir, QStringLiteral("call-forwarding")) && ok;
    CallBarringWindow barring(session, reporter);
    if (auto* facility = barring.findChild<QComboBox*>(QStringLiteral("facilityCombo")))
        facility->setCurrentIndex(static_cast<int>(network::kFirstBarring));
    ok = saveShot(barring, dir, QStringLiteral("call-barring")) && ok;
    return ok;
}

// The message windows, filled from the simulated phone's memory.
bool messageScreenshots(Session& session, Reporter& reporter, const QDir& dir) {
    // The names come from the phonebook just read, saved aside as the local
    // file the message list loads (the working directory stays untouched).
    QTemporaryDir aside;
    const std::string localFile = aside.filePath(QStringLiteral("Vondrix.phb")).toStdString();
    phonebook::saveToLocalFile(session.phonebook.current, localFile, reporter);
    // A few predefined texts to show, in memory only.
    auto& texts = session.settings.ptxt;
    if (std::all_of(texts.begin(), texts.end(), [](const std::string& t) { return t.empty(); })) {
        texts[0] = "Please call me back.";
        texts[1] = "I am in a meeting.";
        texts[2] = "at the station";
    }
    MessageListWindow list(session, reporter, nullptr, localFile);
    bool ok = saveShot(list, dir, QStringLiteral("sms-list"));
    const auto& rows = list.session().rows();
    // The view of one part of a message in several parts, else of the last row.
    std::size_t shown = rows.empty() ? 0 : rows.size() - 1;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].concatenation && rows[i].concatenation->part == 2)
            shown = i;
    if (const auto view = list.session().view(shown)) {
        MessageViewDialog dialog(*view, session.language);
        ok = saveShot(dialog, dir, QStringLiteral("sms-view")) && ok;
    }
    const auto typeInto = [](QDialog& d, const QString& text) {
        if (auto* edit = d.findChild<QPlainTextEdit*>(QStringLiteral("textEdit")))
            edit->setPlainText(text);
    };
    {
        SendDialogSession send(session, reporter);
        if (const auto& book = session.phonebook.current.rows; !book.empty())
            send.openForEntry(RecipientSource::Phonebook, book.front().location);
        SendDialog dialog(send);
        typeInto(dialog, QStringLiteral("See you at eight at the station."));
        ok = saveShot(dialog, dir, QStringLiteral("sms-send")) && ok;
    }
    // Reply to and forward a message of one part: the newest.
    const std::optional<std::size_t> newest =
        rows.empty() ? std::nullopt : std::optional<std::size_t>(rows.size() - 1);
    for (const bool forward : {false, true}) {
        SendDialogSession message(session, reporter);
        if (forward)
            message.openForward(newest.value_or(0));
        else
            message.openReply(newest);
        ReplyDialog dialog(message);
        if (!forward)
            typeInto(dialog, QStringLiteral("Thanks, I will call you tonight."));
        ok = saveShot(dialog, dir,
                      forward ? QStringLiteral("sms-forward") : QStringLiteral("sms-reply")) &&
             ok;
    }
    PredefinedDialog predefined(session, reporter);
    ok = saveShot(predefined, dir, QStringLiteral("sms-predefined")) && ok;
    GroupDialog groups(session, reporter);
    if (auto* source = groups.findChild<QTreeWidget*>(QStringLiteral("sourceList"))) {
        for (int i = 0; i < std::min(2, source->topLevelItemCount()); ++i)
            source->topLevelItem(i)->setSelected(true);
        groups.addSelected();
    }
    ok = saveShot(groups, dir, QStringLiteral("sms-groups")) && ok;
    // The command mode needs its module; a missing one would stop here with
    // a message box.
    const auto directories = sms::CommunicationModule::defaultDirectories();
    if (std::any_of(directories.begin(), directories.end(), [](const std::string& d) {
            return !d.empty() &&
                   QFileInfo::exists(QDir(QString::fromStdString(d))
                                         .filePath(QString::fromLatin1(sms::kModuleFileName)));
        })) {
        CommandModeSession::Options options;
        options.localFile = localFile;
        if (auto mode = CommandModeDialog::open(session, reporter, options)) {
            mode->start();
            mode->tick();  // the module's status text
            ok = saveShot(*mode, dir, QStringLiteral("command-mode")) && ok;
        }
    } else {
        std::cerr << "vondrix: no " << sms::kModuleFileName << ": no picture of the command mode\n";
    }
    return ok;
}

// The backup dialog after a backup of the phone into a scratch folder, and
// the restore dialog comparing it with the phone after a few changes.
bool backupShots(MainWindow& main, Session& session, Reporter& reporter, const QDir& dir,
                 phonesim::Simulator* sim) {
    QTemporaryDir scratch;
    const QString folder = QDir(scratch.path()).filePath(QStringLiteral("backup"));
    BackupDialog backup(session, reporter, main.state().device);
    backup.setFolder(folder);
    backup.start();
    bool ok = saveShot(backup, dir, QStringLiteral("backup"));
    if (sim) {
        sim->withState([](phonesim::PhoneState& s) {
            if (!s.sim.entries.empty())
                s.sim.entries.erase(s.sim.entries.begin());
            if (!s.organizer.objects.empty())
                s.organizer.objects.erase(s.organizer.objects.begin());
        });
    }
    RestoreDialog restore(session, reporter);
    restore.setFolder(folder);
    restore.compare();
    ok = saveShot(restore, dir, QStringLiteral("restore")) && ok;
    return ok;
}

QString tr(const char* text) {
    return QCoreApplication::translate("vondrix::gui::GuiApp", text);
}

// Start-up's reporter: "No device found" after the reset waits, so that
// the question that offers the options can say it in one box.
class StartReporter : public ForwardingReporter {
  public:
    // `beforeBox` runs before every box is shown.
    StartReporter(Reporter& inner, std::function<void()> beforeBox)
        : ForwardingReporter(inner), beforeBox_(std::move(beforeBox)) {}
    Answer message(msg::Id id, Caption caption, Buttons buttons) override {
        if (id == msg::NoDeviceFound && buttons == Buttons::Ok) {
            held = true;
            return Answer::Ok;
        }
        beforeBox_();
        return ForwardingReporter::message(id, caption, buttons);
    }
    void text(const std::string& utf8Text, Caption caption) override {
        beforeBox_();
        ForwardingReporter::text(utf8Text, caption);
    }
    // Shows what was held back when no question follows.
    void release() {
        if (held)
            ForwardingReporter::message(msg::NoDeviceFound, Caption::Error, Buttons::Ok);
        held = false;
    }
    bool held = false;

  private:
    std::function<void()> beforeBox_;
};

// After "No device found" at start-up: true to change the options and try
// again, false to quit.
bool askRetryWithNewSettings(Language language) {
    const auto said = catalogueText(msg::NoDeviceFound, language);
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(captionText(Caption::Error)),
                    QString::fromUtf8(said.data(), static_cast<qsizetype>(said.size())));
    box.setObjectName(QStringLiteral("retryQuestion"));
    box.setInformativeText(tr("Check the port in the options and try again, or quit."));
    QPushButton* retry = box.addButton(tr("&Retry with new settings"), QMessageBox::AcceptRole);
    QPushButton* quit = box.addButton(tr("&Quit"), QMessageBox::RejectRole);
    box.setDefaultButton(retry);
    box.setEscapeButton(quit);
    box.exec();
    return box.clickedButton() == retry;
}

// Renders each window that exists to DIR/NAME.png.
int screenshots(MainWindow& main, Session& session, Reporter& reporter, const QString& dirPath,
                phonesim::Simulator* sim) {
    QDir dir(dirPath);
    if (!dir.mkpath(QStringLiteral("."))) {
        std::cerr << "vondrix: cannot create " << dirPath.toStdString() << '\n';
        return 1;
    }
    bool ok = saveShot(main, dir, QStringLiteral("main-window"));
    SettingsDialog settings(session, reporter);
    ok = saveShot(settings, dir, QStringLiteral("settings")) && ok;
    AboutDialog about(helpFilePath(QString::fromStdString(session.helpFile)));
    ok = saveShot(about, dir, QStringLiteral("about")) && ok;
    PhonebookWindow phonebookWindow(session, reporter);
    ok = saveShot(phonebookWindow, dir, QStringLiteral("phonebook")) && ok;
    // The entry dialog shows the first entry of the list, as for an edit.
    PhonebookWindowSession entrySession(session, reporter);
    phonebook::PhonebookWriter& writer = entrySession.writer();
    phonebook::PhonebookWriter::EntryForm form;
    if (const auto& rows = session.phonebook.current.rows; !rows.empty())
        form = {rows.front().location, rows.front().name, rows.front().number};
    EntryDialog entry(writer, form, session.language);
    ok = saveShot(entry, dir, QStringLiteral("entry")) && ok;
    Pin2Dialog pin2;
    ok = saveShot(pin2, dir, QStringLiteral("pin2")) && ok;
    // A transfer two fifths done.
    ProgressWindow transfer(ProgressWindow::Kind::Transfer);
    transfer.start(100);
    transfer.setValue(40);
    transfer.setTimes(12, 30);
    ok = saveShot(transfer, dir, QStringLiteral("transfer-progress")) && ok;
    OrganizerWindow organizer(session, reporter);
    ok = saveShot(organizer, dir, QStringLiteral("organizer")) && ok;
    // The edit dialog shows the first entry of the list.
    int editSlot = 1;
    for (const organizer::Row& row : organizer.session().list().rows()) {
        if (!row.isFree()) {
            editSlot = row.slot;
            break;
        }
    }
    OrganizerEntryDialog organizerEdit(organizer.session(), editSlot);
    ok = saveShot(organizerEdit, dir, QStringLiteral("organizer-edit")) && ok;
    ok = networkShots(main, session, reporter, dir, sim) && ok;
    ok = messageScreenshots(session, reporter, dir) && ok;
    ok = backupShots(main, session, reporter, dir, sim) && ok;
    return ok ? 0 : 1;
}

// The program's options: the parser is built from them, and --help prints
// them without a display.
struct OptionRow {
    const char* name;
    const char* value;  // "" for a flag
    const char* text;
    const char* defaultValue = nullptr;
};
constexpr const char* kDescription = "Vondrix: manage a Siemens C35/S35 phone.";
const OptionRow kOptions[] = {
    {"simulate", "", "Use the built-in simulated phone (--simulate=FILE: its contents)."},
    {"state", "FILE", "Contents of the simulated phone."},
    {"ini", "FILE", "Settings file.", "Vondrix.ini"},
    {"lang", "CODE", "Language: de en es fr it nl no pt."},
    {"device", "PATH", "Serial device."},
    {"tcp", "HOST:PORT", "Phone at HOST:PORT."},
    {"user-data", "",
     "Keep settings and files in ~/.local/share/vondrix, not the working directory."},
    {"screenshot", "DIR", "Render every window to DIR/NAME.png and exit."},
    {"exit-when-ready", "",
     "Exit once the main window is filled, printing the milliseconds since start."},
};

}  // namespace

std::optional<int> answerWithoutDisplay(int argc, char** argv, std::ostream& out) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--")
            break;
        if (a == "--version" || a == "-v") {
            out << "vondrix " << VONDRIX_VERSION << '\n';
            return 0;
        }
        if (a == "--help" || a == "-h" || a == "-?" || a == "--help-all") {
            out << "Usage: vondrix [options]\n" << kDescription << "\n\nOptions:\n";
            const auto line = [&out](std::string left, const char* text) {
                left.resize(std::max<std::size_t>(left.size() + 2, 26), ' ');
                out << "  " << left << text << '\n';
            };
            line("-h, --help", "Displays help on commandline options.");
            line("-v, --version", "Displays version information.");
            for (const OptionRow& row : kOptions)
                line(std::string("--") + row.name +
                         (*row.value ? std::string(" <") + row.value + ">" : ""),
                     row.text);
            return 0;
        }
    }
    return std::nullopt;
}

int runGui(const QStringList& arguments) {
    QElapsedTimer sinceStart;
    sinceStart.start();

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    parser.addHelpOption();
    parser.addVersionOption();
    std::vector<QCommandLineOption> table;
    for (const OptionRow& row : kOptions) {
        QCommandLineOption option(QString::fromLatin1(row.name), QString::fromLatin1(row.text),
                                  QString::fromLatin1(row.value));
        if (row.defaultValue)
            option.setDefaultValue(QString::fromLatin1(row.defaultValue));
        table.push_back(option);
        parser.addOption(option);
    }
    const auto option = [&table](const char* name) -> const QCommandLineOption& {
        return *std::find_if(table.begin(), table.end(), [name](const QCommandLineOption& o) {
            return o.names().front() == QLatin1String(name);
        });
    };
    const QCommandLineOption& simulate = option("simulate");
    const QCommandLineOption& stateFile = option("state");
    const QCommandLineOption& ini = option("ini");
    const QCommandLineOption& lang = option("lang");
    const QCommandLineOption& device = option("device");
    const QCommandLineOption& tcp = option("tcp");
    const QCommandLineOption& screenshot = option("screenshot");
    const QCommandLineOption& ready = option("exit-when-ready");
    const QCommandLineOption& userData = option("user-data");
    // --simulate=FILE is accepted like the command-line program's.
    QStringList args = arguments;
    for (QString& a : args) {
        if (a.startsWith(QStringLiteral("--simulate="))) {
            const QString file = a.mid(11);
            a = QStringLiteral("--simulate");
            args << QStringLiteral("--state") << file;
        }
    }
    parser.process(args);

    // Started from the menu: the per-user folder holds the settings, the
    // local phonebook, the cell log and the exports, as the working
    // directory does when started from a terminal.
    if (parser.isSet(userData)) {
        std::string error;
        if (!files::enterUserFolder(files::userDataFolder(), &error)) {
            std::cerr << "vondrix: " << error << '\n';
            return 1;
        }
    }

    Session session(parser.value(ini).toStdString());
    const std::string langOverride = parser.value(lang).toStdString();
    const Language language = detectLanguage(langOverride);
    UiTranslator translator(language);
    QCoreApplication::installTranslator(&translator);
    GuiReporter reporter(language);

    StartupOptions options;
    options.languageOverride = langOverride;
    std::optional<phonesim::RunningPhone> sim;
    if (parser.isSet(simulate)) {
        // Before any window: the reason goes to the terminal, as for the
        // per-user folder.
        auto started = phonesim::startInProcessPhone(
            parser.isSet(stateFile) ? parser.value(stateFile).toStdString() : std::string());
        if (const auto* failure = std::get_if<phonesim::StartFailure>(&started)) {
            if (failure->kind == phonesim::StartFailure::Kind::StateFile) {
                std::cerr << "vondrix: " << failure->message << '\n';
                return 2;
            }
            std::cerr << "vondrix: cannot start the simulated phone: " << failure->message << '\n';
            return 3;  // no phone, as when start-up fails
        }
        sim.emplace(std::move(std::get<phonesim::RunningPhone>(started)));
        useSimulatedPhone(options, sim->device(), phonesim::kInProcessHost, sim->port());
    } else if (parser.isSet(device)) {
        options.link.kind = LinkOverride::Kind::Device;
        options.link.device = parser.value(device).toStdString();
    } else if (parser.isSet(tcp)) {
        const QString v = parser.value(tcp);
        const auto colon = v.lastIndexOf(QLatin1Char(':'));
        options.link.kind = LinkOverride::Kind::Tcp;
        options.link.host = v.left(colon).toStdString();
        options.link.port = decimalValue(v.mid(colon + 1).toStdString());
    }

    // While the phone is being reached (a wrong port waits out its silence)
    // a note says so; it gives way to every dialog and box.
    QLabel connecting(tr("Connecting to the phone..."));
    connecting.setObjectName(QStringLiteral("connectingNote"));
    connecting.setWindowFlags(Qt::SplashScreen);
    connecting.setMargin(24);
    const auto note = [&connecting](bool on) {
        connecting.setVisible(on);
        if (on)
            QCoreApplication::processEvents();
    };
    // The link's opening and the reset run on the phone worker, so the note
    // stays painted and the program answers while they wait; the note and
    // the options dialog are the UI thread's.
    bool cancelled = false;
    options.settingsDialog = [&reporter, &cancelled, &note](Session& s) {
        return onUiThread([&] {
            note(false);
            SettingsDialog dialog(s, reporter);
            cancelled = dialog.exec() != QDialog::Accepted;
            note(!cancelled);
            return !cancelled;
        });
    };
    StartReporter starting(reporter, [&note] { onUiThread([&note] { note(false); }); });
    const auto startUpOnWorker = [&] {
        return onPhone([&] { return startUp(session, starting, options); });
    };
    const auto shutDownOnWorker = [&session] { onPhone([&session] { shutDown(session); }); };
    note(true);
    StartupResult started = startUpOnWorker();
    // A phone that does not answer is most often a wrong port: the options
    // are offered before giving up, as the link is not open yet.
    while (started == StartupResult::ResetFailed && starting.held) {
        starting.held = false;
        note(false);
        if (!askRetryWithNewSettings(language))
            break;
        shutDownOnWorker();
        SettingsDialog dialog(session, reporter);
        if (dialog.exec() != QDialog::Accepted)
            break;
        note(true);
        started = startUpOnWorker();
    }
    note(false);
    starting.release();
    if (started == StartupResult::ResetFailed || started == StartupResult::NoPortChosen) {
        shutDownOnWorker();
        return cancelled ? 0 : 3;  // Cancel on the first start is no failure
    }

    int status = 0;
    {
        MainWindow main(session, reporter);
        reporter.setOwner(&main);
        if (parser.isSet(screenshot)) {
            status = screenshots(main, session, reporter, parser.value(screenshot),
                                 sim ? &sim->simulator() : nullptr);
        } else if (parser.isSet(ready)) {
            main.show();
            QCoreApplication::processEvents();
            std::printf("%lld\n", static_cast<long long>(sinceStart.elapsed()));
        } else {
            main.exec();
        }
        reporter.setOwner(nullptr);
    }
    shutDownOnWorker();
    // As the command line does: the run's changes to the phone are lost.
    if (sim && !sim->stopAndSave())
        std::cerr << "vondrix: cannot save " << parser.value(stateFile).toStdString() << '\n';
    return status;
}

}  // namespace vondrix::gui
