#include "gui/GuiReporter.h"

#include <QApplication>
#include <QMessageBox>

#include "foundation/Catalogue.h"
#include "gui/PhoneWorker.h"
#include "gui/Pin2Dialog.h"
#include "gui/ProgressWindow.h"

namespace vondrix::gui {

GuiReporter::GuiReporter(Language language) : language_(language) {}
GuiReporter::~GuiReporter() = default;

QWidget* GuiReporter::parentWindow() const {
    if (QWidget* window = QApplication::activeModalWidget())
        return window;
    return owner_;
}

// Called on the phone worker, each method runs on the UI thread: a box or
// question waits there while the worker waits for its answer.

Answer GuiReporter::message(msg::Id id, Caption caption, Buttons buttons) {
    if (!onUiThread())
        return gui::onUiThread([&] { return message(id, caption, buttons); });
    const QString text =
        QString::fromUtf8(catalogueText(id, language_).data(),
                          static_cast<qsizetype>(catalogueText(id, language_).size()));
    const QString title = QString::fromLatin1(captionText(caption));
    switch (buttons) {
        case Buttons::Ok:
            if (caption == Caption::Error)
                QMessageBox::warning(parentWindow(), title, text);
            else
                QMessageBox::information(parentWindow(), title, text);
            return Answer::Ok;
        case Buttons::YesNo:
            return QMessageBox::question(parentWindow(), title, text,
                                         QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes
                       ? Answer::Yes
                       : Answer::No;
        case Buttons::RetryCancel:
            return QMessageBox::warning(parentWindow(), title, text,
                                        QMessageBox::Retry | QMessageBox::Cancel) ==
                           QMessageBox::Retry
                       ? Answer::Retry
                       : Answer::Cancel;
    }
    return Answer::Ok;
}

void GuiReporter::text(const std::string& utf8Text, Caption caption) {
    if (!onUiThread())
        return gui::onUiThread([&] { text(utf8Text, caption); });
    QWidget* owner =
        QApplication::focusWidget() ? QApplication::focusWidget()->window() : owner_.data();
    const QString title = QString::fromLatin1(captionText(caption));
    if (caption == Caption::Error)
        QMessageBox::critical(owner, title, QString::fromStdString(utf8Text));
    else
        QMessageBox::information(owner, title, QString::fromStdString(utf8Text));
}

std::optional<std::string> GuiReporter::askPin2() {
    return gui::onUiThread([this] { return Pin2Dialog::ask(parentWindow()); });
}

void GuiReporter::progressBegin(Display display, int total, Task) {
    gui::onUiThread([&] {
        progress_ =
            std::make_unique<ProgressWindow>(ProgressWindow::kindFor(display), parentWindow());
        progress_->start(total);
    });
    pump();
}

// Steps and times do not wait: the window shows them when the UI gets to them.
void GuiReporter::progressStep(int done) {
    postToUiThread([this, done] {
        if (progress_)
            progress_->setValue(done);
    });
    pump();
}

void GuiReporter::progressEnd() {
    gui::onUiThread([this] { progress_.reset(); });
}

void GuiReporter::progressTimes(int elapsedSeconds, int estimatedSeconds) {
    postToUiThread([this, elapsedSeconds, estimatedSeconds] {
        if (progress_)
            progress_->setTimes(elapsedSeconds, estimatedSeconds);
    });
}

bool GuiReporter::cancelled() {
    return gui::onUiThread([this] { return progress_ && progress_->cancelRequested(); });
}

void GuiReporter::pump() {
    // On the worker the UI runs on its own; an operation still run on the UI
    // thread lets events through between its transactions.
    if (onUiThread())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace vondrix::gui
