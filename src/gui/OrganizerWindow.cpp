#include "gui/OrganizerWindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScrollBar>
#include <QTreeWidget>
#include <algorithm>
#include <ctime>

#include "gui/FileDialogs.h"
#include "gui/Latin1Text.h"
#include "gui/OrganizerEntryDialog.h"
#include "gui/PhoneWorker.h"
#include "gui/Shell.h"
#include "gui/WindowKeys.h"
#include "organizer/Export.h"
#include "organizer/Names.h"
#include "text/Latin1.h"
#include "ui_OrganizerWindow.h"

namespace vondrix::gui {

using organizer::Row;

namespace {

// The item data of a row is its slot index (slot - 1): the row keeps its
// slot whatever order the list shows.
constexpr int kSlotRole = Qt::UserRole;

}  // namespace

OrganizerWindow::OrganizerWindow(Session& session, Reporter& reporter, QWidget* parent)
    : QDialog(parent),
      session_(session),
      reporter_(reporter),
      window_(session, reporter),
      ui_(std::make_unique<Ui::OrganizerWindow>()) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    inputs_ = {ui_->calendar,        ui_->timeEdit,   ui_->categoryCombo,
               ui_->recurrenceCombo, ui_->alarmCheck, ui_->descriptionEdit};

    chooseSaveFile = [this](const QString& title, const QString& filter, const QString& suffix,
                            const QString& preset) {
        return askSaveFile(this, title, filter, suffix, preset, OverwriteQuestion::None);
    };
    chooseOpenFile = [this](const QString& title, const QString& filter, const QString& suffix,
                            const QString& preset) {
        return askOpenFile(this, title, filter, suffix, preset);
    };
    runDialog = [](QDialog& d) { d.exec(); };

    buildMenus();
    setUpList();

    connect(ui_->enterButton, &QPushButton::clicked, this, &OrganizerWindow::enterEntry);
    connect(ui_->deleteButton, &QPushButton::clicked, this, &OrganizerWindow::deleteEntry);
    connect(ui_->organizerList, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { runEditDialog(item->data(0, kSlotRole).toInt() + 1); });
    connect(ui_->organizerList->header(), &QHeaderView::sectionClicked, this,
            &OrganizerWindow::sortBy);
    connect(ui_->organizerList, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) {
                if (!busy_)
                    contextMenu_->exec(ui_->organizerList->viewport()->mapToGlobal(at));
            });
    // Every change the user makes; the texts the import puts there are not
    // typed.
    connect(ui_->descriptionEdit, &QLineEdit::textEdited, this,
            [this](const QString& text) { window_.warnDescriptionLength(toPc(text)); });
    ui_->organizerList->installEventFilter(this);  // the Delete key

    onPhone([this] { window_.open(); });
    showList();
    fitDefaultColumns();

    inputs_.setUp(window_.language());
    // A new entry starts at the time of day, as the picker shows it.
    ui_->timeEdit->setTime(QTime(QTime::currentTime().hour(), QTime::currentTime().minute()));
    ui_->descriptionEdit->setFocus();
}

OrganizerWindow::~OrganizerWindow() = default;

void OrganizerWindow::buildMenus() {
    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName(QStringLiteral("menuBar"));
    QMenu* menu = menuBar_->addMenu(tr("&Organizer"));
    menu->setObjectName(QStringLiteral("organizerMenu"));
    const auto add = [&](const QString& text, const char* name, void (OrganizerWindow::*slot)()) {
        QAction* action = menu->addAction(text, this, slot);
        action->setObjectName(QString::fromLatin1(name));
    };
    add(tr("&Edit entry..."), "editAction", &OrganizerWindow::editEntry);
    add(tr("Expor&t CSV..."), "exportCsvAction", &OrganizerWindow::exportCsv);
    add(tr("Export &XML..."), "exportXmlAction", &OrganizerWindow::exportXml);
    add(tr("Export iCa&lendar..."), "exportIcalendarAction", &OrganizerWindow::exportIcalendar);
    add(tr("&Import..."), "importAction", &OrganizerWindow::importCsv);
    add(tr("Clea&r organizer"), "clearAction", &OrganizerWindow::clearOrganizer);
    layout()->setMenuBar(menuBar_);

    // The list's right-click menu offers the same commands.
    contextMenu_ = new QMenu(this);
    contextMenu_->setObjectName(QStringLiteral("contextMenu"));
    contextMenu_->addActions(menu->actions());
}

void OrganizerWindow::setUpList() {
    QTreeWidget* list = ui_->organizerList;
    list->setColumnCount(organizer::kColumns);
    QStringList headers;
    for (int c = 0; c < organizer::kColumns; ++c)
        headers << fromPc(organizer::columnHeader(c, window_.language()));
    list->setHeaderLabels(headers);
    list->headerItem()->setTextAlignment(organizer::kSlot, Qt::AlignRight | Qt::AlignVCenter);
    QHeaderView* header = list->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    header->setStretchLastSection(false);  // the widths stay as stored
    header->setMinimumSectionSize(0);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const std::vector<int> widths = organizerColumnWidths(session_.settings);
    for (int c = 0; c < organizer::kColumns; ++c)
        header->resizeSection(c, widths[static_cast<std::size_t>(c)]);
}

void OrganizerWindow::fitDefaultColumns() {
    // The default widths are made for a smaller font than the desktop's:
    // a column without a stored width grows until its header and texts
    // fit. A width the user chose is kept as it is.
    QTreeWidget* list = ui_->organizerList;
    QHeaderView* header = list->header();
    for (int c = 0; c < organizer::kColumns; ++c) {
        if (session_.settings.oCol[static_cast<std::size_t>(c)] != 0)
            continue;
        const int needed = std::max(header->sectionSizeHint(c),
                                    static_cast<QAbstractItemView*>(list)->sizeHintForColumn(c));
        if (needed > header->sectionSize(c))
            header->resizeSection(c, needed);
    }
    // Every column in view without scrolling sideways.
    list->setMinimumWidth(std::max(
        list->minimumWidth(),
        header->length() + 2 * list->frameWidth() + list->verticalScrollBar()->sizeHint().width()));
}

void OrganizerWindow::showList(int focusSlot) {
    QTreeWidget* list = ui_->organizerList;
    list->clear();
    QList<QTreeWidgetItem*> items;
    QTreeWidgetItem* focus = nullptr;
    for (const Row& row : window_.list().rows()) {
        auto* item = new QTreeWidgetItem;
        for (int c = 0; c < organizer::kColumns; ++c)
            item->setText(c, fromPc(organizer::columnText(row, c, window_.language())));
        item->setTextAlignment(organizer::kSlot, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, kSlotRole, row.slot - 1);
        items.append(item);
        if (row.slot == focusSlot)
            focus = item;
    }
    list->addTopLevelItems(items);
    if (focus) {
        list->setCurrentItem(focus);
        list->scrollToItem(focus);
    }
}

int OrganizerWindow::selectedSlot() const {
    const QList<QTreeWidgetItem*> selected = ui_->organizerList->selectedItems();
    return selected.isEmpty() ? 0 : selected.front()->data(0, kSlotRole).toInt() + 1;
}

void OrganizerWindow::busy(const std::function<void()>& work) {
    if (busy_)
        return;  // one exchange with the phone at a time
    busy_ = true;
    ui_->content->setEnabled(false);
    menuBar_->setEnabled(false);
    work();
    menuBar_->setEnabled(true);
    ui_->content->setEnabled(true);
    busy_ = false;
    ui_->organizerList->setFocus();
}

void OrganizerWindow::enterEntry() {
    const organizer::EntryFields fields = inputs_.fields();
    busy([&] {
        const auto outcome = onPhone([&] { return window_.enterNew(fields); });
        showList(outcome.slot != 0 ? outcome.slot : selectedSlot());
    });
}

void OrganizerWindow::deleteEntry() {
    const int slot = selectedSlot();
    if (slot != 0) {
        busy([&] {
            onPhone([&] { window_.deleteSlot(slot); });
            showList(slot);
        });
    }
    ui_->organizerList->setFocus();
}

void OrganizerWindow::deleteWithQuestion() {
    const int slot = selectedSlot();
    busy([&] {
        if (onPhone([&] { return window_.confirmDelete(slot); }))
            showList(slot);
    });
}

void OrganizerWindow::editEntry() {
    if (const int slot = selectedSlot(); slot != 0)
        runEditDialog(slot);
    ui_->organizerList->setFocus();
}

void OrganizerWindow::runEditDialog(int slot) {
    busy([&] {
        OrganizerEntryDialog dialog(window_, slot, this);
        runDialog(dialog);
        showList(slot);
    });
}

void OrganizerWindow::exportTo(Format format) {
    struct Kind {
        const char* file;
        const char* suffix;
        QString title, filter;
    };
    const Kind kind =
        format == Format::Csv
            ? Kind{organizer::kCsvExportName, "csv", tr("Export organizer"), tr("CSV file (*.csv)")}
        : format == Format::Xml
            ? Kind{organizer::kXmlExportName, "xml", tr("Export organizer"), tr("XML file (*.xml)")}
            : Kind{organizer::kIcalendarExportName, "ics", tr("Export organizer"),
                   tr("iCalendar file (*.ics)")};
    const QString preset = QString::fromLatin1(kind.file);
    const QString path =
        chooseSaveFile(kind.title, kind.filter, QString::fromLatin1(kind.suffix),
                       lastPath_.isEmpty() ? preset : QFileInfo(lastPath_).dir().filePath(preset));
    if (path.isEmpty()) {
        ui_->organizerList->setFocus();
        return;
    }
    lastPath_ = path;
    busy([&] {
        const std::string file = path.toStdString();
        const bool written = format == Format::Csv ? window_.exportCsv(file)
                             : format == Format::Xml
                                 ? window_.exportXml(file)
                                 : window_.exportIcalendar(file, std::time(nullptr));
        if (written)
            openFile(path);
    });
}

void OrganizerWindow::exportCsv() {
    exportTo(Format::Csv);
}

void OrganizerWindow::exportXml() {
    exportTo(Format::Xml);
}

void OrganizerWindow::exportIcalendar() {
    exportTo(Format::Icalendar);
}

void OrganizerWindow::importCsv() {
    const QString path =
        chooseOpenFile(tr("Import organizer"),
                       tr("CSV file (*.csv)") + QStringLiteral(";;") + tr("iCalendar file (*.ics)"),
                       QStringLiteral("csv"), lastPath_);
    if (path.isEmpty()) {
        ui_->organizerList->setFocus();
        return;
    }
    lastPath_ = path;
    if (path.endsWith(QStringLiteral(".ics"), Qt::CaseInsensitive)) {
        busy([&] {
            const auto r =
                onPhone([&] { return window_.importIcalendar(path.toStdString(), false); });
            std::vector<std::string> notes = r.plan.notes;
            for (const auto& fields : r.unwritten)
                notes.push_back("no free slot for " + latin1ToUtf8(fields.description));
            showImportNotes(reporter_, notes);
            showList(selectedSlot());
        });
        return;
    }
    // The import fills the input controls line by line; afterwards they
    // show the last line.
    organizer::EntryFields form = inputs_.fields();
    busy([&] {
        onPhone([&] { window_.importCsv(path.toStdString(), form); });
        inputs_.show(form);
        showList(selectedSlot());
    });
}

void OrganizerWindow::clearOrganizer() {
    busy([this] {
        if (onPhone([this] { return window_.confirmClear(); }))
            showList();
    });
}

void OrganizerWindow::sortBy(int column) {
    const int slot = selectedSlot();
    window_.sortBy(column);
    showList(slot);
}

bool OrganizerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->organizerList && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        deleteWithQuestion();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void OrganizerWindow::keyPressEvent(QKeyEvent* event) {
    if (!takeDialogEndKey(event))
        QDialog::keyPressEvent(event);
}

void OrganizerWindow::closeEvent(QCloseEvent* event) {
    if (busy_) {  // the phone is still answering; the window must stay
        event->ignore();
        return;
    }
    std::vector<int> widths;
    for (int c = 0; c < organizer::kColumns; ++c)
        widths.push_back(ui_->organizerList->header()->sectionSize(c));
    onPhone([&] { window_.close(widths); });
    event->accept();
    done(QDialog::Rejected);
}

}  // namespace vondrix::gui
