#include "gui/EntryDialog.h"

#include <QValidator>

#include "gui/PhoneWorker.h"
#include "ui_EntryDialog.h"

namespace vondrix::gui {
namespace {

// Names and numbers travel in the PC character set and inside one command
// line: characters outside ISO 8859-1 would arrive as "?", control
// characters would break the line.
class Latin1Validator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (const QChar c : input) {
            const char16_t u = c.unicode();
            if (u < 0x20 || (u >= 0x7F && u < 0xA0) || u > 0xFF)
                return Invalid;
        }
        return Acceptable;
    }
};

std::string latin1(const QString& text) {
    return text.toLatin1().toStdString();
}

QString fromLatin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

EntryDialog::EntryDialog(phonebook::PhonebookService& service,
                         const phonebook::PhonebookService::EntryForm& form, QWidget* parent)
    : QDialog(parent),
      service_(service),
      ui_(std::make_unique<Ui::EntryDialog>()),
      location_(form.location) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui_->nameEdit->setValidator(new Latin1Validator(ui_->nameEdit));
    ui_->numberEdit->setValidator(new Latin1Validator(ui_->numberEdit));
    ui_->nameEdit->setText(fromLatin1(form.name));
    ui_->numberEdit->setText(fromLatin1(form.number));
    // Only what the user changes is checked: the texts shown at opening
    // came from the phone or a call list.
    connect(ui_->nameEdit, &QLineEdit::textEdited, this,
            [this](const QString& text) { service_.warnNameLength(latin1(text)); });
    connect(ui_->numberEdit, &QLineEdit::textEdited, this,
            [this](const QString& text) { service_.warnNumberLength(latin1(text)); });
    connect(ui_->buttonBox, &QDialogButtonBox::accepted, this, &EntryDialog::accept);
    connect(ui_->buttonBox, &QDialogButtonBox::rejected, this, &EntryDialog::reject);
    ui_->nameEdit->setFocus();
}

EntryDialog::~EntryDialog() = default;

void EntryDialog::accept() {
    const std::string name = latin1(ui_->nameEdit->text());
    const std::string number = latin1(ui_->numberEdit->text());
    const bool saved = onPhone([&] { return service_.saveEntry(location_, name, number); });
    done(saved ? QDialog::Accepted : QDialog::Rejected);
}

}  // namespace vondrix::gui
