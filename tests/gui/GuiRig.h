#pragma once

// A started session on the simulated phone, with its own settings file, for
// the tests that drive the real windows.

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "gui/UiTranslator.h"
#include "phonesim/Simulator.h"
#include "session/Startup.h"

namespace vondrix::test {

template <typename ReporterType>
struct GuiRig {
    explicit GuiRig(const QString& iniBody = {},
                    const std::function<void(phonesim::PhoneState&)>& setup = {}) {
        phonesim::PhoneState state = phonesim::PhoneState::demo();
        if (setup)
            setup(state);
        sim = std::make_unique<phonesim::Simulator>(state);
        iniPath = dir.filePath(QStringLiteral("Vondrix.ini"));
        QFile f(iniPath);
        if (f.open(QIODevice::WriteOnly))
            f.write(("[Vondrix]\r\n" + iniBody).toLatin1());
        f.close();
        session = std::make_unique<Session>(iniPath.toStdString());
        StartupOptions o;
        o.link.kind = LinkOverride::Kind::Device;
        o.link.device = sim->openPty();
        o.portSettleMs = 0;
        o.resetDelayMs = 0;
        started = startUp(*session, reporter, o);
        sim->clearReceived();
    }

    std::vector<std::string> lines() const { return sim->receivedLines(); }
    bool received(const std::string& line) const {
        const auto l = lines();
        return std::find(l.begin(), l.end(), line) != l.end();
    }

    QTemporaryDir dir;
    QString iniPath;
    std::unique_ptr<phonesim::Simulator> sim;
    std::unique_ptr<Session> session;
    ReporterType reporter;
    StartupResult started = StartupResult::NoLink;
};

// The first menu command, in any language, without an accelerator or with
// the key of another command of its menu; empty when there is none.
inline QString menuKeyClash(const QList<QMenu*>& menus) {
    for (const Language language :
         {Language::English, Language::German, Language::Spanish, Language::French,
          Language::Italian, Language::Dutch, Language::Norwegian, Language::Portuguese}) {
        const gui::UiTranslator translator(language);
        for (const QMenu* menu : menus) {
            std::set<QChar> keys;
            for (const QAction* a : menu->actions()) {
                if (a->isSeparator())
                    continue;
                QString text =
                    translator.translate("", a->text().toUtf8().constData(), nullptr, -1);
                if (text.isEmpty())
                    text = a->text();
                const auto at = text.indexOf(u'&');
                if (at < 0 || !keys.insert(text[at + 1].toLower()).second)
                    return text;
            }
        }
    }
    return {};
}

}  // namespace vondrix::test
