#include "gui/CommandModeDialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QTimer>

#include "gui/Latin1Text.h"
#include "gui/PhoneWorker.h"
#include "ui_CommandModeDialog.h"

namespace vondrix::gui {

std::unique_ptr<CommandModeDialog> CommandModeDialog::open(Session& session, Reporter& reporter,
                                                           CommandModeSession::Options options,
                                                           QWidget* parent) {
    auto mode =
        onPhone([&] { return CommandModeSession::open(session, reporter, std::move(options)); });
    if (!mode)
        return nullptr;
    return std::unique_ptr<CommandModeDialog>(new CommandModeDialog(std::move(mode), parent));
}

CommandModeDialog::CommandModeDialog(std::unique_ptr<CommandModeSession> mode, QWidget* parent)
    : QDialog(parent), mode_(std::move(mode)), ui_(std::make_unique<Ui::CommandModeDialog>()) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("checkTimer"));

    ui_->intervalSpin->setRange(CommandModeSession::kMinInterval, CommandModeSession::kMaxInterval);
    interval_ = mode_->interval();
    ui_->intervalSpin->setValue(interval_);
    ui_->logCheck->setChecked(mode_->mode().logging());
    ui_->checkSmsCheck->setChecked(mode_->checkSms());

    connect(timer_, &QTimer::timeout, this, &CommandModeDialog::tick);
    connect(ui_->startButton, &QPushButton::clicked, this, &CommandModeDialog::start);
    connect(ui_->stopButton, &QPushButton::clicked, this, &CommandModeDialog::stop);
    connect(ui_->intervalSpin, &QSpinBox::valueChanged, this, &CommandModeDialog::intervalChanged);
    connect(ui_->logCheck, &QCheckBox::clicked, this,
            [this](bool on) { ui_->logCheck->setChecked(mode_->mode().setLogging(on)); });
    connect(ui_->checkSmsCheck, &QCheckBox::clicked, this,
            [this](bool on) { mode_->setCheckSms(on); });
    // The state field follows every change, also in the middle of a check.
    mode_->mode().onStateChange = [this](sms::CommandModeState) {
        onUiThread([this] { showState(); });
    };
    showState();
}

CommandModeDialog::~CommandModeDialog() {
    mode_->mode().onStateChange = nullptr;
    if (!closed_)
        mode_->close(ui_->intervalSpin->value());
}

void CommandModeDialog::showState() {
    ui_->stateLabel->setText(QString::fromUtf8(mode_->mode().stateText().c_str()));
    ui_->moduleStatusLabel->setText(fromPc(mode_->mode().moduleStatus()));
}

// Starting and stopping only set the state (no traffic), as the interval
// arrows do: they need no worker.
void CommandModeDialog::start() {
    mode_->mode().start();
    timer_->start(mode_->interval() * 1000);
}

void CommandModeDialog::stop() {
    timer_->stop();
    mode_->mode().stop();
}

void CommandModeDialog::tick() {
    // A tick that finds a check running (a message box of the send routine
    // lets the timer fire) returns at once: the busy flag.
    if (PhoneWorker::busy())
        return;  // and so does one while another operation talks to the phone
    onPhone([this] { mode_->mode().tick(); });
    showState();
}

void CommandModeDialog::intervalChanged(int value) {
    const int delta = value - interval_;
    interval_ = value;
    if (delta == 0)
        return;
    // The arrows restart the timer with the new period, even a stopped one.
    mode_->mode().changeInterval(delta);
    timer_->start(mode_->interval() * 1000);
}

void CommandModeDialog::closeEvent(QCloseEvent* event) {
    if (mode_->mode().busy()) {  // a check is still waiting for the phone or a question
        event->ignore();
        return;
    }
    timer_->stop();
    if (!closed_) {
        const int interval = ui_->intervalSpin->value();
        onPhone([&] { mode_->close(interval); });
        closed_ = true;
    }
    event->accept();
    done(QDialog::Rejected);
}

}  // namespace vondrix::gui
