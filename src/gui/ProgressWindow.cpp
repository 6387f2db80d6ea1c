#include "gui/ProgressWindow.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace vondrix::gui {
namespace {

QString clockText(qint64 ms) {
    const qint64 s = ms / 1000;
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

ProgressWindow::Kind ProgressWindow::kindFor(int dialogId) {
    switch (dialogId) {
        case 111: return Kind::Transfer;
        case 146: return Kind::Sending;
        default: return Kind::Reading;
    }
}

ProgressWindow::ProgressWindow(Kind kind, QWidget* parent) : QDialog(parent), kind_(kind) {
    setObjectName(QStringLiteral("progress%1").arg(static_cast<int>(kind)));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    caption_ = new QLabel(this);
    switch (kind) {
        case Kind::Transfer:
            setWindowTitle(tr("Transfer"));
            caption_->setText(tr("Transferring data..."));
            break;
        case Kind::Reading:
            setWindowTitle(tr("Reading"));
            caption_->setText(tr("Reading from the phone..."));
            break;
        case Kind::Sending:
            setWindowTitle(tr("Sending"));
            caption_->setText(tr("Sending messages..."));
            break;
    }
    layout->addWidget(caption_);
    bar_ = new QProgressBar(this);
    bar_->setMinimumWidth(260);
    layout->addWidget(bar_);
    if (kind == Kind::Sending) {
        // Which part of how many goes out.
        parts_ = new QLabel(this);
        parts_->setObjectName(QStringLiteral("parts"));
        layout->addWidget(parts_);
    }
    if (kind == Kind::Transfer) {
        times_ = new QLabel(this);
        times_->setObjectName(QStringLiteral("times"));
        layout->addWidget(times_);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
        layout->addWidget(buttons);  // present, like the original; it stops nothing
    }
    setFixedSize(sizeHint());
}

void ProgressWindow::start(int total) {
    bar_->setRange(0, total > 0 ? total : 0);
    bar_->setValue(0);
    clock_.start();
    if (parts_) parts_->setText(QStringLiteral("%1 / %2").arg(0).arg(total));
    if (times_) times_->setText(tr("Elapsed %1, remaining %2").arg(clockText(0), QStringLiteral("-")));
    show();
}

void ProgressWindow::setValue(int done) {
    bar_->setValue(done);
    if (parts_) parts_->setText(QStringLiteral("%1 / %2").arg(done).arg(bar_->maximum()));
    if (times_ && done > 0 && bar_->maximum() > 0) {
        const qint64 elapsed = clock_.elapsed();
        const qint64 remaining = elapsed * (bar_->maximum() - done) / done;
        times_->setText(tr("Elapsed %1, remaining %2").arg(clockText(elapsed), clockText(remaining)));
    }
}

int ProgressWindow::value() const { return bar_->value(); }
int ProgressWindow::maximum() const { return bar_->maximum(); }
QString ProgressWindow::timesText() const { return times_ ? times_->text() : QString(); }
QString ProgressWindow::partsText() const { return parts_ ? parts_->text() : QString(); }

}  // namespace vondrix::gui
