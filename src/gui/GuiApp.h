#pragma once

#include <QStringList>

namespace vondrix::gui {

// The desktop program's whole run: options, translator, start-up with the
// settings dialog while no port is chosen, the main window, shut-down.
int runGui(const QStringList& arguments);

// True when the command line only asks for the help or the version, which
// are answered without a window (and so without a display).
bool needsNoWindow(int argc, char** argv);

}  // namespace vondrix::gui
