#include "gui/MessageComposer.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextCursor>

#include "gui/Latin1Text.h"

namespace vondrix::gui {

MessageComposer::MessageComposer(const SendDialogSession& session, Fields fields, QObject* parent)
    : QObject(parent), session_(session), f_(fields) {
    // The part size is 160 whenever a dialog opens.
    f_.eightBit->setChecked(false);
    f_.validity->setRange(SendDialogSession::kMinDays, SendDialogSession::kMaxDays);
    f_.validity->setValue(SendDialogSession::kMaxDays);
    connect(f_.text, &QPlainTextEdit::textChanged, this, &MessageComposer::textChanged);
    connect(f_.eightBit, &QCheckBox::toggled, this, &MessageComposer::showCounters);
    showCounters();
}

std::string MessageComposer::text() const {
    return toPc(f_.text->toPlainText());
}

sms::SubmitOptions MessageComposer::options() const {
    sms::SubmitOptions o;
    o.statusReport = f_.report->isChecked();
    o.eightBit = f_.eightBit->isChecked();
    o.flash = f_.flash->isChecked();
    o.validityDays = f_.validity->value();
    return o;
}

void MessageComposer::setText(const std::string& latin1) {
    // A forwarded text goes out as it was received: no marker is expanded.
    changing_ = true;
    f_.text->setPlainText(fromPc(latin1).left(kMaxText));
    changing_ = false;
    showCounters();
}

void MessageComposer::textChanged() {
    if (changing_)
        return;
    QString shown = f_.text->toPlainText();
    std::optional<QString> replaced;
    if (shown.size() > kMaxText)
        replaced = shown.left(kMaxText);
    if (const auto inserted = session_.insertPredefined(toPc(replaced.value_or(shown))))
        replaced = fromPc(*inserted).left(kMaxText);
    if (replaced) {
        changing_ = true;
        f_.text->setPlainText(*replaced);
        f_.text->moveCursor(QTextCursor::End);
        changing_ = false;
    }
    showCounters();
}

void MessageComposer::showCounters() {
    const auto c = SendDialogSession::counters(
        static_cast<std::size_t>(f_.text->toPlainText().size()), f_.eightBit->isChecked());
    f_.typed->setText(QString::number(c.typed));
    f_.left->setText(QString::number(c.left));
    f_.parts->setText(QString::number(c.parts));
}

}  // namespace vondrix::gui
