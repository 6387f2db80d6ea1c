#pragma once

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <exception>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace vondrix::gui {

// True on the thread that owns the windows (or when there is no application).
inline bool onUiThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

// Runs `f` on the UI thread and returns its result, waiting for it: the
// reporter's questions and message boxes block the worker, never the UI.
template <class F>
auto onUiThread(F&& f) -> std::invoke_result_t<F&> {
    using R = std::invoke_result_t<F&>;
    if (onUiThread())
        return f();
    if constexpr (std::is_void_v<R>) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [&] { f(); }, Qt::BlockingQueuedConnection);
    } else {
        std::optional<R> result;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [&] { result.emplace(f()); },
            Qt::BlockingQueuedConnection);
        return std::move(*result);
    }
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
    // here). Called on the worker itself, `f` runs in place.
    template <class F>
    auto run(F&& f) -> std::invoke_result_t<F&> {
        using R = std::invoke_result_t<F&>;
        if (QThread::currentThread() == &thread_)
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
