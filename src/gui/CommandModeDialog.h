#pragma once

#include <QDialog>
#include <memory>

#include "session/CommandModeSession.h"

class QTimer;

namespace Ui {
class CommandModeDialog;
}

namespace vondrix::gui {

// The command mode: its timer hands the received messages to the
// communication module (or only polls it) every WaitSec seconds; a tick
// that comes while a check is still running does nothing. Start, stop, the
// interval (a change restarts the timer, even a stopped one), the log and
// check boxes, the state and the module's status text. Closing writes
// WaitSec, MonProt and CheckSMS and unloads the module.
class CommandModeDialog : public QDialog {
    Q_OBJECT
  public:
    // Nothing (after message 96 or 97) when the module cannot be used.
    static std::unique_ptr<CommandModeDialog> open(Session& session, Reporter& reporter,
                                                   CommandModeSession::Options options = {},
                                                   QWidget* parent = nullptr);
    ~CommandModeDialog() override;

    CommandModeSession& session() { return *mode_; }
    QTimer* timer() const { return timer_; }

    void start();
    void stop();
    void tick();  // what the timer runs

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override { close(); }

  private:
    CommandModeDialog(std::unique_ptr<CommandModeSession> mode, QWidget* parent);
    void intervalChanged(int value);
    void showState();

    std::unique_ptr<CommandModeSession> mode_;
    std::unique_ptr<Ui::CommandModeDialog> ui_;
    QTimer* timer_ = nullptr;
    int interval_ = 0;  // the up-down's last position
    bool closed_ = false;
};

}  // namespace vondrix::gui
