#pragma once

// A started session on the simulated phone, with its own settings file, for
// the tests that drive the real windows.

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "foundation/Catalogue.h"
#include "foundation/IniFile.h"
#include "gui/UiTranslator.h"
#include "phonesim/Simulator.h"
#include "session/Startup.h"
#include "support/SimulatorLink.h"

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
    phonesim::PhoneState phone() const { return test::phoneOf(*sim); }
    // A key of the settings file as written, "-" when it is missing.
    QString iniValue(const char* key) const {
        return QString::fromStdString(
            IniFile(iniPath.toStdString()).getString("Vondrix", key, "-"));
    }
    QStringList iniValues(std::initializer_list<const char*> keys) const {
        QStringList out;
        for (const char* key : keys)
            out << iniValue(key);
        return out;
    }

    QTemporaryDir dir;
    QString iniPath;
    std::unique_ptr<phonesim::Simulator> sim;
    std::unique_ptr<Session> session;
    ReporterType reporter;
    StartupResult started = StartupResult::NoLink;
};

// The widgets and texts the window tests look at and click.

template <typename T>
T* child(QObject& w, const char* name) {
    T* c = w.findChild<T*>(QString::fromLatin1(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}

inline QString labelText(QObject& w, const char* name) {
    return child<QLabel>(w, name)->text();
}

inline QStringList labelTexts(QObject& w, std::initializer_list<const char*> names) {
    QStringList out;
    for (const char* name : names)
        out << labelText(w, name);
    return out;
}

// The window, shown and on the screen.
template <typename W>
std::unique_ptr<W> shown(std::unique_ptr<W> w) {
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get()))
        qFatal("window not shown");
    return w;
}

inline QByteArray fileContent(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QString writeFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

inline QString catalogue(int id, Language language = Language::English) {
    const auto t = catalogueText(id, language);
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

// Every row as its cells joined by '|', in list order.
inline QStringList rows(const QTreeWidget* list) {
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < list->columnCount(); ++c)
            cells << list->topLevelItem(i)->text(c);
        out << cells.join(u'|');
    }
    return out;
}

inline QStringList headers(const QTreeWidget* list) {
    QStringList out;
    for (int c = 0; c < list->columnCount(); ++c)
        out << list->headerItem()->text(c);
    return out;
}

inline QList<int> widths(const QTreeWidget* list) {
    QList<int> out;
    for (int c = 0; c < list->columnCount(); ++c)
        out << list->header()->sectionSize(c);
    return out;
}

inline QStringList column(const QTreeWidget* list, int c) {
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        out << list->topLevelItem(i)->text(c);
    return out;
}

inline QStringList actionTexts(const QMenu* menu) {
    QStringList out;
    for (const QAction* a : menu->actions())
        out << a->text();
    return out;
}

inline QString statusLine(QObject& w) {
    return child<QStatusBar>(w, "statusLine")->currentMessage();
}

inline QTreeWidgetItem* rowWith(QTreeWidget* list, const QString& text, int c) {
    const auto found = list->findItems(text, Qt::MatchExactly, c);
    if (found.isEmpty())
        qFatal("no row %s", qPrintable(text));
    return found.front();
}

inline QPoint centreOf(QTreeWidget* list, QTreeWidgetItem* item) {
    list->scrollToItem(item);
    return list->visualItemRect(item).center();
}

// Clicks a row, as the user does before a command.
inline void clickRow(QTreeWidget* list, QTreeWidgetItem* item) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centreOf(list, item));
    QCOMPARE(list->currentItem(), item);
}

// The view takes a double click only on the row the press was on.
inline void doubleClickRow(QTreeWidget* list, QTreeWidgetItem* item) {
    const QPoint at = centreOf(list, item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

inline void clickHeader(QTreeWidget* list, int c) {
    QHeaderView* h = list->header();
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                      QPoint(h->sectionViewportPosition(c) + 5, h->height() / 2));
}

inline void clickButton(QDialog& d, QDialogButtonBox::StandardButton which) {
    QTest::mouseClick(child<QDialogButtonBox>(d, "buttonBox")->button(which), Qt::LeftButton);
}

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
