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
    const QString name = QStringLiteral("help/") + QFileInfo(helpFileName).completeBaseName() +
                         QStringLiteral(".html");
    // Beside the program in the build tree; in the data folder once installed.
    const QDir program(QCoreApplication::applicationDirPath());
    const QDir installed(program.filePath(QStringLiteral(VONDRIX_DATA_FROM_BIN)));
    for (const QString& path : {program.filePath(name), installed.filePath(name)}) {
        if (QFileInfo::exists(path))
            return QDir::cleanPath(path);
    }
    return QString();
}

}  // namespace vondrix::gui
