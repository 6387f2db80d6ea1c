#include "gui/MessageListWindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QStringList>
#include <QVBoxLayout>

#include "foundation/Catalogue.h"
#include "gui/EntryDialog.h"
#include "gui/FileDialogs.h"
#include "gui/GroupDialog.h"
#include "gui/Latin1Text.h"
#include "gui/MessageViewDialog.h"
#include "gui/PhoneWorker.h"
#include "gui/PredefinedDialog.h"
#include "gui/ReplyDialog.h"
#include "gui/Shell.h"
#include "gui/StatusLine.h"
#include "session/PhonebookWindowSession.h"
#include "sms/Export.h"
#include "ui_MessageListWindow.h"

namespace vondrix::gui {

MessageListWindow::MessageListWindow(Session& session, Reporter& reporter, QWidget* parent,
                                     std::string localFile)
    : QDialog(parent),
      session_(session),
      reporter_(reporter),
      list_(session, reporter, std::move(localFile)),
      ui_(std::make_unique<Ui::MessageListWindow>()) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    chooseSaveFile = [this](const QString& title, const QString& filter, const QString& suffix,
                            const QString& preset) {
        return askSaveFile(this, title, filter, suffix, preset, OverwriteQuestion::None);
    };
    runDialog = [](QDialog& d) { d.exec(); };

    buildMenus();
    setUpList();
    statusLine_ = addStatusLine(this);
    connect(ui_->deleteButton, &QPushButton::clicked, this, &MessageListWindow::deleteSelected);
    connect(ui_->refreshButton, &QPushButton::clicked, this, &MessageListWindow::refresh);
    connect(ui_->predefinedButton, &QPushButton::clicked, this, &MessageListWindow::showPredefined);
    connect(ui_->groupsButton, &QPushButton::clicked, this, &MessageListWindow::showGroups);
    connect(ui_->messageList, &QTreeWidget::itemDoubleClicked, this,
            &MessageListWindow::viewCurrent);
    connect(ui_->messageList->header(), &QHeaderView::sectionClicked, this,
            &MessageListWindow::sortBy);
    connect(ui_->messageList, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        contextMenu_->exec(ui_->messageList->viewport()->mapToGlobal(at));
    });

    onPhone([this] { list_.open(); });
    showRows();
    applyWidths();
    showMemory();
    ui_->messageList->setToolTip(catalogue(msg::TipRightButtonFunctions));
    ui_->messageList->setFocus();
}

MessageListWindow::~MessageListWindow() = default;

QString MessageListWindow::catalogue(int id) const {
    const auto t = catalogueText(id, session_.language);
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

void MessageListWindow::buildMenus() {
    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName(QStringLiteral("menuBar"));
    QMenu* menu = menuBar_->addMenu(tr("&Message"));
    menu->setObjectName(QStringLiteral("messageMenu"));
    contextMenu_ = new QMenu(this);
    contextMenu_->setObjectName(QStringLiteral("listMenu"));
    const struct {
        const char* text;
        void (MessageListWindow::*command)();
    } items[] = {
        {QT_TR_NOOP("&Send stored message..."), &MessageListWindow::sendStored},
        {QT_TR_NOOP("&New / reply..."), &MessageListWindow::newOrReply},
        {QT_TR_NOOP("&View..."), &MessageListWindow::viewCurrent},
        {QT_TR_NOOP("Transfer to &phonebook..."), &MessageListWindow::transferToPhonebook},
        {QT_TR_NOOP("Expor&t CSV..."), &MessageListWindow::exportCsv},
        {QT_TR_NOOP("Export &XML..."), &MessageListWindow::exportXml},
    };
    // The context menu holds copies of the menu's items, in the same order.
    for (const auto& item : items) {
        const auto command = item.command;
        menu->addAction(tr(item.text), this, [this, command] { (this->*command)(); });
        contextMenu_->addAction(tr(item.text), this, [this, command] { (this->*command)(); });
    }
    layout()->setMenuBar(menuBar_);
}

void MessageListWindow::setUpList() {
    QTreeWidget* list = ui_->messageList;
    const auto headers = list_.headers();
    QStringList labels;
    for (const std::string& h : headers)
        labels << QString::fromUtf8(h.c_str());
    list->setColumnCount(MessageListSession::kColumns);
    list->setHeaderLabels(labels);
    QHeaderView* header = list->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    header->setStretchLastSection(false);  // the widths stay as stored
    header->setMinimumSectionSize(0);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list->headerItem()->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
}

void MessageListWindow::applyWidths() {
    QTreeWidget* list = ui_->messageList;
    QHeaderView* header = list->header();
    // A default width fits what the column shows, except the long texts.
    std::array<int, MessageListSession::kColumns> fitting{};
    for (int c = 0; c + 1 < MessageListSession::kColumns; ++c)
        fitting[static_cast<std::size_t>(c)] =
            std::max(static_cast<const QAbstractItemView*>(list)->sizeHintForColumn(c),
                     header->sectionSizeHint(c));
    const auto widths = list_.columnWidths(fitting);
    int total = 0;
    for (int c = 0; c < MessageListSession::kColumns; ++c) {
        header->resizeSection(c, widths[static_cast<std::size_t>(c)]);
        total += widths[static_cast<std::size_t>(c)];
    }
    // Every column in view at the window's first size.
    list->setMinimumWidth(total + 2 * list->frameWidth() +
                          list->verticalScrollBar()->sizeHint().width());
}

void MessageListWindow::showRows(std::optional<int> focus) {
    QTreeWidget* list = ui_->messageList;
    list->clear();
    QList<QTreeWidgetItem*> items;
    QTreeWidgetItem* focused = nullptr;
    for (const sms::MessageRow& r : list_.rows()) {
        auto* item =
            new QTreeWidgetItem(QStringList{fromPc(r.index), fromPc(r.status), fromPc(r.date),
                                            fromPc(r.number), fromPc(r.name), fromPc(r.text)});
        item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, Qt::UserRole, r.position);
        // The status number, told in words.
        if (r.statusValue >= 0 && r.statusValue <= 3)
            item->setToolTip(1, catalogue(msg::StatusReceivedUnread + r.statusValue));
        if (focus && r.position == *focus)
            focused = item;
        items.append(item);
    }
    list->addTopLevelItems(items);
    if (!focused && !items.isEmpty())
        focused = items.back();
    if (focused) {
        list->setCurrentItem(focused);
        focused->setSelected(true);
        list->scrollToItem(focused);
    }
}

void MessageListWindow::showMemory() {
    const sms::MemoryFields& m = list_.list().memory;
    if (m.used)
        ui_->usedLabel->setText(QString::number(*m.used));
    if (m.capacity)
        ui_->capacityLabel->setText(QString::number(*m.capacity));
    if (m.state)
        ui_->memoryStateLabel->setText(QString::fromUtf8(list_.memoryStateText().c_str()));
}

std::optional<int> MessageListWindow::currentPosition() const {
    QTreeWidgetItem* item = ui_->messageList->currentItem();
    return item ? std::optional<int>(item->data(0, Qt::UserRole).toInt()) : std::nullopt;
}

int MessageListWindow::currentRow() const {
    QTreeWidgetItem* item = ui_->messageList->currentItem();
    return item ? ui_->messageList->indexOfTopLevelItem(item) : -1;
}

void MessageListWindow::busy(const std::function<void()>& work) {
    ui_->messageList->setEnabled(false);
    for (QPushButton* b :
         {ui_->deleteButton, ui_->refreshButton, ui_->predefinedButton, ui_->groupsButton})
        b->setEnabled(false);
    menuBar_->setEnabled(false);
    work();
    ui_->messageList->setEnabled(true);
    for (QPushButton* b :
         {ui_->deleteButton, ui_->refreshButton, ui_->predefinedButton, ui_->groupsButton})
        b->setEnabled(true);
    menuBar_->setEnabled(true);
    ui_->messageList->setFocus();
}

void MessageListWindow::sendStored() {
    const int row = currentRow();
    if (row < 0)
        return;
    SendDialogSession dialog(session_, reporter_);
    dialog.openForward(static_cast<std::size_t>(row));
    runReplyDialog(dialog);
}

void MessageListWindow::runReplyDialog(SendDialogSession& dialog) {
    const std::size_t before = list_.rows().size();
    ReplyDialog window(dialog, this);
    runDialog(window);
    QStringList said;
    if (window.result() == QDialog::Accepted)
        said << sendSummary(window.outcome(), false);  // stored rows are named below
    sayStored(before, said);
    showRows(currentPosition());  // a stored part added its row
    showMemory();
}

void MessageListWindow::sayStored(std::size_t before, QStringList said) {
    const auto& rows = list_.rows();
    QStringList indexes;
    for (std::size_t i = before; i < rows.size(); ++i)
        indexes << fromPc(rows[i].index);
    said.removeAll(QString());
    if (!indexes.isEmpty())
        said << tr("stored as message %1").arg(indexes.join(QStringLiteral(", ")));
    if (!said.isEmpty())
        statusLine_->showMessage(said.join(QStringLiteral("; ")));
}

void MessageListWindow::newOrReply() {
    const int row = currentRow();
    if (!list_.rows().empty() && row < 0)
        return;  // rows, but none with the focus
    SendDialogSession dialog(session_, reporter_);
    dialog.openReply(row < 0 ? std::nullopt : std::optional<std::size_t>(row));
    runReplyDialog(dialog);
}

void MessageListWindow::viewCurrent() {
    const int row = currentRow();
    if (row < 0)
        return;
    if (const auto view = list_.view(static_cast<std::size_t>(row))) {
        MessageViewDialog dialog(*view, session_.language, this);
        runDialog(dialog);
    }
}

void MessageListWindow::transferToPhonebook() {
    const int row = currentRow();
    if (row < 0)
        return;
    const auto number = list_.numberForPhonebook(static_cast<std::size_t>(row));
    if (!number)
        return;
    PhonebookWindowSession phonebook(session_, reporter_);
    EntryDialog dialog(phonebook.writer(), {0, std::string(), *number}, session_.language, this);
    runDialog(dialog);
}

void MessageListWindow::exportTo(bool xml) {
    const QString preset = QString::fromLatin1(xml ? sms::kXmlExportName : sms::kCsvExportName);
    const QString path =
        chooseSaveFile(tr("Export messages"), xml ? tr("XML file (*.xml)") : tr("CSV file (*.csv)"),
                       xml ? QStringLiteral("xml") : QStringLiteral("csv"),
                       lastPath_.isEmpty() ? preset : QFileInfo(lastPath_).dir().filePath(preset));
    if (path.isEmpty())
        return;
    lastPath_ = path;
    busy([&] {
        const std::string file = path.toStdString();
        if (xml ? list_.exportXml(file) : list_.exportCsv(file)) {
            statusLine_->showMessage(tr("Saved as %1").arg(QDir::toNativeSeparators(path)));
            openFile(path);
        }
    });
}

void MessageListWindow::exportCsv() {
    exportTo(false);
}

void MessageListWindow::exportXml() {
    exportTo(true);
}

void MessageListWindow::deleteSelected() {
    std::vector<std::size_t> rows;
    QTreeWidget* list = ui_->messageList;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->isSelected())
            rows.push_back(static_cast<std::size_t>(i));
    if (rows.empty())
        return;
    sms::DeleteReport report;
    busy([&] { report = onPhone([&] { return list_.deleteRows(rows); }); });
    if (report.deleted > 0)
        statusLine_->showMessage(tr("%1 message(s) deleted").arg(report.deleted));
    showRows();
    showMemory();
}

void MessageListWindow::refresh() {
    busy([this] { onPhone([this] { list_.refresh(); }); });
    showRows();
    showMemory();
}

void MessageListWindow::showPredefined() {
    const std::size_t before = list_.rows().size();
    busy([this] {
        PredefinedDialog dialog(session_, reporter_, this);
        runDialog(dialog);
    });
    // A stored text added its row.
    sayStored(before, {});
    showRows(currentPosition());
    showMemory();
}

void MessageListWindow::showGroups() {
    const std::size_t before = list_.rows().size();
    busy([this] {
        // Without an owner window, as the original ran it.
        GroupDialog dialog(session_, reporter_);
        runDialog(dialog);
    });
    sayStored(before, {});
    showRows(currentPosition());
    showMemory();
}

void MessageListWindow::sortBy(int column) {
    const std::optional<int> focus = currentPosition();
    list_.sortBy(column);
    showRows(focus);
}

void MessageListWindow::closeEvent(QCloseEvent* event) {
    std::vector<int> widths;
    for (int c = 0; c < MessageListSession::kColumns; ++c)
        widths.push_back(ui_->messageList->header()->sectionSize(c));
    list_.close(widths);
    event->accept();
    done(QDialog::Rejected);
}

}  // namespace vondrix::gui
