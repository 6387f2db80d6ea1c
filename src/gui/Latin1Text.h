#pragma once

// The core's texts are in the PC character set (ISO 8859-1); the windows
// show and take them as QString.

#include <QString>
#include <QValidator>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Reporter.h"

namespace vondrix::gui {

inline QString fromPc(std::string_view latin1) {
    return QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size()));
}

// Characters outside ISO 8859-1 become "?".
inline std::string toPc(const QString& text) {
    return text.toLatin1().toStdString();
}

// For a field that travels in the PC character set inside one line of an
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

// What an import of a vCard or iCalendar file could not keep (UTF-8 lines),
// in one notice; the first 20 lines and how many more there are.
inline void showImportNotes(Reporter& reporter, const std::vector<std::string>& notes) {
    if (notes.empty())
        return;
    std::string text;
    for (std::size_t i = 0; i < notes.size() && i < 20; ++i)
        text += notes[i] + "\n";
    if (notes.size() > 20)
        text += "(+" + std::to_string(notes.size() - 20) + ")\n";
    reporter.text(text, Caption::Info);
}

}  // namespace vondrix::gui
