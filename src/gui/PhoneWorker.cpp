#include "gui/PhoneWorker.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <algorithm>

namespace vondrix::gui {
namespace {

PhoneWorker* theWorker = nullptr;

bool isInput(const QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
            return true;
        case QEvent::Close:
            return event->spontaneous();  // the close box; a program's close() goes through
        default:
            return false;
    }
}

}  // namespace

PhoneWorker& PhoneWorker::instance() {
    if (!theWorker) {
        theWorker = new PhoneWorker;
        // The thread ends with the application, before the windows' objects go.
        qAddPostRoutine(&PhoneWorker::stop);
    }
    return *theWorker;
}

void PhoneWorker::stop() {
    delete theWorker;
    theWorker = nullptr;
}

PhoneWorker::PhoneWorker() {
    thread_.setObjectName(QStringLiteral("phone"));
    context_ = new QObject;
    context_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, context_, &QObject::deleteLater);
    thread_.start();
}

PhoneWorker::~PhoneWorker() {
    thread_.quit();
    thread_.wait();
}

bool PhoneWorker::eventFilter(QObject* watched, QEvent* event) {
    if (depth_ > 0 && watched->isWidgetType() && isInput(event) &&
        !watched->property(kLiveProperty).toBool()) {
        const QWidget* window = static_cast<QWidget*>(watched)->window();
        if (std::find(held_.begin(), held_.end(), window) != held_.end())
            return true;
    }
    return QObject::eventFilter(watched, event);
}

PhoneWorker::Scope::Scope(PhoneWorker& worker) : worker_(worker), saved_(worker.held_) {
    if (worker_.depth_++ == 0)
        qApp->installEventFilter(&worker_);
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible())
            worker_.held_.emplace_back(top);
}

PhoneWorker::Scope::~Scope() {
    worker_.held_ = std::move(saved_);
    if (--worker_.depth_ == 0)
        qApp->removeEventFilter(&worker_);
}

}  // namespace vondrix::gui
