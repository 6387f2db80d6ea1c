#pragma once

#include <QDialog>
#include <memory>

#include "session/NetworkSelectionSession.h"

class QTreeWidget;

namespace Ui {
class NetworkSelectionWindow;
}

namespace vondrix::gui {

// The network selection window: the operators the phone knows, the SIM's
// preferred list and the networks a search found. A double click on a
// known operator adds it to the preferred list, the Delete key frees a
// preferred position, a double click on a found network registers with it.
// Opening takes as long as the phone's network search. Nothing is saved.
class NetworkSelectionWindow : public QDialog {
    Q_OBJECT
  public:
    // Reads the three lists (the search included) and shows them.
    NetworkSelectionWindow(MainWindowSession& main, Reporter& reporter, QWidget* parent = nullptr);
    ~NetworkSelectionWindow() override;

    // The commands, on the lists' current rows.
    void addCurrentKnown();         // double click on the known operators
    void removeCurrentPreferred();  // Delete key on the preferred list
    void selectCurrentFound();      // double click on the networks found
    void sortKnown(int column);     // click on a header of the known operators

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void setUpList(QTreeWidget* list, int columns);
    void showKnown();
    void showPreferred();
    void showFound();

    NetworkSelectionSession window_;
    Language language_;
    std::unique_ptr<Ui::NetworkSelectionWindow> ui_;
};

}  // namespace vondrix::gui
