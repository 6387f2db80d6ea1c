#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "phonebook/LocalFile.h"
#include "phonebook/PhonebookWriter.h"
#include "session/PhonebookWindowSession.h"
#include "session/SendDialogSession.h"
#include "session/Session.h"

class QAbstractButton;
class QListWidget;
class QMenu;
class QStatusBar;
class QTreeWidget;

namespace Ui {
class PhonebookWindow;
}

namespace vondrix::gui {

// The phonebook window: the current phonebook (SIM, phone memory or fixed
// dialling numbers), the Redbook, the own numbers, the service centre and
// the three call lists, with every phonebook command on the lists'
// right-click menus and in the menu bar (with shortcuts). A status line
// says what the last command did. The tables live in the session and
// outlive the window; the lists show what the phone holds (a deleted entry
// leaves the list, the count and the Redbook).
//
// Only the close box ends it (Escape and Enter do nothing); closing stores
// the column widths and saves the current phonebook to the local file.
class PhonebookWindow : public QDialog {
    Q_OBJECT
  public:
    // Runs the opening sequence (own numbers, the SIM phonebook, the
    // Redbook, the call lists, the service centre) with the reading dialog.
    PhonebookWindow(Session& session, Reporter& reporter, QWidget* parent = nullptr);
    ~PhonebookWindow() override;

    // Replaceable for tests. File dialogs return the chosen path, empty
    // on cancel; `runDialog` runs the entry and send dialogs modally.
    std::function<QString(const QString& title, const QString& filter, const QString& suffix,
                          const QString& preset)>
        chooseSaveFile;
    std::function<QString(const QString& title, const QString& filter, const QString& suffix,
                          const QString& preset)>
        chooseOpenFile;
    std::function<void(QDialog&)> runDialog;
    // The local phonebook file that switching kinds and closing save into.
    void setLocalFile(const std::string& path) { window_.setLocalFile(path); }

    // The commands of the phonebook list's menu; they act on its current row.
    void sendMessage();       // the send dialog for the entry
    void multicastMessage();  // the send dialog for every selected entry
    void newEntry();
    void editEntry();
    void deleteEntry();
    void callEntry();
    void hangUp();
    void redial();
    void print();
    void exportCsv();
    void exportXml();
    void exportVcard();
    void importCsv();
    void saveLocalFile();
    void normalise();
    void clearPhonebook();
    // The commands of a call list's menu, on its current line.
    void callBack(QListWidget* list);
    void copyToPhonebook(QListWidget* list);
    // Buttons and keys.
    void setServiceCentre();
    void clearDialledCalls();
    void selectKind(int index);
    void addCurrentToRedbook();         // double click on the phonebook list
    void deleteCurrentWithoutSelect();  // Delete key on the phonebook list
    void removeCurrentFromRedbook();    // Delete key on the Redbook
    void sendToRedbookEntry();          // the Redbook's menu: the send dialog
    void sortPhonebook(int column);
    void sortRedbook(int column);
    void showHelp();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override {}  // Escape does not close the window

  private:
    class WindowReporter;

    void setUpLists();
    void buildMenus();
    QMenu* addMenu(QWidget* list, const char* name);
    void showEverything();
    void showPhonebook(int focusLocation = 0);
    void showRedbook();
    void showCounts();
    void showCallLists();
    // The table row of the phonebook list's current item, or -1.
    int currentRow() const;
    // Says in the status line what a command did.
    void say(const QString& text);
    // After a delete: the lists and the count as the phone holds them now.
    void showDeleted(int location);
    // Disables the window's controls while `work` talks to the phone (the
    // progress bar stays live), then gives the focus back.
    void busy(const std::function<void()>& work);
    void runEntryDialog(const phonebook::PhonebookWriter::EntryForm& form);
    void runSendDialog(SendDialogSession& dialog);
    void exportTable(bool xml);
    QString catalogue(int id) const;

    Session& session_;
    phonebook::PhonebookModel& model_;
    std::unique_ptr<WindowReporter> reporter_;
    PhonebookWindowSession window_;
    phonebook::PhonebookWriter& writer_;
    phonebook::CallService& calls_;
    std::unique_ptr<Ui::PhonebookWindow> ui_;
    QAbstractButton* cancelRead_ = nullptr;  // beside the bar while a kind is read
    QString lastPath_;                       // the file name kept between file dialogs
    bool busy_ = false;
    QStatusBar* statusLine_ = nullptr;
    QListWidget* lastCallList_ = nullptr;  // the menu bar's call commands act on it
};

}  // namespace vondrix::gui
