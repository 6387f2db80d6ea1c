#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "session/MainWindowSession.h"
#include "session/Session.h"

class QAction;
class QMenuBar;

namespace Ui {
class MainWindow;
}

namespace vondrix::gui {

// The main window: shows what the phone says about itself and the network,
// and runs the device commands and the feature windows. It stays open for
// the whole run; closing it ends the program.
class MainWindow : public QDialog {
    Q_OBJECT
public:
    // Runs the opening traffic and fills every field.
    MainWindow(Session& session, Reporter& reporter, QWidget* parent = nullptr);
    ~MainWindow() override;

    const MainWindowState& state() const { return window_.state(); }
    QMenuBar* menuBar() const { return menuBar_; }

    // Chooses the file for the device information (tests replace it);
    // an empty result cancels.
    std::function<QString(const QString& preset)> chooseSaveFile;
    // Runs a modal feature dialog (tests replace it to answer it).
    std::function<void(QDialog&)> runDialog;

public slots:
    void refreshNetwork();
    void setClock();
    void switchOff();
    void deleteLogo();
    void toggleRingToneTest();
    void ringToneOffClicked(bool checked);
    void handsFreeClicked(bool checked);
    void saveDeviceInformation();
    void showPhonebook();
    void showMessages();
    void showCommandMode();
    void showOptions();
    void showAbout();
    void showHelp();
    void exitProgram();  // ends without the closing steps

protected:
    void closeEvent(QCloseEvent* event) override;  // the close box: closing steps, then end
    void reject() override {}                      // Escape does not end the program
    void showEvent(QShowEvent* event) override;

private:
    void buildMenu();
    void applyNetwork();
    void applyAudio();
    // Disables the window while `work` runs, then gives it the focus back.
    void busy(const std::function<void()>& work);
    QString catalogue(int id) const;

    Session& session_;
    Reporter& reporter_;
    MainWindowSession window_;
    std::unique_ptr<Ui::MainWindow> ui_;
    QMenuBar* menuBar_ = nullptr;
    QString lastPath_;  // the file name kept between file dialogs
    bool centred_ = false;
};

}  // namespace vondrix::gui
