#include "gui/OrganizerEntryDialog.h"

#include <QCalendarWidget>
#include <QTimeEdit>

#include "gui/Latin1Text.h"
#include "gui/PhoneWorker.h"
#include "ui_OrganizerEntryDialog.h"

namespace vondrix::gui {

OrganizerEntryDialog::OrganizerEntryDialog(OrganizerWindowSession& window, int slot,
                                           QWidget* parent)
    : QDialog(parent),
      window_(window),
      ui_(std::make_unique<Ui::OrganizerEntryDialog>()),
      slot_(slot) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    inputs_ = {ui_->calendar,        ui_->timeEdit,   ui_->categoryCombo,
               ui_->recurrenceCombo, ui_->alarmCheck, ui_->descriptionEdit};
    inputs_.setUp(window.language());

    // The row's texts: an empty date or time leaves the calendar and the
    // picker as they start (today, the time of day).
    const organizer::EditForm form = window.editForm(slot);
    ui_->slotLabel->setText(QString::number(slot));
    ui_->timeEdit->setTime(QTime(QTime::currentTime().hour(), QTime::currentTime().minute()));
    organizer::EntryFields shown = inputs_.fields();
    shown.alarm = form.alarm;
    if (form.date)
        shown.date = *form.date;
    if (form.time)
        shown.time = *form.time;
    shown.category = form.category;
    shown.recurrence = form.recurrence;
    shown.description = form.description;
    inputs_.show(shown);

    // Only what the user changes is checked: the text shown at opening is
    // what the phone holds.
    connect(ui_->descriptionEdit, &QLineEdit::textEdited, this,
            [this](const QString& text) { window_.warnDescriptionLength(toPc(text)); });
    connect(ui_->buttonBox, &QDialogButtonBox::accepted, this, &OrganizerEntryDialog::accept);
    connect(ui_->buttonBox, &QDialogButtonBox::rejected, this, &OrganizerEntryDialog::reject);
    ui_->descriptionEdit->setFocus();
}

OrganizerEntryDialog::~OrganizerEntryDialog() = default;

void OrganizerEntryDialog::accept() {
    const organizer::EntryFields fields = inputs_.fields();
    const auto outcome = onPhone([&] { return window_.edit(slot_, fields); });
    done(outcome.result == organizer::OrganizerService::WriteResult::Written ? QDialog::Accepted
                                                                             : QDialog::Rejected);
}

}  // namespace vondrix::gui
