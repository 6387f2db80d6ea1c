#include "gui/FileDialogs.h"

#include <QFileDialog>

namespace vondrix::gui {
namespace {

QString run(QFileDialog& dialog, const QString& suffix, const QString& preset) {
    dialog.setDefaultSuffix(suffix);
    if (!preset.isEmpty())
        dialog.selectFile(preset);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

}  // namespace

QString askSaveFile(QWidget* parent, const QString& title, const QString& filter,
                    const QString& suffix, const QString& preset, OverwriteQuestion question) {
    QFileDialog dialog(parent, title, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (question == OverwriteQuestion::None)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    return run(dialog, suffix, preset);
}

QString askOpenFile(QWidget* parent, const QString& title, const QString& filter,
                    const QString& suffix, const QString& preset) {
    QFileDialog dialog(parent, title, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return run(dialog, suffix, preset);
}

QString askFolder(QWidget* parent, const QString& title, const QString& preset) {
    QFileDialog dialog(parent, title, preset);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

}  // namespace vondrix::gui
