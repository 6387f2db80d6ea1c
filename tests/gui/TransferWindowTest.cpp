// The main window's logo and ringtone commands, driven for real (offscreen)
// against the simulated phone: the file dialogs' filters, the uploads and
// downloads, the ring tone range after a melody, and the transfer window's
// Cancel.

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

#include "foundation/Catalogue.h"
#include "gui/GuiReporter.h"
#include "gui/GuiRig.h"
#include "gui/MainWindow.h"
#include "gui/ProgressWindow.h"
#include "gui/UiTranslator.h"
#include "support/RecordingReporter.h"

using namespace vondrix;
using vondrix::gui::MainWindow;

namespace {

using Rig = test::GuiRig<test::RecordingReporter>;

// The GUI's own reporter in English, for the tests of its Cancel.
struct EnglishGuiReporter : gui::GuiReporter {
    EnglishGuiReporter() : GuiReporter(Language::English) {}
};

using test::child;
using test::fileContent;

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& content) {
    return test::writeFile(dir.filePath(name), content);
}

QByteArray fileOf(int size, const QByteArray& magic) {
    QByteArray b = magic.left(size);
    while (b.size() < size)
        b.append(static_cast<char>(b.size() * 7 + 3));
    return b;
}

std::string bytes(const QByteArray& b) {
    return b.toStdString();
}

// "open" or "save", then the filters and the default suffix.
QString describe(const MainWindow::FileQuestion& q) {
    return (q.save ? QStringLiteral("save ") : QStringLiteral("open ")) + q.filters.join(u';') +
           QStringLiteral(" .") + q.defaultSuffix;
}

}  // namespace

class TransferWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void sendLogoAndRingtoneAskForTheirFilesAndUpload();
    void downloadsWriteTheChosenFilesAndNoFileSendsNothing();
    void transferWindowCancelStopsTheUpload();
    void progressWindowsShowTimesAndTakeCancel();
};

void TransferWindowTest::sendLogoAndRingtoneAskForTheirFilesAndUpload() {
    Rig rig;
    MainWindow w(*rig.session, rig.reporter);
    rig.sim->clearReceived();
    const QByteArray logo = fileOf(120, "BM");
    QString path = writeFile(rig.dir, QStringLiteral("logo.bmp"), logo);
    QStringList asked;
    w.chooseFile = [&](const MainWindow::FileQuestion& q) {
        asked << describe(q);
        return path;
    };
    QTest::mouseClick(child<QPushButton>(w, "sendLogoButton"), Qt::LeftButton);
    QVERIFY(rig.received("AT^SBNW=bmp,0,1,3"));  // the segments: TransferUpload in the e2e tests
    QCOMPARE(rig.reporter.progressDisplay, Reporter::Display::Transfer);
    QCOMPARE(rig.reporter.progress, (std::vector<int>{33, 66, 100}));
    QVERIFY(rig.reporter.shown.empty());
    QCOMPARE(test::statusLine(w), QStringLiteral("Logo sent to the phone"));
    QVERIFY(w.isEnabled());
    rig.sim->withState([&](phonesim::PhoneState& s) {
        QCOMPARE(*s.objects.find({"bmp", 0}), bytes(logo));
    });

    // A melody raises the ring tone range, once.
    auto* spin = child<QSpinBox>(w, "ringToneSpin");
    QCOMPARE(spin->maximum(), 41);
    path = writeFile(rig.dir, QStringLiteral("tune.mid"), fileOf(150, "MThd"));
    rig.sim->clearReceived();
    QTest::mouseClick(child<QPushButton>(w, "sendRingtoneButton"), Qt::LeftButton);
    QCOMPARE(spin->maximum(), 42);
    QCOMPARE(rig.lines().front(), std::string("AT^SBNW=mid,0"));
    QTest::mouseClick(child<QPushButton>(w, "sendRingtoneButton"), Qt::LeftButton);
    QCOMPARE(spin->maximum(), 42);
    QCOMPARE(asked, (QStringList{"open BMP file (*.bmp);GIF file (*.gif) .bmp",
                                 "open MID file (*.mid) .mid", "open MID file (*.mid) .mid"}));

    // A GIF whose bitmap cannot be made (here: no folder for it) is reported.
    const bool hadTmp = qEnvironmentVariableIsSet("TMPDIR");
    const QByteArray tmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", rig.dir.filePath(QStringLiteral("missing")).toLocal8Bit());
    path = writeFile(rig.dir, QStringLiteral("logo.gif"), fileOf(40, "GIF89a"));
    QTest::mouseClick(child<QPushButton>(w, "sendLogoButton"), Qt::LeftButton);
    hadTmp ? qputenv("TMPDIR", tmp) : qunsetenv("TMPDIR");
    QCOMPARE(rig.reporter.ids(), std::vector<int>{msg::GifNotConverted});
    QCOMPARE(child<QPushButton>(w, "sendLogoButton")->toolTip(), test::catalogue(msg::TipSendLogo));
    QCOMPARE(child<QPushButton>(w, "sendRingtoneButton")->toolTip(),
             test::catalogue(msg::TipSendMidi));
}

void TransferWindowTest::downloadsWriteTheChosenFilesAndNoFileSendsNothing() {
    Rig rig;
    MainWindow w(*rig.session, rig.reporter);
    std::string demoLogo, demoMelody;
    rig.sim->withState([&](phonesim::PhoneState& s) {
        demoLogo = *s.objects.find({"bmp", 0});
        demoMelody = *s.objects.find({"mid", 0});
    });
    const QString logoPath = rig.dir.filePath(QStringLiteral("logo.bmp"));
    const QString melodyPath = rig.dir.filePath(QStringLiteral("tune.mid"));
    QStringList asked;
    QString preset;
    QStringList answers{logoPath, melodyPath};
    w.chooseFile = [&](const MainWindow::FileQuestion& q) {
        asked << describe(q);
        preset = q.preset;
        return answers.takeFirst();
    };
    child<QAction>(w, "downloadLogoAction")->trigger();
    child<QAction>(w, "downloadRingtoneAction")->trigger();
    QCOMPARE(asked, (QStringList{"save BMP file (*.bmp) .bmp", "save Midi file (*.mid) .mid"}));
    QCOMPARE(preset, logoPath);  // the path chosen last
    QCOMPARE(bytes(fileContent(logoPath)), demoLogo);
    QCOMPARE(bytes(fileContent(melodyPath)), demoMelody);
    QVERIFY(rig.reporter.shown.empty());

    // No file chosen: nothing is sent or begun.
    rig.sim->clearReceived();
    rig.reporter.tasks.clear();
    w.chooseFile = [](const MainWindow::FileQuestion&) { return QString(); };
    QTest::mouseClick(child<QPushButton>(w, "sendLogoButton"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(w, "sendRingtoneButton"), Qt::LeftButton);
    child<QAction>(w, "downloadLogoAction")->trigger();
    QVERIFY(rig.lines().empty());
    QVERIFY(rig.reporter.tasks.empty());
}

void TransferWindowTest::transferWindowCancelStopsTheUpload() {
    test::GuiRig<EnglishGuiReporter> rig;
    MainWindow w(*rig.session, rig.reporter);
    rig.reporter.setOwner(&w);
    w.show();
    rig.sim->clearReceived();
    const QString path = writeFile(rig.dir, QStringLiteral("long.mid"), fileOf(5000, "MThd"));
    w.chooseFile = [&](const MainWindow::FileQuestion&) { return path; };
    // Press Cancel as soon as the transfer window shows a step.
    bool pressed = false;
    QTimer presser;
    connect(&presser, &QTimer::timeout, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* window = qobject_cast<gui::ProgressWindow*>(top);
            if (!window || !window->isVisible() || window->value() < 4 || pressed)
                continue;
            auto* cancel = window->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel);
            QVERIFY(cancel->isEnabled());
            QTest::mouseClick(cancel, Qt::LeftButton);
            pressed = true;
        }
    });
    presser.start(1);
    QTest::mouseClick(child<QPushButton>(w, "sendRingtoneButton"), Qt::LeftButton);
    presser.stop();
    QVERIFY(pressed);
    const auto lines = rig.lines();
    // Stopped early, and what was sent deleted (the traffic: e2e TransferUpload).
    QVERIFY(lines.size() < 2 + 2 * 50);
    QCOMPARE(lines.back(), std::string("AT^SBNW=mid,0,0"));
    QCOMPARE(child<QSpinBox>(w, "ringToneSpin")->maximum(), 41);  // no melody: no new tone
    QVERIFY(w.isEnabled());
}

// The reporter drives the window of its display. Escape is Cancel: a
// transfer or a reading stops after its segment or transaction, and the
// window stays until then; sending cannot be stopped.
void TransferWindowTest::progressWindowsShowTimesAndTakeCancel() {
    EnglishGuiReporter reporter;
    reporter.progressBegin(Reporter::Display::Transfer, 100, Reporter::Task::Transferring);
    gui::ProgressWindow* window = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<gui::ProgressWindow*>(top); p && p->isVisible())
            window = p;
    QVERIFY(window);
    QCOMPARE(window->kind(), gui::ProgressWindow::Kind::Transfer);
    QCOMPARE(window->timesText(), QStringLiteral("0:00 -"));  // no estimate before the first step
    QVERIFY(!reporter.cancelled());
    reporter.progressStep(40);
    reporter.progressTimes(75, 187);
    QCOMPARE(test::labelTexts(*window, {"percent", "elapsed", "estimated"}),
             (QStringList{"40 %", "1:15", "3:07"}));
    QTest::keyClick(window, Qt::Key_Escape);
    QVERIFY(reporter.cancelled());
    QVERIFY(window->isVisible());
    reporter.progressEnd();
    QVERIFY(!reporter.cancelled());

    using gui::ProgressWindow;
    for (const auto display : {Reporter::Display::Reading, Reporter::Display::Sending}) {
        ProgressWindow other(ProgressWindow::kindFor(display));
        other.start(10);
        QTest::keyClick(&other, Qt::Key_Escape);
        QVERIFY(other.isVisible());
        QCOMPARE(other.cancelRequested(), display == Reporter::Display::Reading);
    }
    QCOMPARE(ProgressWindow::kindFor(Reporter::Display::Reading), ProgressWindow::Kind::Reading);
    QCOMPARE(ProgressWindow::kindFor(Reporter::Display::Sending), ProgressWindow::Kind::Sending);
    // The phonebook window's bar, with no window to show it, is a reading.
    QCOMPARE(ProgressWindow::kindFor(Reporter::Display::PhonebookBar),
             ProgressWindow::Kind::Reading);

    // The transfer window's texts fit in every language.
    for (const Language language :
         {Language::English, Language::German, Language::Spanish, Language::French,
          Language::Italian, Language::Dutch, Language::Norwegian, Language::Portuguese}) {
        gui::UiTranslator translator(language);
        QCoreApplication::installTranslator(&translator);
        gui::ProgressWindow each(gui::ProgressWindow::Kind::Transfer);
        each.start(100);
        each.setTimes(599, 3599);
        QTest::keyClick(&each, Qt::Key_Escape);  // the caption now says it stops
        for (QLabel* label : each.findChildren<QLabel*>())
            QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->text()));
        QCoreApplication::removeTranslator(&translator);
    }
}

QTEST_MAIN(TransferWindowTest)
#include "TransferWindowTest.moc"
