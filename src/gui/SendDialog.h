#pragma once

#include <QDialog>
#include <memory>

#include "session/SendDialogSession.h"

namespace Ui {
class SendDialog;
}

namespace vondrix::gui {

class MessageComposer;

// The send dialog: a message to one phonebook or Redbook entry, to every
// selected phonebook entry (the name and number fields then show each
// recipient in turn and cannot be changed), or to every member of a group.
// The caller opens the session for its mode; OK sends and closes, Cancel
// closes without sending.
class SendDialog : public QDialog {
    Q_OBJECT
  public:
    explicit SendDialog(SendDialogSession& session, QWidget* parent = nullptr);
    ~SendDialog() override;

    void accept() override;
    // What OK sent (empty before OK or after Cancel).
    const SendOutcome& outcome() const { return outcome_; }

  private:
    SendDialogSession& session_;
    std::unique_ptr<Ui::SendDialog> ui_;
    MessageComposer* composer_ = nullptr;
    SendOutcome outcome_;
};

}  // namespace vondrix::gui
