#pragma once

#include <QDialog>
#include <memory>

#include "foundation/Language.h"
#include "phonebook/PhonebookWriter.h"

class QLabel;
class QLineEdit;

namespace Ui {
class EntryDialog;
}

namespace vondrix::gui {

// Creates or edits one entry of the current phonebook. Warns on every
// change that makes the name or the number longer than the phone takes
// (the text is kept as typed); OK saves through the phonebook operations
// and closes once the entry is written. A refused value or a failed write
// keeps the dialog open with what was typed; Cancel closes without saving.
class EntryDialog : public QDialog {
    Q_OBJECT
  public:
    // `form.location` 0: a new entry, its fields as given (empty, or the
    // number of a call); otherwise the entry at that location.
    EntryDialog(phonebook::PhonebookWriter& writer,
                const phonebook::PhonebookWriter::EntryForm& form, Language language,
                QWidget* parent = nullptr);
    ~EntryDialog() override;

    // Saves, then closes (Accepted) once the entry was written; otherwise
    // stays open, naming a refused field and character below the fields.
    void accept() override;

    int location() const { return location_; }

  private:
    // Names the first character of `edit` the phone cannot take; true then.
    bool refuses(QLineEdit* edit, const QLabel* label, bool number);

    phonebook::PhonebookWriter& writer_;
    Language language_;
    std::unique_ptr<Ui::EntryDialog> ui_;
    int location_ = 0;
};

}  // namespace vondrix::gui
