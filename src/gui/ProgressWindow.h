#pragma once

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;

namespace vondrix::gui {

// The small modeless progress windows of long operations: transfer (with
// elapsed and estimated time; its Cancel does not stop the transfer),
// reading, and sending. They take no action on commands.
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Transfer = 111, Reading = 116, Sending = 146 };
    static Kind kindFor(int dialogId);

    explicit ProgressWindow(Kind kind, QWidget* parent = nullptr);

    void start(int total);
    void setValue(int done);

    Kind kind() const { return kind_; }
    int value() const;
    int maximum() const;
    QString timesText() const;
    QString partsText() const;  // sending: "k / n"

protected:
    void reject() override {}  // Cancel and Escape do nothing

private:
    Kind kind_;
    QLabel* caption_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QLabel* times_ = nullptr;
    QLabel* parts_ = nullptr;
    QElapsedTimer clock_;
};

}  // namespace vondrix::gui
