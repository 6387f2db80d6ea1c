#pragma once

#include <QDialog>
#include <memory>

#include "foundation/Reporter.h"
#include "session/Backup.h"
#include "session/Session.h"

namespace Ui {
class BackupDialog;
}

namespace vondrix::gui {

// The main window's Backup command: a new or empty folder, then every store
// of the phone into it with one progress bar; the counts when it is done.
class BackupDialog : public QDialog {
    Q_OBJECT
  public:
    BackupDialog(Session& session, Reporter& reporter, const DeviceInfo& device,
                 QWidget* parent = nullptr);
    ~BackupDialog() override;

    void setFolder(const QString& folder);
    // The Start button: true when the folder was written.
    bool start();

  private:
    void browse();

    Session& session_;
    Reporter& reporter_;
    DeviceInfo device_;
    std::unique_ptr<Ui::BackupDialog> ui_;
};

}  // namespace vondrix::gui
