#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

#include "foundation/Language.h"
#include "foundation/Reporter.h"

namespace vondrix::gui {

class ProgressWindow;

// Message boxes with the catalogue text and the program's captions; the
// progress windows; the message pump.
class GuiReporter : public Reporter {
  public:
    explicit GuiReporter(Language language);
    ~GuiReporter() override;

    // The window that owns the message boxes (none: ownerless, as at start-up).
    void setOwner(QWidget* owner) { owner_ = owner; }

    Answer message(msg::Id id, Caption caption, Buttons buttons) override;
    void text(const std::string& utf8Text, Caption caption) override;
    std::optional<std::string> askPin2() override;
    void progressBegin(Display display, int total, Task task) override;
    void progressStep(int done) override;
    void progressEnd() override;
    void progressTimes(int elapsedSeconds, int estimatedSeconds) override;
    bool cancelled() override;
    void pump() override;

  private:
    // The window boxes and dialogs belong to: the modal window the user
    // works in (a feature window, or a dialog it runs), else the owner, so
    // that they show on top of what the user is looking at.
    QWidget* parentWindow() const;

    Language language_;
    QPointer<QWidget> owner_;
    std::unique_ptr<ProgressWindow> progress_;
};

}  // namespace vondrix::gui
