#pragma once

#include <QObject>
#include <string>

#include "session/SendDialogSession.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QSpinBox;

namespace vondrix::gui {

// The part of the send and reply dialogs where a message is typed: the
// text (at most 4095 characters), the "#k#" marker that inserts a
// predefined text while typing, the counters (typed, left in the last part,
// parts) after every change, the 8-bit box that switches the part size, and
// the options. Characters a message cannot carry are named under the text
// while typing.
class MessageComposer : public QObject {
    Q_OBJECT
  public:
    static constexpr int kMaxText = 4095;

    struct Fields {
        QPlainTextEdit* text;
        QLabel* typed;
        QLabel* left;
        QLabel* parts;
        QCheckBox* report;
        QCheckBox* eightBit;
        QCheckBox* flash;
        QSpinBox* validity;
    };
    MessageComposer(const SendDialogSession& session, Fields fields, QObject* parent);

    std::string text() const;
    sms::SubmitOptions options() const;
    // Shows `text` (the forward dialog's) and its counters.
    void setText(const std::string& latin1);

  private:
    void textChanged();
    void showCounters();

    const SendDialogSession& session_;
    Fields f_;
    QLabel* unsupported_ = nullptr;  // names what a message cannot carry
    bool changing_ = false;
};

}  // namespace vondrix::gui
