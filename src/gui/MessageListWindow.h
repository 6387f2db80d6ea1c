#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "phonebook/LocalFile.h"
#include "session/MessageListSession.h"
#include "session/SendDialogSession.h"
#include "session/Session.h"

class QAction;
class QMenu;
class QMenuBar;
class QStatusBar;

namespace Ui {
class MessageListWindow;
}

namespace vondrix::gui {

// The message list: one row per message in the phone's memory, read when
// the window opens (with the name directory from the local phonebook file),
// the memory fields, and the hub of the message functions: view, reply or
// write, forward, delete, export, transfer a number to the phonebook, the
// predefined texts and the groups. Closing stores the column widths.
class MessageListWindow : public QDialog {
    Q_OBJECT
  public:
    MessageListWindow(Session& session, Reporter& reporter, QWidget* parent = nullptr,
                      std::string localFile = phonebook::kLocalFileName);
    ~MessageListWindow() override;

    // Replaceable for tests: the save-file dialog (empty: cancelled) and
    // the modal run of a dialog.
    std::function<QString(const QString& title, const QString& filter, const QString& suffix,
                          const QString& preset)>
        chooseSaveFile;
    std::function<void(QDialog&)> runDialog;

    MessageListSession& session() { return list_; }
    QMenuBar* menuBar() const { return menuBar_; }
    QMenu* contextMenu() const { return contextMenu_; }

    // The menu commands; they act on the row with the focus.
    void sendStored();  // the forward dialog
    void newOrReply();  // the reply dialog (a new message when the list is empty)
    void viewCurrent();
    void transferToPhonebook();
    void exportCsv();
    void exportXml();
    // The buttons.
    void deleteSelected();
    void refresh();
    void showPredefined();
    void showGroups();
    // A click on a column header.
    void sortBy(int column);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override { close(); }  // Escape closes as the close box does

  private:
    void buildMenus();
    void setUpList();
    void applyWidths();  // after the first reading, which the defaults may fit
    // Fills the list from the model; the row at reading position `focus`
    // (else the last row) gets the focus and the selection.
    void showRows(std::optional<int> focus = std::nullopt);
    void showMemory();
    int currentRow() const;
    std::optional<int> currentPosition() const;  // the focused row's reading position
    void busy(const std::function<void()>& work);
    // The reply or forward dialog; the status line says what it sent and stored.
    void runReplyDialog(SendDialogSession& dialog);
    // Adds to `said` the rows stored since there were `before`, and shows it.
    void sayStored(std::size_t before, QStringList said);
    void exportTo(bool xml);
    QString catalogue(int id) const;

    Session& session_;
    QStatusBar* statusLine_ = nullptr;
    Reporter& reporter_;
    MessageListSession list_;
    std::unique_ptr<Ui::MessageListWindow> ui_;
    QMenuBar* menuBar_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    QString lastPath_;
};

}  // namespace vondrix::gui
