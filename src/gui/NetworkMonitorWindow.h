#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>
#include <string>

#include "network/CellLog.h"
#include "session/NetworkMonitorSession.h"

namespace Ui {
class NetworkMonitorWindow;
}

namespace vondrix::gui {

// The network monitor: operator, cell, location area, registration,
// reception (with a chart of the level since opening), activity and the
// current calls, polled every MonRef seconds. Closing stores the period,
// the log box and the call list's column widths, and has the main window
// read its network fields again.
class NetworkMonitorWindow : public QDialog {
    Q_OBJECT
  public:
    // Opens the monitor (its first poll runs at once) and starts the timer.
    NetworkMonitorWindow(MainWindowSession& main, Reporter& reporter,
                         std::string logPath = network::kCellLogName, QWidget* parent = nullptr);
    ~NetworkMonitorWindow() override;

    // One poll, as a timer tick runs it.
    void pollNow();
    // The poll timer: running, and its period in milliseconds.
    bool polling() const { return timer_.isActive(); }
    int pollInterval() const { return timer_.interval(); }

  protected:
    // Every way of closing (close box, Escape, Close) runs the closing steps once.
    void done(int result) override;

  private:
    void setUpCallList();
    void showView();
    void periodChanged(int value);
    void logToggled(bool on);
    QString catalogue(int id) const;

    NetworkMonitorSession monitor_;
    Language language_;
    std::unique_ptr<Ui::NetworkMonitorWindow> ui_;
    QTimer timer_;
    int shownPeriod_ = 0;
    bool closed_ = false;
};

}  // namespace vondrix::gui
