#include "gui/EntryDialog.h"

#include "foundation/Catalogue.h"
#include "link/Command.h"

#include "gui/Latin1Text.h"
#include "gui/PhoneWorker.h"
#include "ui_EntryDialog.h"

namespace vondrix::gui {
namespace {

// Names and numbers travel in the PC character set and inside one command
// line: the first character that cannot (outside ISO 8859-1, a control
// character, a quote in a name, anything but the number alphabet in a
// number), or -1.
qsizetype refusedAt(const QString& text, bool number) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u > 0xFF)
            return i;
        const std::string one(1, static_cast<char>(u));
        // A lone "+" is no number, but it may lead one.
        const bool fits =
            number ? at::isPhoneNumber(one) || (u == '+' && i == 0) : at::isQuotable(one);
        if (!fits)
            return i;
    }
    return -1;
}

}  // namespace

EntryDialog::EntryDialog(phonebook::PhonebookWriter& writer,
                         const phonebook::PhonebookWriter::EntryForm& form, Language language,
                         QWidget* parent)
    : QDialog(parent),
      writer_(writer),
      language_(language),
      ui_(std::make_unique<Ui::EntryDialog>()),
      location_(form.location) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui_->nameEdit->setText(fromPc(form.name));
    ui_->numberEdit->setText(fromPc(form.number));
    // Only what the user changes is checked: the texts shown at opening
    // came from the phone or a call list.
    connect(ui_->nameEdit, &QLineEdit::textEdited, this,
            [this](const QString& text) { writer_.warnNameLength(toPc(text)); });
    connect(ui_->numberEdit, &QLineEdit::textEdited, this,
            [this](const QString& text) { writer_.warnNumberLength(toPc(text)); });
    connect(ui_->buttonBox, &QDialogButtonBox::accepted, this, &EntryDialog::accept);
    connect(ui_->buttonBox, &QDialogButtonBox::rejected, this, &EntryDialog::reject);
    ui_->nameEdit->setFocus();
}

EntryDialog::~EntryDialog() = default;

bool EntryDialog::refuses(QLineEdit* edit, const QLabel* label, bool number) {
    const qsizetype at = refusedAt(edit->text(), number);
    if (at < 0)
        return false;
    const auto said = catalogueText(msg::ValueRefused, language_);
    const QString character = edit->text().mid(at, 1);
    ui_->problemLabel->setText(
        tr("%1 (%2: “%3”)")
            .arg(QString::fromUtf8(said.data(), static_cast<qsizetype>(said.size())),
                 label->text().remove(u'&').remove(u':').trimmed(),
                 character == QStringLiteral(" ") ? tr("blank") : character));
    ui_->problemLabel->show();
    edit->setFocus();
    edit->setSelection(static_cast<int>(at), 1);
    return true;
}

void EntryDialog::accept() {
    // A refused value keeps the dialog open with what was typed.
    if (refuses(ui_->nameEdit, ui_->nameLabel, false) ||
        refuses(ui_->numberEdit, ui_->numberLabel, true))
        return;
    ui_->problemLabel->hide();
    const std::string name = toPc(ui_->nameEdit->text());
    const std::string number = toPc(ui_->numberEdit->text());
    if (onPhone([&] { return writer_.saveEntry(location_, name, number); }))
        done(QDialog::Accepted);
}

}  // namespace vondrix::gui
