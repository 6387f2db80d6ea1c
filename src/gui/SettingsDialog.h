#pragma once

#include <QDialog>
#include <memory>

#include "session/MainWindowSession.h"
#include "session/Session.h"

namespace Ui {
class SettingsDialog;
}

namespace vondrix::gui {

// The options dialog: port, normalisation prefix and flags. OK stores each
// value in memory and in Vondrix.ini at once, in a fixed order; Cancel
// changes nothing.
class SettingsDialog : public QDialog {
    Q_OBJECT
  public:
    SettingsDialog(Session& session, Reporter& reporter, QWidget* parent = nullptr);
    ~SettingsDialog() override;

    void accept() override;

  private:
    Session& session_;
    Reporter& reporter_;
    std::unique_ptr<Ui::SettingsDialog> ui_;
};

}  // namespace vondrix::gui
