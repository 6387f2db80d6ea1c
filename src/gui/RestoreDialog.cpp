#include "gui/RestoreDialog.h"

#include <QCheckBox>
#include <QPushButton>

#include "gui/DialogProgress.h"
#include "gui/FileDialogs.h"
#include "gui/PhoneWorker.h"
#include "ui_RestoreDialog.h"

namespace vondrix::gui {

RestoreDialog::RestoreDialog(Session& session, Reporter& reporter, QWidget* parent)
    : QDialog(parent),
      session_(session),
      reporter_(reporter),
      ui_(std::make_unique<Ui::RestoreDialog>()) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui_->progressBar->setValue(0);
    connect(ui_->browseButton, &QPushButton::clicked, this, &RestoreDialog::browse);
    connect(ui_->compareButton, &QPushButton::clicked, this, [this] { compare(); });
    connect(ui_->writeButton, &QPushButton::clicked, this, [this] { write(); });
    connect(ui_->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(ui_->folderEdit, &QLineEdit::textChanged, this, [this] { forget(); });
    for (QCheckBox* box : {ui_->phonebookBox, ui_->ownNumbersBox, ui_->smsBox, ui_->organizerBox,
                           ui_->logoBox, ui_->ringtoneBox})
        connect(box, &QCheckBox::toggled, this, [this] { forget(); });
    forget();
}

RestoreDialog::~RestoreDialog() = default;

void RestoreDialog::setFolder(const QString& folder) {
    ui_->folderEdit->setText(folder);
}

void RestoreDialog::browse() {
    const QString folder = askFolder(this, tr("Choose the backup folder"), ui_->folderEdit->text());
    if (!folder.isEmpty())
        ui_->folderEdit->setText(folder);
}

std::vector<Store> RestoreDialog::chosenStores() const {
    std::vector<Store> stores;
    const std::pair<QCheckBox*, Store> boxes[] = {{ui_->phonebookBox, Store::Phonebook},
                                                  {ui_->ownNumbersBox, Store::OwnNumbers},
                                                  {ui_->smsBox, Store::Sms},
                                                  {ui_->organizerBox, Store::Organizer},
                                                  {ui_->logoBox, Store::Logo},
                                                  {ui_->ringtoneBox, Store::Ringtone}};
    for (const auto& [box, store] : boxes) {
        if (box->isChecked())
            stores.push_back(store);
    }
    return stores;
}

void RestoreDialog::forget() {
    plan_.reset();
    ui_->changesList->clear();
    ui_->summaryLabel->clear();
    ui_->writeButton->setEnabled(false);
    ui_->compareButton->setEnabled(!ui_->folderEdit->text().trimmed().isEmpty() &&
                                   !chosenStores().empty());
}

bool RestoreDialog::compare() {
    forget();
    const std::vector<Store> stores = chosenStores();
    setEnabled(false);
    DialogProgress progress(reporter_, *ui_->progressBar, std::nullopt, session_.language);
    const std::string folder = ui_->folderEdit->text().trimmed().toStdString();
    const auto backup = readBackupFolder(folder, progress);
    const auto phone =
        backup ? onPhone([&] { return readPhone(session_, progress, stores); }) : std::nullopt;
    setEnabled(true);
    if (!phone)
        return false;
    plan_ = planRestore(*backup, *phone, stores);
    for (const std::string& line : plan_->lines())
        ui_->changesList->addItem(QString::fromUtf8(line.c_str()));
    using Action = RestoreChange::Action;
    ui_->summaryLabel->setText(plan_->writes() || plan_->count(Action::DoesNotFit) > 0
                                   ? tr("%1 added, %2 changed, %3 removed, %4 do not fit")
                                         .arg(plan_->count(Action::Add))
                                         .arg(plan_->count(Action::Change))
                                         .arg(plan_->count(Action::Remove))
                                         .arg(plan_->count(Action::DoesNotFit))
                                   : tr("Nothing to change: the phone holds the backup."));
    ui_->writeButton->setEnabled(plan_->writes());
    return true;
}

bool RestoreDialog::write() {
    if (!plan_ || !plan_->writes())
        return false;
    if (reporter_.message(msg::ConfirmRestore, Caption::Info, Buttons::YesNo) != Answer::Yes)
        return false;
    setEnabled(false);
    DialogProgress progress(reporter_, *ui_->progressBar, msg::RestoreDone, session_.language);
    const RestoreReport report = onPhone([&] { return applyRestore(session_, progress, *plan_); });
    setEnabled(true);
    ui_->summaryLabel->setText(
        tr("%1 written, %2 refused").arg(report.written).arg(report.refused));
    ui_->changesList->clear();
    for (const std::string& line : report.failures)
        ui_->changesList->addItem(QString::fromUtf8(line.c_str()));
    plan_.reset();
    ui_->writeButton->setEnabled(false);
    return !report.linkFailed && report.refused == 0;
}

}  // namespace vondrix::gui
