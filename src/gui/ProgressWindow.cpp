#include "gui/ProgressWindow.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace vondrix::gui {
namespace {

QString clockText(int seconds) {
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

ProgressWindow::Kind ProgressWindow::kindFor(Reporter::Display display) {
    switch (display) {
        case Reporter::Display::Transfer:
            return Kind::Transfer;
        case Reporter::Display::Sending:
            return Kind::Sending;
        case Reporter::Display::Reading:
        case Reporter::Display::PhonebookBar:
            break;
    }
    return Kind::Reading;
}

ProgressWindow::ProgressWindow(Kind kind, QWidget* parent) : QDialog(parent), kind_(kind) {
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    caption_ = new QLabel(this);
    switch (kind) {
        case Kind::Transfer:
            setObjectName(QStringLiteral("transferProgress"));
            setWindowTitle(tr("Transfer"));
            caption_->setText(tr("Transferring data..."));
            break;
        case Kind::Reading:
            setObjectName(QStringLiteral("readingProgress"));
            setWindowTitle(tr("Reading"));
            caption_->setText(tr("Reading from the phone..."));
            break;
        case Kind::Sending:
            setObjectName(QStringLiteral("sendingProgress"));
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
        bar_->setTextVisible(false);  // the percentage has its own field
        auto* grid = new QGridLayout;
        percent_ = new QLabel(this);
        percent_->setObjectName(QStringLiteral("percent"));
        grid->addWidget(percent_, 0, 0, 1, 2);
        grid->addWidget(new QLabel(tr("Elapsed:"), this), 1, 0);
        elapsed_ = new QLabel(this);
        elapsed_->setObjectName(QStringLiteral("elapsed"));
        grid->addWidget(elapsed_, 1, 1);
        grid->addWidget(new QLabel(tr("Estimated time:"), this), 2, 0);
        estimated_ = new QLabel(this);
        estimated_->setObjectName(QStringLiteral("estimated"));
        grid->addWidget(estimated_, 2, 1);
        grid->setColumnStretch(1, 1);
        layout->addLayout(grid);
    }
    if (kind != Kind::Sending) {
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
        cancel_ = buttons->button(QDialogButtonBox::Cancel);
        connect(buttons, &QDialogButtonBox::rejected, this, &ProgressWindow::reject);
        layout->addWidget(buttons);
    }
    setFixedSize(sizeHint());
}

void ProgressWindow::start(int total) {
    bar_->setRange(0, total > 0 ? total : 0);
    bar_->setValue(0);
    if (percent_) {
        percent_->setText(QStringLiteral("0 %"));
        elapsed_->setText(clockText(0));
        estimated_->setText(QStringLiteral("-"));  // nothing done yet: no estimate
    }
    if (parts_)
        parts_->setText(QStringLiteral("%1 / %2").arg(0).arg(total));
    show();
}

void ProgressWindow::setValue(int done) {
    bar_->setValue(done);
    if (percent_ && bar_->maximum() > 0)
        percent_->setText(QStringLiteral("%1 %").arg(100LL * bar_->value() / bar_->maximum()));
    if (parts_)
        parts_->setText(QStringLiteral("%1 / %2").arg(done).arg(bar_->maximum()));
}

void ProgressWindow::setTimes(int elapsedSeconds, int estimatedSeconds) {
    if (!elapsed_)
        return;
    elapsed_->setText(clockText(elapsedSeconds));
    estimated_->setText(clockText(estimatedSeconds));
}

void ProgressWindow::reject() {
    // Sending cannot be stopped; a reading stops after its current
    // transaction and keeps nothing; a transfer stops after the segment it
    // is sending, and deletes what it left on the phone.
    if (kind_ == Kind::Sending || cancelRequested_)
        return;
    cancelRequested_ = true;
    cancel_->setEnabled(false);
    if (kind_ == Kind::Transfer)
        caption_->setText(tr("Stopping the transfer..."));
}

int ProgressWindow::value() const {
    return bar_->value();
}
int ProgressWindow::maximum() const {
    return bar_->maximum();
}
QString ProgressWindow::timesText() const {
    return elapsed_ ? elapsed_->text() + QLatin1Char(' ') + estimated_->text() : QString();
}
QString ProgressWindow::partsText() const {
    return parts_ ? parts_->text() : QString();
}

}  // namespace vondrix::gui
