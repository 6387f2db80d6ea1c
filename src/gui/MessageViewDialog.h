#pragma once

#include <QDialog>
#include <memory>

#include "foundation/Language.h"
#include "session/MessageListSession.h"

namespace Ui {
class MessageViewDialog;
}

namespace vondrix::gui {

// The view of one listed message: its text, the sender's name (or number),
// the date and the status. A row that is one part of a concatenated message
// whose other parts are listed shows the whole message and which part the
// row is.
class MessageViewDialog : public QDialog {
    Q_OBJECT
  public:
    MessageViewDialog(const MessageView& view, Language language, QWidget* parent = nullptr);
    ~MessageViewDialog() override;

  private:
    std::unique_ptr<Ui::MessageViewDialog> ui_;
};

}  // namespace vondrix::gui
