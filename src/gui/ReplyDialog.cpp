#include "gui/ReplyDialog.h"

#include <QLineEdit>

#include "gui/Latin1Text.h"
#include "gui/MessageComposer.h"
#include "gui/PhoneWorker.h"
#include "ui_ReplyDialog.h"

namespace vondrix::gui {

ReplyDialog::ReplyDialog(SendDialogSession& session, QWidget* parent)
    : QDialog(parent), session_(session), ui_(std::make_unique<Ui::ReplyDialog>()) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    composer_ = new MessageComposer(
        session_,
        {ui_->textEdit, ui_->typedLabel, ui_->leftLabel, ui_->partsLabel, ui_->reportCheck,
         ui_->eightBitCheck, ui_->flashCheck, ui_->validitySpin},
        this);
    connect(ui_->buttonBox, &QDialogButtonBox::accepted, this, &ReplyDialog::accept);
    connect(ui_->buttonBox, &QDialogButtonBox::rejected, this, &ReplyDialog::reject);

    QComboBox* recipient = ui_->recipientCombo;
    for (const std::string& name : session_.names())
        recipient->addItem(fromPc(name));
    recipient->setEditText(fromPc(session_.initial().recipient));
    if (session_.kind() == SendDialogKind::Forward) {
        setWindowTitle(tr("Forward message"));
        composer_->setText(session_.initial().text);
        ui_->textEdit->setEnabled(false);
        ui_->eightBitCheck->setEnabled(false);
        recipient->setFocus();
    } else {
        ui_->textEdit->setFocus();
    }
}

ReplyDialog::~ReplyDialog() = default;

void ReplyDialog::accept() {
    setEnabled(false);
    SendForm form{
        composer_->text(), toPc(ui_->recipientCombo->currentText()), {}, composer_->options()};
    outcome_ = onPhone([&] { return session_.accept(form); });
    setEnabled(true);
    if (outcome_.closes)
        QDialog::accept();
}

}  // namespace vondrix::gui
