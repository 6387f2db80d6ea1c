#pragma once

#include <QString>

class QWidget;

namespace vondrix::gui {

// Whether the save dialog asks before naming an existing file. The exports
// append or replace by their own rules, so theirs does not.
enum class OverwriteQuestion { Ask, None };

// The modal file dialogs of the windows: the chosen path, or empty when
// cancelled. `filter` may hold several filters separated by ";;"; `suffix`
// is added to a name typed without one; `preset` is selected when given.
QString askSaveFile(QWidget* parent, const QString& title, const QString& filter,
                    const QString& suffix, const QString& preset, OverwriteQuestion question);
QString askOpenFile(QWidget* parent, const QString& title, const QString& filter,
                    const QString& suffix, const QString& preset);
// An existing folder (the backup dialogs), starting in `preset` when given.
QString askFolder(QWidget* parent, const QString& title, const QString& preset);

}  // namespace vondrix::gui
