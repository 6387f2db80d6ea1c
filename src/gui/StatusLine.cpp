#include "gui/StatusLine.h"

#include <QCoreApplication>
#include <QDialog>
#include <QLayout>
#include <QStatusBar>

#include "gui/Latin1Text.h"

namespace vondrix::gui {
namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("vondrix::gui::StatusLine", text);
}

}  // namespace

QStatusBar* addStatusLine(QDialog* window) {
    auto* line = new QStatusBar(window);
    line->setObjectName(QStringLiteral("statusLine"));
    line->setSizeGripEnabled(false);
    if (QLayout* layout = window->layout())
        layout->addWidget(line);
    return line;
}

QString sendSummary(const SendOutcome& outcome, bool countStored) {
    int sent = 0, stored = 0, whole = 0;
    for (const sms::SendReport& r : outcome.reports) {
        sent += r.sent;
        stored += r.stored;
        whole += r.parts > 0 && r.allSent() ? 1 : 0;
    }
    QStringList said;
    if (outcome.reports.size() == 1 && sent > 0) {
        const QString number = fromPc(outcome.numbers.empty() ? std::string() : outcome.numbers[0]);
        said << (sent == 1 ? tr("1 part sent to %1").arg(number)
                           : tr("%1 parts sent to %2").arg(sent).arg(number));
    } else if (outcome.reports.size() > 1) {
        said << tr("Sent to %1 of %2 recipients").arg(whole).arg(outcome.reports.size());
    }
    if (countStored && stored > 0)
        said << tr("%1 part(s) stored unsent").arg(stored);
    return said.join(QStringLiteral("; "));
}

}  // namespace vondrix::gui
