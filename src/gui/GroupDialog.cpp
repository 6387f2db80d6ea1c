#include "gui/GroupDialog.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

#include "gui/FileDialogs.h"
#include "gui/Latin1Text.h"
#include "gui/PhoneWorker.h"
#include "gui/SendDialog.h"
#include "ui_GroupDialog.h"

namespace vondrix::gui {

GroupDialog::GroupDialog(Session& session, Reporter& reporter, QWidget* parent)
    : QDialog(parent),
      reporter_(reporter),
      groups_(session, reporter),
      ui_(std::make_unique<Ui::GroupDialog>()) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    chooseSaveFile = [this](const QString& title, const QString& preset) {
        return askSaveFile(this, title, tr("SRP file (*.srp)"),
                           QString::fromLatin1(sms::kGroupExtension), preset,
                           OverwriteQuestion::Ask);
    };
    chooseOpenFile = [this](const QString& title, const QString& preset) {
        return askOpenFile(this, title, tr("SRP file (*.srp)"),
                           QString::fromLatin1(sms::kGroupExtension), preset);
    };
    runDialog = [](QDialog& d) { d.exec(); };

    onPhone([this] { groups_.open(); });

    const auto headers = groups_.headers();
    const QStringList labels{QString::fromUtf8(headers[0].c_str()),
                             QString::fromUtf8(headers[1].c_str())};
    for (QTreeWidget* list : {ui_->sourceList, ui_->memberList}) {
        list->setColumnCount(GroupSession::kColumns);
        list->setHeaderLabels(labels);
        list->header()->setStretchLastSection(false);
        list->header()->setMinimumSectionSize(0);
        list->header()->setSectionsClickable(list == ui_->sourceList);
    }
    showSource(0);
    // Default widths fit the names and numbers of the directory.
    std::array<int, GroupSession::kColumns> fitting{};
    for (int c = 0; c < GroupSession::kColumns; ++c)
        fitting[static_cast<std::size_t>(c)] =
            std::max(static_cast<const QAbstractItemView*>(ui_->sourceList)->sizeHintForColumn(c),
                     ui_->sourceList->header()->sectionSizeHint(c));
    const auto widths = groups_.columnWidths(fitting);
    for (QTreeWidget* list : {ui_->sourceList, ui_->memberList})
        for (int c = 0; c < GroupSession::kColumns; ++c)
            list->header()->resizeSection(c, widths[static_cast<std::size_t>(c)]);

    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName(QStringLiteral("menuBar"));
    QMenu* menu = menuBar_->addMenu(tr("&Group"));
    menu->setObjectName(QStringLiteral("groupMenu"));
    contextMenu_ = new QMenu(this);
    contextMenu_->setObjectName(QStringLiteral("memberMenu"));
    for (QMenu* m : {menu, contextMenu_}) {
        m->addAction(tr("&Send message to the group..."), this, &GroupDialog::sendToGroup);
        m->addAction(tr("&Load group..."), this, &GroupDialog::loadGroup);
        m->addAction(tr("Sa&ve group..."), this, &GroupDialog::saveGroup);
        m->addAction(tr("&Delete group"), this, &GroupDialog::deleteGroup);
    }
    layout()->setMenuBar(menuBar_);

    connect(ui_->addButton, &QPushButton::clicked, this, &GroupDialog::addSelected);
    connect(ui_->sourceList->header(), &QHeaderView::sectionClicked, this,
            &GroupDialog::sortSource);
    connect(ui_->memberList, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        contextMenu_->exec(ui_->memberList->viewport()->mapToGlobal(at));
    });
    ui_->memberList->installEventFilter(this);
}

GroupDialog::~GroupDialog() = default;

void GroupDialog::showSource(int column) {
    source_ = groups_.source(column);
    QTreeWidget* list = ui_->sourceList;
    list->clear();
    for (const sms::NameRecord& r : source_)
        new QTreeWidgetItem(list, QStringList{fromPc(r.name), fromPc(r.number)});
}

void GroupDialog::showMembers() {
    QTreeWidget* list = ui_->memberList;
    list->clear();
    for (const sms::GroupMember& m : groups_.group().members())
        new QTreeWidgetItem(list, QStringList{fromPc(m.name), fromPc(m.number)});
}

void GroupDialog::sortSource(int column) {
    showSource(column);
}

void GroupDialog::addSelected() {
    std::vector<sms::NameRecord> chosen;
    QTreeWidget* list = ui_->sourceList;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->isSelected())
            chosen.push_back(source_[static_cast<std::size_t>(i)]);
    groups_.group().add(chosen);
    showMembers();
}

void GroupDialog::removeCurrentMember() {
    QTreeWidgetItem* item = ui_->memberList->currentItem();
    if (!item)
        return;
    groups_.group().removeAt(static_cast<std::size_t>(ui_->memberList->indexOfTopLevelItem(item)));
    showMembers();
}

void GroupDialog::sendToGroup() {
    auto dialog = groups_.sendDialog();
    if (!dialog)
        return;
    SendDialog window(*dialog, this);
    runDialog(window);
}

void GroupDialog::loadGroup() {
    const QString path = chooseOpenFile(tr("Load group"), lastPath_);
    if (path.isEmpty())
        return;
    lastPath_ = path;
    groups_.group().load(path.toStdString(), reporter_);
    showMembers();
}

void GroupDialog::saveGroup() {
    if (groups_.group().empty())
        return;
    const QString path = chooseSaveFile(tr("Save group"), lastPath_);
    if (path.isEmpty())
        return;
    lastPath_ = path;
    groups_.group().save(path.toStdString());
}

void GroupDialog::deleteGroup() {
    groups_.group().clear(reporter_);
    showMembers();
}

bool GroupDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->memberList && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        removeCurrentMember();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void GroupDialog::closeEvent(QCloseEvent* event) {
    std::vector<int> widths;
    for (int c = 0; c < GroupSession::kColumns; ++c)
        widths.push_back(ui_->sourceList->header()->sectionSize(c));
    groups_.close(widths);
    event->accept();
    done(QDialog::Rejected);
}

}  // namespace vondrix::gui
