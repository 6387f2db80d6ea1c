#pragma once

#include <QDialog>
#include <memory>

#include "phonebook/PhonebookService.h"

namespace Ui {
class EntryDialog;
}

namespace vondrix::gui {

// Creates or edits one entry of the current phonebook. Warns on every
// change that makes the name or the number longer than the phone takes
// (the text is kept as typed); OK saves through the phonebook operations
// and closes whatever the outcome, Cancel closes without saving.
class EntryDialog : public QDialog {
    Q_OBJECT
  public:
    // `form.location` 0: a new entry, its fields as given (empty, or the
    // number of a call); otherwise the entry at that location.
    EntryDialog(phonebook::PhonebookService& service,
                const phonebook::PhonebookService::EntryForm& form, QWidget* parent = nullptr);
    ~EntryDialog() override;

    // Saves, then closes: Accepted when the entry was written.
    void accept() override;

    int location() const { return location_; }

  private:
    phonebook::PhonebookService& service_;
    std::unique_ptr<Ui::EntryDialog> ui_;
    int location_ = 0;
};

}  // namespace vondrix::gui
