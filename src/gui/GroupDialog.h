#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "session/GroupSession.h"

class QMenu;
class QMenuBar;

namespace Ui {
class GroupDialog;
}

namespace vondrix::gui {

// The message groups: the name directory on the left, the group on the
// right; ">" adds the selected records (a name already in the group is
// skipped), the Delete key removes a member, the menu saves, loads and
// empties the group file and sends one message to every member through the
// send dialog. Closing stores the source list's column widths.
class GroupDialog : public QDialog {
    Q_OBJECT
  public:
    GroupDialog(Session& session, Reporter& reporter, QWidget* parent = nullptr);
    ~GroupDialog() override;

    // Replaceable for tests: the file dialogs (empty: cancelled) and the
    // modal run of the send dialog.
    std::function<QString(const QString& title, const QString& preset)> chooseSaveFile;
    std::function<QString(const QString& title, const QString& preset)> chooseOpenFile;
    std::function<void(QDialog&)> runDialog;

    GroupSession& session() { return groups_; }
    QMenuBar* menuBar() const { return menuBar_; }
    QMenu* contextMenu() const { return contextMenu_; }

    void addSelected();  // ">"
    void sendToGroup();
    void loadGroup();
    void saveGroup();
    void deleteGroup();
    void removeCurrentMember();  // the Delete key in the member list
    void sortSource(int column);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override { close(); }
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void showSource(int column);
    void showMembers();

    Reporter& reporter_;
    GroupSession groups_;
    std::unique_ptr<Ui::GroupDialog> ui_;
    std::vector<sms::NameRecord> source_;  // in the source list's order
    QMenuBar* menuBar_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    QString lastPath_;
};

}  // namespace vondrix::gui
