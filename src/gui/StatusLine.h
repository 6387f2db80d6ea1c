#pragma once

#include <QString>

#include "session/SendDialogSession.h"

class QDialog;
class QStatusBar;

namespace vondrix::gui {

// A line at the foot of a window that says what the last command did, where
// the window itself would show nothing; never a box to click away. Added
// below the window's layout, named "statusLine".
QStatusBar* addStatusLine(QDialog* window);

// What a send dialog did: "2 parts sent to +49...", for several recipients
// how many got the whole text; parts stored unsent are counted unless the
// window names them itself (`countStored` false). Empty when nothing was
// sent or stored (the failure was reported in its box).
QString sendSummary(const SendOutcome& outcome, bool countStored = true);

}  // namespace vondrix::gui
