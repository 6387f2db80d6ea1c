#pragma once

#include <QDialog>

#include "foundation/Reporter.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace vondrix::gui {

// The small modeless progress windows of long operations: transfer (with
// percentage, elapsed and estimated time, and a Cancel that asks the
// transfer to stop after its current segment), reading (with a Cancel that
// stops it after the current transaction), and sending.
class ProgressWindow : public QDialog {
    Q_OBJECT
  public:
    enum class Kind { Transfer, Reading, Sending };
    // The window for a display; the phonebook window's bar, when that
    // window has none to give, becomes the reading window.
    static Kind kindFor(Reporter::Display display);

    explicit ProgressWindow(Kind kind, QWidget* parent = nullptr);

    void start(int total);
    void setValue(int done);
    // Transfer: seconds since the start and the estimated total, as m:ss.
    void setTimes(int elapsedSeconds, int estimatedSeconds);

    Kind kind() const { return kind_; }
    int value() const;
    int maximum() const;
    QString timesText() const;
    QString partsText() const;  // sending: "k / n"
    // Cancel (or Escape) was pressed in the transfer or reading window.
    bool cancelRequested() const { return cancelRequested_; }

  protected:
    void reject() override;  // Cancel and Escape: reading and transfer stop, not at once

  private:
    Kind kind_;
    QLabel* caption_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QLabel* percent_ = nullptr;
    QLabel* elapsed_ = nullptr;
    QLabel* estimated_ = nullptr;
    QLabel* parts_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool cancelRequested_ = false;
};

}  // namespace vondrix::gui
