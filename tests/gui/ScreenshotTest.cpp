// The whole program run in-process: start-up on the simulated phone and the
// screenshot mode.

#include <QAbstractButton>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>
#include <vector>

#include "gui/GuiApp.h"

using namespace vondrix::gui;

class ScreenshotTest : public QObject {
    Q_OBJECT
  private slots:
    void writesReadablePicturesOfEveryWindow();
    void failedResetOffersTheOptionsThenEndsWithStatus3();
    void firstStartShowsTheOptions();
    void stateFileThatCannotLoadEndsBeforeAnyWindow();
    void optionsThatNeedNoWindowWorkWithoutADisplay();
};

void ScreenshotTest::writesReadablePicturesOfEveryWindow() {
    QTemporaryDir dir;
    QVERIFY(QFile::copy(QStringLiteral(VONDRIX_SMSCOM_PATH), dir.filePath("smscom.so")));
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());  // the command mode finds its module here
    const QString out = dir.filePath(QStringLiteral("shots"));
    const int status =
        runGui({QStringLiteral("vondrix"), QStringLiteral("--simulate"), QStringLiteral("--ini"),
                dir.filePath(QStringLiteral("Vondrix.ini")), QStringLiteral("--screenshot"), out});
    QDir::setCurrent(before);
    QCOMPARE(status, 0);
    for (const char* name : {"main-window",       "settings",        "about",
                             "transfer-progress", "backup",          "restore",
                             "phonebook",         "entry",           "pin2",
                             "sms-list",          "sms-view",        "sms-send",
                             "sms-reply",         "sms-forward",     "sms-predefined",
                             "sms-groups",        "command-mode",    "organizer",
                             "organizer-edit",    "network-monitor", "network-selection",
                             "call-forwarding",   "call-barring"}) {
        QImage image(QDir(out).filePath(QString::fromLatin1(name) + ".png"));
        QVERIFY2(!image.isNull(), name);
        // The network windows are larger than the rest; the two small
        // dialogs have no least size.
        const QByteArray shot(name);
        const bool network = shot.startsWith("network-") || shot.startsWith("call-");
        if (network)
            QVERIFY2(image.width() > 250 && image.height() > 150, name);
        else if (shot != "entry" && shot != "pin2")
            QVERIFY2(image.width() > 150 && image.height() > 100, name);
        // Text was drawn: the picture is not one flat colour.
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 3)
            for (int x = 0; x < image.width(); x += 3)
                colours.insert(image.pixel(x, y));
        QVERIFY2(colours.size() > 8, name);
    }
    // Nothing was written beside: no local phonebook, no cell log.
    for (const char* name : {"Vondrix.phb", "Vondrix.log", "shots/Vondrix.log"})
        QVERIFY2(!QFile::exists(dir.filePath(QString::fromLatin1(name))), name);
}

// Answers the modal windows of a whole run in turn, as they show: each
// answer gets the window and its class name; the run ends with the list.
std::unique_ptr<QTimer> answerModals(QStringList& seen,
                                     std::vector<std::function<void(QWidget*)>> answers) {
    auto poll = std::make_unique<QTimer>();
    auto last = std::make_shared<QPointer<QWidget>>();
    QObject::connect(poll.get(), &QTimer::timeout, poll.get(), [=, &seen]() mutable {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || w == last->data())
            return;
        *last = w;
        seen << QString::fromLatin1(w->metaObject()->className());
        if (answers.empty()) {
            w->close();
            return;
        }
        answers.front()(w);
        answers.erase(answers.begin());
    });
    poll->start(20);
    return poll;
}

void ScreenshotTest::failedResetOffersTheOptionsThenEndsWithStatus3() {
    QTemporaryDir dir;
    const QString state = dir.filePath(QStringLiteral("phone.txt"));
    QFile f(state);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[failing]\nprefix = ATZ\n");
    f.close();
    QStringList seen;
    const auto press = [](const char* text) {
        return [text](QWidget* w) {
            for (auto* b : w->findChildren<QAbstractButton*>())
                if (b->text().remove(u'&') == QLatin1String(text))
                    b->click();
        };
    };
    // The "Connecting..." note gives way to the question.
    bool noteShown = false;
    const auto retry = [&](QWidget* w) {
        for (QWidget* top : QApplication::topLevelWidgets())
            noteShown |= top->objectName() == QLatin1String("connectingNote") && top->isVisible();
        press("Retry with new settings")(w);
    };
    const auto poll = answerModals(
        seen, {retry, [](QWidget* w) { static_cast<QDialog*>(w)->accept(); }, press("Quit")});
    const int status = runGui({QStringLiteral("vondrix"), QStringLiteral("--simulate=") + state,
                               QStringLiteral("--ini"), dir.filePath(QStringLiteral("Vondrix.ini")),
                               QStringLiteral("--exit-when-ready")});
    QCOMPARE(status, 3);
    QCOMPARE(seen, (QStringList{QStringLiteral("QMessageBox"),
                                QStringLiteral("vondrix::gui::SettingsDialog"),
                                QStringLiteral("QMessageBox")}));
    QVERIFY(!noteShown);
}

// Without a settings file the options come first. Cancel ends cleanly; OK
// applies them while start-up waits for the dialog on the worker, and the
// device named there is missing: the box says so, the program goes on.
void ScreenshotTest::firstStartShowsTheOptions() {
    const QString options = QStringLiteral("vondrix::gui::SettingsDialog");
    for (const bool accept : {false, true}) {
        QTemporaryDir dir;
        QStringList seen;
        const auto poll =
            answerModals(seen, {[&](QWidget* w) {
                             auto* dialog = static_cast<QDialog*>(w);
                             if (!accept) {
                                 dialog->reject();
                                 return;
                             }
                             w->findChild<QLineEdit*>(QStringLiteral("deviceEdit"))
                                 ->setText(dir.filePath(QStringLiteral("ttyMissing")));
                             dialog->accept();
                         }});
        const int status = runGui({QStringLiteral("vondrix"), QStringLiteral("--ini"),
                                   dir.filePath(QStringLiteral("Vondrix.ini")),
                                   QStringLiteral("--exit-when-ready")});
        QCOMPARE(status, 0);
        const QStringList modals =
            accept ? QStringList{options, QStringLiteral("QMessageBox")} : QStringList{options};
        QCOMPARE(seen, modals);
    }
}

void ScreenshotTest::stateFileThatCannotLoadEndsBeforeAnyWindow() {
    QTemporaryDir dir;
    QFile bad(dir.filePath(QStringLiteral("bad.txt")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("[nonsense]\n");
    bad.close();
    QStringList seen;
    const auto poll = answerModals(seen, {});
    for (const char* name : {"missing.txt", "bad.txt"}) {
        const int status =
            runGui({QStringLiteral("vondrix"),
                    QStringLiteral("--simulate=") + dir.filePath(QLatin1String(name)),
                    QStringLiteral("--ini"), dir.filePath(QStringLiteral("Vondrix.ini")),
                    QStringLiteral("--exit-when-ready")});
        QCOMPARE(status, 2);
    }
    QCOMPARE(seen, QStringList());
}

void ScreenshotTest::optionsThatNeedNoWindowWorkWithoutADisplay() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QString::fromLatin1(name));
    // The help names the per-user folder.
    for (const auto& [option, printed] : {std::pair{"--version", "vondrix " VONDRIX_VERSION "\n"},
                                          std::pair{"--help", "--user-data"}}) {
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(VONDRIX_GUI_PATH), {QString::fromLatin1(option)});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY2(QString::fromUtf8(program.readAllStandardOutput()).contains(printed), printed);
    }
}

QTEST_MAIN(ScreenshotTest)
#include "ScreenshotTest.moc"
