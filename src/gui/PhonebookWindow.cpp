#include "gui/PhonebookWindow.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <ctime>

#include "foundation/CalendarTime.h"
#include "foundation/Catalogue.h"
#include "foundation/ForwardingReporter.h"
#include "gui/EntryDialog.h"
#include "gui/FileDialogs.h"
#include "gui/Latin1Text.h"
#include "gui/PhoneWorker.h"
#include "gui/PhonebookPrinter.h"
#include "gui/SendDialog.h"
#include "gui/Shell.h"
#include "gui/StatusLine.h"
#include "gui/WindowKeys.h"
#include "phonebook/Export.h"
#include "phonebook/Import.h"
#include "phonebook/VcardImport.h"
#include "text/Latin1.h"
#include "ui_PhonebookWindow.h"

namespace vondrix::gui {

using phonebook::Kind;
using phonebook::Row;

namespace {

// The list headers are chosen by the language index, like the other
// in-code multilingual texts.
struct Headers {
    const char* location;
    const char* name;
    const char* number;
};

Headers headersFor(Language language) {
    switch (language) {
        case Language::German:
            return {"Nr.", "Name", "Nummer"};
        case Language::Spanish:
            return {"#", "Nombre", "Numero"};
        case Language::French:
            return {"#", "Nom", "Numéro"};
        case Language::Italian:
        case Language::Portuguese:
            return {"#", "Nome", "Numero"};
        case Language::Dutch:
            return {"Nr.", "Naam", "Nummer"};
        case Language::Norwegian:
            return {"#", "Navn", "Nummer"};
        case Language::English:
            break;
    }
    return {"#", "Name", "Number"};
}

QTreeWidgetItem* listItem(int location, const std::string& name, const std::string& number,
                          int row = -1) {
    auto* item =
        new QTreeWidgetItem(QStringList{QString::number(location), fromPc(name), fromPc(number)});
    item->setData(0, Qt::UserRole, row);
    return item;
}

}  // namespace

// The reporter the window's operations use: everything goes to the
// program's reporter, except the progress of re-reading the phonebook,
// which the window's own bar shows.
class PhonebookWindow::WindowReporter : public ForwardingReporter {
  public:
    explicit WindowReporter(Reporter& inner) : ForwardingReporter(inner) {}
    void setBar(QProgressBar* bar) { bar_ = bar; }
    // The Cancel shown beside the bar while a kind is read (none: no Cancel).
    void setCancel(QAbstractButton* cancel) {
        cancel_ = cancel;
        cancelPressed_ = false;
    }

    // Called on the phone worker: the bar is touched on the UI thread.
    void progressBegin(Display display, int total, Task task) override {
        onBar_ = display == Display::PhonebookBar && bar_;
        if (!onBar_) {
            ForwardingReporter::progressBegin(display, total, task);
            return;
        }
        onUiThread([&] {
            bar_->setRange(0, total > 0 ? total : 0);
            bar_->setValue(0);
            if (cancel_) {
                cancel_->setEnabled(true);
                cancel_->show();
            }
        });
        pump();
    }
    void progressStep(int done) override {
        if (!onBar_) {
            ForwardingReporter::progressStep(done);
            return;
        }
        postToUiThread([bar = bar_, done] {
            if (bar)
                bar->setValue(done);
        });
        pump();
    }
    void progressEnd() override {
        if (!onBar_)
            ForwardingReporter::progressEnd();
        else
            onUiThread([this] {
                if (cancel_)
                    cancel_->hide();
            });
        onBar_ = false;
    }
    bool cancelled() override {
        if (!onBar_)
            return ForwardingReporter::cancelled();
        return onUiThread([this] { return cancelPressed_; });
    }
    void pressCancel() {
        cancelPressed_ = true;
        if (cancel_)
            cancel_->setEnabled(false);
    }

  private:
    QPointer<QProgressBar> bar_;
    QPointer<QAbstractButton> cancel_;
    bool onBar_ = false;
    bool cancelPressed_ = false;
};

PhonebookWindow::PhonebookWindow(Session& session, Reporter& reporter, QWidget* parent)
    : QDialog(parent),
      session_(session),
      model_(session.phonebook),
      reporter_(std::make_unique<WindowReporter>(reporter)),
      window_(session, *reporter_),
      writer_(window_.writer()),
      calls_(window_.calls()),
      ui_(std::make_unique<Ui::PhonebookWindow>()) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    reporter_->setBar(ui_->progressBar);
    // Reading another kind shows its progress in the window's bar, with a
    // Cancel beside it that answers while the window waits for the phone.
    auto* cancelBox = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    cancelRead_ = cancelBox->button(QDialogButtonBox::Cancel);
    cancelRead_->setObjectName(QStringLiteral("cancelReadButton"));
    cancelRead_->setProperty(PhoneWorker::kLiveProperty, true);
    cancelRead_->hide();
    if (auto* top = qobject_cast<QBoxLayout*>(layout()))
        top->insertWidget(top->indexOf(ui_->progressBar) + 1, cancelBox);
    connect(cancelBox, &QDialogButtonBox::rejected, this, [this] { reporter_->pressCancel(); });

    chooseSaveFile = [this](const QString& title, const QString& filter, const QString& suffix,
                            const QString& preset) {
        return askSaveFile(this, title, filter, suffix, preset, OverwriteQuestion::None);
    };
    chooseOpenFile = [this](const QString& title, const QString& filter, const QString& suffix,
                            const QString& preset) {
        return askOpenFile(this, title, filter, suffix, preset);
    };
    runDialog = [](QDialog& d) { d.exec(); };

    ui_->phonebookList->setToolTip(catalogue(msg::TipPhonebookFunctions) + QLatin1Char('\n') +
                                   tr("Double-click: add the entry to the Redbook"));
    ui_->redbookList->setToolTip(catalogue(msg::TipPhonebookFunctions));
    ui_->dialledList->setToolTip(catalogue(msg::TipPhonebookFunctions));
    ui_->receivedList->setToolTip(catalogue(msg::TipRightButtonFunctions));
    ui_->missedList->setToolTip(catalogue(msg::TipRightButtonFunctions));

    buildMenus();
    setUpLists();
    statusLine_ = addStatusLine(this);

    connect(ui_->kindSelector, &QComboBox::activated, this, &PhonebookWindow::selectKind);
    connect(ui_->setServiceCentreButton, &QPushButton::clicked, this,
            &PhonebookWindow::setServiceCentre);
    connect(ui_->clearDialledButton, &QPushButton::clicked, this,
            &PhonebookWindow::clearDialledCalls);
    connect(ui_->phonebookList, &QTreeWidget::itemDoubleClicked, this,
            &PhonebookWindow::addCurrentToRedbook);
    connect(ui_->phonebookList->header(), &QHeaderView::sectionClicked, this,
            &PhonebookWindow::sortPhonebook);
    connect(ui_->redbookList->header(), &QHeaderView::sectionClicked, this,
            &PhonebookWindow::sortRedbook);
    ui_->phonebookList->installEventFilter(this);  // the Delete key
    ui_->redbookList->installEventFilter(this);
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &PhonebookWindow::showHelp);

    onPhone([this] { window_.open(); });

    // The kinds' labels, in the window's language.
    for (const char* label : {QT_TR_NOOP("SIM"), QT_TR_NOOP("Internal"), QT_TR_NOOP("SIM fix")})
        ui_->kindSelector->addItem(tr(label));
    ui_->kindSelector->setCurrentIndex(static_cast<int>(model_.current.kind));
    showEverything();
    ui_->phonebookList->setFocus();
}

PhonebookWindow::~PhonebookWindow() = default;

QString PhonebookWindow::catalogue(int id) const {
    const auto t = catalogueText(id, session_.language);
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

void PhonebookWindow::setUpLists() {
    const Headers h = headersFor(session_.language);
    const QStringList labels{QString::fromUtf8(h.location), QString::fromUtf8(h.name),
                             QString::fromUtf8(h.number)};
    const Settings& s = session_.settings;
    const auto setUp = [&](QTreeWidget* list, const std::array<int, 3>& widths,
                           const std::array<int, 3>& defaults) {
        list->setColumnCount(3);
        list->setHeaderLabels(labels);
        // Several phonebook entries can be chosen for one message to them all.
        list->setSelectionMode(list == ui_->phonebookList ? QAbstractItemView::ExtendedSelection
                                                          : QAbstractItemView::SingleSelection);
        list->setSelectionBehavior(QAbstractItemView::SelectRows);
        QHeaderView* header = list->header();
        header->setSectionsClickable(true);
        header->setSortIndicatorShown(false);
        header->setStretchLastSection(false);  // the widths stay as stored
        header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        header->setMinimumSectionSize(0);
        for (int c = 0; c < 3; ++c) {
            const auto i = static_cast<std::size_t>(c);
            header->resizeSection(c, widths[i] != 0 ? widths[i] : defaults[i]);
        }
    };
    setUp(ui_->phonebookList, s.tCol, {30, 100, 100});
    // The Redbook's first column has no default width.
    setUp(ui_->redbookList, s.rCol, {0, 80, 100});
}

QMenu* PhonebookWindow::addMenu(QWidget* list, const char* name) {
    auto* menu = new QMenu(this);
    menu->setObjectName(QString::fromLatin1(name));
    connect(list, &QWidget::customContextMenuRequested, this, [this, list, menu](const QPoint& at) {
        if (busy_ || menu->isEmpty())
            return;
        const QAbstractScrollArea* area = qobject_cast<QAbstractScrollArea*>(list);
        menu->exec((area ? area->viewport() : list)->mapToGlobal(at));
    });
    return menu;
}

void PhonebookWindow::buildMenus() {
    // Every command of the lists' menus is also in the menu bar, with a
    // shortcut, for those who do not right-click.
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("menuBar"));
    QMenu* entryMenu = bar->addMenu(tr("E&ntry"));
    QMenu* fileMenu = bar->addMenu(tr("Phone&book"));
    QMenu* callsMenu = bar->addMenu(tr("C&alls"));
    layout()->setMenuBar(bar);

    QMenu* book = addMenu(ui_->phonebookList, "phonebookMenu");
    const struct {
        const char* text;
        void (PhonebookWindow::*command)();
        QKeySequence keys;
        QMenu* barMenu;
    } bookItems[] = {
        {QT_TR_NOOP("Send &message..."), &PhonebookWindow::sendMessage, Qt::CTRL | Qt::Key_M,
         entryMenu},
        {QT_TR_NOOP("&New entry..."), &PhonebookWindow::newEntry, QKeySequence::New, entryMenu},
        {QT_TR_NOOP("&Edit entry..."), &PhonebookWindow::editEntry, Qt::CTRL | Qt::Key_E,
         entryMenu},
        {QT_TR_NOOP("&Delete entry"), &PhonebookWindow::deleteEntry, Qt::CTRL | Qt::Key_D,
         entryMenu},
        {QT_TR_NOOP("&Call"), &PhonebookWindow::callEntry, Qt::CTRL | Qt::Key_L, callsMenu},
        {QT_TR_NOOP("&Hang up"), &PhonebookWindow::hangUp, Qt::CTRL | Qt::Key_H, callsMenu},
        {QT_TR_NOOP("&Redial"), &PhonebookWindow::redial, Qt::CTRL | Qt::Key_R, callsMenu},
        {QT_TR_NOOP("&Print..."), &PhonebookWindow::print, QKeySequence::Print, fileMenu},
        {QT_TR_NOOP("Expor&t CSV..."), &PhonebookWindow::exportCsv, {}, fileMenu},
        {QT_TR_NOOP("Export &XML..."), &PhonebookWindow::exportXml, {}, fileMenu},
        {QT_TR_NOOP("Export &vCard..."), &PhonebookWindow::exportVcard, {}, fileMenu},
        {QT_TR_NOOP("&Import..."), &PhonebookWindow::importCsv, Qt::CTRL | Qt::Key_I, fileMenu},
        {QT_TR_NOOP("&Save to local file"), &PhonebookWindow::saveLocalFile, QKeySequence::Save,
         fileMenu},
        {QT_TR_NOOP("N&ormalise numbers"), &PhonebookWindow::normalise, {}, fileMenu},
        {QT_TR_NOOP("M&ulticast message..."), &PhonebookWindow::multicastMessage,
         Qt::CTRL | Qt::SHIFT | Qt::Key_M, entryMenu},
        {QT_TR_NOOP("C&lear phonebook"), &PhonebookWindow::clearPhonebook, {}, fileMenu},
    };
    for (const auto& item : bookItems) {
        const auto command = item.command;
        auto* action = new QAction(tr(item.text), this);
        action->setShortcut(item.keys);
        connect(action, &QAction::triggered, this, [this, command] {
            if (!busy_)
                (this->*command)();
        });
        book->addAction(action);
        item.barMenu->addAction(action);
        if (command == &PhonebookWindow::deleteEntry) {
            // The double click's command, named where it can be found.
            auto* add = entryMenu->addAction(tr("Add to the Red&book"), this, [this] {
                if (!busy_)
                    addCurrentToRedbook();
            });
            add->setShortcut(Qt::CTRL | Qt::Key_B);
        }
    }

    // The three call lists offer the same commands on their own lines; the
    // menu bar's act on the call list used last.
    const struct {
        QListWidget* list;
        const char* name;
    } calls[] = {{ui_->receivedList, "receivedMenu"},
                 {ui_->dialledList, "dialledMenu"},
                 {ui_->missedList, "missedMenu"}};
    for (const auto& c : calls) {
        QMenu* menu = addMenu(c.list, c.name);
        QListWidget* list = c.list;
        menu->addAction(tr("Cop&y to phonebook..."), this, [this, list] { copyToPhonebook(list); });
        menu->addAction(tr("Call &back"), this, [this, list] { callBack(list); });
        menu->addAction(tr("&Redial"), this, [this, list] {
            redial();
            list->setFocus();
        });
        menu->addAction(tr("&Hang up"), this, &PhonebookWindow::hangUp);
        list->installEventFilter(this);  // remembers the list used last
    }
    callsMenu->addSeparator();
    callsMenu->addAction(tr("Cop&y to phonebook..."), this, [this] {
        if (!busy_)
            copyToPhonebook(lastCallList_ ? lastCallList_ : ui_->dialledList);
    });
    callsMenu->addAction(tr("Call &back"), this, [this] {
        if (!busy_)
            callBack(lastCallList_ ? lastCallList_ : ui_->dialledList);
    });
    QMenu* redbook = addMenu(ui_->redbookList, "redbookMenu");
    redbook->addAction(tr("Send &message..."), this, &PhonebookWindow::sendToRedbookEntry);
    entryMenu->addSeparator();
    entryMenu->addAction(tr("Send a message to the Redbook en&try..."), this, [this] {
        if (!busy_)
            sendToRedbookEntry();
    });
}

void PhonebookWindow::showEverything() {
    showPhonebook();
    showRedbook();
    showCounts();
    showCallLists();
    for (std::size_t i = 0; i < phonebook::kOwnNumbers; ++i) {
        auto* label = findChild<QLabel*>(QStringLiteral("ownNumber%1").arg(i + 1));
        label->setText(fromPc(model_.ownNumbers[i]));
    }
    ui_->serviceCentreEdit->setText(fromPc(model_.serviceCentre.number));
}

void PhonebookWindow::showPhonebook(int focusLocation) {
    QTreeWidget* list = ui_->phonebookList;
    list->clear();
    QList<QTreeWidgetItem*> items;
    QTreeWidgetItem* focus = nullptr;
    const phonebook::CurrentPhonebook& book = model_.current;
    for (std::size_t i = 0; i < book.rows.size(); ++i) {
        const Row& row = book.rows[i];
        // A deleted entry is gone from the phone, so it goes from the list.
        if (book.isDeleted(row.entry))
            continue;
        items.append(listItem(row.location, row.name, row.number, static_cast<int>(i)));
        if (focusLocation != 0 && row.location == focusLocation && !focus)
            focus = items.back();
    }
    list->addTopLevelItems(items);
    if (focus) {
        list->setCurrentItem(focus);
        list->scrollToItem(focus);
    }
}

void PhonebookWindow::showRedbook() {
    QTreeWidget* list = ui_->redbookList;
    list->clear();
    QList<QTreeWidgetItem*> items;
    for (const phonebook::PhonebookEntry& e : model_.redbook)
        items.append(listItem(e.index, e.name, e.number));
    list->addTopLevelItems(items);
    if (!items.isEmpty())
        list->scrollToItem(items.back());
}

void PhonebookWindow::showCounts() {
    // What the phone holds: entries deleted since the reading do not count.
    ui_->entryCountLabel->setText(QString::number(model_.current.liveCount()));
    ui_->maxLabel->setText(QString::number(model_.current.range.highest));
}

void PhonebookWindow::showCallLists() {
    const auto fill = [](QListWidget* list, const phonebook::CallList& calls) {
        list->clear();
        for (const std::string& line : calls.lines)
            list->addItem(fromPc(line));
    };
    fill(ui_->dialledList, model_.dialled);
    fill(ui_->missedList, model_.missed);
    fill(ui_->receivedList, model_.received);
}

int PhonebookWindow::currentRow() const {
    QTreeWidgetItem* item = ui_->phonebookList->currentItem();
    return item ? item->data(0, Qt::UserRole).toInt() : -1;
}

void PhonebookWindow::say(const QString& text) {
    statusLine_->showMessage(text);
}

void PhonebookWindow::busy(const std::function<void()>& work) {
    if (busy_)
        return;  // one exchange with the phone at a time
    busy_ = true;
    QPointer<QWidget> focus = focusWidget();
    ui_->content->setEnabled(false);
    work();
    ui_->content->setEnabled(true);
    busy_ = false;
    if (focus)
        focus->setFocus();
}

void PhonebookWindow::runEntryDialog(const phonebook::PhonebookWriter::EntryForm& form) {
    const std::size_t before = model_.current.entries.size();
    EntryDialog dialog(writer_, form, session_.language, this);
    runDialog(dialog);
    int location = form.location;
    if (model_.current.entries.size() > before)
        location = model_.current.entries.back().index;
    if (dialog.result() == QDialog::Accepted)
        say(form.location != 0 && model_.current.entries.size() == before
                ? tr("Entry %1 changed").arg(location)
                : tr("Entry %1 written").arg(location));
    showPhonebook(location);
    showCounts();
}

void PhonebookWindow::runSendDialog(SendDialogSession& dialog) {
    busy([&] {
        SendDialog window(dialog, this);
        runDialog(window);
        if (window.result() == QDialog::Accepted)
            say(sendSummary(window.outcome()));
    });
}

void PhonebookWindow::sendMessage() {
    const int row = currentRow();
    if (row >= 0) {
        SendDialogSession dialog(session_, *reporter_);
        dialog.openForEntry(RecipientSource::Phonebook,
                            model_.current.rows[static_cast<std::size_t>(row)].location);
        runSendDialog(dialog);
    }
    ui_->phonebookList->setFocus();
}

void PhonebookWindow::multicastMessage() {
    std::vector<int> locations;
    QTreeWidget* list = ui_->phonebookList;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->isSelected())
            locations.push_back(model_.current
                                    .rows[static_cast<std::size_t>(
                                        list->topLevelItem(i)->data(0, Qt::UserRole).toInt())]
                                    .location);
    SendDialogSession dialog(session_, *reporter_);
    dialog.openMulticast(std::move(locations));
    runSendDialog(dialog);
    ui_->phonebookList->setFocus();
}

void PhonebookWindow::sendToRedbookEntry() {
    QTreeWidgetItem* item = ui_->redbookList->currentItem();
    if (item) {
        const auto position = static_cast<std::size_t>(ui_->redbookList->indexOfTopLevelItem(item));
        SendDialogSession dialog(session_, *reporter_);
        dialog.openForEntry(RecipientSource::Redbook, model_.redbook[position].index);
        runSendDialog(dialog);
    }
    ui_->redbookList->setFocus();
}

void PhonebookWindow::newEntry() {
    busy([this] {
        if (onPhone([this] { return writer_.canAddEntry(); }))
            runEntryDialog({});
    });
    ui_->phonebookList->setFocus();
}

void PhonebookWindow::editEntry() {
    const int row = currentRow();
    if (row >= 0) {
        busy([this, row] {
            if (const auto form =
                    onPhone([&] { return writer_.beginEdit(static_cast<std::size_t>(row)); }))
                runEntryDialog(*form);
        });
    }
    ui_->phonebookList->setFocus();
}

void PhonebookWindow::deleteEntry() {
    const int row = currentRow();
    if (row >= 0) {
        busy([this, row] {
            const int location = model_.current.rows[static_cast<std::size_t>(row)].location;
            if (onPhone([&] { return window_.deleteEntry(static_cast<std::size_t>(row), true); }))
                showDeleted(location);
        });
    }
    ui_->phonebookList->setFocus();
}

void PhonebookWindow::deleteCurrentWithoutSelect() {
    const int row = currentRow();
    if (row < 0)
        return;
    busy([this, row] {
        const int location = model_.current.rows[static_cast<std::size_t>(row)].location;
        if (onPhone([&] { return window_.deleteEntry(static_cast<std::size_t>(row), false); }))
            showDeleted(location);
    });
}

void PhonebookWindow::showDeleted(int location) {
    showPhonebook();
    showRedbook();
    showCounts();
    say(tr("Entry %1 deleted").arg(location));
}

void PhonebookWindow::callEntry() {
    const int row = currentRow();
    if (row >= 0) {
        busy([this, row] {
            const int location = model_.current.rows[static_cast<std::size_t>(row)].location;
            onPhone([&] { calls_.dialLocation(location); });
        });
    }
    ui_->phonebookList->setFocus();
}

void PhonebookWindow::hangUp() {
    busy([this] { onPhone([this] { calls_.hangUp(); }); });
}

void PhonebookWindow::redial() {
    busy([this] { onPhone([this] { calls_.redial(); }); });
    ui_->phonebookList->setFocus();
}

void PhonebookWindow::print() {
    busy([this] { printPhonebook(this, model_.current, session_.language); });
    ui_->phonebookList->setFocus();
}

void PhonebookWindow::exportTable(bool xml) {
    const char* extension = xml ? "xml" : "csv";
    const QString preset = fromPc(phonebook::defaultExportName(model_.current.kind, extension));
    const QString path = chooseSaveFile(
        tr("Export phonebook"), xml ? tr("XML file (*.xml)") : tr("CSV file (*.csv)"),
        QString::fromLatin1(extension),
        lastPath_.isEmpty() ? preset : QFileInfo(lastPath_).dir().filePath(preset));
    if (path.isEmpty())
        return;
    lastPath_ = path;
    busy([&] {
        const std::string file = path.toStdString();
        const bool written = xml ? phonebook::exportXml(model_.current, file, *reporter_)
                                 : phonebook::exportCsv(model_.current, file, *reporter_);
        if (written) {
            say(tr("Saved as %1").arg(QDir::toNativeSeparators(path)));
            openFile(path);
        }
    });
}

void PhonebookWindow::exportCsv() {
    exportTable(false);
}

void PhonebookWindow::exportXml() {
    exportTable(true);
}

void PhonebookWindow::exportVcard() {
    const int row = currentRow();
    if (row < 0)
        return;
    const Row shown = model_.current.rows[static_cast<std::size_t>(row)];
    const QString preset = fromPc(phonebook::defaultVcardName(shown.name));
    const QString path =
        chooseSaveFile(tr("Export vCard"), tr("VCF file (*.vcf)"), QStringLiteral("vcf"),
                       lastPath_.isEmpty() ? preset : QFileInfo(lastPath_).dir().filePath(preset));
    if (path.isEmpty())
        return;
    lastPath_ = path;
    busy([&] {
        const std::tm local = localCalendar(std::time(nullptr));
        if (phonebook::exportVcard(shown, path.toStdString(), local))
            say(tr("Saved as %1").arg(QDir::toNativeSeparators(path)));
    });
}

void PhonebookWindow::importCsv() {
    const QString path =
        chooseOpenFile(tr("Import phonebook"),
                       tr("CSV file (*.csv)") + QStringLiteral(";;") + tr("vCard file (*.vcf)"),
                       QStringLiteral("csv"), lastPath_);
    if (path.isEmpty())
        return;
    lastPath_ = path;
    if (path.endsWith(QStringLiteral(".vcf"), Qt::CaseInsensitive)) {
        // Cards go to free locations only: nothing to ask.
        busy([&] {
            const auto r =
                onPhone([&] { return phonebook::importVcard(writer_, path.toStdString(), false); });
            std::vector<std::string> notes = r.plan.notes;
            for (const auto& entry : r.unwritten)
                notes.push_back("no free location for " + latin1ToUtf8(entry.name));
            showImportNotes(*reporter_, notes);
        });
    } else {
        const auto mode =
            reporter_->message(msg::OverwriteEntries, Caption::Info, Buttons::YesNo) == Answer::Yes
                ? phonebook::ImportMode::Overwrite
                : phonebook::ImportMode::Append;
        busy([&] { onPhone([&] { phonebook::importCsv(writer_, path.toStdString(), mode); }); });
    }
    showPhonebook();
    showCounts();
}

void PhonebookWindow::saveLocalFile() {
    if (window_.saveLocalFile())
        say(tr("Saved as %1")
                .arg(QDir::toNativeSeparators(
                    QFileInfo(fromPc(window_.localFile())).absoluteFilePath())));
}

void PhonebookWindow::normalise() {
    const int row = currentRow();
    const int location = row >= 0 ? model_.current.rows[static_cast<std::size_t>(row)].location : 0;
    busy([this] { onPhone([this] { writer_.normalise(); }); });
    showPhonebook(location);
}

void PhonebookWindow::clearPhonebook() {
    busy([this] {
        if (onPhone([this] { return writer_.confirmClear(); })) {
            showPhonebook();
            showRedbook();
            showCounts();
            say(tr("Phonebook cleared"));
        }
    });
}

void PhonebookWindow::callBack(QListWidget* list) {
    if (QListWidgetItem* item = list->currentItem()) {
        const std::string line = toPc(item->text());
        busy([&] { onPhone([&] { calls_.callBack(line); }); });
    }
    list->setFocus();
}

void PhonebookWindow::copyToPhonebook(QListWidget* list) {
    QListWidgetItem* item = list->currentItem();
    if (!item)
        return;
    const std::string line = toPc(item->text());
    busy([&] {
        if (const auto number = onPhone([&] { return calls_.copyToPhonebook(line); }))
            runEntryDialog({0, std::string(), *number});
    });
}

void PhonebookWindow::setServiceCentre() {
    busy([this] {
        const std::string number = toPc(ui_->serviceCentreEdit->text());
        if (onPhone([&] { return window_.serviceCentre().set(number); }))
            say(tr("Service centre set to %1").arg(ui_->serviceCentreEdit->text()));
    });
}

void PhonebookWindow::clearDialledCalls() {
    busy([this] {
        if (onPhone([this] { return calls_.clearDialledCalls(); })) {
            ui_->dialledList->clear();
            say(tr("Dialled calls cleared"));
        }
    });
}

void PhonebookWindow::selectKind(int index) {
    if (index < 0 || index > 2)
        return;
    // The selector stays disabled while the new kind is read, with the rest.
    busy([this, index] {
        reporter_->setCancel(cancelRead_);
        onPhone([this, index] { window_.switchKind(Kind(index)); });
        reporter_->setCancel(nullptr);
        showPhonebook();
        showCounts();
    });
}

void PhonebookWindow::addCurrentToRedbook() {
    const int row = currentRow();
    if (row < 0)
        return;
    busy([this, row] {
        const Row before = model_.current.rows[static_cast<std::size_t>(row)];
        if (onPhone([&] { return writer_.addToRedbook(static_cast<std::size_t>(row)); })) {
            showPhonebook(before.location);
            showRedbook();
            say(tr("%1 added to the Redbook").arg(fromPc(before.name)));
        }
    });
}

void PhonebookWindow::removeCurrentFromRedbook() {
    QTreeWidgetItem* item = ui_->redbookList->currentItem();
    if (!item)
        return;
    const int position = ui_->redbookList->indexOfTopLevelItem(item);
    busy([this, position] {
        const int row = currentRow();
        const int location =
            row >= 0 ? model_.current.rows[static_cast<std::size_t>(row)].location : 0;
        std::string name = model_.redbook[static_cast<std::size_t>(position)].name;
        if (!name.empty() && name.back() == '!')
            name.pop_back();  // the marker is not part of the name
        if (onPhone(
                [&] { return writer_.removeFromRedbook(static_cast<std::size_t>(position)); })) {
            showPhonebook(location);
            showRedbook();
            say(tr("%1 removed from the Redbook").arg(fromPc(name)));
        }
    });
}

void PhonebookWindow::sortPhonebook(int column) {
    const int row = currentRow();
    const int location = row >= 0 ? model_.current.rows[static_cast<std::size_t>(row)].location : 0;
    phonebook::sortRows(model_.current.rows, column);
    showPhonebook(location);
}

void PhonebookWindow::sortRedbook(int column) {
    // The Redbook table itself takes the shown order, so that a list
    // position is a table position.
    std::vector<Row> rows;
    for (std::size_t i = 0; i < model_.redbook.size(); ++i) {
        const auto& e = model_.redbook[i];
        rows.push_back(Row{e.index, e.name, e.number, i});
    }
    phonebook::sortRows(rows, column);
    std::vector<phonebook::PhonebookEntry> sorted;
    for (const Row& r : rows)
        sorted.push_back(model_.redbook[r.entry]);
    model_.redbook = std::move(sorted);
    showRedbook();
}

void PhonebookWindow::showHelp() {
    const QString path = helpFilePath(QString::fromStdString(session_.helpFile));
    if (path.isEmpty() || !openFile(path))
        reporter_->text(tr("Unable to activate help").toStdString(), Caption::Error);
}

bool PhonebookWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (auto* list = qobject_cast<QListWidget*>(watched))
            lastCallList_ = list;
    }
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        if (watched == ui_->phonebookList) {
            deleteCurrentWithoutSelect();
            return true;
        }
        if (watched == ui_->redbookList) {
            removeCurrentFromRedbook();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PhonebookWindow::keyPressEvent(QKeyEvent* event) {
    if (!takeDialogEndKey(event))
        QDialog::keyPressEvent(event);
}

void PhonebookWindow::closeEvent(QCloseEvent* event) {
    if (busy_) {  // the phone is still answering; the window must stay
        event->ignore();
        return;
    }
    const auto widths = [](QTreeWidget* list) {
        std::vector<int> w;
        for (int c = 0; c < 3; ++c)
            w.push_back(list->header()->sectionSize(c));
        return w;
    };
    window_.close(widths(ui_->phonebookList), widths(ui_->redbookList));
    event->accept();
    done(QDialog::Rejected);
}

}  // namespace vondrix::gui
