// The message windows driven for real (offscreen) against the simulated
// phone: the list, the view, the send, reply and forward dialogs with their
// questions, the phonebook's send commands, the predefined texts, the
// groups and the command mode with the example module.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <functional>
#include <map>

#include "gui/CommandModeDialog.h"
#include "gui/GroupDialog.h"
#include "gui/GuiRig.h"
#include "gui/MainWindow.h"
#include "gui/MessageListWindow.h"
#include "gui/PhonebookWindow.h"
#include "gui/PredefinedDialog.h"
#include "gui/ProgressWindow.h"
#include "phonesim/SmsPdu.h"
#include "support/RecordingReporter.h"

using namespace vondrix;
using namespace vondrix::test;
using gui::MessageListWindow;
using phonesim::PhoneState;
using phonesim::StoredMessage;
using Lines = std::vector<std::string>;

namespace {

constexpr const char* kCentre = "+491710760000";

std::string received(const std::string& from, const std::string& stamp, const std::string& text) {
    return phonesim::deliverPdu(kCentre, phonesim::addressField(from), 0x00,
                                phonesim::timestampField(stamp), phonesim::gsmUserData(text));
}

std::function<void(PhoneState&)> memoryOf(std::map<int, StoredMessage> messages) {
    return [messages](PhoneState& s) {
        s.sms = phonesim::SmsStore{};
        s.sms.messages = messages;
    };
}

// Two received messages, one stored unsent, one status report.
const auto kFourMessages = memoryOf(
    {{1, {1, received("+49123456789", "010412134500", "Hello")}},
     {2, {0, received("0301234567", "010411090000", "Morning")}},
     {3, {2, phonesim::submitPdu(kCentre, 0, "0401234", 0, phonesim::gsmUserData("Draft"))}},
     {4,
      {1, phonesim::statusReportPdu(kCentre, 5, "+4940555666",
                                    phonesim::timestampField("010413101500"),
                                    phonesim::timestampField("010413101512"), 0)}}});

struct Rig : test::GuiRig<test::RecordingReporter> {
    explicit Rig(const QString& ini = {}, const std::function<void(PhoneState&)>& setup = {})
        : GuiRig(ini, setup) {
        QFile f(localFile());
        if (f.open(QIODevice::WriteOnly))
            f.write(
                "[SIM]\r\n1,Anna Schmidt,0123456789\r\n2,Bob,0301234567\r\n"
                "3,Carl,040555666\r\n");
    }
    QString localFile() const { return dir.filePath(QStringLiteral("Vondrix.phb")); }
    std::unique_ptr<MessageListWindow> openList() {
        return shown(std::make_unique<MessageListWindow>(*session, reporter, nullptr,
                                                         localFile().toStdString()));
    }
    std::size_t count(const std::string& prefix) const {
        std::size_t n = 0;
        for (const std::string& l : lines())
            n += l.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    }
};

QTreeWidget* messageList(QWidget& w) {
    return child<QTreeWidget>(w, "messageList");
}

}  // namespace

class SmsWindowsTest : public QObject {
    Q_OBJECT
  private slots:
    void listAfterOpeningSortsAndDeletes();
    void menusHoldTheirCommandsInOrderWithUniqueKeys();
    void viewOfAStatusReportAndOfAJoinedMessage();
    void replyAndForwardFillTheSendDialog();
    void countersAndMarkersFollowTheTyping();
    void failedSendAsksRetryThenStoresTheMessage();
    void phonebookCommandsOpenTheSendDialog();
    void groupsAddSkipDuplicatesAndSendToEveryMember();
    void predefinedTextsAreCutAndSavedWithoutEmptyRows();
    void commandModeOpensOnlyWithAModuleAndTicks();
    void columnWidthsAreSavedAndRestored();
};

void SmsWindowsTest::listAfterOpeningSortsAndDeletes() {
    Rig rig({}, kFourMessages);
    auto w = rig.openList();
    QCOMPARE(rows(messageList(*w)),
             (QStringList{"3|2||0401234||Draft", "2|0|01/04/11 09:00:00|0301234567|Bob|Morning",
                          "1|1|01/04/12 13:45:00|+49123456789|Anna Schmidt|Hello",
                          "4|1|01/04/13 10:15:00|+4940555666|Carl|01/04/13 10:15:12"}));
    QCOMPARE(labelTexts(*w, {"usedLabel", "capacityLabel", "memoryStateLabel"}),
             (QStringList{"4", "20", "Space available"}));
    // The newest row has the focus and the selection.
    QTreeWidget* list = messageList(*w);
    QCOMPARE(list->currentItem(), list->topLevelItem(3));
    QVERIFY(list->currentItem()->isSelected());
    QCOMPARE(list->toolTip(), catalogue(msg::TipRightButtonFunctions));
    // The status number is told in words.
    QCOMPARE(list->topLevelItem(0)->toolTip(1), catalogue(msg::StatusStoredUnsent));
    QCOMPARE(list->topLevelItem(1)->toolTip(1), catalogue(msg::StatusReceivedUnread));

    // The headers and the memory state follow the language.
    Rig german({}, kFourMessages);
    german.session->language = Language::German;
    MessageListWindow g(*german.session, german.reporter, nullptr,
                        german.localFile().toStdString());
    QCOMPARE(headers(messageList(g)),
             (QStringList{"Nr.", "Typ", "Datum", "Absender", "Name", "Text"}));
    QCOMPARE(child<QLabel>(g, "memoryStateLabel")->text(), QStringLiteral("Platz vorhanden"));

    // Header clicks sort; Delete removes the selected rows.
    clickHeader(list, 0);
    QCOMPARE(column(list, 0), (QStringList{"1", "2", "3", "4"}));
    clickHeader(list, 0);  // the same order again
    QCOMPARE(column(list, 0), (QStringList{"1", "2", "3", "4"}));
    clickHeader(list, 3);
    QCOMPARE(column(list, 3),
             (QStringList{"+49123456789", "+4940555666", "0301234567", "0401234"}));

    // Three selected rows: three deletions, each with its own index.
    list->clearSelection();
    for (const char* index : {"1", "3", "4"})
        rowWith(list, QString::fromLatin1(index), 0)->setSelected(true);
    rig.sim->clearReceived();
    QTest::mouseClick(child<QPushButton>(*w, "deleteButton"), Qt::LeftButton);
    Lines deletions = rig.lines();
    std::sort(deletions.begin(), deletions.end());
    QCOMPARE(deletions, (Lines{"AT+CMGD=1", "AT+CMGD=3", "AT+CMGD=4"}));
    QCOMPARE(column(list, 0), QStringList{"2"});
    QCOMPARE(labelText(*w, "usedLabel"), QStringLiteral("1"));
}

void SmsWindowsTest::menusHoldTheirCommandsInOrderWithUniqueKeys() {
    Rig rig({}, kFourMessages);
    auto w = rig.openList();
    const QStringList commands{"&Send stored message...",   "&New / reply...", "&View...",
                               "Transfer to &phonebook...", "Expor&t CSV...",  "Export &XML..."};
    QCOMPARE(actionTexts(w->menuBar()->actions().front()->menu()), commands);
    QCOMPARE(actionTexts(w->contextMenu()), commands);

    gui::PredefinedDialog predefined(*rig.session, rig.reporter);
    QCOMPARE(actionTexts(predefined.contextMenu()),
             (QStringList{"&Store message", "&Delete entry"}));
    gui::GroupDialog groups(*rig.session, rig.reporter);
    const QStringList groupCommands{"&Send message to the group...", "&Load group...",
                                    "Sa&ve group...", "&Delete group"};
    QCOMPARE(actionTexts(groups.contextMenu()), groupCommands);
    QCOMPARE(actionTexts(groups.menuBar()->actions().front()->menu()), groupCommands);

    // Every menu's keys are unique in every language.
    gui::MainWindow main(*rig.session, rig.reporter);
    QList<QMenu*> menus;
    for (QWidget* window : std::initializer_list<QWidget*>{w.get(), &predefined, &groups, &main})
        menus += window->findChildren<QMenu*>();
    QCOMPARE(menus.size(), 8);  // two per window, one each on the bars of the three dialogs
    QCOMPARE(test::menuKeyClash(menus), QString());

    // Transfer to the phonebook wants a phonebook read first.
    w->transferToPhonebook();
    QCOMPARE(rig.reporter.ids(), (std::vector<int>{msg::ReadPhonebookFirst}));
}

void SmsWindowsTest::viewOfAStatusReportAndOfAJoinedMessage() {
    Rig rig;  // the demo memory: parts 1, 3, 2 of one message at 5, 6, 7; a report at 8
    auto w = rig.openList();
    QTreeWidget* list = messageList(*w);
    std::map<QString, QString> shown;
    w->runDialog = [&](QDialog& d) {
        for (const char* name : {"senderLabel", "dateLabel", "statusLabel", "partLabel"})
            shown[QString::fromLatin1(name)] = child<QLabel>(d, name)->text();
        shown[QStringLiteral("partShown")] = child<QLabel>(d, "partLabel")->isHidden()
                                                 ? QStringLiteral("no")
                                                 : QStringLiteral("yes");
        shown[QStringLiteral("text")] = child<QPlainTextEdit>(d, "textView")->toPlainText();
    };
    const auto doubleClick = [&](const char* index) {
        doubleClickRow(list, rowWith(list, QString::fromLatin1(index), 0));
    };
    doubleClick("8");
    QCOMPARE(shown["text"], QStringLiteral("01/03/21 10:15:12"));  // the discharge time
    QCOMPARE(shown["dateLabel"], QStringLiteral("01/03/21 10:15:00"));
    // The name found for +4930123456: the key 30123456 is in Bob's 0301234567.
    QCOMPARE(shown["senderLabel"], QStringLiteral("Bob"));
    QCOMPARE(shown["statusLabel"], catalogue(msg::StatusReceivedRead));
    QCOMPARE(shown["partShown"], QStringLiteral("no"));

    doubleClick("7");
    QCOMPARE(shown["partLabel"], QStringLiteral("part 2 of 3"));
    QCOMPARE(shown["partShown"], QStringLiteral("yes"));
    QVERIFY(shown["text"].startsWith(QStringLiteral("Hallo mein Schatz")));
    QVERIFY(shown["text"].endsWith(QStringLiteral("Liebe Grüße, Mama")));
}

void SmsWindowsTest::replyAndForwardFillTheSendDialog() {
    Rig rig({}, kFourMessages);
    auto w = rig.openList();
    QTreeWidget* list = messageList(*w);
    list->setCurrentItem(rowWith(list, QStringLiteral("1"), 0));
    QString number;
    QStringList names;
    w->runDialog = [&](QDialog& d) {
        auto* combo = child<QComboBox>(d, "recipientCombo");
        number = combo->currentText();
        for (int i = 0; i < combo->count(); ++i)
            names << combo->itemText(i);
        QTest::keyClicks(child<QPlainTextEdit>(d, "textEdit"), QStringLiteral("Thanks"));
        clickButton(d, QDialogButtonBox::Ok);
    };
    w->newOrReply();
    QCOMPARE(number, QStringLiteral("+49123456789"));
    QCOMPARE(names, (QStringList{"Anna Schmidt", "Bob", "Carl"}));
    QCOMPARE(rig.phone().sms.sent.size(), std::size_t(1));

    // An empty recipient: message 29 and the dialog stays open.
    bool stillOpen = false;
    w->runDialog = [&](QDialog& d) {
        d.show();
        child<QComboBox>(d, "recipientCombo")->setEditText(QString());
        QTest::keyClicks(child<QPlainTextEdit>(d, "textEdit"), QStringLiteral("Hi"));
        clickButton(d, QDialogButtonBox::Ok);
        stillOpen = d.isVisible();
    };
    rig.reporter.shown.clear();
    w->newOrReply();
    QVERIFY(stillOpen);
    QCOMPARE(rig.reporter.ids(), (std::vector<int>{msg::EnterNumber}));

    // Forward keeps the row's text as it was, with its number; a name typed
    // in the box is looked up in the name directory.
    list->setCurrentItem(rowWith(list, QStringLiteral("2"), 0));
    QString shown;
    w->runDialog = [&](QDialog& d) {
        auto* text = child<QPlainTextEdit>(d, "textEdit");
        auto* combo = child<QComboBox>(d, "recipientCombo");
        shown = text->toPlainText() + u'|' + combo->currentText();
        QVERIFY(!text->isEnabled());
        QVERIFY(!child<QCheckBox>(d, "eightBitCheck")->isEnabled());
        combo->setEditText(QStringLiteral("Carl"));
        clickButton(d, QDialogButtonBox::Ok);
    };
    w->sendStored();
    QCOMPARE(shown, QStringLiteral("Morning|0301234567"));
    const PhoneState phone = rig.phone();
    QCOMPARE(phone.sms.sent.size(), std::size_t(2));
    QVERIFY(phone.sms.sent[1].find(phonesim::addressField("040555666")) != std::string::npos);
}

// The counters and the part size follow every change; a marker typed
// inserts its predefined text.
void SmsWindowsTest::countersAndMarkersFollowTheTyping() {
    Rig rig({}, kFourMessages);
    rig.session->settings.ptxt[2] = "at the station";
    auto w = rig.openList();
    QStringList seen, marked;
    w->runDialog = [&](QDialog& d) {
        auto* text = child<QPlainTextEdit>(d, "textEdit");
        const auto counters = [&] {
            return child<QLabel>(d, "typedLabel")->text() + u' ' +
                   child<QLabel>(d, "leftLabel")->text() + u' ' +
                   child<QLabel>(d, "partsLabel")->text();
        };
        seen << counters();
        QTest::keyClicks(text, QString(199, u'a'));
        QTest::keyClick(text, Qt::Key_B);  // every change counts
        seen << counters();
        QTest::mouseClick(child<QCheckBox>(d, "eightBitCheck"), Qt::LeftButton);
        seen << counters();
        QTest::keyClick(text, Qt::Key_Backspace);
        seen << counters();
        // What a message cannot carry is named; an extension character
        // counts two in a 7-bit part.
        const auto refused = [&] {
            auto* l = child<QLabel>(d, "unsupportedLabel");
            return l->isVisibleTo(&d) ? l->text() : QString();
        };
        text->setPlainText(QStringLiteral("a{€ł"));
        seen << counters() << refused();
        QTest::mouseClick(child<QCheckBox>(d, "eightBitCheck"), Qt::LeftButton);
        seen << counters() << refused();
        QCOMPARE(child<QSpinBox>(d, "validitySpin")->value(), 4);
        QCOMPARE(child<QSpinBox>(d, "validitySpin")->maximum(), 4);
        QCOMPARE(child<QSpinBox>(d, "validitySpin")->minimum(), 1);

        for (const char* typed : {"Meet me #3#", "Meet me #51#", "Meet me #0#"}) {
            text->clear();
            QTest::keyClicks(text, QString::fromLatin1(typed));
            marked << text->toPlainText();
        }
        QTest::keyClicks(text, QStringLiteral(" now"));
        marked << child<QLabel>(d, "typedLabel")->text();
    };
    w->newOrReply();
    QCOMPARE(seen, (QStringList{"0 0 0", "200 120 2", "200 80 2", "199 81 2", "4 136 1",
                                "Characters a message cannot carry: € arrives as ?, ł arrives as ?",
                                "6 154 1", "Characters a message cannot carry: ł arrives as ?"}));
    QCOMPARE(marked, (QStringList{"Meet me at the station", "Meet me #51#", "Meet me #0#", "15"}));
}

void SmsWindowsTest::failedSendAsksRetryThenStoresTheMessage() {
    Rig rig({}, [](PhoneState& s) {
        kFourMessages(s);
        s.failing.insert("AT+CMGS");
    });
    auto w = rig.openList();
    rig.reporter.answers = {Answer::Retry, Answer::Cancel, Answer::Yes};
    w->runDialog = [&](QDialog& d) {
        child<QComboBox>(d, "recipientCombo")->setEditText(QStringLiteral("0301234567"));
        QTest::keyClicks(child<QPlainTextEdit>(d, "textEdit"), QStringLiteral("Call me"));
        clickButton(d, QDialogButtonBox::Ok);
    };
    rig.sim->clearReceived();
    w->newOrReply();
    QCOMPARE(rig.reporter.ids(), (std::vector<int>{msg::MessagesNotSent, msg::MessagesNotSent,
                                                   msg::StoreUnsentMessage}));
    QCOMPARE(rig.count("AT+CMGW="), std::size_t(1));  // the sends: e2e SmsTest
    QCOMPARE(rig.reporter.progressDisplay, Reporter::Display::Sending);
    // The stored part is a new row at the end, with the recipient and the text.
    QTreeWidget* list = messageList(*w);
    QCOMPARE(list->topLevelItemCount(), 5);
    QCOMPARE(rows(list).back(), QStringLiteral("5|||0301234567||Call me"));
    QCOMPARE(labelText(*w, "usedLabel"), QStringLiteral("5"));
    QCOMPARE(rig.phone().sms.messages.at(5).status, 2);
    QCOMPARE(statusLine(*w), QStringLiteral("stored as message 5"));
}

// The phonebook window's commands open the send dialog for the current
// entry or Redbook member (Cancel sends nothing), or for every selected
// entry without the number to edit.
void SmsWindowsTest::phonebookCommandsOpenTheSendDialog() {
    Rig rig({}, memoryOf({}));
    gui::PhonebookWindow book(*rig.session, rig.reporter);
    QStringList shown;
    const auto numberShown = [](QDialog& d) {
        auto* number = child<QLineEdit>(d, "numberEdit");
        return number->text() + (number->isEnabled() ? QStringLiteral("|e") : QStringLiteral("|-"));
    };
    book.runDialog = [&](QDialog& d) {
        shown << child<QLabel>(d, "nameLabel")->text() + u'|' + numberShown(d);
    };
    auto* list = child<QTreeWidget>(book, "phonebookList");
    list->setCurrentItem(list->topLevelItem(4));  // Müller
    book.sendMessage();
    auto* redbook = child<QTreeWidget>(book, "redbookList");
    redbook->setCurrentItem(redbook->topLevelItem(0));
    book.sendToRedbookEntry();
    QCOMPARE(shown, (QStringList{"Müller|+4930123456|e", "Mama!|+491701234567|e"}));
    QVERIFY(rig.phone().sms.sent.empty());

    list->clearSelection();
    for (int i = 0; i < 3; ++i)
        list->topLevelItem(i)->setSelected(true);
    shown.clear();
    book.runDialog = [&](QDialog& d) {
        const QString before = numberShown(d);
        QTest::keyClicks(child<QPlainTextEdit>(d, "textEdit"), QStringLiteral("Party at 8"));
        clickButton(d, QDialogButtonBox::Ok);
        shown << before << numberShown(d);
    };
    rig.sim->clearReceived();
    book.multicastMessage();
    QCOMPARE(rig.phone().sms.sent.size(), std::size_t(3));
    // While sending, the last of the three shows.
    QCOMPARE(shown, (QStringList{"|-", "01712345678|-"}));
    QCOMPARE(statusLine(book), QStringLiteral("Sent to 3 of 3 recipients"));
    // No service-centre query: the phonebook window's record is carried.
    QCOMPARE(rig.count("AT+CSCA"), std::size_t(0));
    QVERIFY(rig.phone().sms.sent[0].rfind(phonesim::serviceCentreField(kCentre), 0) == 0);
}

void SmsWindowsTest::groupsAddSkipDuplicatesAndSendToEveryMember() {
    Rig rig({}, memoryOf({}));
    auto w = rig.openList();  // loads the name directory
    gui::GroupDialog groups(*rig.session, rig.reporter);
    auto* source = child<QTreeWidget>(groups, "sourceList");
    auto* members = child<QTreeWidget>(groups, "memberList");
    QCOMPARE(source->topLevelItemCount(), 3);
    for (int i = 0; i < 3; ++i)
        source->topLevelItem(i)->setSelected(true);
    QTest::mouseClick(child<QPushButton>(groups, "addButton"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(groups, "addButton"), Qt::LeftButton);
    QCOMPARE(members->topLevelItemCount(), 3);  // the second click added nobody

    // The Delete key removes the member with the selection mark.
    members->setFocus();
    members->setCurrentItem(members->topLevelItem(1));
    QTest::keyClick(members, Qt::Key_Delete);
    QCOMPARE(rows(members), (QStringList{"Anna Schmidt|0123456789", "Carl|040555666"}));

    // Saving, then loading into the dialog asks nothing; the file is read back.
    const QString file = rig.dir.filePath(QStringLiteral("team.srp"));
    groups.chooseSaveFile = [&](const QString&, const QString&) { return file; };
    groups.chooseOpenFile = [&](const QString&, const QString&) { return file; };
    groups.saveGroup();
    groups.loadGroup();
    QVERIFY(rig.reporter.shown.empty());
    QCOMPARE(members->topLevelItemCount(), 2);

    bool nameFieldEnabled = true;
    groups.runDialog = [&](QDialog& d) {
        nameFieldEnabled = child<QLineEdit>(d, "numberEdit")->isEnabled();
        QTest::keyClicks(child<QPlainTextEdit>(d, "textEdit"), QStringLiteral("Team meeting"));
        clickButton(d, QDialogButtonBox::Ok);
    };
    rig.sim->clearReceived();
    groups.sendToGroup();
    QVERIFY(!nameFieldEnabled);
    QCOMPARE(rig.phone().sms.sent.size(), std::size_t(2));  // to whom: e2e GroupSession
}

void SmsWindowsTest::predefinedTextsAreCutAndSavedWithoutEmptyRows() {
    Rig rig(QStringLiteral("Ptxt2=old third\r\n"), memoryOf({}));
    rig.session->settings.readTextsAndColumns(rig.session->ini);
    gui::PredefinedDialog dialog(*rig.session, rig.reporter);
    auto* list = child<QTreeWidget>(dialog, "predefinedList");
    QCOMPARE(list->topLevelItemCount(), 50);
    QCOMPARE(list->topLevelItem(2)->text(0), QStringLiteral("old third"));
    QCOMPARE(list->topLevelItem(49)->text(1), QStringLiteral("50"));
    QCOMPARE(list->toolTip(), catalogue(msg::TipEditEntries));

    list->topLevelItem(0)->setText(0, QString(170, u'x'));  // an edit in place
    QCOMPARE(list->topLevelItem(0)->text(0), QString(160, u'x'));

    list->setFocus();
    list->setCurrentItem(list->topLevelItem(2));
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(list->topLevelItem(2)->text(0), QString());
    QVERIFY(rig.session->settings.ptxt[2].empty());  // the marker inserts nothing now

    QTest::mouseClick(child<QPushButton>(dialog, "saveButton"), Qt::LeftButton);
    // Empty rows are skipped: the old third text stays.
    QCOMPARE(rig.iniValues({"Ptxt0", "Ptxt1", "Ptxt2"}),
             (QStringList{QString(160, u'x'), "-", "old third"}));

    // Storing the first selected row's text adds an unsent message (what
    // the phone holds then: e2e PredefinedSession).
    list->setCurrentItem(list->topLevelItem(0));
    dialog.storeMessage();
    QCOMPARE(rig.session->sms.list.rows.back().text, std::string(160, 'x'));
}

void SmsWindowsTest::commandModeOpensOnlyWithAModuleAndTicks() {
    Rig rig(QStringLiteral("CheckSMS=1\r\nWaitSec=9\r\n"),
            memoryOf({{1, {0, received("+49123456789", "010412134500", "PING")}},
                      {2, {1, received("0301234567", "010412134600", "hello")}}}));
    {
        // Without a module (neither the working directory nor the test
        // program's holds one) the dialog does not open.
        gui::MainWindow main(*rig.session, rig.reporter);
        bool ran = false;
        main.runDialog = [&](QDialog&) { ran = true; };
        rig.reporter.shown.clear();
        child<QAction>(main, "commandModeAction")->trigger();
        QVERIFY(!ran);
        QCOMPARE(rig.reporter.ids(), (std::vector<int>{msg::ModuleNotLoaded}));
        QVERIFY(main.isEnabled());
    }
    QVERIFY(QFile::copy(QStringLiteral(VONDRIX_SMSCOM_PATH),
                        rig.dir.filePath(QStringLiteral("smscom.so"))));
    rig.sim->clearReceived();
    CommandModeSession::Options options;
    options.localFile = rig.localFile().toStdString();
    options.mode.moduleDirectories = {rig.dir.path().toStdString()};
    options.mode.logPath = rig.dir.filePath(QStringLiteral("Vondrix.log")).toStdString();
    auto dialog = gui::CommandModeDialog::open(*rig.session, rig.reporter, options);
    QVERIFY(dialog);
    QCOMPARE(rig.lines(), Lines{"AT+CSCA?"});
    auto* state = child<QLabel>(*dialog, "stateLabel");
    auto* interval = child<QSpinBox>(*dialog, "intervalSpin");
    QCOMPARE(interval->value(), 9);
    QCOMPARE(interval->minimum(), 2);
    QCOMPARE(interval->maximum(), 600);
    QVERIFY(child<QCheckBox>(*dialog, "checkSmsCheck")->isChecked());
    QVERIFY(!dialog->timer()->isActive());
    QCOMPARE(state->text(), QString());

    // The interval arrows start a stopped timer with the new period.
    interval->stepDown();
    QVERIFY(dialog->timer()->isActive());
    QCOMPARE(dialog->timer()->interval(), 8000);
    QCOMPARE(state->text(), QStringLiteral("Waiting"));
    QTest::mouseClick(child<QPushButton>(*dialog, "stopButton"), Qt::LeftButton);
    QVERIFY(!dialog->timer()->isActive());
    QCOMPARE(state->text(), QString());
    QTest::mouseClick(child<QPushButton>(*dialog, "startButton"), Qt::LeftButton);
    QVERIFY(dialog->timer()->isActive());

    // Each tick is a check (what a check does: CommandMode in the e2e tests);
    // a tick during a check does nothing: the busy flag.
    dialog->session().mode().onStateChange = [&](sms::CommandModeState) {
        if (dialog->session().mode().busy())
            dialog->tick();
    };
    rig.sim->clearReceived();
    dialog->tick();
    dialog->tick();
    QCOMPARE(rig.count("AT+CMGL=4"), std::size_t(2));
    QCOMPARE(rig.count("AT+CMGD=1"), std::size_t(1));  // PING handled once, then gone
    QCOMPARE(rig.phone().sms.sent.size(), std::size_t(1));
    QCOMPARE(state->text(), QStringLiteral("Waiting"));

    child<QCheckBox>(*dialog, "logCheck")->click();
    QVERIFY(child<QCheckBox>(*dialog, "logCheck")->isChecked());
    dialog->close();
    QCOMPARE(rig.iniValue("WaitSec"), QStringLiteral("8"));
    QCOMPARE(rig.iniValue("MonProt"), QStringLiteral("1"));
    QCOMPARE(rig.iniValue("CheckSMS"), QStringLiteral("1"));
    QVERIFY(!dialog->timer()->isActive());
}

// Each list's widths go to its keys on closing and come back at the next
// opening; the groups' two lists share theirs.
void SmsWindowsTest::columnWidthsAreSavedAndRestored() {
    Rig rig({}, kFourMessages);
    {
        auto w = rig.openList();
        for (int c = 0; c < 6; ++c)
            messageList(*w)->header()->resizeSection(c, 40 + 10 * c);
        w->close();
        gui::PredefinedDialog predefined(*rig.session, rig.reporter);
        child<QTreeWidget>(predefined, "predefinedList")->header()->resizeSection(0, 222);
        predefined.close();
        gui::GroupDialog groups(*rig.session, rig.reporter);
        child<QTreeWidget>(groups, "sourceList")->header()->resizeSection(1, 111);
        groups.close();
    }
    QCOMPARE(
        rig.iniValues({"SCol0", "SCol1", "SCol2", "SCol3", "SCol4", "SCol5", "PCol0", "GCol1"}),
        (QStringList{"40", "50", "60", "70", "80", "90", "222", "111"}));
    auto w = rig.openList();
    QCOMPARE(widths(messageList(*w)), (QList<int>{40, 50, 60, 70, 80, 90}));
    gui::PredefinedDialog predefined(*rig.session, rig.reporter);
    QCOMPARE(child<QTreeWidget>(predefined, "predefinedList")->header()->sectionSize(0), 222);
    gui::GroupDialog groups(*rig.session, rig.reporter);
    QCOMPARE(child<QTreeWidget>(groups, "memberList")->header()->sectionSize(1), 111);
}

QTEST_MAIN(SmsWindowsTest)
#include "SmsWindowsTest.moc"
