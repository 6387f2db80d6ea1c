// The whole program run in-process: start-up on the simulated phone, the
// screenshot mode, and the progress windows.

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QtTest>

#include "gui/GuiApp.h"
#include "gui/ProgressWindow.h"

using namespace vondrix::gui;

class ScreenshotTest : public QObject {
    Q_OBJECT
  private slots:
    void writesReadablePicturesOfEveryWindow();
    void failedResetEndsWithStatus3();
    void transferProgressShowsTimesAndCancelAsksToStop();
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

void ScreenshotTest::failedResetEndsWithStatus3() {
    QTemporaryDir dir;
    const QString state = dir.filePath(QStringLiteral("phone.txt"));
    QFile f(state);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[failing]\nprefix = ATZ\n");
    f.close();
    // Message boxes would wait for a click: the failure is reported before
    // any window exists, so answer it as soon as it shows.
    QTimer::singleShot(0, [] {
        QTimer* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, poll, [poll] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                box->close();
                poll->deleteLater();
            }
        });
        poll->start(20);
    });
    const int status = runGui({QStringLiteral("vondrix"), QStringLiteral("--simulate=") + state,
                               QStringLiteral("--ini"), dir.filePath(QStringLiteral("Vondrix.ini")),
                               QStringLiteral("--exit-when-ready")});
    QCOMPARE(status, 3);
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

QTEST_MAIN(ScreenshotTest)
#include "ScreenshotTest.moc"
