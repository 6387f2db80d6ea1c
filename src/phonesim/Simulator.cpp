#include "phonesim/Simulator.h"

#include "phonesim/Commands.h"
#include "phonesim/Endpoint.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <optional>
#include <random>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace phonesim {

namespace {

using Clock = std::chrono::steady_clock;
using endpoint::Handle;
using endpoint::kNone;

// The time one byte takes on the wire: start bit, 8 data bits, stop bit.
Clock::duration byteTime(int baud) {
    if (baud <= 0) {
        return Clock::duration::zero();
    }
    return std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(10'000'000'000LL) /
                                                       baud);
}

bool startsWithNoCase(const std::string& text, const std::string& prefix) {
    if (prefix.size() > text.size()) {
        return false;
    }
    return std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) ==
               std::toupper(static_cast<unsigned char>(b));
    });
}

// A piece of output and the earliest moment its first byte may leave.
struct Segment {
    std::string bytes;
    std::size_t pos = 0;
    Clock::time_point notBefore;
    Clock::duration gap{};        // pause after the previous segment, measured from its last write
    bool closeAfter = false;      // close the link once this segment is out
    Clock::time_point closeBy{};  // pty: latest close while the client still reads
};

// A hang-up discards what the pty client has not read yet, so a drop waits
// (boundedly) until the client has taken the bytes before it. Bytes written to
// the master reach the slave's queue a little later, hence the settle time.
constexpr auto kDrainLimit = std::chrono::seconds(2);
constexpr auto kDrainSettle = std::chrono::milliseconds(50);
constexpr auto kDrainPoll = std::chrono::milliseconds(5);

// Input is read in blocks of this size and handed to the interpreter up to and
// including each byte that can end a line (CR; Ctrl-Z or ESC after a prompt),
// so the output cap is checked between lines.
constexpr std::size_t kReadSize = 4096;
constexpr std::string_view kLineEnds{"\r\x1a\x1b", 3};

// Kernel buffers of a TCP connection, set on the listening socket so that
// accepted connections inherit them. A phone's buffers are small; left to
// autotuning, a client that sends without reading could park megabytes there.
constexpr int kSocketBuffer = 64 * 1024;

// Idle limits beyond this count as none (and keep the deadline arithmetic in range).
constexpr auto kLongestIdleLimit = std::chrono::hours(24 * 366);

}  // namespace

struct Simulator::Impl {
    Impl(PhoneState s, WireOptions w, Limits l)
        : state(std::move(s)), interp(state), wire(w), limits(l), urcRng(w.unsolicitedSeed) {}

    // Shared with the caller's threads, under `mu`.
    mutable std::mutex mu;
    PhoneState state;
    Interpreter interp;
    WireOptions wire;
    Limits limits;
    std::deque<Fault> faults;
    std::deque<std::string> received;
    std::size_t receivedBytes = 0;
    std::size_t dropped = 0;
    std::function<void(const std::string&)> recorder;
    std::mt19937 rng{0x5335u};
    std::mt19937 urcRng;
    endpoint::Waker waker;  // wakes the serving thread

    std::atomic<std::size_t> peakOut{0};

    // Owned by the serving thread while it runs.
    enum class Serving { None, Pty, Tcp };
    Serving serving = Serving::None;
    Handle masterFd = kNone;
    Handle slaveFd = kNone;  // kept open so the master never sees the last slave close
    Handle listenFd = kNone;
    Handle connFd = kNone;
    std::thread thread;
    std::atomic<bool> stopping{false};
    std::deque<Segment> out;
    std::size_t outBytes = 0;          // not yet written, over all of `out`
    std::string inbox;                 // read but held back while the output is over the cap
    Clock::time_point lastActivity{};  // last byte in or out, or output paced by us
    Clock::time_point lastCommand{};   // connection, or the last line the phone answered
    Clock::time_point outFreeAt{};     // when the last byte written has fully left the wire
    Clock::time_point lastWrite{};
    Clock::time_point inFreeAt{};  // when the last byte read has fully arrived
    bool writeBlocked = false;

    Handle linkFd() const { return serving == Serving::Pty ? masterFd : connFd; }

    void start();
    void halt();
    void wake();
    void run();
    void interpret(Clock::time_point now, std::size_t cap);
    void onInput(std::string_view data, Clock::time_point now);
    void queue(Segment seg);
    void record(std::string line);
    void trimRecord();
    std::string applyFault(const Fault& fault, std::string reply, bool& close);
    std::string withUnsolicited(std::string reply);
    std::optional<Clock::time_point> flush(Clock::time_point now);
    void closeLink();
    void resetWire();
};

void Simulator::Impl::start() {
    try {
        std::lock_guard lock(mu);
        waker.open();
    } catch (...) {
        endpoint::close(masterFd);
        endpoint::close(slaveFd);
        endpoint::close(listenFd);
        throw;
    }
    stopping = false;
    resetWire();
    thread = std::thread([this] { run(); });
}

void Simulator::Impl::halt() {
    if (thread.joinable()) {
        stopping = true;
        wake();
        thread.join();
    }
    {
        std::lock_guard lock(mu);
        waker.close();
    }
    endpoint::close(masterFd);
    endpoint::close(slaveFd);
    endpoint::close(listenFd);
    endpoint::close(connFd);
    serving = Serving::None;
    resetWire();
}

void Simulator::Impl::wake() {
    std::lock_guard lock(mu);
    waker.wake();
}

void Simulator::Impl::resetWire() {
    out.clear();
    outBytes = 0;
    inbox.clear();
    writeBlocked = false;
    outFreeAt = lastWrite = inFreeAt = Clock::time_point{};
    std::lock_guard lock(mu);
    interp.resetLink();
}

void Simulator::Impl::closeLink() {
    if (serving == Serving::Pty) {
        // Closing the master hangs up every open slave descriptor.
        endpoint::close(masterFd);
        endpoint::close(slaveFd);
    } else {
        endpoint::close(connFd);
    }
    resetWire();
}

void Simulator::Impl::run() {
    std::string buf(kReadSize, '\0');
    while (!stopping) {
        Limits lim;
        {
            std::lock_guard lock(mu);
            lim = limits;
        }
        lim.outputCap = std::max<std::size_t>(lim.outputCap, 1);  // else no input would be taken
        const auto checked = [](std::chrono::milliseconds limit) {
            return limit > std::chrono::milliseconds::zero() && limit <= kLongestIdleLimit;
        };
        const bool idleChecked = checked(lim.idleLimit);
        const bool commandChecked = checked(lim.commandLimit);
        // Output first: it may close the link or find it blocked. Input held
        // back by the cap goes in as the output drains.
        std::optional<Clock::time_point> deadline = flush(Clock::now());
        while (!inbox.empty() && outBytes < lim.outputCap) {
            interpret(Clock::now(), lim.outputCap);
            deadline = flush(Clock::now());
        }
        const Clock::time_point now = Clock::now();
        if (serving == Serving::Tcp && connFd != kNone) {
            if (!out.empty() && !writeBlocked) {
                lastActivity = now;  // waiting on our own pacing, not on the client
            }
            if (idleChecked) {
                const Clock::time_point idleAt = lastActivity + lim.idleLimit;
                if (idleAt <= now) {
                    closeLink();
                    continue;
                }
                deadline = deadline ? std::min(*deadline, idleAt) : idleAt;
            }
            if (commandChecked) {
                const Clock::time_point closeAt = lastCommand + lim.commandLimit;
                if (closeAt <= now) {
                    closeLink();
                    continue;
                }
                deadline = deadline ? std::min(*deadline, closeAt) : closeAt;
            }
        }
        std::optional<std::chrono::nanoseconds> timeout;
        if (deadline) {
            timeout = std::chrono::duration_cast<std::chrono::nanoseconds>(
                std::max(Clock::duration::zero(), *deadline - now));
        }
        const bool reading = inbox.empty() && outBytes < lim.outputCap;
        std::vector<endpoint::Watch> watches;
        watches.push_back({waker.handle(), true, false});
        if (serving == Serving::Tcp && connFd == kNone) {
            watches.push_back({listenFd, true, false});
        }
        if (const Handle link = linkFd(); link != kNone) {
            watches.push_back({link, reading, writeBlocked});
        }
        if (!endpoint::wait(watches, timeout)) {
            break;
        }
        if (stopping) {
            break;
        }
        for (const endpoint::Watch& p : watches) {
            if (!p.readable && !p.writable && !p.broken) {
                continue;
            }
            if (p.handle == waker.handle()) {
                waker.drain();
                continue;
            }
            if (p.handle == listenFd) {
                const Handle fd = endpoint::accept(listenFd);
                if (fd != kNone) {
                    connFd = fd;
                    resetWire();
                    lastActivity = Clock::now();
                    lastCommand = lastActivity;
                }
                continue;
            }
            if (p.writable) {
                writeBlocked = false;
            }
            if (!reading) {
                if (p.broken) {
                    closeLink();  // gone while we held its input back
                }
                continue;
            }
            if (p.readable || p.broken) {
                const std::ptrdiff_t n = endpoint::readSome(p.handle, buf.data(), buf.size());
                if (n > 0) {
                    const Clock::time_point at = Clock::now();
                    lastActivity = at;
                    inbox.assign(buf.data(), static_cast<std::size_t>(n));
                    interpret(at, lim.outputCap);
                } else if (n == endpoint::kGone) {
                    closeLink();  // the client went away
                }
            }
        }
    }
}

// Hands the interpreter the held input line by line while the output is below the cap.
void Simulator::Impl::interpret(Clock::time_point now, std::size_t cap) {
    std::size_t used = 0;
    while (used < inbox.size() && outBytes < cap) {
        const std::size_t end = inbox.find_first_of(kLineEnds, used);
        const std::size_t len = (end == std::string::npos ? inbox.size() : end + 1) - used;
        onInput(std::string_view(inbox).substr(used, len), now);
        used += len;
    }
    inbox.erase(0, used);
}

void Simulator::Impl::queue(Segment seg) {
    outBytes += seg.bytes.size() - seg.pos;
    out.push_back(std::move(seg));
    if (outBytes > peakOut.load(std::memory_order_relaxed)) {
        peakOut.store(outBytes, std::memory_order_relaxed);
    }
}

void Simulator::Impl::record(std::string line) {
    receivedBytes += line.size();
    received.push_back(std::move(line));
    trimRecord();
}

void Simulator::Impl::trimRecord() {
    while (!received.empty() &&
           (received.size() > limits.recordLines || receivedBytes > limits.recordBytes)) {
        receivedBytes -= received.front().size();
        received.pop_front();
        ++dropped;
    }
}

void Simulator::Impl::onInput(std::string_view data, Clock::time_point now) {
    std::vector<std::string> lines;
    std::function<void(const std::string&)> rec;
    {
        std::lock_guard lock(mu);
        const auto bt = byteTime(wire.baud);
        const std::size_t n = data.size();
        // Bytes read together were written no earlier than now and then needed
        // their wire time, one after the other.
        const Clock::time_point base =
            bt == Clock::duration::zero() ? now : std::max(now, inFreeAt);
        inFreeAt = base + bt * static_cast<long>(n);
        const auto latency = std::chrono::milliseconds(wire.latencyMs);
        const auto gap = std::chrono::milliseconds(wire.chunkGapMs);

        for (Interpreter::Event& e : interp.feed(data)) {
            const Clock::time_point arrival = base + bt * static_cast<long>(e.at + 1);
            if (e.kind == Interpreter::Event::Kind::Echo) {
                queue(Segment{std::move(e.bytes), 0, arrival, {}, false});
                continue;
            }
            record(e.line);
            lines.push_back(e.line);
            if (e.bytes.empty()) {
                continue;
            }
            lastCommand = now;
            bool close = false;
            std::string reply = std::move(e.bytes);
            Clock::duration late{};
            std::string again;  // sent once more after `late`
            const auto fault = std::find_if(faults.begin(), faults.end(), [&](const Fault& f) {
                return startsWithNoCase(e.line, f.commandPrefix);
            });
            if (fault != faults.end()) {
                const auto kind = fault->kind;
                const auto after = std::chrono::milliseconds(fault->size != 0 ? fault->size
                                                             : kind == Fault::Kind::Late ? 1000
                                                                                         : 50);
                if (kind == Fault::Kind::Late) {
                    late = after;
                } else if (kind == Fault::Kind::Repeat || kind == Fault::Kind::StrayOk) {
                    again = kind == Fault::Kind::Repeat ? reply : "\r\nOK\r\n";
                    late = after;
                } else {
                    reply = applyFault(*fault, std::move(reply), close);
                }
                faults.erase(fault);
            }
            reply = withUnsolicited(std::move(reply));
            const Clock::time_point due =
                arrival + latency + e.delay + (again.empty() ? late : Clock::duration{});
            const std::size_t chunk = wire.chunkSize == 0 ? reply.size() : wire.chunkSize;
            std::size_t pos = 0;
            do {
                const std::size_t len = std::min(chunk, reply.size() - pos);
                queue(Segment{reply.substr(pos, len), 0, due,
                              pos == 0 ? Clock::duration::zero() : gap, false});
                pos += len;
            } while (pos < reply.size());
            out.back().closeAfter = close;
            if (!again.empty()) {
                queue(Segment{std::move(again), 0, due + late, {}, false});
            }
        }
        rec = recorder;
    }
    if (rec) {
        for (const std::string& l : lines) {
            rec(l);
        }
    }
}

std::string Simulator::Impl::applyFault(const Fault& fault, std::string reply, bool& close) {
    switch (fault.kind) {
        case Fault::Kind::Stall:
            reply.resize(std::min(reply.size(), fault.afterBytes));
            break;
        case Fault::Kind::Drop:
            reply.resize(std::min(reply.size(), fault.afterBytes));
            close = true;
            break;
        case Fault::Kind::Garbage: {
            std::uniform_int_distribution<int> byte(0, 255);
            std::string junk;
            const std::size_t size = fault.size == 0 ? 64 : fault.size;
            while (junk.size() < size) {
                const char c = static_cast<char>(byte(rng));
                if (c != '\r' && c != '\n') {
                    junk += c;
                }
            }
            reply = junk + reply;
            break;
        }
        case Fault::Kind::Oversized: {
            static constexpr std::string_view kPattern = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
            const std::size_t size = fault.size == 0 ? 30000 : fault.size;
            std::string line;
            line.reserve(size);
            for (std::size_t i = 0; i < size; ++i) {
                line += kPattern[i % kPattern.size()];
            }
            reply = "\r\n" + line + "\r\n\r\nOK\r\n";
            break;
        }
        case Fault::Kind::Late:
        case Fault::Kind::Repeat:
        case Fault::Kind::StrayOk:
            break;  // timing only: see onInput
    }
    return reply;
}

std::string Simulator::Impl::withUnsolicited(std::string reply) {
    // What a phone may report unasked while it answers: a call, a message
    // or status report stored, a change of registration, a message routed
    // to the terminal with its PDU.
    static constexpr std::string_view kCodes[] = {
        "RING",
        "+CRING: VOICE",
        "+CMTI: \"SM\",4",
        "+CDSI: \"SM\",3",
        "+CREG: 1",
        "+CREG: 1,\"00C3\",\"1A2B\"",
        "+CMT: ,23\r\n0791947106004034040C9194713254760000112070812344000341E110",
    };
    // Not inside the data prompt: the phone is taking text then.
    if (wire.unsolicitedPercent <= 0 || reply.empty() || reply.back() != '\n')
        return reply;
    std::uniform_int_distribution<int> percent(0, 99);
    if (percent(urcRng) >= wire.unsolicitedPercent)
        return reply;
    std::vector<std::size_t> places{0};
    for (std::size_t at = reply.find('\n'); at != std::string::npos; at = reply.find('\n', at + 1))
        places.push_back(at + 1);
    const std::size_t place =
        places[std::uniform_int_distribution<std::size_t>(0, places.size() - 1)(urcRng)];
    const std::string_view code =
        kCodes[std::uniform_int_distribution<std::size_t>(0, std::size(kCodes) - 1)(urcRng)];
    reply.insert(place, "\r\n" + std::string(code) + "\r\n");
    return reply;
}

// Writes every byte whose wire deadline has passed. Each byte of a segment is
// due one byte time after the one before it, counted from absolute times, so
// late wake-ups do not add up. Returns when the next byte is due.
std::optional<Clock::time_point> Simulator::Impl::flush(Clock::time_point now) {
    Clock::duration bt;
    {
        std::lock_guard lock(mu);
        bt = byteTime(wire.baud);
    }
    while (!out.empty() && !writeBlocked) {
        const Handle fd = linkFd();
        if (fd == kNone) {
            out.clear();
            outBytes = 0;
            return std::nullopt;
        }
        Segment& seg = out.front();
        Clock::time_point earliest = seg.notBefore;
        if (seg.pos == 0 && seg.gap > Clock::duration::zero()) {
            earliest = std::max(earliest, std::max(outFreeAt, lastWrite) + seg.gap);
        }
        const std::size_t left = seg.bytes.size() - seg.pos;
        if (left == 0) {
            // Nothing (more) to write, only a close, due when its bytes would be.
            const Clock::time_point when = std::max(earliest, outFreeAt);
            if (when > now) {
                return when;
            }
            if (seg.closeAfter && serving == Serving::Pty) {
                if (seg.closeBy == Clock::time_point{}) {
                    seg.closeBy = now + kDrainLimit;
                }
                const bool settled = now >= lastWrite + kDrainSettle;
                const bool drained = endpoint::ptyDrained(slaveFd);
                if (now < seg.closeBy && !(settled && drained)) {
                    return now + kDrainPoll;
                }
            }
            const bool close = seg.closeAfter;
            out.pop_front();
            if (close) {
                closeLink();
                return std::nullopt;
            }
            continue;
        }
        const Clock::time_point first = std::max(earliest, outFreeAt) + bt;
        if (first > now) {
            return first;
        }
        std::size_t due = left;
        if (bt > Clock::duration::zero()) {
            due = std::min<std::size_t>(left, 1 + static_cast<std::size_t>((now - first) / bt));
        }
        const std::ptrdiff_t n =
            endpoint::writeSome(fd, seg.bytes.data() + seg.pos, due, serving == Serving::Tcp);
        if (n == endpoint::kWouldBlock) {
            writeBlocked = true;
            return std::nullopt;
        }
        if (n < 0) {
            closeLink();
            return std::nullopt;
        }
        const auto written = static_cast<std::size_t>(n);
        if (written == 0) {
            writeBlocked = true;
            return std::nullopt;
        }
        seg.pos += written;
        outBytes -= written;
        lastActivity = now;
        outFreeAt = first + bt * static_cast<long>(written - 1);
        lastWrite = now;
        if (written < due) {
            writeBlocked = true;
            return std::nullopt;
        }
        if (seg.pos < seg.bytes.size()) {
            return outFreeAt + bt;
        }
        if (!seg.closeAfter) {
            out.pop_front();
        }
        // else the next round finds it empty and closes.
    }
    return std::nullopt;
}

Simulator::Simulator(PhoneState state, WireOptions wire, Limits limits)
    : impl_(std::make_unique<Impl>(std::move(state), wire, limits)) {}

Simulator::~Simulator() {
    stop();
}

bool Simulator::hasPty() {
    return endpoint::hasPty();
}

std::string Simulator::openPty() {
    stop();
    Impl& d = *impl_;
    endpoint::Pty pty = endpoint::openPty();
    d.masterFd = pty.master;
    d.slaveFd = pty.slave;
    d.serving = Impl::Serving::Pty;
    d.start();
    return pty.path;
}

int Simulator::listenTcp(const std::string& host, int port) {
    stop();
    Impl& d = *impl_;
    const endpoint::Listener listener = endpoint::listenTcp(host, port, kSocketBuffer);
    d.listenFd = listener.socket;
    d.serving = Impl::Serving::Tcp;
    d.start();
    return listener.port;
}

void Simulator::stop() {
    impl_->halt();
}

void Simulator::setWire(WireOptions wire) {
    std::lock_guard lock(impl_->mu);
    if (wire.unsolicitedSeed != impl_->wire.unsolicitedSeed)
        impl_->urcRng.seed(wire.unsolicitedSeed);
    impl_->wire = wire;
}

WireOptions wireFromEnvironment() {
    WireOptions wire;
    if (const char* text = std::getenv("VONDRIX_SIM_UNSOLICITED"))
        parseUnsolicited(text, wire);
    return wire;
}

bool parseUnsolicited(std::string_view text, WireOptions& wire) {
    const auto colon = text.find(':');
    const auto percent = parseNumber(text.substr(0, colon));
    if (!percent || *percent < 0 || *percent > 100)
        return false;
    unsigned seed = 1;
    if (colon != std::string_view::npos) {
        const auto n = parseNumber(text.substr(colon + 1));
        if (!n || *n < 0)
            return false;
        seed = static_cast<unsigned>(*n);
    }
    wire.unsolicitedPercent = *percent;
    wire.unsolicitedSeed = seed;
    return true;
}

void Simulator::setLimits(Limits limits) {
    {
        std::lock_guard lock(impl_->mu);
        impl_->limits = limits;
        impl_->trimRecord();
    }
    impl_->wake();  // a raised cap or a shorter idle limit applies at once
}

void Simulator::injectFault(Fault fault) {
    std::lock_guard lock(impl_->mu);
    impl_->faults.push_back(std::move(fault));
}

std::vector<std::string> Simulator::receivedLines() const {
    std::lock_guard lock(impl_->mu);
    return {impl_->received.begin(), impl_->received.end()};
}

std::size_t Simulator::droppedLines() const {
    std::lock_guard lock(impl_->mu);
    return impl_->dropped;
}

void Simulator::clearReceived() {
    std::lock_guard lock(impl_->mu);
    impl_->received.clear();
    impl_->receivedBytes = 0;
    impl_->dropped = 0;
}

std::size_t Simulator::peakPendingOutput() const {
    return impl_->peakOut.load(std::memory_order_relaxed);
}

void Simulator::setRecorder(std::function<void(const std::string&)> recorder) {
    std::lock_guard lock(impl_->mu);
    impl_->recorder = std::move(recorder);
}

void Simulator::withState(const std::function<void(PhoneState&)>& fn) {
    std::lock_guard lock(impl_->mu);
    fn(impl_->state);
}

void Simulator::addCommand(const std::string& name, Handler handler, ErrorClass errors) {
    std::lock_guard lock(impl_->mu);
    impl_->interp.commands().add(name, std::move(handler), errors);
}

}  // namespace phonesim
