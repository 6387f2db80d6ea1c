#pragma once

#include <QStringList>

namespace vondrix::gui {

// The desktop program's whole run: options, translator, start-up with the
// settings dialog while no port is chosen, the main window, shut-down.
int runGui(const QStringList& arguments);

}  // namespace vondrix::gui
