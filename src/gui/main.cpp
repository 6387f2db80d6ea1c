// vondrix: the desktop program.

#include <QApplication>
#include <QCoreApplication>
#include <memory>

#include "gui/GuiApp.h"

int main(int argc, char** argv) {
    // The help and the version need no window: answered without a display.
    std::unique_ptr<QCoreApplication> app;
    if (vondrix::gui::needsNoWindow(argc, argv))
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vondrix"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VONDRIX_VERSION));
    return vondrix::gui::runGui(QCoreApplication::arguments());
}
