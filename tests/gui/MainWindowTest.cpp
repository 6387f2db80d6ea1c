// The main window and the settings dialog, driven for real (offscreen)
// against the simulated phone.

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "gui/BackupDialog.h"
#include "gui/GuiRig.h"
#include "gui/MainWindow.h"
#include "gui/RestoreDialog.h"
#include "gui/SettingsDialog.h"
#include "gui/Shell.h"
#include "gui/StatusPixmaps.h"
#include "phonesim/Simulator.h"
#include "session/Startup.h"
#include "support/RecordingReporter.h"

using namespace vondrix;
using vondrix::gui::MainWindow;

namespace {

using Rig = test::GuiRig<test::RecordingReporter>;
using Lines = std::vector<std::string>;
using test::child;
using test::labelText;

QImage iconImage(QToolButton* b, QSize size) {
    return b->icon().pixmap(size).toImage();
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void openingFillsEveryField();
    void failedTransactionLeavesFieldEmpty();
    void noModemDisablesExactlyTheListedControls();
    void ringToneAndHandsFreeControls();
    void settingsDialogWritesTheIniKeys();
    void settingsDialogCancelWritesNothing();
    void exitVersusCloseBox();
    void infoClockRefreshHelpAndSwitchOff();
    void backupThenRestoreWritesOnlyAfterYes();
    void buttonsRunTheirWindows();
};

void MainWindowTest::openingFillsEveryField() {
    Rig rig;
    QCOMPARE(rig.started, StartupResult::Ready);
    MainWindow w(*rig.session, rig.reporter);
    // Under the raw replies of registration and operator, what they mean.
    QCOMPARE(
        test::labelTexts(
            w, {"manufacturerLabel", "modelLabel", "revisionLabel", "imeiLabel", "imsiLabel",
                "simSerialLabel", "batteryLabel", "registrationLabel", "signalLabel",
                "operatorLabel", "registrationDecodedLabel", "operatorDecodedLabel"}),
        (QStringList{"SIEMENS", "S35i", "21", "449107284530215", "26201-1234567890",
                     "89490200001234567890", "80%", "0,1,\"5E25\",\"605F\"", "-79 dBm / 0.013 nW",
                     "0,0,\"D1-TELEKOM\"", "registered, home network; area 5E25, cell 605F",
                     "automatic network selection"}));
    QCOMPARE(child<QSpinBox>(w, "ringToneSpin")->value(), 3);
    QCOMPARE(child<QSpinBox>(w, "ringToneSpin")->maximum(), 41);
    QCOMPARE(child<QSpinBox>(w, "ringVolumeSpin")->value(), 2);
    QCOMPARE(child<QSpinBox>(w, "ringVolumeSpin")->maximum(), 4);
    QVERIFY(!child<QCheckBox>(w, "ringOffCheck")->isChecked());
    QVERIFY(!child<QCheckBox>(w, "handsFreeCheck")->isChecked());
    QVERIFY(!child<QToolButton>(w, "batteryButton")->icon().isNull());
    QVERIFY(rig.reporter.shown.empty());
}

void MainWindowTest::failedTransactionLeavesFieldEmpty() {
    Rig rig({}, [](phonesim::PhoneState& s) {
        s.failing.insert("AT+CGSN");
        s.failing.insert("AT+CBC");
        s.failing.insert("AT+COPS");
    });
    MainWindow w(*rig.session, rig.reporter);
    // Empty fields; the others still come, and no message.
    QCOMPARE(test::labelTexts(w, {"imeiLabel", "batteryLabel", "operatorLabel", "revisionLabel"}),
             (QStringList{"", "", "", "21"}));
    QVERIFY(child<QToolButton>(w, "batteryButton")->icon().isNull());
    QVERIFY(rig.reporter.shown.empty());
}

void MainWindowTest::noModemDisablesExactlyTheListedControls() {
    for (const bool noModem : {false, true}) {
        Rig rig(noModem ? QStringLiteral("NoModem=1\r\n") : QString());
        MainWindow w(*rig.session, rig.reporter);
        for (const char* name : {"clockButton", "deleteLogoButton", "testButton", "organizerButton",
                                 "sendLogoButton", "sendRingtoneButton"})
            QCOMPARE(child<QPushButton>(w, name)->isEnabled(), !noModem);
        for (const char* name : {"downloadLogoAction", "downloadRingtoneAction"})
            QCOMPARE(child<QAction>(w, name)->isEnabled(), !noModem);
        for (const char* name : {"switchOffButton", "refreshButton"})
            QVERIFY(child<QPushButton>(w, name)->isEnabled());
        QVERIFY(child<QCheckBox>(w, "ringOffCheck")->isEnabled());
        QVERIFY(child<QCheckBox>(w, "handsFreeCheck")->isEnabled());
    }
}

// The ring tone and hands-free controls (their rules: e2e DeviceCommands).
void MainWindowTest::ringToneAndHandsFreeControls() {
    Rig rig({}, [](phonesim::PhoneState& s) {
        s.ringTone = 0;
        s.speakerVolume = 3;
        s.failing.insert("AT^SNFS=");
    });
    MainWindow w(*rig.session, rig.reporter);
    auto* box = child<QCheckBox>(w, "ringOffCheck");
    QVERIFY(box->isChecked());  // tone 0 at opening
    rig.sim->clearReceived();
    QTest::mouseClick(box, Qt::LeftButton);  // unchecking restores tone 0 again
    QVERIFY(!box->isChecked());
    QCOMPARE(rig.lines(), Lines{"AT^SRTC=0"});
    QCOMPARE(rig.reporter.ids(), std::vector<int>{81});

    // The test button plays the chosen tone, then stops it.
    rig.sim->clearReceived();
    auto* test = child<QPushButton>(w, "testButton");
    child<QSpinBox>(w, "ringToneSpin")->setValue(7);
    child<QSpinBox>(w, "ringVolumeSpin")->setValue(4);
    QTest::mouseClick(test, Qt::LeftButton);
    QCOMPARE(test->text(), QStringLiteral("Stop"));
    QTest::mouseClick(test, Qt::LeftButton);
    QCOMPARE(test->text(), QStringLiteral("Test"));
    QCOMPARE(rig.lines(), (Lines{"AT^SRTC=7,4", "AT^SRTC", "AT^SRTC"}));

    // Hands-free refused: the box unticks again.
    rig.sim->clearReceived();
    rig.reporter.shown.clear();
    auto* handsFree = child<QCheckBox>(w, "handsFreeCheck");
    QTest::mouseClick(handsFree, Qt::LeftButton);
    QVERIFY(!handsFree->isChecked());
    QCOMPARE(rig.reporter.ids(), std::vector<int>{86});
    QCOMPARE(rig.reporter.shown[0].caption, Caption::Error);
    QCOMPARE(rig.lines(), (Lines{"AT^SNFV=0", "AT^SNFS=1", "AT^SNFV=3"}));
}

void MainWindowTest::settingsDialogWritesTheIniKeys() {
    Rig rig;
    QFile::remove(rig.iniPath);  // a fresh start: no settings file yet
    gui::SettingsDialog dialog(*rig.session, rig.reporter);
    child<QRadioButton>(dialog, "port1Radio")->setChecked(true);
    dialog.accept();
    QCOMPARE(test::fileContent(rig.iniPath),
             QByteArray("[Vondrix]\r\nPort=1\r\nReadB=0\r\nSwapD=0\r\nGSMconv=0\r\nIntPrefix=0\r\n"
                        "Rem0=0\r\nNoModem=0\r\nW2KCable=0\r\nSMSstat=0\r\nTPref=\r\n"));
    QCOMPARE(rig.lines(), Lines{"AT+CNMI=0,0,0,0"});
    QCOMPARE(rig.session->settings.port, 1);

    // No port checked gives COM7; flags and the prefix (cut to 9) follow.
    gui::SettingsDialog again(*rig.session, rig.reporter);
    child<QRadioButton>(again, "port1Radio")->setChecked(false);
    child<QCheckBox>(again, "smsStatCheck")->setChecked(true);
    child<QCheckBox>(again, "readBCheck")->setChecked(true);
    QVERIFY(!child<QCheckBox>(again, "fastReadCheck")->isChecked());
    child<QCheckBox>(again, "fastReadCheck")->setChecked(true);
    child<QLineEdit>(again, "tPrefEdit")->setText(QStringLiteral("0049123456789"));
    again.accept();
    // FastRead is written once it changes.
    QCOMPARE(rig.iniValues({"Port", "ReadB", "SMSstat", "FastRead", "TPref"}),
             (QStringList{"6", "1", "1", "1", "004912345"}));
    QVERIFY(rig.session->settings.fastRead);
    gui::SettingsDialog third(*rig.session, rig.reporter);
    QVERIFY(child<QCheckBox>(third, "fastReadCheck")->isChecked());
    QCOMPARE(rig.lines().back(), std::string("AT+CNMI=1,0,0,2"));
    QVERIFY(rig.session->settings.smsStat);
}

void MainWindowTest::settingsDialogCancelWritesNothing() {
    Rig rig(QStringLiteral("Port=2\r\n"));
    const QByteArray original = test::fileContent(rig.iniPath);
    gui::SettingsDialog dialog(*rig.session, rig.reporter);
    QVERIFY(child<QRadioButton>(dialog, "port2Radio")->isChecked());
    child<QRadioButton>(dialog, "port4Radio")->setChecked(true);
    QVERIFY(!child<QRadioButton>(dialog, "port2Radio")->isChecked());  // exclusive
    dialog.reject();
    QCOMPARE(test::fileContent(rig.iniPath), original);
    QCOMPARE(rig.session->settings.port, 2);
    QVERIFY(rig.lines().empty());
}

// Exit sends nothing; the close box restores the routing when SMSstat is
// on. Escape does not end the program, wherever the focus is.
void MainWindowTest::exitVersusCloseBox() {
    const struct {
        QString ini;
        bool exit;
        Lines lines;
    } cases[] = {{QStringLiteral("SMSstat=1\r\n"), true, {}},
                 {QStringLiteral("SMSstat=1\r\n"), false, {"AT+CNMI=1,0,0,0"}},
                 {QString(), false, {}}};
    for (const auto& c : cases) {
        Rig rig(c.ini);
        MainWindow w(*rig.session, rig.reporter);
        w.show();
        rig.sim->clearReceived();
        for (QWidget* target : std::initializer_list<QWidget*>{
                 &w, child<QSpinBox>(w, "ringToneSpin"), child<QPushButton>(w, "clockButton")})
            QTest::keyClick(target, Qt::Key_Escape);
        QVERIFY(w.isVisible());
        if (c.exit)
            child<QAction>(w, "exitAction")->trigger();
        else
            w.close();
        QVERIFY(!w.isVisible());
        QCOMPARE(rig.lines(), c.lines);
    }
}

// The commands of the phone's state: the device information is saved
// twice, the second time to the path chosen last; the clock is set (a
// refused time: e2e DeviceCommands); Refresh reads again and shows the
// values with their pictures (the thresholds are the core's); help without
// a help file says so; switching off ends the window.
void MainWindowTest::infoClockRefreshHelpAndSwitchOff() {
    Rig rig;
    MainWindow w(*rig.session, rig.reporter);
    w.show();
    const QString path = rig.dir.filePath(QStringLiteral("info.csv"));
    QStringList presets, opened;
    w.chooseSaveFile = [&](const QString& preset) {
        presets << preset;
        return path;
    };
    gui::setUrlOpener([&](const QString& url) {
        opened << url;
        return true;
    });
    auto* action = child<QAction>(w, "saveInfoAction");
    action->trigger();
    action->trigger();
    gui::setUrlOpener({});
    QCOMPARE(presets, (QStringList{QStringLiteral("VondrixINF.csv"), path}));
    QCOMPARE(opened.size(), 2);
    QVERIFY(opened[0].endsWith(QStringLiteral("info.csv")));
    // The file's lines: e2e DeviceInfoFile.TwoSavesGiveHeaderDataHeaderData.
    QVERIFY(test::fileContent(path).startsWith("SERIAL,VERSION,SIMSERIAL\r\n'449107284530215,"));

    QTest::mouseClick(child<QPushButton>(w, "clockButton"), Qt::LeftButton);
    QCOMPARE(rig.reporter.ids(), std::vector<int>{69});
    QVERIFY(QString::fromStdString(rig.lines().back()).startsWith(QStringLiteral("AT+CCLK=")));

    rig.sim->withState([&](phonesim::PhoneState& s) {
        s.rssi = 20;
        s.batteryCharge = 99;
    });
    QTest::mouseClick(child<QPushButton>(w, "refreshButton"), Qt::LeftButton);
    QCOMPARE(labelText(w, "signalLabel"), QStringLiteral("-73 dBm / 0.050 nW"));
    QCOMPARE(labelText(w, "batteryLabel"), QStringLiteral("99%"));
    QCOMPARE(iconImage(child<QToolButton>(w, "signalButton"), QSize(27, 9)),
             gui::statusPixmap(135).toImage());
    QCOMPARE(iconImage(child<QToolButton>(w, "batteryButton"), QSize(21, 9)),
             gui::statusPixmap(130).toImage());
    QVERIFY(w.isEnabled());

    rig.reporter.shown.clear();
    rig.session->helpFile = "no-such-help.hlp";
    w.showHelp();
    QCOMPARE(rig.reporter.shown.size(), std::size_t{1});
    QCOMPARE(rig.reporter.shown[0].text, std::string("Unable to activate help"));
    QCOMPARE(rig.reporter.shown[0].caption, Caption::Error);

    rig.reporter.shown.clear();
    QTest::mouseClick(child<QPushButton>(w, "switchOffButton"), Qt::LeftButton);
    QVERIFY(!w.isVisible());
    QCOMPARE(rig.reporter.ids(), std::vector<int>{70});
    QCOMPARE(rig.lines().back(), std::string("AT^SMSO"));
}

// The two dialogs' wiring: Start writes the folder with the dialog's own
// bar; Compare lists; Write to phone asks, and only Yes writes.
void MainWindowTest::backupThenRestoreWritesOnlyAfterYes() {
    Rig rig;
    MainWindow w(*rig.session, rig.reporter);
    const QString folder = rig.dir.filePath(QStringLiteral("backup"));
    gui::BackupDialog backup(*rig.session, rig.reporter, w.state().device);
    backup.setFolder(folder);
    QVERIFY(backup.start());
    QVERIFY(QFile::exists(folder + QStringLiteral("/manifest")));
    QVERIFY(rig.reporter.ids().empty());  // the notice is the dialog's own text
    QVERIFY(!backup.start());             // the folder holds the backup now
    QCOMPARE(rig.reporter.ids(), std::vector<int>{msg::BackupTargetNotEmpty});

    rig.sim->withState([](phonesim::PhoneState& s) { s.organizer.objects.erase(2); });
    gui::RestoreDialog restore(*rig.session, rig.reporter);
    restore.setFolder(folder);
    QVERIFY(restore.compare());
    auto* changes = restore.findChild<QListWidget*>(QStringLiteral("changesList"));
    QCOMPARE(changes->count(), 1);
    QCOMPARE(changes->item(0)->text(),
             QStringLiteral("organizer slot 2: add 2001/03/15 14:30 \"Team\""));
    rig.reporter.shown.clear();
    rig.reporter.answers.push_back(Answer::No);
    QVERIFY(!restore.write());
    QCOMPARE(rig.reporter.ids(), std::vector<int>{msg::ConfirmRestore});
    QVERIFY(!rig.received("AT^SBNW=vcs,2,1,2"));
    QVERIFY(restore.write());  // Yes
    QVERIFY(rig.received("AT^SBNW=vcs,2,1,2"));
    QCOMPARE(rig.reporter.ids(), (std::vector<int>{msg::ConfirmRestore, msg::ConfirmRestore}));
}

// The window runs filled and without an owner; the main window waits disabled.
void MainWindowTest::buttonsRunTheirWindows() {
    const struct {
        const char* button;
        int tip;
        const char* list;
        int rows;
    } cases[] = {{"phonebookButton", msg::TipPhonebook, "phonebookList", 7},
                 {"messagesButton", msg::TipShowMessages, "messageList", 18},
                 {"organizerButton", msg::TipOrganizer, "organizerList", 30}};
    for (const auto& c : cases) {
        Rig rig;
        MainWindow main(*rig.session, rig.reporter);
        auto* b = child<QPushButton>(main, c.button);
        QCOMPARE(b->toolTip(), test::catalogue(c.tip));
        bool mainDisabled = false;
        QWidget* owner = &main;
        int rowsShown = -1;
        main.runDialog = [&](QDialog& d) {
            mainDisabled = !main.isEnabled();
            owner = d.parentWidget();
            rowsShown = child<QTreeWidget>(d, c.list)->topLevelItemCount();
        };
        QTest::mouseClick(b, Qt::LeftButton);
        QVERIFY(mainDisabled);
        QVERIFY(!owner);
        QCOMPARE(rowsShown, c.rows);
        QVERIFY(main.isEnabled());
    }
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
