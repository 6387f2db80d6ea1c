// The organizer window and its edit dialog, driven for real (offscreen)
// against the simulated phone.

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "gui/GuiApp.h"
#include "gui/GuiRig.h"
#include "gui/OrganizerEntryDialog.h"
#include "gui/OrganizerWindow.h"
#include "gui/Shell.h"
#include "support/RecordingReporter.h"

using namespace vondrix;
using namespace vondrix::test;
using vondrix::gui::OrganizerWindow;
using Lines = std::vector<std::string>;

namespace {

struct Rig : test::GuiRig<test::RecordingReporter> {
    using GuiRig::GuiRig;

    std::unique_ptr<OrganizerWindow> open() {
        auto w = shown(std::make_unique<OrganizerWindow>(*session, reporter));
        sim->clearReceived();
        reporter.shown.clear();
        return w;
    }
    std::map<int, std::string> objects() const { return phone().organizer.objects; }
};

QTreeWidget* list(QObject& w) {
    return child<QTreeWidget>(w, "organizerList");
}

// "#|Type|Alarm|Date|Time|Category|Description" of the row at `position`.
QString rowText(QTreeWidget* l, int position) {
    return rows(l).at(position);
}

QTreeWidgetItem* rowOfSlot(QTreeWidget* l, int slot) {
    return rowWith(l, QString::number(slot), 0);
}

QAction* action(OrganizerWindow& w, const char* name) {
    return child<QAction>(w, name);
}

// The edit dialog's fields: "slot|description|category|recurrence|date|time|alarm".
QString fields(QDialog& d) {
    return QStringList{child<QLabel>(d, "slotLabel")->text(),
                       child<QLineEdit>(d, "descriptionEdit")->text(),
                       child<QComboBox>(d, "categoryCombo")->currentText(),
                       child<QComboBox>(d, "recurrenceCombo")->currentText(),
                       child<QCalendarWidget>(d, "calendar")->selectedDate().toString(Qt::ISODate),
                       child<QTimeEdit>(d, "timeEdit")->time().toString(QStringLiteral("HH:mm")),
                       child<QCheckBox>(d, "alarmCheck")->isChecked() ? QStringLiteral("alarm")
                                                                      : QStringLiteral("-")}
        .join(u'|');
}

}  // namespace

class OrganizerWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void openingReadsEverySlot();
    void headersAndNamesFollowTheLanguage();
    void editDialogIsFilledFromTheRowAndWritesOrCancels();
    void enterWritesIntoTheFirstFreeRowAndLongTextsWarn();
    void headerClicksSortAndMenusHoldTheCommands();
    void deleteKeyAndClearAskButTheButtonDoesNot();
    void exportAndImport();
};

void OrganizerWindowTest::openingReadsEverySlot() {
    Rig rig(QStringLiteral("OCol6=240\r\n"));
    OrganizerWindow w(*rig.session, rig.reporter);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(rig.reporter.shown.empty());  // the reading: e2e OrganizerWindowSession

    QTreeWidget* l = list(w);
    QCOMPARE(l->topLevelItemCount(), 30);
    QCOMPARE(rowText(l, 1), QStringLiteral("2|Weekly|*|2001/03/15|14:30|MEETING|Team"));
    QCOMPARE(rowText(l, 3), QStringLiteral("4||||||"));
    QCOMPARE(rowText(l, 29), QStringLiteral("30|||2001/08/18|12:00|ANNIVERSARY|Café Lyon"));
    QCOMPARE(l->topLevelItem(9)->data(0, Qt::UserRole).toInt(), 9);  // slot 10: index 9
    QVERIFY((l->topLevelItem(0)->textAlignment(0) & Qt::AlignRight) != 0);
    // A stored width stays as it is; a default one fits at least the given pixels.
    QCOMPARE(l->header()->sectionSize(6), 240);
    QVERIFY(l->header()->sectionSize(3) >= 80);
    // Headers and texts fit their default columns, and every column is in
    // view without scrolling sideways.
    for (const int c : {1, 2, 5})
        QVERIFY(l->header()->sectionSize(c) >= l->header()->sectionSizeHint(c));
    QVERIFY(l->header()->length() <= l->viewport()->width());

    auto* category = child<QComboBox>(w, "categoryCombo");
    auto* recurrence = child<QComboBox>(w, "recurrenceCombo");
    QCOMPARE(category->count(), 4);
    QCOMPARE(category->currentText(), QStringLiteral("ANNIVERSARY"));
    QCOMPARE(recurrence->count(), 5);
    QCOMPARE(recurrence->currentText(), QStringLiteral("Date"));
    QCOMPARE(w.focusWidget(), child<QLineEdit>(w, "descriptionEdit"));

    // Closing stores the widths, the default ones too.
    l->header()->resizeSection(6, 250);
    QVERIFY(w.close());
    QCOMPARE(rig.iniValue("OCol6"), QStringLiteral("250"));
    QVERIFY(rig.iniValue("OCol3").toInt() >= 80);
}

void OrganizerWindowTest::headersAndNamesFollowTheLanguage() {
    Rig rig;
    rig.session->language = Language::German;
    auto w = rig.open();
    QTreeWidget* l = list(*w);
    QCOMPARE(headers(l),
             (QStringList{"Nr.", "Typ", "Alarm", "Datum", "Zeit", "Kategorie", "Beschreibung"}));
    QCOMPARE(rowText(l, 0),
             QStringLiteral("1|Jährlich|*|2001/03/15|08:00|Geburtstag|Geburtstag Anna"));
    auto* recurrence = child<QComboBox>(*w, "recurrenceCombo");
    QCOMPARE(recurrence->itemText(0), QStringLiteral("Datum"));
    QCOMPARE(recurrence->itemText(2), QStringLiteral("Wöchentlich"));
    QCOMPARE(child<QComboBox>(*w, "categoryCombo")->itemText(3), QStringLiteral("Anruf"));
    QCOMPARE(child<QCalendarWidget>(*w, "calendar")->locale().language(), QLocale::German);
}

void OrganizerWindowTest::editDialogIsFilledFromTheRowAndWritesOrCancels() {
    Rig rig;
    auto w = rig.open();
    QStringList shown;
    bool windowDisabled = false;
    bool focusOnDescription = false;
    w->runDialog = [&](QDialog& d) {
        d.show();
        shown << fields(d);
        windowDisabled = !child<QWidget>(*w, "content")->isEnabled();
        focusOnDescription = d.focusWidget() == child<QLineEdit>(d, "descriptionEdit");
    };
    QTreeWidget* l = list(*w);
    doubleClickRow(l, rowOfSlot(l, 3));
    QVERIFY(windowDisabled);
    QVERIFY(focusOnDescription);
    QVERIFY(child<QWidget>(*w, "content")->isEnabled());
    // The edit command on the selected row; without a selected row it does nothing.
    clickRow(l, rowOfSlot(l, 1));
    action(*w, "editAction")->trigger();
    l->clearSelection();
    action(*w, "editAction")->trigger();
    QCOMPARE(shown, (QStringList{"3|Zahnarzt|MISCELLANEOUS|Date|2001-12-24|18:30|-",
                                 "1|Geburtstag Anna|ANNIVERSARY|Yearly|2001-03-15|08:00|alarm"}));
    QVERIFY(rig.lines().empty());

    // OK writes the change, Cancel nothing.
    const auto edit = [&](int slot, const QString& text, QDialogButtonBox::StandardButton button) {
        w->runDialog = [&](QDialog& d) {
            d.show();
            auto* description = child<QLineEdit>(d, "descriptionEdit");
            description->selectAll();
            QTest::keyClicks(description, text);
            clickButton(d, button);
        };
        clickRow(l, rowOfSlot(l, slot));
        action(*w, "editAction")->trigger();
    };
    edit(2, QStringLiteral("Teamrunde"), QDialogButtonBox::Cancel);
    QVERIFY(rig.lines().empty());

    edit(2, QStringLiteral("Teamrunde"), QDialogButtonBox::Ok);
    QVERIFY(rig.objects()[2].find("\r\nDESCRIPTION:Teamrunde\r\n") != std::string::npos);
    QCOMPARE(rowText(l, 1), QStringLiteral("2|Weekly|*|2001/03/15|14:30|MEETING|Teamrunde"));
    QCOMPARE(l->currentItem(), rowOfSlot(l, 2));

    // A phone call to a name: message 31, the dialog closes, the slot stays.
    rig.sim->clearReceived();
    w->runDialog = [&](QDialog& d) {
        d.show();
        child<QComboBox>(d, "categoryCombo")->setCurrentIndex(3);
        clickButton(d, QDialogButtonBox::Ok);
        QVERIFY(!d.isVisible());
    };
    clickRow(l, rowOfSlot(l, 3));
    action(*w, "editAction")->trigger();
    QCOMPARE(rig.reporter.ids().back(), int(msg::EnterNumberInDescription));
    QVERIFY(rig.lines().empty());
    QCOMPARE(rowText(l, 2), QStringLiteral("3|||2001/12/24|18:30|MISCELLANEOUS|Zahnarzt"));
}

void OrganizerWindowTest::enterWritesIntoTheFirstFreeRowAndLongTextsWarn() {
    Rig rig;
    auto w = rig.open();
    child<QCalendarWidget>(*w, "calendar")->setSelectedDate(QDate(2001, 3, 15));
    child<QTimeEdit>(*w, "timeEdit")->setTime(QTime(14, 30));
    child<QComboBox>(*w, "categoryCombo")->setCurrentIndex(1);
    child<QComboBox>(*w, "recurrenceCombo")->setCurrentIndex(2);
    child<QCheckBox>(*w, "alarmCheck")->setChecked(true);
    QTest::keyClicks(child<QLineEdit>(*w, "descriptionEdit"), QStringLiteral("Team"));
    QTest::mouseClick(child<QPushButton>(*w, "enterButton"), Qt::LeftButton);
    QVERIFY(rig.received("AT^SBNW=vcs,4,1,2"));
    QTreeWidget* l = list(*w);
    QCOMPARE(rowText(l, 3), QStringLiteral("4|Weekly|*|2001/03/15|14:30|MEETING|Team"));
    QCOMPARE(l->currentItem(), rowOfSlot(l, 4));
    QCOMPARE(QApplication::focusWidget(), l);  // a full organizer: e2e OrganizerWriting

    // Every change of the description warns while it is too long.
    auto* description = child<QLineEdit>(*w, "descriptionEdit");
    description->clear();
    rig.sim->clearReceived();
    const auto warnings = [&] {
        const std::vector<int> ids = rig.reporter.ids();
        return std::count(ids.begin(), ids.end(), int(msg::TextOver16Characters));
    };
    // 16 characters fit; the 17th, the 18th and a backspace to 17 warn; back to 16 fits.
    QList<long> counts;
    for (const char* typed : {"Sixteen chars ok", "!", "?", "\b", "\b"}) {
        QTest::keyClicks(description, QString::fromLatin1(typed));
        counts << warnings();
    }
    QCOMPARE(counts, (QList<long>{0, 1, 2, 3, 3}));
    QCOMPARE(description->text(), QStringLiteral("Sixteen chars ok"));
    QVERIFY(rig.lines().empty());

    // The edit dialog warns alike; the text it opens with is not a change.
    int dialogWarnings = -1;
    w->runDialog = [&](QDialog& d) {
        auto* edit = child<QLineEdit>(d, "descriptionEdit");
        const auto before = warnings();
        QTest::keyClicks(edit, QStringLiteral(" und ein Gast"));  // "Zahnarzt" grows to 21
        dialogWarnings = static_cast<int>(warnings() - before);
    };
    clickRow(list(*w), rowOfSlot(list(*w), 3));
    action(*w, "editAction")->trigger();
    QCOMPARE(dialogWarnings, 5);  // characters 17 to 21
}

void OrganizerWindowTest::headerClicksSortAndMenusHoldTheCommands() {
    Rig rig;
    auto w = rig.open();
    QTreeWidget* l = list(*w);
    clickRow(l, rowOfSlot(l, 20));
    clickHeader(l, 3);  // Date: the free rows first, then ascending dates
    QCOMPARE(l->topLevelItem(0)->text(0), QStringLiteral("4"));
    QCOMPARE(rowText(l, 22),
             QStringLiteral("1|Yearly|*|2001/03/15|08:00|ANNIVERSARY|Geburtstag Anna"));
    QCOMPARE(rowText(l, 23), QStringLiteral("2|Weekly|*|2001/03/15|14:30|MEETING|Team"));
    QCOMPARE(rowText(l, 24).left(13), QStringLiteral("5||*|2001/04/"));
    QCOMPARE(l->currentItem(), rowOfSlot(l, 20));  // the selection stays on its slot
    clickHeader(l, 0);                             // "#": slot order again, 2 before 10
    const QStringList order = column(l, 0);
    QCOMPARE(order.mid(0, 3), (QStringList{"1", "2", "3"}));
    QCOMPARE(order.mid(9, 2), (QStringList{"10", "11"}));
    QVERIFY(rig.lines().empty());

    // The menu and the context menu hold the commands.
    const QStringList commands = {"&Edit entry...",       "Expor&t CSV...", "Export &XML...",
                                  "Export iCa&lendar...", "&Import...",     "Clea&r organizer"};
    const QList<QMenu*> menus = {child<QMenu>(*w, "organizerMenu"), w->contextMenu()};
    for (const QMenu* menu : menus)
        QCOMPARE(actionTexts(menu), commands);
    QCOMPARE(w->menuBar()->actions().front()->text(), QStringLiteral("&Organizer"));
    QCOMPARE(test::menuKeyClash(menus), QString());  // in every language
}

void OrganizerWindowTest::deleteKeyAndClearAskButTheButtonDoesNot() {
    Rig rig;
    auto w = rig.open();
    QTreeWidget* l = list(*w);
    clickRow(l, rowOfSlot(l, 2));
    rig.reporter.answers = {Answer::No};
    QTest::keyClick(l, Qt::Key_Delete);
    QCOMPARE(rig.reporter.ids(), (std::vector<int>{msg::ReallyDeleteEntry}));
    QCOMPARE(rig.reporter.shown.back().buttons, Buttons::YesNo);
    QVERIFY(rig.lines().empty());

    QTest::keyClick(l, Qt::Key_Delete);  // Yes
    QCOMPARE(rig.lines(), (Lines{"AT^SBNW=vcs,2,0"}));
    QCOMPARE(rowText(l, 1), QStringLiteral("2||||||"));

    // The button deletes the selected slot at once (no row selected: e2e
    // OrganizerDeleting.DeleteKeyAsksFirst).
    rig.sim->clearReceived();
    rig.reporter.shown.clear();
    clickRow(l, rowOfSlot(l, 3));
    QTest::mouseClick(child<QPushButton>(*w, "deleteButton"), Qt::LeftButton);
    QCOMPARE(rig.lines(), (Lines{"AT^SBNW=vcs,3,0"}));
    QVERIFY(rig.reporter.shown.empty());
    QCOMPARE(rowText(l, 2), QStringLiteral("3||||||"));

    // Clearing asks first.
    rig.sim->clearReceived();
    rig.reporter.answers = {Answer::No};
    action(*w, "clearAction")->trigger();
    QCOMPARE(rig.reporter.ids(), (std::vector<int>{msg::ReallyClearOrganizer}));
    QVERIFY(rig.lines().empty());
    action(*w, "clearAction")->trigger();  // Yes
    QCOMPARE(rig.lines().size(), std::size_t{30});
    for (int i = 0; i < l->topLevelItemCount(); ++i)
        QCOMPARE(rowText(l, i), QString::number(i + 1) + QStringLiteral("||||||"));
}

void OrganizerWindowTest::exportAndImport() {
    Rig rig;
    auto w = rig.open();
    QStringList opened;
    gui::setUrlOpener([&](const QString& url) {
        opened << url;
        return true;
    });
    QString presetSeen;
    w->chooseSaveFile = [&](const QString&, const QString&, const QString&, const QString& preset) {
        presetSeen = preset;
        return QFileInfo(preset).isAbsolute() ? preset : rig.dir.filePath(preset);
    };
    action(*w, "exportCsvAction")->trigger();
    QCOMPARE(presetSeen, QStringLiteral("VondrixORGA.csv"));
    action(*w, "exportIcalendarAction")->trigger();
    QCOMPARE(QFileInfo(presetSeen).fileName(), QStringLiteral("VondrixORGA.ics"));
    QVERIFY(fileContent(rig.dir.filePath(QStringLiteral("VondrixORGA.csv")))
                .startsWith(
                    "DATE;TIME;ALARM;CATEGORY;TEXT;RRULE\r\n"));  // the rest: e2e OrganizerFiles
    QCOMPARE(opened.size(), 2);
    QVERIFY(opened.back().endsWith(QStringLiteral("VondrixORGA.ics")));
    gui::setUrlOpener({});

    // The import reads the system's date format kept at start-up, and the
    // controls end showing the last line.
    rig.session->shortDateFormat = "dd.MM.yyyy";
    const QString in =
        writeFile(rig.dir.filePath(QStringLiteral("in.csv")),
                  "DATE;TIME;ALARM;CATEGORY;TEXT;RRULE\r\n15.03.2001;14:30;1;1;Team;2\r\n"
                  "24.12.2001;18:00;0;3;+49 30 1;4\r\n");
    w->chooseOpenFile = [&](const QString&, const QString&, const QString&, const QString&) {
        return in;
    };
    rig.sim->clearReceived();
    action(*w, "importAction")->trigger();
    QTreeWidget* l = list(*w);
    QCOMPARE(rowText(l, 3), QStringLiteral("4|Weekly|*|2001/03/15|14:30|MEETING|Team"));
    QCOMPARE(rowText(l, 5), QStringLiteral("6|Yearly||2001/12/24|18:00|PHONE CALL|+49 30 1"));
    QCOMPARE(child<QLineEdit>(*w, "descriptionEdit")->text(), QStringLiteral("+49 30 1"));
    QCOMPARE(child<QComboBox>(*w, "categoryCombo")->currentIndex(), 3);
    QCOMPARE(child<QComboBox>(*w, "recurrenceCombo")->currentIndex(), 4);
    QCOMPARE(child<QCalendarWidget>(*w, "calendar")->selectedDate(), QDate(2001, 12, 24));
    QCOMPARE(child<QTimeEdit>(*w, "timeEdit")->time(), QTime(18, 0));
    QVERIFY(!child<QCheckBox>(*w, "alarmCheck")->isChecked());
    // What the import put into the field is not typed: no warning.
    QVERIFY(rig.reporter.shown.empty());
}

QTEST_MAIN(OrganizerWindowTest)
#include "OrganizerWindowTest.moc"
