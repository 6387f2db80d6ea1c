// The phone worker's wiring: Cancel during each long read of the windows,
// a UI thread that answers while the worker waits for a silent phone (in a
// window, and at start-up), and an exception of the UI side reaching the
// worker.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <memory>
#include <stdexcept>
#include <utility>

#include "GuiRig.h"
#include "foundation/Messages.h"
#include "gui/GuiApp.h"
#include "gui/GuiReporter.h"
#include "gui/MainWindow.h"
#include "gui/MessageListWindow.h"
#include "gui/NetworkSelectionWindow.h"
#include "gui/OrganizerWindow.h"
#include "gui/PhoneWorker.h"
#include "gui/PhonebookWindow.h"
#include "gui/ProgressWindow.h"

using namespace vondrix;

namespace {

// The program's reporter, with the message boxes recorded instead of shown,
// that presses the visible Cancel (of the reading window, or beside the
// phonebook window's bar) at the first step once armed.
struct CancellingReporter : gui::GuiReporter {
    CancellingReporter() : GuiReporter(Language::English) {}

    Answer message(msg::Id id, Caption, Buttons) override {
        ids.push_back(id);
        return Answer::Ok;
    }
    void progressStep(int done) override {
        GuiReporter::progressStep(done);
        press();
    }
    void pump() override { press(); }

    void press() {
        if (!armed || pressed)
            return;
        gui::onUiThread([this] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                for (auto* button : top->findChildren<QAbstractButton*>()) {
                    const bool cancel = qobject_cast<gui::ProgressWindow*>(top) ||
                                        button->objectName() == QStringLiteral("cancelReadButton");
                    if (cancel && top->isVisible() && !button->isHidden() && button->isEnabled() &&
                        !pressed) {
                        QTest::mouseClick(button, Qt::LeftButton);
                        pressed = true;
                    }
                }
            }
        });
    }

    std::vector<int> ids;
    bool armed = false;
    bool pressed = false;
};

using Rig = test::GuiRig<CancellingReporter>;

int rowCount(QWidget& w, const char* list) {
    return w.findChild<QTreeWidget*>(QString::fromLatin1(list))->topLevelItemCount();
}

}  // namespace

class PhoneWorkerTest : public QObject {
    Q_OBJECT
  private slots:
    void cancelStopsEachLongRead_data();
    void cancelStopsEachLongRead();
    void uiAnswersWhileThePhoneIsSilentAndItsExceptionsReachTheWorker();
    void startUpAnswersWhileThePhoneIsSilent();
};

void PhoneWorkerTest::cancelStopsEachLongRead_data() {
    QTest::addColumn<QString>("read");
    QTest::addColumn<QString>("notSent");  // a command the whole read ends with
    QTest::newRow("phonebook opening") << "phonebook opening"
                                       << "AT+CSCA?";
    QTest::newRow("phonebook kind switch") << "phonebook kind switch"
                                           << "AT+CPBR=100";
    QTest::newRow("organizer opening") << "organizer opening"
                                       << "AT^SBNR=vcs,30";
    QTest::newRow("message list opening") << "message list opening"
                                          << "AT+CMGL=4";
    QTest::newRow("network window opening") << "network window opening"
                                            << "AT+COPS=?";
}

void PhoneWorkerTest::cancelStopsEachLongRead() {
    QFETCH(QString, read);
    QFETCH(QString, notSent);
    Rig rig;
    const QString localFile = rig.dir.filePath(QStringLiteral("Vondrix.phb"));
    std::unique_ptr<MainWindowSession> main;
    std::unique_ptr<QDialog> window;
    const char* list = nullptr;
    rig.reporter.armed = read != QStringLiteral("phonebook kind switch");
    if (read.startsWith(QStringLiteral("phonebook"))) {
        auto w = std::make_unique<gui::PhonebookWindow>(*rig.session, rig.reporter);
        w->setLocalFile(localFile.toStdString());
        if (read.endsWith(QStringLiteral("switch"))) {
            QVERIFY(rowCount(*w, "phonebookList") > 0);  // the SIM, read whole
            w->show();
            rig.sim->clearReceived();
            rig.reporter.armed = true;
            w->selectKind(1);
        }
        window = std::move(w);
        list = "phonebookList";
    } else if (read.startsWith(QStringLiteral("organizer"))) {
        window = std::make_unique<gui::OrganizerWindow>(*rig.session, rig.reporter);
        list = "organizerList";
    } else if (read.startsWith(QStringLiteral("message"))) {
        window = std::make_unique<gui::MessageListWindow>(*rig.session, rig.reporter);
        list = "messageList";
    } else {
        main = std::make_unique<MainWindowSession>(*rig.session, rig.reporter);
        window = std::make_unique<gui::NetworkSelectionWindow>(*main, rig.reporter);
        for (const char* other : {"knownList", "preferredList"})
            QCOMPARE(rowCount(*window, other), 0);
        list = "foundList";
    }
    QVERIFY(rig.reporter.pressed);
    QVERIFY(!rig.received(notSent.toStdString()));  // stopped after the current transaction
    QCOMPARE(rig.reporter.ids, (std::vector<int>{msg::ReadingCancelled}));
    QCOMPARE(rowCount(*window, list), 0);  // nothing partial shown
    QVERIFY(window->isEnabled());
    for (QWidget* w : window->findChildren<QWidget*>(QStringLiteral("content")))
        QVERIFY(w->isEnabled());
    // The window is usable again: the phonebook window's close saves no
    // incomplete table (the SIM saved before the switch stays as it was).
    const auto fileContent = [&] {
        QFile f(localFile);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray before = fileContent();
    window->close();
    QCOMPARE(fileContent(), before);
}

void PhoneWorkerTest::uiAnswersWhileThePhoneIsSilentAndItsExceptionsReachTheWorker() {
    Rig rig(QStringLiteral("Timeout=1\r\n"));
    gui::MainWindow w(*rig.session, rig.reporter);
    phonesim::Fault stall;
    stall.kind = phonesim::Fault::Kind::Stall;
    rig.sim->injectFault(stall);
    bool firedDuringTheWait = false;
    QTimer::singleShot(0, [&] { firedDuringTheWait = gui::PhoneWorker::busy(); });
    w.refreshNetwork();
    QVERIFY(firedDuringTheWait);
    QCOMPARE(rig.reporter.ids, (std::vector<int>{msg::PhoneNotAnswering}));

    // An exception of the UI side reaches the worker.
    const QString caught = gui::onPhone([] {
        try {
            gui::onUiThread([]() -> int { throw std::runtime_error("refused"); });
        } catch (const std::runtime_error& e) {
            const bool onUi = gui::onUiThread();
            return QString::fromLatin1(e.what()) + (onUi ? " on the UI thread" : " on the worker");
        }
        return QStringLiteral("nothing thrown");
    });
    QCOMPARE(caught, QStringLiteral("refused on the worker"));
}

void PhoneWorkerTest::startUpAnswersWhileThePhoneIsSilent() {
    QTemporaryDir dir;
    const QString state = dir.filePath(QStringLiteral("phone.txt"));
    const QString ini = dir.filePath(QStringLiteral("Vondrix.ini"));
    for (const auto& [path, body] : {std::pair{state, "[silent]\nprefix = ATZ\n"},
                                     std::pair{ini, "[Vondrix]\r\nTimeout=1\r\n"}}) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(body);
    }
    // Ticks of the UI while the reset waits find the note shown; the
    // question after "No device found" is answered with Quit.
    bool noteShownDuringTheWait = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* top : QApplication::topLevelWidgets())
            noteShownDuringTheWait |= gui::PhoneWorker::busy() &&
                                      top->objectName() == QLatin1String("connectingNote") &&
                                      top->isVisible();
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->close();
    });
    poll.start(20);
    QCOMPARE(gui::runGui({QStringLiteral("vondrix"), QStringLiteral("--simulate=") + state,
                          QStringLiteral("--ini"), ini, QStringLiteral("--exit-when-ready")}),
             3);
    QVERIFY(noteShownDuringTheWait);
}

QTEST_MAIN(PhoneWorkerTest)
#include "PhoneWorkerTest.moc"
