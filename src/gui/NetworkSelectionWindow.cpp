#include "gui/NetworkSelectionWindow.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <algorithm>
#include <utility>

#include "foundation/Catalogue.h"
#include "foundation/Messages.h"
#include "gui/Latin1Text.h"
#include "gui/PhoneWorker.h"
#include "network/Texts.h"
#include "ui_NetworkSelectionWindow.h"

namespace vondrix::gui {
namespace {

constexpr int kWidths[] = {60, 150, 50};

QString utf8(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

int rowOf(const QTreeWidget* list) {
    QTreeWidgetItem* item = list->currentItem();
    return item ? list->indexOfTopLevelItem(item) : -1;
}

}  // namespace

NetworkSelectionWindow::NetworkSelectionWindow(MainWindowSession& main, Reporter& reporter,
                                               QWidget* parent)
    : QDialog(parent),
      window_(main, reporter),
      language_(main.session().language),
      ui_(std::make_unique<Ui::NetworkSelectionWindow>()) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui_->knownList->setToolTip(utf8(catalogueText(msg::TipAvailableNetworks, language_)));
    ui_->preferredList->setToolTip(utf8(catalogueText(msg::TipPreferredNetworks, language_)));
    setUpList(ui_->knownList, 2);
    setUpList(ui_->preferredList, 2);
    setUpList(ui_->foundList, 3);
    ui_->knownList->header()->setSectionsClickable(true);
    // A wrapped hint takes the lines it needs below its list.
    for (const auto& [hint, list] : {std::pair{ui_->knownHint, ui_->knownList},
                                     std::pair{ui_->preferredHint, ui_->preferredList},
                                     std::pair{ui_->foundHint, ui_->foundList}})
        hint->setMinimumHeight(hint->heightForWidth(list->minimumWidth()));

    connect(ui_->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui_->knownList, &QTreeWidget::itemDoubleClicked, this,
            &NetworkSelectionWindow::addCurrentKnown);
    connect(ui_->foundList, &QTreeWidget::itemDoubleClicked, this,
            &NetworkSelectionWindow::selectCurrentFound);
    connect(ui_->knownList->header(), &QHeaderView::sectionClicked, this,
            &NetworkSelectionWindow::sortKnown);
    ui_->preferredList->installEventFilter(this);

    // The search keeps the phone busy for a while before the window shows.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    onPhone([this] { window_.open(); });
    QApplication::restoreOverrideCursor();
    showKnown();
    showPreferred();
    showFound();
}

NetworkSelectionWindow::~NetworkSelectionWindow() = default;

void NetworkSelectionWindow::setUpList(QTreeWidget* list, int columns) {
    list->setColumnCount(columns);
    QStringList headers;
    for (int c = 0; c < columns; ++c)
        headers << utf8(network::operatorColumnHeader(language_, c));
    list->setHeaderLabels(headers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    QHeaderView* header = list->header();
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The widths of the original lists, widened where a header would be cut.
    int total = 0;
    for (int c = 0; c < columns; ++c) {
        const int text = header->fontMetrics().horizontalAdvance(headers[c]) + 16;
        header->resizeSection(c, std::max(kWidths[c], text));
        total += header->sectionSize(c);
    }
    list->setMinimumWidth(
        std::max(list->minimumWidth(),
                 total + 2 * list->frameWidth() + list->verticalScrollBar()->sizeHint().width()));
}

void NetworkSelectionWindow::showKnown() {
    QTreeWidget* list = ui_->knownList;
    list->clear();
    QList<QTreeWidgetItem*> items;
    for (const network::OperatorName& o : window_.model().known)
        items.append(new QTreeWidgetItem(QStringList{QString::number(o.code), fromPc(o.name)}));
    list->addTopLevelItems(items);
}

void NetworkSelectionWindow::showPreferred() {
    QTreeWidget* list = ui_->preferredList;
    const int current = rowOf(list);
    list->clear();
    const network::OperatorsModel& m = window_.model();
    // The list ends before the first operator the phone has no name for.
    for (std::size_t i = 0; i < m.preferredShown(); ++i) {
        const network::PreferredEntry& e = m.preferred[i];
        list->addTopLevelItem(
            new QTreeWidgetItem(QStringList{QString::number(e.code), fromPc(e.name)}));
    }
    if (current >= 0 && current < list->topLevelItemCount())
        list->setCurrentItem(list->topLevelItem(current));
}

void NetworkSelectionWindow::showFound() {
    QTreeWidget* list = ui_->foundList;
    list->clear();
    for (const network::FoundNetwork& f : window_.model().found) {
        auto* item = new QTreeWidgetItem(
            QStringList{QString::number(f.code), fromPc(f.longName), QString::number(f.status)});
        // The status number, told in words.
        item->setToolTip(2, utf8(network::operatorStatusText(language_, f.status)));
        list->addTopLevelItem(item);
    }
}

void NetworkSelectionWindow::addCurrentKnown() {
    const QTreeWidgetItem* item = ui_->knownList->currentItem();
    if (!item)
        return;
    // The code as the row shows it.
    bool ok = false;
    const int code = item->text(0).toInt(&ok);
    if (!ok)
        return;
    if (onPhone([&] { return window_.addPreferred(code); }) == network::Outcome::Done)
        showPreferred();
}

void NetworkSelectionWindow::removeCurrentPreferred() {
    const int row = rowOf(ui_->preferredList);
    if (row < 0)
        return;
    if (onPhone([&] { return window_.removePreferred(static_cast<std::size_t>(row)); }) ==
        network::Outcome::Done)
        showPreferred();
}

void NetworkSelectionWindow::selectCurrentFound() {
    const int row = rowOf(ui_->foundList);
    if (row >= 0)
        onPhone([&] { window_.select(static_cast<std::size_t>(row)); });
}

void NetworkSelectionWindow::sortKnown(int column) {
    window_.sortKnown(column);
    showKnown();
}

bool NetworkSelectionWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->preferredList && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        removeCurrentPreferred();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace vondrix::gui
