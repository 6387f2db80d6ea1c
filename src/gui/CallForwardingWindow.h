#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "session/CallForwardingSession.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace Ui {
class CallForwardingWindow;
}

namespace vondrix::gui {

// The call forwarding window: a forwarding reason, and for voice, data, fax
// and all classes whether forwarding is active, to which number and (for
// "If no answer") after how many seconds; four buttons register, erase,
// activate or deactivate forwarding for the ticked classes. Nothing is saved.
class CallForwardingWindow : public QDialog {
    Q_OBJECT
  public:
    // Shows the reason "Always" as the network reports it.
    CallForwardingWindow(Session& session, Reporter& reporter, QWidget* parent = nullptr);
    ~CallForwardingWindow() override;

    // One of the four buttons.
    void runMode(network::ForwardMode mode);

  private:
    struct ClassRow {
        QCheckBox* check;
        QLineEdit* number;
        QSpinBox* time;
    };

    void showForm();
    void reasonChosen(int index);
    void classToggled(std::size_t index, bool on);

    CallForwardingSession window_;
    std::unique_ptr<Ui::CallForwardingWindow> ui_;
    std::array<ClassRow, 4> rows_{};
};

}  // namespace vondrix::gui
