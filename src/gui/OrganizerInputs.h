#pragma once

#include "foundation/Language.h"
#include "organizer/Organizer.h"

class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QTimeEdit;

namespace vondrix::gui {

// The input controls of an organizer entry, as the organizer window and its
// edit dialog both have them: month calendar, time picker, category and
// recurrence lists, alarm check box, description field.
struct OrganizerInputs {
    QCalendarWidget* calendar = nullptr;
    QTimeEdit* time = nullptr;
    QComboBox* category = nullptr;
    QComboBox* recurrence = nullptr;
    QCheckBox* alarm = nullptr;
    QLineEdit* description = nullptr;

    // Fills the two lists with the names of `language` (first items
    // chosen), limits the calendar to the days an entry can have, and keeps
    // the description to characters a command line can carry.
    void setUp(Language language) const;
    // The entry the controls show (seconds are always 00).
    organizer::EntryFields fields() const;
    // Shows `fields`; a date or time the controls cannot show leaves them
    // as they are.
    void show(const organizer::EntryFields& fields) const;
};

}  // namespace vondrix::gui
