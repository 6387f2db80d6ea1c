#include "gui/MessageViewDialog.h"

#include "foundation/Catalogue.h"
#include "gui/Latin1Text.h"
#include "ui_MessageViewDialog.h"

namespace vondrix::gui {

MessageViewDialog::MessageViewDialog(const MessageView& view, Language language, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::MessageViewDialog>()) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui_->textView->setPlainText(fromPc(view.text));
    ui_->senderLabel->setText(fromPc(view.sender));
    ui_->dateLabel->setText(fromPc(view.date));
    if (view.status) {
        const auto t = catalogueText(*view.status, language);
        ui_->statusLabel->setText(QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size())));
    }
    if (view.whole) {
        ui_->partLabel->setText(tr("part %1 of %2").arg(view.whole->part).arg(view.whole->count));
    } else {
        ui_->partLabel->hide();
    }
    connect(ui_->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
}

MessageViewDialog::~MessageViewDialog() = default;

}  // namespace vondrix::gui
