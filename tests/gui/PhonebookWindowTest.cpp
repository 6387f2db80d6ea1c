// The phonebook window with its entry and PIN2 dialogs, driven for real
// (offscreen) against the simulated phone.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "gui/GuiApp.h"
#include "gui/GuiReporter.h"
#include "gui/GuiRig.h"
#include "gui/PhoneWorker.h"
#include "gui/PhonebookWindow.h"
#include "gui/Pin2Dialog.h"
#include "gui/Shell.h"
#include "phonesim/Simulator.h"
#include "session/Startup.h"
#include "support/RecordingReporter.h"

using namespace vondrix;
using namespace vondrix::test;
using vondrix::gui::PhonebookWindow;
using Lines = std::vector<std::string>;

namespace {

// Also lets a test look at the window whenever the operations pump.
struct PumpingReporter : test::RecordingReporter {
    std::function<void()> onPump;
    void pump() override {
        if (onPump)
            gui::onUiThread([this] { onPump(); });  // pumps on the phone worker
    }
};

struct Rig : test::GuiRig<PumpingReporter> {
    using GuiRig::GuiRig;

    // The window, shown, saving its local file in the rig's directory.
    std::unique_ptr<PhonebookWindow> open() {
        auto w = std::make_unique<PhonebookWindow>(*session, reporter);
        w->setLocalFile(localFile().toStdString());
        return shown(std::move(w));
    }
    QString localFile() const { return dir.filePath(QStringLiteral("Vondrix.phb")); }
    QByteArray localFileContent() const { return fileContent(localFile()); }
    bool wrote() const {
        const auto l = lines();
        return std::any_of(l.begin(), l.end(),
                           [](const auto& s) { return s.rfind("AT+CPBW", 0) == 0; });
    }
};

QTreeWidget* bookList(PhonebookWindow& w) {
    return child<QTreeWidget>(w, "phonebookList");
}
QTreeWidget* redbookList(PhonebookWindow& w) {
    return child<QTreeWidget>(w, "redbookList");
}

QStringList lineTexts(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

QPoint centreOf(QListWidget* list, int line) {
    return list->visualItemRect(list->item(line)).center();
}

// Right-clicks `list` at `at` (viewport coordinates) and returns the texts
// of the menu that opens (none when no menu opens). The item `choose`, when
// given, is then triggered.
QStringList rightClick(QAbstractScrollArea* list, QPoint at, const QString& choose = {}) {
    QStringList texts;
    QPointer<QAction> picked;
    QTimer look;
    look.setSingleShot(true);
    QObject::connect(&look, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* a : menu->actions()) {
            texts << a->text();
            if (a->text() == choose)
                picked = a;
        }
        menu->close();
    });
    look.start(0);
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, at);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &event);
    QCoreApplication::processEvents();  // no menu: the look still happens here
    if (picked)
        picked->trigger();
    return texts;
}

// Runs the entry dialog in place of the window's modal run: `fill` types
// into it, then OK or Cancel is clicked.
struct EntryDriver {
    explicit EntryDriver(PhonebookWindow& w) {
        w.runDialog = [this](QDialog& d) { run(d); };
    }
    void run(QDialog& d) {
        ++runs;
        d.show();
        auto* name = child<QLineEdit>(d, "nameEdit");
        auto* number = child<QLineEdit>(d, "numberEdit");
        shownName = name->text();
        shownNumber = number->text();
        if (fill)
            fill(name, number);
        auto* box = child<QDialogButtonBox>(d, "buttonBox");
        QTest::mouseClick(box->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel),
                          Qt::LeftButton);
        stillOpen = d.isVisible();
        typedName = name->text();
        typedNumber = number->text();
        const auto* problemLabel = child<QLabel>(d, "problemLabel");
        problem = problemLabel->isVisible() ? problemLabel->text() : QString();
    }
    void typing(const QString& name, const QString& number) {
        fill = [name, number](QLineEdit* n, QLineEdit* m) {
            QTest::keyClicks(n, name);
            QTest::keyClicks(m, number);
        };
    }

    std::function<void(QLineEdit* name, QLineEdit* number)> fill;
    bool ok = true;
    int runs = 0;
    QString shownName, shownNumber;
    bool stillOpen = false;  // after OK or Cancel
    QString typedName, typedNumber, problem;
};

const QStringList kSimRows = {
    "4|Café Lyon|+33478123456", "6|Info@Home|0891234567", "2|Jürgen Öztürk|01712345678",
    "7|Mama!|+491701234567",    "1|Müller|+4930123456",   "8|Taxi Straße|0302223344",
    "3|Åse Berg|+4740123456",
};

}  // namespace

class PhonebookWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void openingFillsEveryList();
    void switchingKindsReadsWithTheWindowsBarAndReopensOnTheSim();
    void fullPhonebookGivesMessage22();
    void redbookByDoubleClickAndDeleteKeys();
    void headerClicksSortAndContextMenusHoldTheirItems();
    void headersAndMenuKeys();
    void entryDialogWarnsAndSaves();
    void pin2DialogTakesDigitsAndCancelWritesNothing();
    void callListCommandsKeysAndButtons();
    void exportAndImport();
    void closingStoresWidthsAndSavesTheFile();
};

void PhonebookWindowTest::openingFillsEveryList() {
    Rig rig;
    auto w = rig.open();
    QCOMPARE(rows(bookList(*w)), kSimRows);
    QCOMPARE(rows(redbookList(*w)), QStringList{"1|Mama!|+491701234567"});
    QCOMPARE(
        labelTexts(*w, {"ownNumber1", "ownNumber2", "ownNumber3", "entryCountLabel", "maxLabel"}),
        (QStringList{"+491711234567", "+491711234568", "", "7", "250"}));
    const QStringList dialled = lineTexts(child<QListWidget>(*w, "dialledList"));
    const QStringList missed = lineTexts(child<QListWidget>(*w, "missedList"));
    const QStringList received = lineTexts(child<QListWidget>(*w, "receivedList"));
    QCOMPARE(dialled.size() + missed.size() + received.size(), 30);
    QCOMPARE(dialled.front(), QStringLiteral("Müller, +4930123456"));
    QCOMPARE(missed.front(), QStringLiteral(", 0301"));  // a call without a name
    QCOMPARE(received.front(), QStringLiteral("Jürgen Öztürk, 01712345678"));
    QCOMPARE(child<QLineEdit>(*w, "serviceCentreEdit")->text(), QStringLiteral("+491710760000"));
    auto* selector = child<QComboBox>(*w, "kindSelector");
    QCOMPARE((QStringList{selector->itemText(0), selector->itemText(1), selector->itemText(2)}),
             (QStringList{"SIM", "Internal", "SIM fix"}));
    QCOMPARE(selector->currentIndex(), 0);
    // The reading itself: e2e PhonebookReading.WindowOpeningReadsEverythingInOrder.
    QVERIFY(rig.reporter.shown.empty());
    QCOMPARE(redbookList(*w)->toolTip(), catalogue(11));
    QCOMPARE(child<QListWidget>(*w, "missedList")->toolTip(), catalogue(12));
}

void PhonebookWindowTest::switchingKindsReadsWithTheWindowsBarAndReopensOnTheSim() {
    Rig rig;
    auto w = rig.open();
    auto* selector = child<QComboBox>(*w, "kindSelector");
    auto* bar = child<QProgressBar>(*w, "progressBar");
    std::vector<int> barValues;
    bool enabledWhileReading = false;
    rig.reporter.onPump = [&] {
        barValues.push_back(bar->value());
        enabledWhileReading = enabledWhileReading || selector->isEnabled() ||
                              child<QWidget>(*w, "content")->isEnabled();
    };
    rig.sim->clearReceived();

    emit selector->activated(0);  // the kind shown: nothing is saved or read
    QVERIFY(rig.lines().empty());

    selector->setFocus();
    QTest::keyClick(selector, Qt::Key_Down);  // "Internal"
    QCOMPARE(rows(bookList(*w)), (QStringList{"2|Büro|+4989555123", "4|Pizza Napoli|0304445566",
                                              "1|Zahnarzt Dr. Kühn|0897654321"}));
    QCOMPARE(labelTexts(*w, {"entryCountLabel", "maxLabel"}), (QStringList{"3", "100"}));
    // The saving and reading: e2e PhonebookReading.SwitchingKindsSavesFirstAndReadsTheNewKind.
    // The window's own bar showed the reading, with every control disabled.
    QVERIFY(!barValues.empty() && *std::max_element(barValues.begin(), barValues.end()) > 1);
    QCOMPARE(bar->value(), 0);
    // The reading window (of the opening) was not used again.
    QCOMPARE(rig.reporter.progressDisplay, Reporter::Display::Reading);
    QVERIFY(!enabledWhileReading);
    QVERIFY(selector->isEnabled());

    // Closing keeps both kinds in the local file, each in its section; the
    // window opens again on the SIM.
    rig.reporter.onPump = {};
    w->close();
    QVERIFY(rig.localFileContent().contains("\r\n[INT]\r\n1,Zahnarzt Dr. K\xfchn+,0897654321\r\n"));
    w = rig.open();
    QCOMPARE(child<QComboBox>(*w, "kindSelector")->currentText(), QStringLiteral("SIM"));
    QCOMPARE(rows(bookList(*w)), kSimRows);
    // A new entry goes to the SIM, at its first free location.
    EntryDriver driver(*w);
    driver.typing(QStringLiteral("Anna"), QStringLiteral("+441234"));
    rig.sim->clearReceived();
    w->newEntry();
    QCOMPARE(rig.lines(), (Lines{"AT^SPBS=SM", "AT+CPBW=5,+441234,145,\"Anna\""}));
    QCOMPARE(bookList(*w)->currentItem()->text(1), QStringLiteral("Anna"));
    QCOMPARE(labelText(*w, "entryCountLabel"), QStringLiteral("8"));
}

void PhonebookWindowTest::fullPhonebookGivesMessage22() {
    Rig rig({}, [](phonesim::PhoneState& s) {
        s.sim.size = 8;
        s.sim.entries[5] = {"0305", 129, "Funf"};
    });
    auto w = rig.open();
    EntryDriver driver(*w);
    rightClick(bookList(*w), centreOf(bookList(*w), bookList(*w)->topLevelItem(0)),
               QStringLiteral("&New entry..."));
    QCOMPARE(rig.reporter.ids(), std::vector<int>{22});
    QCOMPARE(driver.runs, 0);
}

// A double click adds to the Redbook unless the entry is a member; Delete
// removes from it, or deletes the entry.
void PhonebookWindowTest::redbookByDoubleClickAndDeleteKeys() {
    Rig rig;
    auto w = rig.open();
    QTreeWidget* list = bookList(*w);
    const auto doubleClick = [list](const QString& name) {
        doubleClickRow(list, rowWith(list, name, 1));
    };
    rig.sim->clearReceived();
    doubleClick(QStringLiteral("Mama!"));
    QCOMPARE(rig.reporter.ids(), std::vector<int>{23});
    QVERIFY(rig.lines().empty());

    doubleClick(QStringLiteral("Müller"));
    QVERIFY(rig.received("AT+CPBW=1,+4930123456,145,\"M\\7Eller!\""));
    QCOMPARE(list->currentItem()->text(1), QStringLiteral("Müller!"));
    QCOMPARE(rows(redbookList(*w)),
             (QStringList{"1|Mama!|+491701234567", "2|Müller!|+4930123456"}));
    rig.reporter.shown.clear();

    // Delete on the Redbook removes without a question.
    QTreeWidget* redbook = redbookList(*w);
    clickRow(redbook, redbook->topLevelItem(0));
    rig.sim->clearReceived();
    QTest::keyClick(redbook, Qt::Key_Delete);
    QVERIFY(rig.reporter.shown.empty());
    QVERIFY(rig.received("AT+CPBW=7,+491701234567,145,\"Mama\""));
    QCOMPARE(rows(redbook), QStringList{"2|Müller!|+4930123456"});
    QVERIFY(rows(list).contains(QStringLiteral("7|Mama|+491701234567")));
    QCOMPARE(statusLine(*w), QStringLiteral("Mama removed from the Redbook"));

    // A Redbook member deleted from the phone leaves the list, the count,
    // the Redbook and the local file at once.
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    clickRow(list, rowWith(list, QStringLiteral("Mama"), 1));
    QTest::keyClick(list, Qt::Key_B, Qt::ControlModifier);  // the double click's command
    QCOMPARE(redbook->topLevelItemCount(), 2);
    QCOMPARE(statusLine(*w), QStringLiteral("Mama added to the Redbook"));
    rig.sim->clearReceived();
    QTest::keyClick(list, Qt::Key_Delete);  // asks message 14; the rig answers Yes
    QCOMPARE(rig.reporter.ids(), std::vector<int>{14});
    QCOMPARE(rig.lines(), Lines{"AT+CPBW=7"});  // no selection command first
    QCOMPARE(list->topLevelItemCount(), 6);
    QVERIFY(list->findItems(QStringLiteral("7"), Qt::MatchExactly, 0).isEmpty());
    QCOMPARE(labelText(*w, "entryCountLabel"), QStringLiteral("6"));
    QCOMPARE(redbook->topLevelItemCount(), 1);
    QCOMPARE(statusLine(*w), QStringLiteral("Entry 7 deleted"));
    w->saveLocalFile();
    QVERIFY(!rig.localFileContent().contains("Mama"));
    // The other rows still answer for their own entries.
    clickRow(list, rowWith(list, QStringLiteral("Taxi Straße"), 1));
    rig.sim->clearReceived();
    w->deleteEntry();
    QCOMPARE(rig.lines(), (Lines{"AT^SPBS=SM", "AT+CPBW=8"}));
}

void PhonebookWindowTest::headerClicksSortAndContextMenusHoldTheirItems() {
    Rig rig;
    auto w = rig.open();
    QTreeWidget* list = bookList(*w);
    clickHeader(list, 2);
    QCOMPARE(column(list, 2),
             (QStringList{"+33478123456", "+4740123456", "+491701234567", "+4930123456",
                          "01712345678", "0302223344", "0891234567"}));
    clickHeader(list, 0);
    QCOMPARE(column(list, 0), (QStringList{"1", "2", "3", "4", "6", "7", "8"}));
    // The commands follow the order shown.
    EntryDriver driver(*w);
    driver.ok = false;
    clickRow(list, list->topLevelItem(0));
    w->editEntry();
    QCOMPARE(driver.shownName, QStringLiteral("Müller"));

    // So does the Redbook: removing its first row after a sort by name.
    QTreeWidget* redbook = redbookList(*w);
    clickRow(list, rowWith(list, QStringLiteral("Info@Home"), 1));
    w->addCurrentToRedbook();
    clickHeader(redbook, 1);
    QCOMPARE(rows(redbook), (QStringList{"2|Info@Home!|0891234567", "1|Mama!|+491701234567"}));
    clickRow(redbook, redbook->topLevelItem(0));
    w->removeCurrentFromRedbook();
    QCOMPARE(rows(redbook), QStringList{"1|Mama!|+491701234567"});

    // The context menus hold exactly their items.
    QCOMPARE(rightClick(list, centreOf(list, list->topLevelItem(2))),
             (QStringList{"Send &message...", "&New entry...", "&Edit entry...", "&Delete entry",
                          "&Call", "&Hang up", "&Redial", "&Print...", "Expor&t CSV...",
                          "Export &XML...", "Export &vCard...", "&Import...", "&Save to local file",
                          "N&ormalise numbers", "M&ulticast message...", "C&lear phonebook"}));
    QCOMPARE(list->currentItem(), list->topLevelItem(2));  // the right click chose the row
    for (const char* name : {"dialledList", "missedList", "receivedList"}) {
        auto* calls = child<QListWidget>(*w, name);
        QCOMPARE(rightClick(calls, centreOf(calls, 0)),
                 (QStringList{"Cop&y to phonebook...", "Call &back", "&Redial", "&Hang up"}));
    }
    QCOMPARE(
        rightClick(redbookList(*w), centreOf(redbookList(*w), redbookList(*w)->topLevelItem(0))),
        QStringList{"Send &message..."});
    // A chosen item runs its command on the row clicked.
    rig.sim->clearReceived();
    rightClick(list, centreOf(list, rowWith(list, QStringLiteral("Müller"), 1)),
               QStringLiteral("&Call"));
    QCOMPARE(rig.lines(), (Lines{"AT^SPBS=SM", "ATD>1;"}));
}

// The headers' wiring (every language's would only copy the window's
// table), and menu keys unique in every language.
void PhonebookWindowTest::headersAndMenuKeys() {
    Rig rig;
    rig.session->language = Language::German;
    PhonebookWindow w(*rig.session, rig.reporter);
    for (QTreeWidget* list : {bookList(w), redbookList(w)})
        QCOMPARE(headers(list), (QStringList{"Nr.", "Name", "Nummer"}));
    const QList<QMenu*> menus = w.findChildren<QMenu*>();
    QCOMPARE(menus.size(), 8);  // the lists' five and the menu bar's three
    QCOMPARE(test::menuKeyClash(menus), QString());
}

// The entry dialog warns on every change, and its OK saves or refuses.
void PhonebookWindowTest::entryDialogWarnsAndSaves() {
    Rig rig;
    auto w = rig.open();
    QTreeWidget* list = bookList(*w);
    EntryDriver driver(*w);
    driver.ok = false;
    driver.fill = [](QLineEdit* name, QLineEdit* number) {
        QTest::keyClicks(name, QStringLiteral("ABCDEFGHIJKLMNOP"));          // 16; the SIM takes 14
        QTest::keyClicks(number, QStringLiteral("0123456789012345678901"));  // 22; 20 fit
        QTest::keyClick(number, Qt::Key_Backspace);                          // 21: still too long
        QTest::keyClick(number, Qt::Key_Backspace);                          // 20: fits again
        QCOMPARE(name->text().size(), 16);  // the text is kept as typed
    };
    rig.sim->clearReceived();
    w->newEntry();
    QCOMPARE(rig.reporter.ids(), (std::vector<int>{26, 26, 28, 28, 28}));
    QVERIFY(!rig.wrote());  // Cancel writes nothing
    driver.ok = true;
    rig.reporter.shown.clear();

    // Edit: the entry's fields are shown, the change written to its location.
    clickRow(list, rowWith(list, QStringLiteral("Müller"), 1));
    driver.fill = [](QLineEdit*, QLineEdit* number) {
        number->selectAll();
        QTest::keyClicks(number, QStringLiteral("0301"));
    };
    w->editEntry();
    QCOMPARE(driver.shownName, QStringLiteral("Müller"));
    QCOMPARE(driver.shownNumber, QStringLiteral("+4930123456"));
    QVERIFY(rig.received("AT+CPBW=1,0301,129,\"M\\7Eller\""));
    QCOMPARE(list->currentItem()->text(2), QStringLiteral("0301"));
    QCOMPARE(statusLine(*w), QStringLiteral("Entry 1 changed"));

    // An empty name, or a character the phone cannot take in the name or
    // the number: its message, the dialog stays open with the input, nothing
    // written (which input is refused: e2e PhonebookWriting.EntryDialogChecks).
    rig.sim->clearReceived();
    driver.fill = [](QLineEdit* name, QLineEdit*) { name->clear(); };
    w->editEntry();
    QVERIFY(driver.stillOpen);
    QCOMPARE(driver.typedName, QString());
    QCOMPARE(driver.typedNumber, QStringLiteral("0301"));
    QCOMPARE(rig.reporter.ids(), std::vector<int>{27});
    const struct {
        QString name, number, problem;
    } refused[] = {
        {QStringLiteral("Zoë €"), QStringLiteral("0301"), QStringLiteral("Name: “€”")},
        {QStringLiteral("Bea"), QStringLiteral("0301 X"), QStringLiteral("Number: “blank”")},
    };
    for (const auto& r : refused) {
        driver.fill = [&r](QLineEdit* name, QLineEdit* number) {
            name->setText(r.name);
            number->setText(r.number);
        };
        w->newEntry();
        QVERIFY(driver.stillOpen);
        QCOMPARE(driver.typedName, r.name);
        QCOMPARE(driver.problem, catalogue(msg::ValueRefused) + " (" + r.problem + ")");
    }
    QCOMPARE(rig.reporter.ids().size(), std::size_t{1});  // no box for these
    QVERIFY(!rig.wrote());
}

void PhonebookWindowTest::pin2DialogTakesDigitsAndCancelWritesNothing() {
    Rig rig;
    auto w = rig.open();
    emit child<QComboBox>(*w, "kindSelector")->activated(2);  // "SIM fix"
    QCOMPARE(rows(bookList(*w)), (QStringList{"1|Notruf|112", "2|Zuhause|+4930987654"}));
    EntryDriver driver(*w);
    driver.typing(QStringLiteral("Arzt"), QStringLiteral("0301"));
    rig.sim->clearReceived();
    rig.reporter.shown.clear();
    w->newEntry();  // the PIN2 dialog is cancelled (no answer queued)
    QCOMPARE(rig.reporter.pin2Asked, 1);
    QVERIFY(rig.reporter.shown.empty());
    QCOMPARE(rig.lines(), Lines{"AT^SPBS=FD"});
    QCOMPARE(bookList(*w)->topLevelItemCount(), 2);  // with the PIN2: e2e FixedDialling

    // The program's PIN2 dialog takes digits only, hidden.
    gui::GuiReporter reporter(Language::English);
    const auto answer = [&reporter](const QString& typed, bool ok) {
        QTimer::singleShot(0, [typed, ok] {
            auto* dialog = qobject_cast<gui::Pin2Dialog*>(QApplication::activeModalWidget());
            if (!dialog) {  // do not leave a modal window waiting
                if (QWidget* other = QApplication::activeModalWidget())
                    other->close();
                QFAIL("no PIN2 dialog");
            }
            auto* edit = child<QLineEdit>(*dialog, "pinEdit");
            QCOMPARE(edit->echoMode(), QLineEdit::Password);
            QCOMPARE(dialog->focusWidget(), edit);
            QTest::keyClicks(edit, typed);
            auto* box = child<QDialogButtonBox>(*dialog, "buttonBox");
            QTest::mouseClick(box->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel),
                              Qt::LeftButton);
        });
        return reporter.askPin2();
    };
    using Pin = std::optional<std::string>;
    QCOMPARE(answer(QStringLiteral("12a3 4"), true), Pin("1234"));
    QCOMPARE(answer(QStringLiteral("123456789012345678901"), true), Pin("1234567890123456789"));
    QCOMPARE(answer(QString(), true), Pin(""));
    QCOMPARE(answer(QStringLiteral("1234"), false), Pin());
}

void PhonebookWindowTest::callListCommandsKeysAndButtons() {
    Rig rig;
    auto w = rig.open();
    // The help key; without a help file it says so.
    rig.session->helpFile = "no-such-help.hlp";
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QTest::keyClick(bookList(*w), Qt::Key_F1);
    QCOMPARE(rig.reporter.shown.size(), std::size_t{1});
    QCOMPARE(rig.reporter.shown[0].text, std::string("Unable to activate help"));
    rig.reporter.shown.clear();

    auto* missed = child<QListWidget>(*w, "missedList");
    auto* dialled = child<QListWidget>(*w, "dialledList");
    rig.sim->clearReceived();
    rightClick(missed, centreOf(missed, 0), QStringLiteral("Call &back"));
    rightClick(dialled, centreOf(dialled, 0), QStringLiteral("&Redial"));
    rightClick(dialled, centreOf(dialled, 0), QStringLiteral("&Hang up"));
    QCOMPARE(rig.lines(), (Lines{"ATD 0301;", "ATDL", "AT+CHUP"}));
    QVERIFY(rig.reporter.shown.empty());

    // A nameless call becomes a new entry with its number (blank included);
    // a call with a name is there already.
    EntryDriver driver(*w);
    driver.ok = false;
    rightClick(missed, centreOf(missed, 0), QStringLiteral("Cop&y to phonebook..."));
    QCOMPARE(driver.runs, 1);
    QCOMPARE(driver.shownName, QString());
    QCOMPARE(driver.shownNumber, QStringLiteral(" 0301"));
    rightClick(missed, centreOf(missed, 1), QStringLiteral("Cop&y to phonebook..."));
    QCOMPARE(driver.runs, 1);
    QCOMPARE(rig.reporter.ids(), std::vector<int>{73});

    // Escape and Enter do not close the window, wherever the focus is.
    rig.sim->clearReceived();
    rig.reporter.shown.clear();
    auto* edit = child<QLineEdit>(*w, "serviceCentreEdit");
    for (QWidget* target : std::initializer_list<QWidget*>{w.get(), bookList(*w), edit,
                                                           child<QComboBox>(*w, "kindSelector")}) {
        target->setFocus();
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
            QTest::keyClick(target, key);
    }
    QVERIFY(w->isVisible());
    QVERIFY(rig.lines().empty());

    edit->setText(QStringLiteral("+491719999"));
    QTest::mouseClick(child<QPushButton>(*w, "setServiceCentreButton"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(*w, "clearDialledButton"), Qt::LeftButton);
    QCOMPARE(rig.lines(), (Lines{"AT+CSCA=+491719999,145", "AT^SDLD"}));
    QCOMPARE(child<QListWidget>(*w, "dialledList")->count(), 0);
    QVERIFY(rig.reporter.shown.empty());
}

void PhonebookWindowTest::exportAndImport() {
    Rig rig;
    auto w = rig.open();
    QTreeWidget* list = bookList(*w);
    QStringList asked, opened;
    QString answer;
    const auto chooser = [&](const QString&, const QString& filter, const QString& suffix,
                             const QString& preset) {
        asked << filter + u'|' + suffix + u'|' + QFileInfo(preset).fileName();
        return answer;
    };
    w->chooseSaveFile = chooser;
    w->chooseOpenFile = chooser;
    gui::setUrlOpener([&](const QString& url) {
        opened << QFileInfo(QUrl(url).toLocalFile()).fileName();
        return true;
    });
    const auto run = [&](void (PhonebookWindow::*command)(), const char* file) {
        answer = file ? rig.dir.filePath(QString::fromLatin1(file)) : QString();
        ((*w).*command)();
    };
    run(&PhonebookWindow::exportCsv, "book.csv");
    run(&PhonebookWindow::exportXml, "book.xml");
    clickRow(list, rowWith(list, QStringLiteral("Müller"), 1));
    run(&PhonebookWindow::exportVcard, "card.vcf");
    run(&PhonebookWindow::exportCsv, nullptr);  // cancelled: nothing written
    gui::setUrlOpener({});
    QCOMPARE(
        asked,
        (QStringList{"CSV file (*.csv)|csv|Vondrix_SM.csv", "XML file (*.xml)|xml|Vondrix_SM.xml",
                     "VCF file (*.vcf)|vcf|Müller.vcf", "CSV file (*.csv)|csv|Vondrix_SM.csv"}));
    QCOMPARE(opened, (QStringList{"book.csv", "book.xml"}));  // the vCard is not opened
    QVERIFY(fileContent(rig.dir.filePath(QStringLiteral("book.csv")))
                .startsWith("NR;NAME;TELNUM\r\n1;M\xfcller;'+4930123456\r\n"));
    QVERIFY(QFile::exists(rig.dir.filePath(QStringLiteral("card.vcf"))));

    // Import: No to message 76 appends at the first free location.
    writeFile(rig.dir.filePath(QStringLiteral("in.csv")), "NR;NAME;TELNUM\r\n7;Bob;'0301\r\n");
    asked.clear();
    rig.reporter.answers.push_back(Answer::No);
    run(&PhonebookWindow::importCsv, "in.csv");
    QCOMPARE(asked, QStringList{"CSV file (*.csv);;vCard file (*.vcf)|csv|card.vcf"});
    QCOMPARE(rig.reporter.ids(), std::vector<int>{76});
    QVERIFY(rig.received("AT+CPBW=5,0301,129,\"Bob\""));
    QVERIFY(rows(list).contains(QStringLiteral("5|Bob|0301")));
    QCOMPARE(labelText(*w, "entryCountLabel"), QStringLiteral("8"));
    // A vCard goes to the next free location without the question.
    writeFile(rig.dir.filePath(QStringLiteral("in.vcf")),
              "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Eve\r\nTEL:0302\r\nEND:VCARD\r\n");
    run(&PhonebookWindow::importCsv, "in.vcf");
    QCOMPARE(rig.reporter.ids(), std::vector<int>{76});
    QVERIFY(rig.received("AT+CPBW=9,0302,129,\"Eve\""));
    QVERIFY(rows(list).contains(QStringLiteral("9|Eve|0302")));
}

void PhonebookWindowTest::closingStoresWidthsAndSavesTheFile() {
    Rig rig(QStringLiteral("TCol2=120\r\nRCol1=90\r\n"));
    auto w = rig.open();
    // Stored widths, else 30/100/100; the Redbook's position has no default.
    QCOMPARE(widths(bookList(*w)), (QList<int>{30, 100, 120}));
    QCOMPARE(widths(redbookList(*w)), (QList<int>{0, 90, 100}));
    bookList(*w)->header()->resizeSection(1, 150);
    redbookList(*w)->header()->resizeSection(0, 25);
    w->close();
    QVERIFY(!w->isVisible());
    QCOMPARE(rig.iniValues({"TCol0", "TCol1", "TCol2", "RCol0", "RCol1", "RCol2"}),
             (QStringList{"30", "150", "120", "25", "90", "100"}));
    QCOMPARE(rig.session->settings.tCol[1], 150);
    const QByteArray file = rig.localFileContent();
    QVERIFY(file.startsWith("[SIM]\r\n"));
    QCOMPARE(file.count("\r\n"), 8);
}

QTEST_MAIN(PhonebookWindowTest)
#include "PhonebookWindowTest.moc"
