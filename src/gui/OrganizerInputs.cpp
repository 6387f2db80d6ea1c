#include "gui/OrganizerInputs.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QTimeEdit>
#include <QValidator>

#include "organizer/Names.h"

namespace vondrix::gui {
namespace {

// Descriptions travel in the PC character set and inside one line of the
// object: characters outside ISO 8859-1 would arrive as "?", control
// characters would end the line.
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

QString fromLatin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void OrganizerInputs::setUp(Language language) const {
    category->clear();
    for (int c = 0; c < organizer::kCategories; ++c)
        category->addItem(fromLatin1(organizer::categoryName(c, language)));
    category->setCurrentIndex(0);
    recurrence->clear();
    for (int r = 0; r < organizer::kRecurrences; ++r)
        recurrence->addItem(fromLatin1(organizer::recurrenceName(r, language)));
    recurrence->setCurrentIndex(0);
    calendar->setDateRange(QDate(1601, 1, 1), QDate(9999, 12, 31));
    // Month and day names in the run's language, not the system's.
    const std::string_view code = languageCode(language);
    const QLocale locale(QString::fromLatin1(code.data(), static_cast<qsizetype>(code.size())));
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
    f.description = description->text().toLatin1().toStdString();
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
    description->setText(
        QString::fromLatin1(f.description.data(), static_cast<qsizetype>(f.description.size())));
}

}  // namespace vondrix::gui
