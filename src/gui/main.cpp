// vondrix: the desktop program.

#include <QApplication>

#include "gui/GuiApp.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vondrix"));
    QApplication::setApplicationVersion(QStringLiteral(VONDRIX_VERSION));
    return vondrix::gui::runGui(QApplication::arguments());
}
