// winsock2.h first: windows.h would otherwise bring the old winsock.h.
#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>
#include <cwctype>
#include <thread>

#include "link/PhoneLink.h"

namespace vondrix {
namespace {

// A serial write of one byte that takes longer than this has met a stuck
// port: the link failed.
constexpr DWORD kWriteLimitMs = 5000;

std::wstring wide(const std::string& utf8) {
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(std::max(n, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, out.data(), n);
    return out;
}

// The system's own words for `error`, in UTF-8, without the line end.
std::string systemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::string out;
    if (n > 0) {
        const int size = static_cast<int>(n);
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, size, nullptr, 0, nullptr, nullptr);
        out.resize(static_cast<std::size_t>(std::max(bytes, 0)));
        WideCharToMultiByte(CP_UTF8, 0, text, size, out.data(), bytes, nullptr, nullptr);
    }
    LocalFree(text);
    while (!out.empty() && std::isspace(static_cast<unsigned char>(out.back())))
        out.pop_back();
    return out.empty() ? "error " + std::to_string(error) : out;
}

// "COM5" is opened as "\\.\COM5": past COM9 a port has no other name. Any
// other name is taken as given.
std::wstring deviceName(const std::string& path) {
    const bool comPort =
        path.size() > 3 &&
        std::equal(
            path.begin(), path.begin() + 3, "COM",
            [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; }) &&
        std::all_of(path.begin() + 3, path.end(),
                    [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
    return comPort ? L"\\\\.\\" + wide(path) : wide(path);
}

// The name of a port's lock: the device name in capitals, without the
// backslashes a kernel object name may not hold.
std::wstring portLockName(const std::string& path) {
    std::wstring name = L"Local\\Vondrix.port.";
    for (wchar_t c : deviceName(path))
        name += c == L'\\' ? L'_' : static_cast<wchar_t>(std::towupper(c));
    return name;
}

SerialOpenError::Reason reasonOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return SerialOpenError::Reason::Missing;
        case ERROR_ACCESS_DENIED:  // a COM port is open to one program only
        case ERROR_SHARING_VIOLATION:
            return SerialOpenError::Reason::Busy;
        default:
            return SerialOpenError::Reason::Other;
    }
}

// Reads return at once with what has arrived (`waitMs` 0), or as soon as a
// byte arrives and at the latest after `waitMs`; never a wait without bound.
bool setReadWait(HANDLE port, DWORD waitMs) {
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = MAXDWORD;
    t.ReadTotalTimeoutMultiplier = waitMs > 0 ? MAXDWORD : 0;
    t.ReadTotalTimeoutConstant = waitMs;
    t.WriteTotalTimeoutMultiplier = 0;
    t.WriteTotalTimeoutConstant = kWriteLimitMs;
    return SetCommTimeouts(port, &t) != 0;
}

// Bytes the port holds, or nullopt when it failed (unplugged, closed).
std::optional<DWORD> queued(HANDLE port) {
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(port, &errors, &status))
        return std::nullopt;
    return status.cbInQue;
}

HANDLE portOf(PhoneLink::NativeHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

SOCKET socketOf(PhoneLink::NativeHandle handle) {
    return static_cast<SOCKET>(handle);
}

int socketWait(std::chrono::milliseconds wait) {
    return static_cast<int>(std::clamp<long long>(wait.count(), 0, 1 << 30));
}

}  // namespace

bool PhoneLink::networkStackReady() {
    // Started once for the run, by whichever thread asks first.
    static const bool started = [] {
        WSADATA data{};
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

void PhoneLink::close() {
    if (handle_ >= 0) {
        if (isSocket())
            closesocket(socketOf(handle_));
        else
            CloseHandle(portOf(handle_));
    }
    if (lock_ != kNoHandle)
        CloseHandle(portOf(lock_));
    handle_ = kNoHandle;
    lock_ = kNoHandle;
    mode_ = Mode::None;
    waited_.clear();
    failed_ = false;
}

PhoneLink PhoneLink::openSerial(const std::string& path, int settleMs, SerialOpenError* error) {
    HANDLE port = INVALID_HANDLE_VALUE;
    auto fail = [&](DWORD why, SerialOpenError::Reason reason) {
        if (error) {
            error->reason = reason;
            error->detail = systemMessage(why);
        }
        if (port != INVALID_HANDLE_VALUE)
            CloseHandle(port);
        return PhoneLink{};
    };
    if (path.empty())
        return fail(ERROR_FILE_NOT_FOUND, SerialOpenError::Reason::Missing);
    // Share mode 0: while the link holds the port, a second program, or a
    // second run of this one, finds it in use.
    port = CreateFileW(deviceName(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                       OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        const DWORD why = GetLastError();
        return fail(why, reasonOf(why));
    }
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(port, &dcb))
        return fail(GetLastError(), SerialOpenError::Reason::NotSerial);
    dcb.BaudRate = CBR_19200;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    if (!SetCommState(port, &dcb) || !setReadWait(port, 0)) {
        const DWORD why = GetLastError();
        return fail(why, reasonOf(why));
    }
    // Windows itself keeps a second program off the port; Wine does not, so
    // the link also holds a named lock of the port, as the POSIX link holds
    // flock: a second run of this program finds the port in use there too.
    HANDLE lock = CreateMutexW(nullptr, FALSE, portLockName(path).c_str());
    if (lock == nullptr)
        return fail(GetLastError(), SerialOpenError::Reason::Other);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(lock);
        return fail(ERROR_SHARING_VIOLATION, SerialOpenError::Reason::Busy);
    }
    PurgeComm(port, PURGE_RXCLEAR | PURGE_TXCLEAR);
    if (settleMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
    PhoneLink link(reinterpret_cast<NativeHandle>(port), Mode::Serial);
    link.lock_ = reinterpret_cast<NativeHandle>(lock);
    return link;
}

PhoneLink PhoneLink::adoptSocket(NativeHandle socket) {
    return socket >= 0 ? PhoneLink(socket, Mode::Socket) : PhoneLink{};
}

PhoneLink PhoneLink::connectTcp(const std::string& host, int port, std::string* error) {
    const std::string service = std::to_string(port);
    if (!networkStackReady()) {
        if (error)
            *error = "cannot connect to " + host + ":" + service + ": no network stack";
        return {};
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* res = nullptr;
    if (const int rc = getaddrinfo(host.c_str(), service.c_str(), &hints, &res); rc != 0) {
        if (error)
            *error = "cannot resolve " + host + ": " + systemMessage(static_cast<DWORD>(rc));
        return {};
    }
    SOCKET s = INVALID_SOCKET;
    std::string why = "no address";
    for (addrinfo* ai = res; ai; ai = ai->ai_next) {
        s = ::socket(ai->ai_family, ai->ai_socktype, ai->ai_protocol);
        if (s == INVALID_SOCKET) {
            why = systemMessage(static_cast<DWORD>(WSAGetLastError()));
            continue;
        }
        // Not inherited by programs started meanwhile.
        SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
        if (::connect(s, ai->ai_addr, static_cast<int>(ai->ai_addrlen)) == 0)
            break;
        why = systemMessage(static_cast<DWORD>(WSAGetLastError()));
        closesocket(s);
        s = INVALID_SOCKET;
    }
    freeaddrinfo(res);
    if (s == INVALID_SOCKET) {
        if (error)
            *error = "cannot connect to " + host + ":" + service + ": " + why;
        return {};
    }
    const BOOL one = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
    return PhoneLink(static_cast<NativeHandle>(s), Mode::Socket);
}

bool PhoneLink::writeAll(std::string_view data) {
    std::size_t off = 0;
    while (off < data.size()) {
        if (isSocket()) {
            const int want = static_cast<int>(std::min<std::size_t>(data.size() - off, 1 << 30));
            const int n = send(socketOf(handle_), data.data() + off, want, 0);
            if (n == SOCKET_ERROR && WSAGetLastError() == WSAEINTR)
                continue;
            if (n <= 0)
                return false;
            off += static_cast<std::size_t>(n);
        } else {
            // One byte per call, as a slow phone wants it.
            DWORD written = 0;
            if (!WriteFile(portOf(handle_), data.data() + off, 1, &written, nullptr) ||
                written == 0)
                return false;
            off += written;
        }
    }
    return true;
}

bool PhoneLink::waitReadable(std::chrono::milliseconds wait) {
    if (isSocket()) {
        WSAPOLLFD p{};
        p.fd = socketOf(handle_);
        p.events = POLLRDNORM;
        // Data, or a hang-up that the read will report.
        return WSAPoll(&p, 1, socketWait(wait)) > 0;
    }
    // A port cannot be waited on without reading: the wait reads what comes
    // first, and the next read() returns it.
    if (!waited_.empty() || failed_)
        return true;
    const HANDLE port = portOf(handle_);
    const auto inQueue = queued(port);
    if (!inQueue || *inQueue > 0) {
        failed_ = !inQueue;
        return true;
    }
    const auto waitMs = static_cast<DWORD>(std::clamp<long long>(wait.count(), 0, MAXDWORD - 1));
    if (waitMs == 0 || !setReadWait(port, waitMs))
        return false;
    // One byte: Wine's read in this mode waits for the whole count (or the
    // time-out) rather than for the first byte; the rest is queued for the
    // read that follows.
    char first = 0;
    DWORD got = 0;
    if (!ReadFile(port, &first, 1, &got, nullptr)) {
        failed_ = true;
        return true;
    }
    waited_.assign(got, first);
    return got > 0;
}

std::optional<std::size_t> PhoneLink::read(char* into, std::size_t size) {
    if (isSocket()) {
        const int n = recv(socketOf(handle_), into,
                           static_cast<int>(std::min<std::size_t>(size, 1 << 30)), 0);
        if (n == SOCKET_ERROR &&
            (WSAGetLastError() == WSAEINTR || WSAGetLastError() == WSAEWOULDBLOCK))
            return 0;
        if (n <= 0)
            return std::nullopt;
        return static_cast<std::size_t>(n);
    }
    // What the wait took first, then what has arrived since.
    const std::size_t n = waited_.copy(into, size);
    waited_.erase(0, n);
    if (n < size && !failed_) {
        const HANDLE port = portOf(handle_);
        const auto inQueue = queued(port);
        if (inQueue && *inQueue == 0)
            return n;
        // With bytes in the queue a read returns at once, whatever wait is set.
        DWORD got = 0;
        const auto want = static_cast<DWORD>(std::min<std::size_t>(size - n, inQueue.value_or(0)));
        if (inQueue && ReadFile(port, into + n, want, &got, nullptr))
            return n + got;
        failed_ = true;
    }
    // Bytes taken before a failure first; the failure on the next read.
    if (n > 0 || !failed_)
        return n;
    return std::nullopt;
}

}  // namespace vondrix
