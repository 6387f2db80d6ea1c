#pragma once

#include <QPixmap>

namespace vondrix::gui {

// The status pictures of the main window, drawn rather than loaded:
// battery 127..131 (21 x 9) and signal 132..136 (27 x 9), lowest to highest.
QPixmap statusPixmap(int bitmapId);

}  // namespace vondrix::gui

namespace vondrix::gui {

// The program's picture: a phone, drawn at `size` pixels.
QPixmap programPixmap(int size);

}  // namespace vondrix::gui
