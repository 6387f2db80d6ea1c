#include "gui/BackupDialog.h"

#include <QDateTime>
#include <QDir>
#include <QPushButton>

#include "gui/DialogProgress.h"
#include "gui/FileDialogs.h"
#include "gui/PhoneWorker.h"
#include "ui_BackupDialog.h"

namespace vondrix::gui {

BackupDialog::BackupDialog(Session& session, Reporter& reporter, const DeviceInfo& device,
                           QWidget* parent)
    : QDialog(parent),
      session_(session),
      reporter_(reporter),
      device_(device),
      ui_(std::make_unique<Ui::BackupDialog>()) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui_->progressBar->setValue(0);
    connect(ui_->browseButton, &QPushButton::clicked, this, &BackupDialog::browse);
    connect(ui_->startButton, &QPushButton::clicked, this, [this] { start(); });
    connect(ui_->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(ui_->folderEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        ui_->startButton->setEnabled(!text.trimmed().isEmpty());
    });
    ui_->startButton->setEnabled(false);
}

BackupDialog::~BackupDialog() = default;

void BackupDialog::setFolder(const QString& folder) {
    ui_->folderEdit->setText(folder);
}

void BackupDialog::browse() {
    // A new folder is named in the field; the dialog picks where it goes.
    const QString parent = askFolder(this, tr("Choose the backup folder"), QString());
    if (parent.isEmpty())
        return;
    const QString stamp =
        QString::fromLatin1("vondrix-backup-%1")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    ui_->folderEdit->setText(QDir(parent).filePath(stamp));
}

bool BackupDialog::start() {
    const QString folder = ui_->folderEdit->text().trimmed();
    if (folder.isEmpty())
        return false;
    setEnabled(false);
    ui_->resultLabel->clear();
    DialogProgress progress(reporter_, *ui_->progressBar, msg::BackupDone, session_.language);
    const std::tm utc = backupStampNow();
    BackupData written;
    const BackupResult result = onPhone([&] {
        return backupPhone(session_, progress, folder.toStdString(), device_, utc, &written);
    });
    setEnabled(true);
    if (result != BackupResult::Written) {
        ui_->progressBar->setValue(0);
        return false;
    }
    std::size_t entries = 0;
    for (const auto& p : written.phonebooks)
        entries += p.entries.size();
    ui_->resultLabel->setText(progress.shownText() + QStringLiteral("\n") +
                              tr("Phonebook entries: %1, messages: %2, organizer entries: %3")
                                  .arg(entries)
                                  .arg(written.messages.size())
                                  .arg(written.organizer.size()));
    return true;
}

}  // namespace vondrix::gui
