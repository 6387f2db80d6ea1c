// The whole program run in-process: start-up on the simulated phone, the
// screenshot mode, and the progress windows.

#include <QAbstractButton>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>
#include <vector>

#include "gui/GuiApp.h"
#include "gui/ProgressWindow.h"

using namespace vondrix::gui;

class ScreenshotTest : public QObject {
    Q_OBJECT
  private slots:
    void writesReadablePicturesOfEveryWindow();
    void failedResetOffersTheOptionsThenEndsWithStatus3();
    void firstStartCancelEndsCleanly();
    void stateFileThatCannotLoadEndsBeforeAnyWindow();
    void transferProgressShowsTimesAndCancelAsksToStop();
    void optionsThatNeedNoWindowWorkWithoutADisplay_data();
    void optionsThatNeedNoWindowWorkWithoutADisplay();
};

void ScreenshotTest::writesReadablePicturesOfEveryWindow() {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("shots"));
    const int status =
        runGui({QStringLiteral("vondrix"), QStringLiteral("--simulate"), QStringLiteral("--ini"),
                dir.filePath(QStringLiteral("Vondrix.ini")), QStringLiteral("--screenshot"), out});
    QCOMPARE(status, 0);
    for (const char* name :
         {"main-window", "settings", "about", "transfer-progress", "backup", "restore"}) {
        QImage image(QDir(out).filePath(QString::fromLatin1(name) + ".png"));
        QVERIFY2(!image.isNull(), name);
        QVERIFY2(image.width() > 150 && image.height() > 100, name);
        // Text was drawn: the picture is not one flat colour.
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 3)
            for (int x = 0; x < image.width(); x += 3)
                colours.insert(image.pixel(x, y));
        QVERIFY2(colours.size() > 8, name);
    }
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

void ScreenshotTest::firstStartCancelEndsCleanly() {
    QTemporaryDir dir;  // no settings file: the options come first
    QStringList seen;
    const auto poll = answerModals(seen, {[](QWidget* w) { static_cast<QDialog*>(w)->reject(); }});
    const int status =
        runGui({QStringLiteral("vondrix"), QStringLiteral("--ini"),
                dir.filePath(QStringLiteral("Vondrix.ini")), QStringLiteral("--exit-when-ready")});
    QCOMPARE(status, 0);
    QCOMPARE(seen, QStringList{QStringLiteral("vondrix::gui::SettingsDialog")});
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

void ScreenshotTest::transferProgressShowsTimesAndCancelAsksToStop() {
    ProgressWindow w(ProgressWindow::kindFor(111));
    QCOMPARE(w.kind(), ProgressWindow::Kind::Transfer);
    w.start(100);
    QVERIFY(w.isVisible());
    QCOMPARE(w.timesText(), QStringLiteral("0:00 -"));  // no estimate before the first step
    w.setValue(5);
    w.setTimes(3, 60);
    QCOMPARE(w.value(), 5);
    QCOMPARE(w.timesText(), QStringLiteral("0:03 1:00"));
    QVERIFY(!w.cancelRequested());
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(w.cancelRequested());  // the transfer stops after its segment
    QVERIFY(w.isVisible());        // and closes the window itself
    // A reading stops after its transaction too; sending cannot be stopped.
    for (const int id : {116, 146}) {
        ProgressWindow other(ProgressWindow::kindFor(id));
        other.start(10);
        QTest::keyClick(&other, Qt::Key_Escape);
        QVERIFY(other.isVisible());
        QCOMPARE(other.cancelRequested(), id == 116);
    }
    QCOMPARE(ProgressWindow::kindFor(116), ProgressWindow::Kind::Reading);
    QCOMPARE(ProgressWindow::kindFor(146), ProgressWindow::Kind::Sending);
}

void ScreenshotTest::optionsThatNeedNoWindowWorkWithoutADisplay_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("printed");
    QTest::newRow("version") << "--version"
                             << "vondrix " VONDRIX_VERSION "\n";
    QTest::newRow("help names the per-user folder") << "--help"
                                                    << "--user-data";
}

void ScreenshotTest::optionsThatNeedNoWindowWorkWithoutADisplay() {
    QFETCH(QString, option);
    QFETCH(QString, printed);
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QString::fromLatin1(name));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(VONDRIX_GUI_PATH), {option});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY2(QString::fromUtf8(program.readAllStandardOutput()).contains(printed),
             qPrintable(printed));
}

QTEST_MAIN(ScreenshotTest)
#include "ScreenshotTest.moc"
