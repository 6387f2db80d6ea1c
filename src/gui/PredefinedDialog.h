#pragma once

#include <QDialog>
#include <memory>

#include "session/PredefinedSession.h"

class QMenu;
class QMenuBar;
class QTreeWidgetItem;

namespace Ui {
class PredefinedDialog;
}

namespace vondrix::gui {

// The 50 predefined texts: edited in place (cut to 160 characters), cleared
// with the Delete key or the menu, saved with the button (empty rows are
// skipped), and a row's text stored in the phone as an unsent message.
// Closing stores the column widths.
class PredefinedDialog : public QDialog {
    Q_OBJECT
  public:
    PredefinedDialog(Session& session, Reporter& reporter, QWidget* parent = nullptr);
    ~PredefinedDialog() override;

    PredefinedSession& session() { return predefined_; }
    QMenuBar* menuBar() const { return menuBar_; }
    QMenu* contextMenu() const { return contextMenu_; }

    void storeMessage();  // the first selected row's text into the phone
    void deleteEntry();   // empties the row with the selection mark
    void save();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override { close(); }  // Escape closes as the close box does
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void edited(QTreeWidgetItem* item, int column);
    void showRow(int k);

    PredefinedSession predefined_;
    std::unique_ptr<Ui::PredefinedDialog> ui_;
    QMenuBar* menuBar_ = nullptr;
    QMenu* contextMenu_ = nullptr;
};

}  // namespace vondrix::gui
