#include "gui/OrganizerInputs.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QTimeEdit>

#include "gui/Latin1Text.h"
#include "organizer/Names.h"

namespace vondrix::gui {

void OrganizerInputs::setUp(Language language) const {
    category->clear();
    for (int c = 0; c < organizer::kCategories; ++c)
        category->addItem(fromPc(organizer::categoryName(c, language)));
    category->setCurrentIndex(0);
    recurrence->clear();
    for (int r = 0; r < organizer::kRecurrences; ++r)
        recurrence->addItem(fromPc(organizer::recurrenceName(r, language)));
    recurrence->setCurrentIndex(0);
    calendar->setDateRange(QDate(1601, 1, 1), QDate(9999, 12, 31));
    // Month and day names in the run's language, not the system's.
    const QLocale locale(fromPc(languageCode(language)));
    calendar->setLocale(locale);
    // The calendar keeps its selection mark in the cell it had before the
    // week's first day changed; choosing the day again puts it right.
    const QDate selected = calendar->selectedDate();
    calendar->setSelectedDate(selected.addDays(selected.day() > 1 ? -1 : 1));
    calendar->setSelectedDate(selected);
    description->setValidator(new Latin1Validator(description));
}

organizer::EntryFields OrganizerInputs::fields() const {
    organizer::EntryFields f;
    f.recurrence = recurrence->currentIndex();
    f.category = category->currentIndex();
    f.alarm = alarm->isChecked();
    const QDate day = calendar->selectedDate();
    f.date = {day.year(), day.month(), day.day()};
    const QTime t = time->time();
    f.time = {t.hour(), t.minute()};
    f.description = toPc(description->text());
    return f;
}

void OrganizerInputs::show(const organizer::EntryFields& f) const {
    recurrence->setCurrentIndex(f.recurrence);
    category->setCurrentIndex(f.category);
    alarm->setChecked(f.alarm);
    if (const QDate day(f.date.year, f.date.month, f.date.day); day.isValid())
        calendar->setSelectedDate(day);
    if (const QTime t(f.time.hour, f.time.minute); t.isValid())
        time->setTime(t);
    description->setText(fromPc(f.description));
}

}  // namespace vondrix::gui
