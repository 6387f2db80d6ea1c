#pragma once

#include <QDialog>
#include <memory>
#include <optional>
#include <vector>

#include "foundation/Reporter.h"
#include "session/Restore.h"
#include "session/Session.h"

namespace Ui {
class RestoreDialog;
}

namespace vondrix::gui {

// The main window's Restore command: a backup folder and the stores to put
// back; Compare lists what would change on the phone, and only Write to
// phone, after its question, writes.
class RestoreDialog : public QDialog {
    Q_OBJECT
  public:
    RestoreDialog(Session& session, Reporter& reporter, QWidget* parent = nullptr);
    ~RestoreDialog() override;

    void setFolder(const QString& folder);
    // Compare: reads the backup and the phone and lists the changes.
    bool compare();
    // Write to phone: asks, then writes the compared changes.
    bool write();

  private:
    void browse();
    std::vector<Store> chosenStores() const;
    void forget();  // the choice changed: compare again before writing

    Session& session_;
    Reporter& reporter_;
    std::optional<RestorePlan> plan_;
    std::unique_ptr<Ui::RestoreDialog> ui_;
};

}  // namespace vondrix::gui
