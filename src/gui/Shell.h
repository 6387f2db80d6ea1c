#pragma once

#include <QString>
#include <functional>

namespace vondrix::gui {

// Opening a file with the desktop's default application, a "mailto:" link,
// and the help file. Tests replace the opener to see what would be opened.
using UrlOpener = std::function<bool(const QString& url)>;
void setUrlOpener(UrlOpener opener);  // empty: the desktop's own

bool openFile(const QString& path);
bool openUrl(const QString& url);

// The HTML help file for a help file name ("pallado.hlp" -> help/pallado.html
// beside the program, or in the installed data folder); empty when neither
// exists.
QString helpFilePath(const QString& helpFileName);

}  // namespace vondrix::gui
