// The network monitor, network selection, call forwarding and call barring
// windows, driven for real (offscreen) against the simulated phone.

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>
#include <functional>

#include "gui/CallBarringWindow.h"
#include "gui/CallForwardingWindow.h"
#include "gui/GuiRig.h"
#include "gui/MainWindow.h"
#include "gui/NetworkMonitorWindow.h"
#include "gui/NetworkSelectionWindow.h"
#include "gui/ReceptionChart.h"
#include "network/Texts.h"
#include "phonesim/Simulator.h"
#include "support/RecordingReporter.h"

using namespace vondrix;
using namespace vondrix::test;
using phonesim::PhoneState;

namespace {

using Rig = test::GuiRig<test::RecordingReporter>;
using Lines = std::vector<std::string>;

// A quick search and no handovers unless a test wants them.
std::function<void(PhoneState&)> phone(const std::function<void(PhoneState&)>& change = {}) {
    return [change](PhoneState& s) {
        s.net.searchMs = 20;
        s.net.handoverEvery = 0;
        if (change)
            change(s);
    };
}

void doubleClick(QTreeWidget* list, int row) {
    if (!list->window()->isVisible()) {
        list->window()->show();
        QVERIFY(QTest::qWaitForWindowExposed(list->window()));
    }
    list->setCurrentItem(list->topLevelItem(row));
    doubleClickRow(list, list->topLevelItem(row));
}

}  // namespace

class NetworkWindowsTest : public QObject {
    Q_OBJECT
  private slots:
    void monitorShowsTheFieldsCallsAndChartAndPolls();
    void monitorPeriodLogAndClosing();
    void selectionListsAndTheirCommands();
    void selectionEndsThePreferredListAtAnUnknownCode();
    void forwardingReasonsBoxesAndRequests();
    void barringFacilitiesClassesAndPassword();
    void mainWindowButtonsOpenTheWindowsAndRefresh();
};

// The fields, large; the calls; the chart of every poll's level; the timer,
// which stops for a dead phone.
void NetworkWindowsTest::monitorShowsTheFieldsCallsAndChartAndPolls() {
    Rig rig(QStringLiteral("Timeout=1\r\n"), phone([](PhoneState& s) {
                s.net.calls = {phonesim::Call{1, 1, 4, 0, false, "+4930123456", 145}};
            }));
    MainWindowSession main(*rig.session, rig.reporter);
    gui::NetworkMonitorWindow w(main, rig.reporter, rig.dir.filePath("Vondrix.log").toStdString());
    QCOMPARE(labelTexts(w, {"operatorNameLabel", "operatorCodeLabel", "cellHexLabel",
                            "cellDecimalLabel", "lacHexLabel", "lacDecimalLabel",
                            "registrationLabel", "receptionLabel", "activityLabel"}),
             (QStringList{"D1-TELEKOM", "26201", "605F", "24671", "5E25", "24101", "Logged in",
                          "-79 dBm / 0.013 nW", "Incoming Call"}));
    for (const char* name : {"operatorNameLabel", "operatorCodeLabel", "cellHexLabel",
                             "cellDecimalLabel", "lacHexLabel", "lacDecimalLabel"})
        QCOMPARE(child<QLabel>(w, name)->font().pointSize(), 18);
    QCOMPARE(child<QLabel>(w, "registrationLabel")->font().pointSize(), w.font().pointSize());
    QCOMPARE(child<QLabel>(w, "cellHexLabel")->toolTip(), catalogue(msg::CaptionCellId));
    QCOMPARE(child<QLabel>(w, "lacDecimalLabel")->toolTip(), catalogue(msg::CaptionLai));

    auto* calls = child<QTreeWidget>(w, "callList");
    QCOMPARE(rows(calls), QStringList{"1|>|Incoming|+4930123456|Voice"});  // without the quotes
    QCOMPARE(calls->headerItem()->text(1), QStringLiteral("In/Out"));
    // Stored widths are used as they are; a missing one gets its default.
    QCOMPARE(calls->header()->sectionSize(3), 100);

    // The call ended: the list empties and "AT+CLCC" is not asked.
    rig.sim->withState([](PhoneState& s) { s.net.calls.clear(); });
    rig.sim->clearReceived();
    w.pollNow();
    QCOMPARE(calls->topLevelItemCount(), 0);
    QCOMPARE(labelText(w, "activityLabel"), QStringLiteral("Ready"));
    QVERIFY(!rig.received("AT+CLCC"));
    QVERIFY(rig.reporter.shown.empty());
    QVERIFY(w.polling());
    QCOMPARE(w.pollInterval(), 2000);

    for (const int rssi : {10, 99, 25, 30}) {
        rig.sim->withState([rssi](PhoneState& s) { s.rssi = rssi; });
        w.pollNow();
    }
    auto* chart = child<gui::ReceptionChart>(w, "receptionChart");
    const std::vector<std::optional<int>> expected = {-79, -79, -93, std::nullopt, -63, -53};
    QCOMPARE(chart->levels(), expected);
    w.show();
    const QImage image = chart->grab().toImage();
    const QColor line = chart->palette().color(QPalette::Highlight);
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            drawn += QColor(image.pixel(x, y)) == line ? 1 : 0;
    QVERIFY2(drawn > 20, qPrintable(QString::number(drawn)));
    // The newest level is at the right edge, near the top (-53 dBm).
    const int right = image.width() - 8;
    int top = -1;
    for (int y = 0; y < image.height() && top < 0; ++y)
        if (QColor(image.pixel(right, y)) == line)
            top = y;
    QVERIFY(top >= 0 && top < image.height() / 2);
    w.hide();

    rig.sim->clearReceived();
    QTRY_VERIFY_WITH_TIMEOUT(rig.received("AT+CPAS"), 3500);  // a tick after 2 seconds
    rig.sim->injectFault({phonesim::Fault::Kind::Stall, "AT+CREG?", 0, 0});
    w.pollNow();
    QVERIFY(!w.polling());
    QCOMPARE(rig.reporter.ids(), (std::vector<int>{msg::PhoneNotAnswering}));
}

void NetworkWindowsTest::monitorPeriodLogAndClosing() {
    Rig rig(QStringLiteral("MonRef=2\r\nMCol3=120\r\n"), phone());
    MainWindowSession main(*rig.session, rig.reporter);
    const QString log = rig.dir.filePath(QStringLiteral("Vondrix.log"));
    gui::NetworkMonitorWindow w(main, rig.reporter, log.toStdString());
    w.show();
    auto* period = child<QSpinBox>(w, "periodSpin");
    QCOMPARE(period->value(), 2);
    QTest::keyClick(period, Qt::Key_Down);  // down at 2 keeps 2
    QCOMPARE(period->value(), 2);
    QTest::keyClick(period, Qt::Key_Up);
    QCOMPARE(period->value(), 3);
    QCOMPARE(w.pollInterval(), 3000);
    QCOMPARE(child<QTreeWidget>(w, "callList")->header()->sectionSize(3), 120);

    auto* logBox = child<QCheckBox>(w, "logCheck");
    QVERIFY(!logBox->isChecked());
    QVERIFY(!QFile::exists(log));
    logBox->click();
    QVERIFY(logBox->isChecked());
    w.pollNow();  // the first logged poll writes the cell
    QFile file(log);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().count("\r\n"), 2);

    // Closing saves the monitor's keys and reads the main window's fields
    // (the commands: NetworkMonitorSession in the e2e tests).
    rig.sim->withState([](PhoneState& s) { s.regStatus = 5; });
    w.close();
    QCOMPARE(main.state().network.registration.value_or(""), std::string("0,5,\"5E25\",\"605F\""));
    QCOMPARE(
        rig.iniValues({"MonRef", "MonProt", "MCol0"}),
        (QStringList{"3", "1", QString::number(widths(child<QTreeWidget>(w, "callList"))[0])}));
    QVERIFY(!w.polling());
}

void NetworkWindowsTest::selectionListsAndTheirCommands() {
    Rig rig({}, phone([](PhoneState& s) {
                s.net.preferredSize = 3;
                s.net.preferred = {{1, 23201}, {2, 22801}, {3, 20801}};
            }));
    MainWindowSession main(*rig.session, rig.reporter);
    gui::NetworkSelectionWindow w(main, rig.reporter);
    w.show();
    auto* known = child<QTreeWidget>(w, "knownList");
    auto* preferred = child<QTreeWidget>(w, "preferredList");
    auto* found = child<QTreeWidget>(w, "foundList");
    QVERIFY(known->topLevelItemCount() > 300);
    QCOMPARE(known->toolTip(), catalogue(msg::TipAvailableNetworks));
    QCOMPARE(preferred->toolTip(), catalogue(msg::TipPreferredNetworks));
    QCOMPARE(found->headerItem()->text(2), QStringLiteral("Mode"));
    QCOMPARE(found->topLevelItem(0)->toolTip(2),  // the status number in words
             QString::fromUtf8(network::operatorStatusText(
                 Language::English, found->topLevelItem(0)->text(2).toInt())));
    QCOMPARE(column(preferred, 1), (QStringList{"A1", "SWISS GSM", "F ITINERIS"}));
    QCOMPARE(column(found, 0), (QStringList{"26201", "26202", "26203", "26207"}));
    QCOMPARE(known->header()->sectionSize(1), 150);

    // Delete on row 0 frees position 1 of the full list (what adding to a
    // full list says: the e2e NetworkOperators tests).
    rig.sim->clearReceived();
    preferred->setFocus();
    preferred->setCurrentItem(preferred->topLevelItem(0));
    QTest::keyClick(preferred, Qt::Key_Delete);
    QCOMPARE(rig.lines(), Lines{"AT^SPLW=1"});
    QCOMPARE(preferred->topLevelItem(0)->text(0), QStringLiteral("0"));
    QCOMPARE(preferred->topLevelItem(0)->text(1), QStringLiteral("EMPTY"));

    // Now the double click writes the free position.
    rig.sim->clearReceived();
    const int d2 = static_cast<int>(column(known, 0).indexOf(QStringLiteral("26202")));
    doubleClick(known, d2);
    QCOMPARE(rig.lines(), Lines{"AT^SPLW=1,26202"});
    QCOMPARE(preferred->topLevelItem(0)->text(1), QStringLiteral("D2 PRIVAT"));

    // A network is selected; the main window's fields follow (the current
    // and a forbidden one: the e2e NetworkOperators tests).
    rig.sim->clearReceived();
    doubleClick(found, 1);
    QCOMPARE(rig.lines().front(), std::string("AT+COPS=1,2,26202"));
    QCOMPARE(main.state().network.operatorText.value_or(""), std::string("1,0,\"D2 PRIVAT\""));

    // Column 0 sorts by code as numbers.
    emit known->header()->sectionClicked(0);
    QStringList codes = column(known, 0);
    QVERIFY(std::is_sorted(codes.begin(), codes.end(), [](const QString& a, const QString& b) {
        return a.toInt() < b.toInt();
    }));
    QVERIFY(codes.indexOf(QStringLiteral("72234")) < codes.indexOf(QStringLiteral("722310")));
}

void NetworkWindowsTest::selectionEndsThePreferredListAtAnUnknownCode() {
    Rig rig({}, phone([](PhoneState& s) {
                s.net.preferred = {{1, 23201}, {2, 99901}, {3, 22801}};
            }));
    rig.session->language = Language::German;
    MainWindowSession main(*rig.session, rig.reporter);
    gui::NetworkSelectionWindow w(main, rig.reporter);
    auto* preferred = child<QTreeWidget>(w, "preferredList");
    QCOMPARE(column(preferred, 1), QStringList{QStringLiteral("A1")});
    auto* found = child<QTreeWidget>(w, "foundList");
    QCOMPARE(found->headerItem()->text(2), QStringLiteral("Modus"));
    QCOMPARE(preferred->toolTip(), catalogue(msg::TipPreferredNetworks, Language::German));
}

void NetworkWindowsTest::forwardingReasonsBoxesAndRequests() {
    Rig rig({}, phone());
    gui::CallForwardingWindow w(*rig.session, rig.reporter);
    w.show();
    QCOMPARE(rig.lines(), Lines{"AT+CCFC=0,2"});
    QCOMPARE(w.windowTitle(), catalogue(msg::TitleForwarding));
    auto* reason = child<QComboBox>(w, "reasonCombo");
    QCOMPARE(reason->count(), 4);
    QCOMPARE(reason->itemText(2), QStringLiteral("If no answer"));
    auto* voice = child<QCheckBox>(w, "voiceCheck");
    auto* all = child<QCheckBox>(w, "allCheck");
    auto* voiceNumber = child<QLineEdit>(w, "voiceNumber");
    auto* voiceTime = child<QSpinBox>(w, "voiceTime");
    QVERIFY(!voiceTime->isEnabled());
    QCOMPARE(voiceNumber->maxLength(), 49);
    QCOMPARE(voiceTime->maximum(), 30);

    rig.sim->clearReceived();
    reason->setCurrentIndex(2);
    QCOMPARE(rig.lines(), Lines{"AT+CCFC=2,2"});
    QVERIFY(voice->isChecked());
    QCOMPARE(voiceNumber->text(), QStringLiteral("+491713300"));
    QCOMPARE(voiceTime->value(), 20);
    for (const char* name : {"voiceTime", "dataTime", "faxTime", "allTime"})
        QVERIFY(child<QSpinBox>(w, name)->isEnabled());

    // "All" empties the class rows (the form's rules: e2e CallForwardingSession).
    all->click();
    QVERIFY(!voice->isChecked());
    QCOMPARE(voiceNumber->text(), QString());
    voice->click();

    // A national number with 23 seconds goes out with 20 and type 129.
    QTest::keyClicks(voiceNumber, QStringLiteral("0301234"));
    voiceTime->setValue(23);
    rig.sim->clearReceived();
    QTest::mouseClick(child<QPushButton>(w, "registerButton"), Qt::LeftButton);
    QCOMPARE(rig.lines(), Lines{"AT+CCFC=2,3,0301234,129,1,,,20"});
    QVERIFY(rig.reporter.shown.empty());

    // Deactivating "all" without a number: message 29, nothing sent.
    all->click();
    rig.sim->clearReceived();
    QTest::mouseClick(child<QPushButton>(w, "deactivateButton"), Qt::LeftButton);
    QCOMPARE(rig.reporter.ids(), (std::vector<int>{msg::EnterNumber}));
    QVERIFY(rig.lines().empty());

    // Another reason disables the times.
    reason->setCurrentIndex(1);
    QVERIFY(!voiceTime->isEnabled());
}

void NetworkWindowsTest::barringFacilitiesClassesAndPassword() {
    Rig rig({}, phone([](PhoneState& s) { s.net.barred = {{"IR", 1}, {"IR", 2}, {"IR", 4}}; }));
    gui::CallBarringWindow w(*rig.session, rig.reporter);
    w.show();
    QCOMPARE(rig.lines(), Lines{"AT+CLCK=CS,2"});
    QCOMPARE(w.windowTitle(), catalogue(msg::TitleBarring));
    auto* facility = child<QComboBox>(w, "facilityCombo");
    QCOMPARE(facility->count(), 9);
    auto* active = child<QCheckBox>(w, "activeCheck");
    auto* password = child<QLineEdit>(w, "passwordEdit");
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    QCOMPARE(password->maxLength(), 9);
    const auto boxes = {child<QCheckBox>(w, "voiceCheck"), child<QCheckBox>(w, "dataCheck"),
                        child<QCheckBox>(w, "faxCheck"), child<QCheckBox>(w, "allCheck")};
    for (QCheckBox* b : boxes)
        QVERIFY(!b->isEnabled());

    // The keyboard lock switched on: no password, the lock box ticked.
    rig.sim->clearReceived();
    QTest::mouseClick(child<QPushButton>(w, "activateButton"), Qt::LeftButton);
    QCOMPARE(rig.lines(), Lines{"AT+CLCK=CS,1"});
    QVERIFY(active->isChecked());

    // IR reported for class 7 ticks "all" and shows the service active (a
    // facility's status: e2e CallBarringSession).
    facility->setCurrentIndex(8);
    QVERIFY(child<QCheckBox>(w, "allCheck")->isChecked());
    QVERIFY(active->isChecked());
    for (QCheckBox* b : boxes)
        QVERIFY(b->isEnabled());

    // AO for voice and fax with the typed password: one command per class.
    facility->setCurrentIndex(4);
    child<QCheckBox>(w, "voiceCheck")->click();
    child<QCheckBox>(w, "faxCheck")->click();
    QTest::keyClicks(password, QStringLiteral("00x00"));  // digits only
    QCOMPARE(password->text(), QStringLiteral("0000"));
    rig.sim->clearReceived();
    QTest::mouseClick(child<QPushButton>(w, "activateButton"), Qt::LeftButton);
    // Then the phone is asked what it holds now.
    QCOMPARE(rig.lines(), (Lines{"AT+CLCK=AO,1,0000,1", "AT+CLCK=AO,1,0000,4", "AT+CLCK=AO,2"}));
    QVERIFY(rig.reporter.shown.empty());
    QVERIFY(active->isChecked());
    QVERIFY(child<QCheckBox>(w, "faxCheck")->isChecked());
}

void NetworkWindowsTest::mainWindowButtonsOpenTheWindowsAndRefresh() {
    Rig rig({}, phone());
    gui::MainWindow main(*rig.session, rig.reporter);
    QCOMPARE(child<QPushButton>(main, "networksButton")->toolTip(), catalogue(msg::TipNetworkInfo));
    QCOMPARE(child<QPushButton>(main, "forwardingButton")->toolTip(),
             catalogue(msg::TitleForwarding));
    QCOMPARE(child<QPushButton>(main, "barringButton")->toolTip(), catalogue(msg::TitleBarring));

    // The monitor: the main window waits disabled; its fields are read again
    // once the monitor has closed.
    QString opened;
    bool mainDisabled = false;
    main.runDialog = [&](QDialog& d) {
        opened = d.objectName();
        mainDisabled = !main.isEnabled();
        rig.sim->withState([](PhoneState& s) { s.regStatus = 5; });
        d.reject();
    };
    QTest::mouseClick(child<QPushButton>(main, "monitorButton"), Qt::LeftButton);
    QCOMPARE(opened, QStringLiteral("NetworkMonitorWindow"));
    QVERIFY(mainDisabled);
    QVERIFY(main.isEnabled());
    QCOMPARE(labelText(main, "registrationLabel"), QStringLiteral("0,5,\"5E25\",\"605F\""));

    // A network selected in the selection window shows in the main window.
    main.runDialog = [&](QDialog& d) {
        opened = d.objectName();
        doubleClick(child<QTreeWidget>(d, "foundList"), 1);
    };
    QTest::mouseClick(child<QPushButton>(main, "networksButton"), Qt::LeftButton);
    QCOMPARE(opened, QStringLiteral("NetworkSelectionWindow"));
    QCOMPARE(labelText(main, "operatorLabel"), QStringLiteral("1,0,\"D2 PRIVAT\""));

    for (const auto& [button, window] : {std::pair{"forwardingButton", "CallForwardingWindow"},
                                         std::pair{"barringButton", "CallBarringWindow"}}) {
        main.runDialog = [&](QDialog& d) { opened = d.objectName(); };
        QTest::mouseClick(child<QPushButton>(main, button), Qt::LeftButton);
        QCOMPARE(opened, QString::fromLatin1(window));
    }
}

QTEST_MAIN(NetworkWindowsTest)
#include "NetworkWindowsTest.moc"
