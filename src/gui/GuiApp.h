#pragma once

#include <QStringList>
#include <iosfwd>
#include <optional>

namespace vondrix::gui {

// The desktop program's whole run: options, translator, start-up with the
// settings dialog while no port is chosen, the main window, shut-down.
int runGui(const QStringList& arguments);

// --version and --help, answered before any Qt application exists, so that
// they work without a display: the exit status, or nothing for a real run.
std::optional<int> answerWithoutDisplay(int argc, char** argv, std::ostream& out);

}  // namespace vondrix::gui
