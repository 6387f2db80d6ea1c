#pragma once

// Enter and Escape would end a dialog; the windows that end by their close
// box only take them here and hand every other key to their QDialog.

#include <QKeyEvent>

namespace vondrix::gui {

// True when `event` was Enter or Escape, which is then accepted.
inline bool takeDialogEndKey(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->accept();
            return true;
        default:
            return false;
    }
}

}  // namespace vondrix::gui
