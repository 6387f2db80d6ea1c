#include "gui/SendDialog.h"

#include <QCoreApplication>

#include "gui/Latin1Text.h"
#include "gui/MessageComposer.h"
#include "gui/PhoneWorker.h"
#include "ui_SendDialog.h"

namespace vondrix::gui {

SendDialog::SendDialog(SendDialogSession& session, QWidget* parent)
    : QDialog(parent), session_(session), ui_(std::make_unique<Ui::SendDialog>()) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    composer_ = new MessageComposer(
        session_,
        {ui_->textEdit, ui_->typedLabel, ui_->leftLabel, ui_->partsLabel, ui_->reportCheck,
         ui_->eightBitCheck, ui_->flashCheck, ui_->validitySpin},
        this);
    connect(ui_->buttonBox, &QDialogButtonBox::accepted, this, &SendDialog::accept);
    connect(ui_->buttonBox, &QDialogButtonBox::rejected, this, &SendDialog::reject);
    ui_->nameLabel->setText(fromPc(session_.initial().name));
    ui_->numberEdit->setText(fromPc(session_.initial().recipient));
    ui_->numberEdit->setEnabled(session_.recipientEditable());
    ui_->nameLabel->setEnabled(session_.recipientEditable());
    ui_->textEdit->setFocus();
}

SendDialog::~SendDialog() = default;

void SendDialog::accept() {
    setEnabled(false);
    SendForm form{composer_->text(), toPc(ui_->numberEdit->text()), toPc(ui_->nameLabel->text()),
                  composer_->options()};
    outcome_ = onPhone([&] {
        return session_.accept(form, [this](const std::string& name, const std::string& number) {
            // Each recipient shows in the fields while its message goes out.
            onUiThread([&] {
                ui_->nameLabel->setText(fromPc(name));
                ui_->numberEdit->setText(fromPc(number));
            });
        });
    });
    setEnabled(true);
    QDialog::accept();
}

}  // namespace vondrix::gui
