#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "session/CallBarringSession.h"

class QCheckBox;

namespace Ui {
class CallBarringWindow;
}

namespace vondrix::gui {

// The call barring window: a lock of the phone or SIM, or a call barring
// service with the classes it applies to; the lock box shows whether it is
// active. Activate and Deactivate send the request, a service's with the
// barring password typed. Nothing is saved.
class CallBarringWindow : public QDialog {
    Q_OBJECT
  public:
    // Shows the keyboard lock as the phone reports it.
    CallBarringWindow(Session& session, Reporter& reporter, QWidget* parent = nullptr);
    ~CallBarringWindow() override;

    // Activate (true) or Deactivate.
    void runRequest(bool activate);

  private:
    void showStatus();
    void facilityChosen(int index);
    void classToggled(std::size_t index, bool on);

    CallBarringSession window_;
    std::unique_ptr<Ui::CallBarringWindow> ui_;
    std::array<QCheckBox*, 4> classBoxes_{};
};

}  // namespace vondrix::gui
