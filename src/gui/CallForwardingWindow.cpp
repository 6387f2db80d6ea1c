#include "gui/CallForwardingWindow.h"

#include <QSignalBlocker>

#include "foundation/Catalogue.h"
#include "foundation/Messages.h"
#include "gui/Latin1Text.h"
#include "gui/PhoneWorker.h"
#include "network/Texts.h"
#include "ui_CallForwardingWindow.h"

namespace vondrix::gui {

using network::ForwardMode;
using network::ForwardReason;

CallForwardingWindow::CallForwardingWindow(Session& session, Reporter& reporter, QWidget* parent)
    : QDialog(parent),
      window_(session, reporter),
      ui_(std::make_unique<Ui::CallForwardingWindow>()) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    const auto title = catalogueText(msg::TitleForwarding, session.language);
    setWindowTitle(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
    rows_ = {{{ui_->voiceCheck, ui_->voiceNumber, ui_->voiceTime},
              {ui_->dataCheck, ui_->dataNumber, ui_->dataTime},
              {ui_->faxCheck, ui_->faxNumber, ui_->faxTime},
              {ui_->allCheck, ui_->allNumber, ui_->allTime}}};
    for (int r = 0; r < 4; ++r) {
        const auto text = network::forwardReasonText(session.language, r);
        ui_->reasonCombo->addItem(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }

    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const ClassRow& row = rows_[i];
        connect(row.check, &QCheckBox::toggled, this, [this, i](bool on) { classToggled(i, on); });
        connect(row.number, &QLineEdit::textEdited, this,
                [this, i](const QString& text) { window_.setNumber(i, toPc(text)); });
        connect(row.time, &QSpinBox::valueChanged, this,
                [this, i](int seconds) { window_.setTime(i, seconds); });
    }
    connect(ui_->reasonCombo, &QComboBox::currentIndexChanged, this,
            &CallForwardingWindow::reasonChosen);
    connect(ui_->registerButton, &QPushButton::clicked, this,
            [this] { runMode(ForwardMode::Register); });
    connect(ui_->eraseButton, &QPushButton::clicked, this, [this] { runMode(ForwardMode::Erase); });
    connect(ui_->activateButton, &QPushButton::clicked, this,
            [this] { runMode(ForwardMode::Activate); });
    connect(ui_->deactivateButton, &QPushButton::clicked, this,
            [this] { runMode(ForwardMode::Deactivate); });
    connect(ui_->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    onPhone([this] { window_.open(); });
    showForm();
}

CallForwardingWindow::~CallForwardingWindow() = default;

void CallForwardingWindow::showForm() {
    const network::ForwardingRequest& form = window_.form();
    {
        const QSignalBlocker quiet(ui_->reasonCombo);
        ui_->reasonCombo->setCurrentIndex(static_cast<int>(window_.reason()));
    }
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const ClassRow& row = rows_[i];
        const QSignalBlocker quietCheck(row.check);
        const QSignalBlocker quietTime(row.time);
        row.check->setChecked(form[i].ticked);
        row.number->setText(fromPc(form[i].number));
        row.time->setValue(form[i].time);
        row.time->setEnabled(window_.timeEnabled());
    }
}

void CallForwardingWindow::reasonChosen(int index) {
    if (index < 0 || index > 3)
        return;
    window_.changeReason(static_cast<ForwardReason>(index));
    showForm();
}

void CallForwardingWindow::classToggled(std::size_t index, bool on) {
    window_.tick(index, on);
    showForm();
}

void CallForwardingWindow::runMode(ForwardMode mode) {
    setEnabled(false);
    onPhone([&] { window_.request(mode); });
    setEnabled(true);
}

}  // namespace vondrix::gui
