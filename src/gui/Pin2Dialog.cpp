#include "gui/Pin2Dialog.h"

#include <QRegularExpressionValidator>

#include "phonebook/Phonebook.h"
#include "ui_Pin2Dialog.h"

namespace vondrix::gui {

Pin2Dialog::Pin2Dialog(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::Pin2Dialog>()) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui_->pinEdit->setMaxLength(static_cast<int>(phonebook::kMaxPin2));
    // Digits only: the PIN2 goes into a command line as it is.
    ui_->pinEdit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]*")), ui_->pinEdit));
    connect(ui_->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui_->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ui_->pinEdit->setFocus();
}

Pin2Dialog::~Pin2Dialog() = default;

QString Pin2Dialog::pin() const {
    return ui_->pinEdit->text();
}

std::optional<std::string> Pin2Dialog::ask(QWidget* parent) {
    Pin2Dialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.pin().toStdString();
}

}  // namespace vondrix::gui
