#pragma once

#include <QCoreApplication>
#include <QProgressBar>
#include <QString>
#include <optional>

#include "foundation/Catalogue.h"
#include "foundation/ForwardingReporter.h"
#include "gui/PhoneWorker.h"

namespace vondrix::gui {

// The backup and restore dialogs show their progress in their own bar, and
// the closing notice (`shownInDialog`, if any) in their own text instead of a
// message box; everything else goes on to the program's reporter.
class DialogProgress : public ForwardingReporter {
  public:
    DialogProgress(Reporter& inner, QProgressBar& bar, std::optional<msg::Id> shownInDialog,
                   Language language)
        : ForwardingReporter(inner),
          bar_(bar),
          shownInDialog_(shownInDialog),
          language_(language) {}

    Answer message(msg::Id id, Caption caption, Buttons buttons) override {
        if (id != shownInDialog_)
            return ForwardingReporter::message(id, caption, buttons);
        const auto text = catalogueText(id, language_);
        onUiThread(
            [&] { shown_ = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); });
        return Answer::Ok;
    }
    void progressBegin(Display, int total, Task) override {
        onUiThread([&] {
            bar_.setRange(0, total);
            bar_.setValue(0);
        });
        pump();
    }
    void progressStep(int done) override {
        postToUiThread([bar = &bar_, done] { bar->setValue(done); });
        pump();
    }
    void progressEnd() override {}
    void progressTimes(int, int) override {}
    // On the phone worker the UI runs on its own.
    void pump() override {
        if (onUiThread())
            QCoreApplication::processEvents();
    }

    QString shownText() const { return shown_; }

  private:
    QProgressBar& bar_;
    std::optional<msg::Id> shownInDialog_;
    Language language_;
    QString shown_;
};

}  // namespace vondrix::gui
