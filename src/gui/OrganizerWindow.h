#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

#include "gui/OrganizerInputs.h"
#include "session/OrganizerWindowSession.h"
#include "session/Session.h"

class QMenu;
class QMenuBar;

namespace Ui {
class OrganizerWindow;
}

namespace vondrix::gui {

// The organizer window: the phone's 30 organizer slots in a list that can
// be sorted by any column, the controls of a new entry, and the commands
// (edit, exports, import, clear) in its menu and the list's right-click
// menu. Opening reads every slot with the reading dialog.
//
// Only the close box ends it (Escape and Enter do nothing); closing stores
// the column widths.
class OrganizerWindow : public QDialog {
    Q_OBJECT
  public:
    OrganizerWindow(Session& session, Reporter& reporter, QWidget* parent = nullptr);
    ~OrganizerWindow() override;

    // Replaceable for tests. File dialogs return the chosen path, empty on
    // cancel; `runDialog` runs the edit dialog modally.
    std::function<QString(const QString& title, const QString& filter, const QString& suffix,
                          const QString& preset)>
        chooseSaveFile;
    std::function<QString(const QString& title, const QString& filter, const QString& suffix,
                          const QString& preset)>
        chooseOpenFile;
    std::function<void(QDialog&)> runDialog;

    OrganizerWindowSession& session() { return window_; }
    QMenuBar* menuBar() const { return menuBar_; }
    QMenu* contextMenu() const { return contextMenu_; }

    // The buttons.
    void enterEntry();
    void deleteEntry();  // without a question
    // The commands of the menu and the context menu.
    void editEntry();
    void exportCsv();
    void exportXml();
    void exportIcalendar();
    void importCsv();
    void clearOrganizer();
    // The Delete key in the list: asks first.
    void deleteWithQuestion();
    // A click on a column header.
    void sortBy(int column);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override {}  // Escape does not close the window

  private:
    void buildMenus();
    void setUpList();
    void fitDefaultColumns();
    // Fills the list in the session's order; `focusSlot` is selected and
    // scrolled into view.
    void showList(int focusSlot = 0);
    // The slot of the selected row, or 0.
    int selectedSlot() const;
    void runEditDialog(int slot);
    enum class Format { Csv, Xml, Icalendar };
    void exportTo(Format format);
    // Disables the window's controls while `work` talks to the phone, then
    // gives the focus to the list.
    void busy(const std::function<void()>& work);

    Session& session_;
    Reporter& reporter_;  // the import's notes
    OrganizerWindowSession window_;
    std::unique_ptr<Ui::OrganizerWindow> ui_;
    OrganizerInputs inputs_;
    QMenuBar* menuBar_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    QString lastPath_;  // the file name kept between file dialogs
    bool busy_ = false;
};

}  // namespace vondrix::gui
