#include "gui/Shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace vondrix::gui {
namespace {

UrlOpener& opener() {
    static UrlOpener instance;
    return instance;
}

}  // namespace

void setUrlOpener(UrlOpener o) {
    opener() = std::move(o);
}

bool openUrl(const QString& url) {
    if (opener())
        return opener()(url);
    return QDesktopServices::openUrl(QUrl(url));
}

bool openFile(const QString& path) {
    return openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString());
}

QString helpFilePath(const QString& helpFileName) {
    const QString base = QFileInfo(helpFileName).completeBaseName();
    const QString path = QDir(QCoreApplication::applicationDirPath())
                             .filePath(QStringLiteral("help/") + base + ".html");
    return QFileInfo::exists(path) ? path : QString();
}

}  // namespace vondrix::gui
