#pragma once

// The core's texts are in the PC character set (ISO 8859-1); the windows
// show and take them as QString.

#include <QString>
#include <string>

namespace vondrix::gui {

inline QString fromPc(const std::string& latin1) {
    return QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size()));
}

// Characters outside ISO 8859-1 become "?".
inline std::string toPc(const QString& text) {
    return text.toLatin1().toStdString();
}

}  // namespace vondrix::gui
