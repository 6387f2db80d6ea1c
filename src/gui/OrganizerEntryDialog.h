#pragma once

#include <QDialog>
#include <memory>

#include "gui/OrganizerInputs.h"
#include "session/OrganizerWindowSession.h"

namespace Ui {
class OrganizerEntryDialog;
}

namespace vondrix::gui {

// Edits the entry of one organizer slot, filled from the slot's row. Warns
// on every change that makes the description longer than the phone keeps
// (the text stays as typed); OK writes the slot and closes whatever the
// outcome, Cancel and the close box close without writing.
class OrganizerEntryDialog : public QDialog {
    Q_OBJECT
  public:
    OrganizerEntryDialog(OrganizerWindowSession& window, int slot, QWidget* parent = nullptr);
    ~OrganizerEntryDialog() override;

    // Writes the slot, then closes: Accepted when the phone took the entry.
    void accept() override;

    int slot() const { return slot_; }
    organizer::EntryFields fields() const { return inputs_.fields(); }

  private:
    OrganizerWindowSession& window_;
    std::unique_ptr<Ui::OrganizerEntryDialog> ui_;
    OrganizerInputs inputs_;
    int slot_ = 0;
};

}  // namespace vondrix::gui
