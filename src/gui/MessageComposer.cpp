#include "gui/MessageComposer.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QStringList>
#include <QTextCursor>

#include "text/GsmAlphabet.h"
#include "text/Latin1.h"

namespace vondrix::gui {

MessageComposer::MessageComposer(const SendDialogSession& session, Fields fields, QObject* parent)
    : QObject(parent), session_(session), f_(fields) {
    // The part size is 160 whenever a dialog opens.
    f_.eightBit->setChecked(false);
    f_.validity->setRange(SendDialogSession::kMinDays, SendDialogSession::kMaxDays);
    f_.validity->setValue(SendDialogSession::kMaxDays);
    // Under the text: the characters a message cannot carry, named before
    // sending, as they would arrive changed.
    unsupported_ = new QLabel(f_.text->parentWidget());
    unsupported_->setObjectName(QStringLiteral("unsupportedLabel"));
    unsupported_->setWordWrap(true);
    unsupported_->setStyleSheet(QStringLiteral("color: #b00000;"));
    unsupported_->hide();
    if (auto* box = qobject_cast<QBoxLayout*>(f_.text->parentWidget()->layout()))
        box->insertWidget(box->indexOf(f_.text) + 1, unsupported_);
    connect(f_.text, &QPlainTextEdit::textChanged, this, &MessageComposer::textChanged);
    connect(f_.eightBit, &QCheckBox::toggled, this, &MessageComposer::showCounters);
    showCounters();
}

std::string MessageComposer::text() const {
    // The euro sign, which 7-bit messages carry, survives as the PC text's 0x80.
    return gsm::utf8ToMessageText(f_.text->toPlainText().toStdString(), f_.eightBit->isChecked());
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
    f_.text->setPlainText(QString::fromStdString(latin1ToUtf8(latin1)).left(kMaxText));
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
    if (const auto inserted = session_.insertPredefined(
            gsm::utf8ToMessageText(replaced.value_or(shown).toStdString())))
        replaced = QString::fromStdString(latin1ToUtf8(*inserted)).left(kMaxText);
    if (replaced) {
        changing_ = true;
        f_.text->setPlainText(*replaced);
        f_.text->moveCursor(QTextCursor::End);
        changing_ = false;
    }
    showCounters();
}

void MessageComposer::showCounters() {
    const bool eightBit = f_.eightBit->isChecked();
    // Counted as sent: a character of the extension table takes two of a
    // part's 160, and an escape pair is never split across parts.
    const auto c = SendDialogSession::counters(text(), eightBit);
    f_.typed->setText(QString::number(c.typed));
    f_.left->setText(QString::number(c.left));
    f_.parts->setText(QString::number(c.parts));

    const auto refused = gsm::unsupportedCharacters(f_.text->toPlainText().toStdString(), eightBit);
    QStringList named;
    for (const gsm::UnsupportedCharacter& u : refused)
        named << tr("%1 arrives as %2")
                     .arg(QString::fromStdString(u.character), QString::fromStdString(u.arrivesAs));
    unsupported_->setText(
        tr("Characters a message cannot carry: %1").arg(named.join(QStringLiteral(", "))));
    unsupported_->setVisible(!refused.empty());
}

}  // namespace vondrix::gui
