#pragma once

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <exception>
#include <optional>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <vector>

namespace vondrix::gui {

// True on the thread that owns the windows (or when there is no application).
inline bool onUiThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

namespace detail {
// How many calls of the worker the UI thread is running now (UI thread only):
// the worker waits for each of them.
inline int servingTheWorker = 0;
}  // namespace detail

// Thrown on the worker when the UI thread cannot take a call: there is no
// application object to queue it to, or the call was dropped unrun (the
// application going away). No answer is made up: the operation ends as on
// any other exception, which `PhoneWorker::run` rethrows on the UI thread.
class UiThreadUnavailable : public std::runtime_error {
  public:
    UiThreadUnavailable() : std::runtime_error("the UI thread took no call") {}
};

// Runs `f` on the UI thread and returns its result, waiting for it: the
// reporter's questions and message boxes block the worker, never the UI.
// An exception thrown by `f` is rethrown here, on the worker.
template <class F>
auto onUiThread(F&& f) -> std::invoke_result_t<F&> {
    using R = std::invoke_result_t<F&>;
    if (onUiThread())
        return f();
    std::conditional_t<std::is_void_v<R>, bool, std::optional<R>> result{};
    std::exception_ptr error;
    const bool queued = QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [&] {
            ++detail::servingTheWorker;
            try {
                if constexpr (std::is_void_v<R>) {
                    f();
                    result = true;
                } else {
                    result.emplace(f());
                }
            } catch (...) {
                error = std::current_exception();
            }
            --detail::servingTheWorker;
        },
        Qt::BlockingQueuedConnection);
    if (error)
        std::rethrow_exception(error);
    if (!queued || !result)
        throw UiThreadUnavailable();
    if constexpr (!std::is_void_v<R>)
        return std::move(*result);
}

// Hands `f` to the UI thread without waiting (progress steps); on the UI
// thread it runs at once.
template <class F>
void postToUiThread(F f) {
    if (onUiThread())
        f();
    else
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(f), Qt::QueuedConnection);
}

// The one thread that talks to the phone for the whole run. A window hands
// it an operation with `run`, which waits in a local event loop, so the
// windows keep painting, timers fire and the progress window's Cancel
// answers; the windows that were open when the operation started take no
// input until it returns (new windows do: the progress window, message
// boxes, the PIN2 prompt). One operation at a time: timers ask `busy()`
// and skip their tick.
class PhoneWorker : public QObject {
    Q_OBJECT
  public:
    static PhoneWorker& instance();
    // A widget with this property set takes input while an operation runs
    // in its window (a Cancel inside the window).
    static constexpr const char* kLiveProperty = "liveDuringPhoneWork";

    // An operation is running (ask on the UI thread).
    static bool busy() { return instance().depth_ > 0; }

    // Runs `f` on the worker and returns its result (exceptions rethrown
    // here). Called on the worker itself, `f` runs in place; so it does on
    // the UI thread while the worker waits for it (an operation's dialog
    // that has an operation of its own: the options at start-up), as the
    // worker could not take it and touches nothing meanwhile.
    template <class F>
    auto run(F&& f) -> std::invoke_result_t<F&> {
        using R = std::invoke_result_t<F&>;
        if (QThread::currentThread() == &thread_ ||
            (gui::onUiThread() && detail::servingTheWorker > 0))
            return f();
        std::conditional_t<std::is_void_v<R>, bool, std::optional<R>> result{};
        std::exception_ptr error;
        QEventLoop loop;
        bool finished = false;
        Scope scope(*this);
        QMetaObject::invokeMethod(
            context_,
            [&] {
                try {
                    if constexpr (std::is_void_v<R>)
                        f();
                    else
                        result.emplace(f());
                } catch (...) {
                    error = std::current_exception();
                }
                QMetaObject::invokeMethod(
                    &loop,
                    [&] {
                        finished = true;
                        loop.quit();
                    },
                    Qt::QueuedConnection);
            },
            Qt::QueuedConnection);
        while (!finished)
            loop.exec();
        if (error)
            std::rethrow_exception(error);
        if constexpr (!std::is_void_v<R>)
            return std::move(*result);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    PhoneWorker();
    ~PhoneWorker() override;
    static void stop();

    // Counts the running operation and keeps input from the windows it began in.
    class Scope {
      public:
        explicit Scope(PhoneWorker& worker);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

      private:
        PhoneWorker& worker_;
        std::vector<QPointer<QWidget>> saved_;
    };

    QThread thread_;
    QObject* context_ = nullptr;  // lives on the worker: what operations are queued to
    int depth_ = 0;
    std::vector<QPointer<QWidget>> held_;  // windows that take no input meanwhile
};

// Runs `f` on the phone worker.
template <class F>
auto onPhone(F&& f) {
    return PhoneWorker::instance().run(std::forward<F>(f));
}

}  // namespace vondrix::gui
