#pragma once

#include <QDialog>
#include <memory>

#include "session/SendDialogSession.h"

namespace Ui {
class ReplyDialog;
}

namespace vondrix::gui {

class MessageComposer;

// The reply dialog (a new message, or an answer to a listed row) and the
// forward dialog (a listed row's text to a new recipient; the text and the
// 8-bit box cannot be changed). The recipient is typed or chosen from the
// names of the name directory; a name is looked up when OK sends. OK with
// no recipient shows message 29 and keeps the dialog open.
class ReplyDialog : public QDialog {
    Q_OBJECT
  public:
    explicit ReplyDialog(SendDialogSession& session, QWidget* parent = nullptr);
    ~ReplyDialog() override;

    void accept() override;
    const SendOutcome& outcome() const { return outcome_; }

  private:
    SendDialogSession& session_;
    std::unique_ptr<Ui::ReplyDialog> ui_;
    MessageComposer* composer_ = nullptr;
    SendOutcome outcome_;
};

}  // namespace vondrix::gui
