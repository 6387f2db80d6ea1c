#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "session/MainWindowSession.h"
#include "session/Session.h"
#include "session/TransferSession.h"

class QAction;
class QMenuBar;
class QStatusBar;

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
    // The window's session, which the network windows refresh.
    MainWindowSession& windowSession() { return window_; }
    QMenuBar* menuBar() const { return menuBar_; }

    // Chooses the file for the device information (tests replace it);
    // an empty result cancels.
    std::function<QString(const QString& preset)> chooseSaveFile;
    // Runs a modal feature dialog (tests replace it to answer it).
    std::function<void(QDialog&)> runDialog;

    // A file dialog of the logo and ringtone commands.
    struct FileQuestion {
        bool save = false;
        QStringList filters;    // e.g. "BMP file (*.bmp)"
        QString defaultSuffix;  // added to a name without an extension
        QString preset;         // the path chosen last
    };
    // Asks for the file (tests replace it); an empty result cancels.
    std::function<QString(const FileQuestion&)> chooseFile;

  public slots:
    void refreshNetwork();
    void setClock();
    void switchOff();
    void deleteLogo();
    void sendLogo();
    void sendRingtone();
    void downloadLogo();
    void downloadRingtone();
    void toggleRingToneTest();
    void ringToneOffClicked(bool checked);
    void handsFreeClicked(bool checked);
    void saveDeviceInformation();
    void showPhonebook();
    void showOrganizer();
    void showNetworkMonitor();
    void showNetworkSelection();
    void showCallForwarding();
    void showCallBarring();
    void showMessages();
    void showBackup();
    void showRestore();
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
    // Says in the status line that a transfer worked, or shows the failure
    // the transfer itself leaves unsaid.
    void reportTransfer(media::TransferResult result, const QString& done);
    void applyNetwork();
    void applyAudio();
    // Disables the window while `work` runs, then gives it the focus back.
    void busy(const std::function<void()>& work);
    QString catalogue(int id) const;
    // The file dialog of a transfer, preset with the path chosen last.
    QString askFile(bool save, const QStringList& filters, const QString& suffix);

    Session& session_;
    Reporter& reporter_;
    MainWindowSession window_;
    TransferSession transfers_;
    std::unique_ptr<Ui::MainWindow> ui_;
    QMenuBar* menuBar_ = nullptr;
    QAction* downloadLogoAction_ = nullptr;
    QAction* downloadRingtoneAction_ = nullptr;
    QString lastPath_;  // the file name kept between file dialogs
    bool centred_ = false;
    QStatusBar* statusLine_ = nullptr;
};

}  // namespace vondrix::gui
