// How late the desktop program's event loop answers while it talks to the
// phone. The real windows run offscreen against the simulated phone at
// emulated 19200 baud with 30 ms per command; a second thread posts an
// event every 10 ms to the UI thread, and each event's lateness is the time
// from its posting to its handling. Cases: reading a full 250-location SIM
// (the phonebook window's opening), opening the network window (operator
// names, preferred list, search), 10 polls of the monitor, and one poll on a
// phone that stops answering, with Timeout=3 (not the default 10 s) so the
// run stays short; first, start-up against a phone that never answers its
// reset, as the desktop program runs it. Message boxes (the link failure's,
// "No device found") are answered at once.
//
//   bench_gui_latency

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "gui/GuiReporter.h"
#include "gui/MainWindow.h"
#include "gui/NetworkMonitorWindow.h"
#include "gui/NetworkSelectionWindow.h"
#include "gui/PhoneWorker.h"
#include "gui/PhonebookWindow.h"
#include "phonesim/Simulator.h"

#include "FullSim.h"
#include "session/Startup.h"

namespace {

using Clock = std::chrono::steady_clock;

QEvent::Type tickType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

struct Tick : QEvent {
    explicit Tick(Clock::time_point at) : QEvent(tickType()), posted(at) {}
    Clock::time_point posted;
};

// Records each tick's lateness and answers whatever message box is open.
class Probe : public QObject {
  public:
    std::vector<double> lateMs;

    bool event(QEvent* e) override {
        if (e->type() != tickType())
            return QObject::event(e);
        const auto late = Clock::now() - static_cast<Tick*>(e)->posted;
        lateMs.push_back(std::chrono::duration<double, std::milli>(late).count());
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(top);
            if (box && box->isVisible() && !box->buttons().isEmpty())
                box->buttons().front()->click();
        }
        return true;
    }
};

phonesim::PhoneState fullSimFastSearch() {
    phonesim::PhoneState s = fullSim();
    s.net.searchMs = 0;  // the phone's own scan is not the program's lateness
    return s;
}

void measure(Probe& probe, const char* name, const std::function<void()>& operation) {
    probe.lateMs.clear();
    std::atomic<bool> running{true};
    std::thread poster([&] {
        auto next = Clock::now();
        while (running) {
            next += std::chrono::milliseconds(10);
            std::this_thread::sleep_until(next);
            QCoreApplication::postEvent(&probe, new Tick(Clock::now()));
        }
    });
    QEventLoop loop;
    const auto t0 = Clock::now();
    QTimer::singleShot(0, &probe, [&] {
        operation();
        loop.quit();
    });
    loop.exec();
    const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    running = false;
    poster.join();
    // The ticks still waiting were late too.
    QCoreApplication::processEvents();
    std::vector<double> v = probe.lateMs;
    if (v.empty()) {
        std::printf("%-22s no tick handled\n", name);
        return;
    }
    std::sort(v.begin(), v.end());
    const auto at = [&](double q) {
        return v[std::min(v.size() - 1,
                          static_cast<std::size_t>(q * static_cast<double>(v.size())))];
    };
    std::printf("%-22s %5.1f s, %4zu ticks: lateness median %7.1f ms, p99 %7.1f ms, max %7.1f ms\n",
                name, seconds, v.size(), at(0.5), at(0.99), v.back());
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Vondrix.ini"));
    {
        std::FILE* f = std::fopen(ini.toLocal8Bit().constData(), "wb");
        if (!f)
            return 1;
        std::fputs("[Vondrix]\r\nTimeout=3\r\n", f);
        std::fclose(f);
    }
    phonesim::WireOptions wire;
    wire.baud = 19200;
    wire.latencyMs = 30;
    phonesim::Simulator sim(fullSimFastSearch(), wire);
    vondrix::Session session(ini.toStdString());
    vondrix::gui::GuiReporter reporter(vondrix::Language::English);
    vondrix::StartupOptions options;
    options.link.kind = vondrix::LinkOverride::Kind::Device;
    options.link.device = sim.openPty();
    options.portSettleMs = 0;
    options.resetDelayMs = 0;
    if (vondrix::startUp(session, reporter, options) != vondrix::StartupResult::Ready) {
        std::fprintf(stderr, "start-up failed\n");
        return 1;
    }
    const std::string localFile = dir.filePath(QStringLiteral("Vondrix.phb")).toStdString();
    Probe probe;
    {
        phonesim::PhoneState deaf = phonesim::PhoneState::demo();
        deaf.silent = {"ATZ"};
        phonesim::Simulator silent(std::move(deaf), wire);
        vondrix::Session waiting(ini.toStdString());
        vondrix::StartupOptions o = options;
        o.link.device = silent.openPty();
        measure(probe, "start-up, silent phone", [&] {
            vondrix::gui::onPhone([&] { return vondrix::startUp(waiting, reporter, o); });
        });
        vondrix::gui::onPhone([&] { vondrix::shutDown(waiting); });
        silent.stop();
    }
    {
        vondrix::gui::MainWindow main(session, reporter);
        reporter.setOwner(&main);
        main.show();
        measure(probe, "phonebook (250 SIM)", [&] {
            vondrix::gui::PhonebookWindow window(session, reporter);
            window.setLocalFile(localFile);
        });
        measure(probe, "network window", [&] {
            vondrix::gui::NetworkSelectionWindow window(main.windowSession(), reporter);
        });
        vondrix::gui::NetworkMonitorWindow monitor(
            main.windowSession(), reporter,
            dir.filePath(QStringLiteral("cells.log")).toStdString());
        measure(probe, "monitor, 10 polls", [&] {
            for (int i = 0; i < 10; ++i)
                monitor.pollNow();
        });
        measure(probe, "silent phone (3 s)", [&] {
            phonesim::Fault stall;
            stall.kind = phonesim::Fault::Kind::Stall;
            sim.injectFault(stall);
            monitor.pollNow();
        });
        monitor.close();
        reporter.setOwner(nullptr);
    }
    vondrix::shutDown(session);
    sim.stop();
    return 0;
}
