#include "gui/PredefinedDialog.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "foundation/Catalogue.h"
#include "gui/Latin1Text.h"
#include "gui/PhoneWorker.h"
#include "ui_PredefinedDialog.h"

namespace vondrix::gui {

PredefinedDialog::PredefinedDialog(Session& session, Reporter& reporter, QWidget* parent)
    : QDialog(parent),
      predefined_(session, reporter),
      ui_(std::make_unique<Ui::PredefinedDialog>()) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    QTreeWidget* list = ui_->predefinedList;
    const auto tip = catalogueText(msg::TipEditEntries, session.language);
    list->setToolTip(QString::fromUtf8(tip.data(), static_cast<qsizetype>(tip.size())));
    const auto headers = predefined_.headers();
    const auto widths = predefined_.columnWidths();
    list->setColumnCount(PredefinedSession::kColumns);
    list->setHeaderLabels(
        {QString::fromUtf8(headers[0].c_str()), QString::fromUtf8(headers[1].c_str())});
    list->header()->setStretchLastSection(false);
    list->header()->setMinimumSectionSize(0);
    for (int c = 0; c < PredefinedSession::kColumns; ++c)
        list->header()->resizeSection(c, widths[static_cast<std::size_t>(c)]);
    for (int k = 0; k < sms::PredefinedList::kCount; ++k) {
        auto* item = new QTreeWidgetItem(list, QStringList{QString(), QString::number(k + 1)});
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    for (int k = 0; k < sms::PredefinedList::kCount; ++k)
        showRow(k);

    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName(QStringLiteral("menuBar"));
    QMenu* menu = menuBar_->addMenu(tr("&Text"));
    menu->setObjectName(QStringLiteral("textMenu"));
    contextMenu_ = new QMenu(this);
    contextMenu_->setObjectName(QStringLiteral("listMenu"));
    for (QMenu* m : {menu, contextMenu_}) {
        m->addAction(tr("&Store message"), this, &PredefinedDialog::storeMessage);
        m->addAction(tr("&Delete entry"), this, &PredefinedDialog::deleteEntry);
    }
    layout()->setMenuBar(menuBar_);

    connect(list, &QTreeWidget::itemChanged, this, &PredefinedDialog::edited);
    connect(list, &QWidget::customContextMenuRequested, this, [this, list](const QPoint& at) {
        contextMenu_->exec(list->viewport()->mapToGlobal(at));
    });
    connect(ui_->saveButton, &QPushButton::clicked, this, &PredefinedDialog::save);
    list->installEventFilter(this);  // the Delete key
}

PredefinedDialog::~PredefinedDialog() = default;

void PredefinedDialog::showRow(int k) {
    const QSignalBlocker quiet(ui_->predefinedList);
    ui_->predefinedList->topLevelItem(k)->setText(0, fromPc(predefined_.list().row(k)));
}

void PredefinedDialog::edited(QTreeWidgetItem* item, int column) {
    if (column != 0)
        return;
    const int k = ui_->predefinedList->indexOfTopLevelItem(item);
    predefined_.list().edit(k, toPc(item->text(0)));
    showRow(k);  // as kept: at most 160 characters
}

void PredefinedDialog::storeMessage() {
    const QList<QTreeWidgetItem*> selected = ui_->predefinedList->selectedItems();
    if (selected.isEmpty())
        return;
    int first = sms::PredefinedList::kCount;
    for (QTreeWidgetItem* item : selected)
        first = std::min(first, ui_->predefinedList->indexOfTopLevelItem(item));
    setEnabled(false);
    onPhone([&] { predefined_.store(first); });
    setEnabled(true);
}

void PredefinedDialog::deleteEntry() {
    QTreeWidgetItem* item = ui_->predefinedList->currentItem();
    if (!item)
        return;
    const int k = ui_->predefinedList->indexOfTopLevelItem(item);
    predefined_.list().clear(k);
    showRow(k);
}

void PredefinedDialog::save() {
    predefined_.save();
}

bool PredefinedDialog::eventFilter(QObject* watched, QEvent* event) {
    // While a text is edited the keys go to its editor, not to the list.
    if (watched == ui_->predefinedList && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        deleteEntry();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void PredefinedDialog::closeEvent(QCloseEvent* event) {
    std::vector<int> widths;
    for (int c = 0; c < PredefinedSession::kColumns; ++c)
        widths.push_back(ui_->predefinedList->header()->sectionSize(c));
    predefined_.close(widths);
    event->accept();
    done(QDialog::Rejected);
}

}  // namespace vondrix::gui
