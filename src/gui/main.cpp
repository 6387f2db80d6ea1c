// vondrix: the desktop program.

#include <QApplication>
#include <iostream>

#include "gui/GuiApp.h"

int main(int argc, char** argv) {
    if (const auto status = vondrix::gui::answerWithoutDisplay(argc, argv, std::cout))
        return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vondrix"));
    QApplication::setApplicationVersion(QStringLiteral(VONDRIX_VERSION));
    return vondrix::gui::runGui(QApplication::arguments());
}
