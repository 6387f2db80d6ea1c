// The compiled-in dialog and menu texts: every translatable text of the
// program's windows has a translation in every language, the translations
// keep placeholders and accelerators, and Qt finds them through UiTranslator.

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtTest>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "gui/UiTranslator.h"

using vondrix::Language;
using vondrix::gui::UiText;
using vondrix::gui::UiTranslator;

namespace {

// ---- Scanning the sources for translatable texts --------------------------

bool isIdentChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    return std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
}

// The index after the blanks and comments that start at i.
std::size_t skipBlanks(const std::string& s, std::size_t i) {
    while (i < s.size()) {
        if (std::isspace(static_cast<unsigned char>(s[i])) != 0) {
            ++i;
        } else if (s.compare(i, 2, "//") == 0) {
            i = s.find('\n', i);
            if (i == std::string::npos)
                return s.size();
        } else if (s.compare(i, 2, "/*") == 0) {
            i = s.find("*/", i + 2);
            if (i == std::string::npos)
                return s.size();
            i += 2;
        } else {
            break;
        }
    }
    return i;
}

// Decodes the ordinary literal whose opening quote is at i; returns the index
// after its closing quote. The bytes are those the compiler would store.
std::size_t readQuoted(const std::string& s, std::size_t i, std::string& out) {
    ++i;
    while (i < s.size() && s[i] != '"') {
        char c = s[i++];
        if (c != '\\' || i >= s.size()) {
            out += c;
            continue;
        }
        c = s[i++];
        switch (c) {
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case 'a':
                out += '\a';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'v':
                out += '\v';
                break;
            case 'x': {
                int v = 0;
                while (i < s.size() && std::isxdigit(static_cast<unsigned char>(s[i])) != 0)
                    v = v * 16 + hexValue(s[i++]);
                out += static_cast<char>(v);
                break;
            }
            default:
                if (c >= '0' && c <= '7') {
                    int v = c - '0';
                    for (int k = 0; k < 2 && i < s.size() && s[i] >= '0' && s[i] <= '7'; ++k)
                        v = v * 8 + (s[i++] - '0');
                    out += static_cast<char>(v);
                } else {
                    out += c;  // \\ \" \' \?
                }
        }
    }
    return i < s.size() ? i + 1 : i;
}

// A raw literal R"delim(...)delim" whose quote is at i.
std::size_t readRaw(const std::string& s, std::size_t i, std::string& out) {
    const std::size_t open = s.find('(', i);
    if (open == std::string::npos)
        return s.size();
    const std::string close = ")" + s.substr(i + 1, open - i - 1) + "\"";
    const std::size_t end = s.find(close, open + 1);
    if (end == std::string::npos)
        return s.size();
    out += s.substr(open + 1, end - open - 1);
    return end + close.size();
}

// A string literal (with any encoding or raw prefix) starting at i: appends
// its text and returns the index after it.
std::optional<std::size_t> literalAt(const std::string& s, std::size_t i, std::string& out) {
    static const char* const kPrefixes[] = {"u8R", "uR", "UR", "LR", "R", "u8", "u", "U", "L", ""};
    for (const char* prefix : kPrefixes) {
        const std::size_t n = std::strlen(prefix);
        if (i + n >= s.size() || s.compare(i, n, prefix) != 0 || s[i + n] != '"')
            continue;
        const bool raw = n > 0 && prefix[n - 1] == 'R';
        return raw ? readRaw(s, i + n, out) : readQuoted(s, i + n, out);
    }
    return std::nullopt;
}

std::size_t skipCharLiteral(const std::string& s, std::size_t i) {
    ++i;
    while (i < s.size() && s[i] != '\'')
        i += s[i] == '\\' ? 2 : 1;
    return i + 1;
}

// The first argument of every tr("...") and QT_TR_NOOP("...") whose argument
// is made of literals (adjacent literals joined). Comments, other literals
// and character constants are skipped, so a "tr(" inside them does not count.
std::vector<std::string> trTexts(const std::string& s) {
    std::vector<std::string> texts;
    std::size_t i = 0;
    while (i < s.size()) {
        if (const std::size_t next = skipBlanks(s, i); next != i) {
            i = next;
            continue;
        }
        std::string ignored;
        if (const auto end = literalAt(s, i, ignored)) {
            i = *end;
            continue;
        }
        if (s[i] == '\'') {
            i = skipCharLiteral(s, i);
            continue;
        }
        if (!isIdentChar(s[i])) {
            ++i;
            continue;
        }
        // A word or a number (numbers may hold ' digit separators).
        const std::size_t start = i;
        const bool number = std::isdigit(static_cast<unsigned char>(s[i])) != 0;
        while (i < s.size() && (isIdentChar(s[i]) || (number && s[i] == '\'')))
            ++i;
        const std::string word = s.substr(start, i - start);
        if (word != "tr" && word != "QT_TR_NOOP")
            continue;
        std::size_t j = skipBlanks(s, i);
        if (j >= s.size() || s[j] != '(')
            continue;
        j = skipBlanks(s, j + 1);
        std::string text;
        bool any = false;
        while (const auto end = literalAt(s, j, text)) {
            any = true;
            j = skipBlanks(s, *end);
        }
        if (any) {
            texts.push_back(text);
            i = j;
        }
    }
    return texts;
}

// The <string> elements of a Designer file, except notr="true" and empty ones.
std::vector<std::string> uiStrings(const QByteArray& xml, QString* error) {
    std::vector<std::string> texts;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != u"string")
            continue;
        const bool notr = reader.attributes().value(QLatin1String("notr")) == u"true";
        const QString text = reader.readElementText();
        if (!notr && !text.isEmpty())
            texts.push_back(text.toStdString());
    }
    if (reader.hasError() && error)
        *error = reader.errorString();
    return texts;
}

// ---- Looking at the table ---------------------------------------------------

struct Column {
    const char* name;
    const char* UiText::*field;
    Language language;
};
const Column kTranslations[] = {
    {"de", &UiText::de, Language::German},     {"es", &UiText::es, Language::Spanish},
    {"fr", &UiText::fr, Language::French},     {"it", &UiText::it, Language::Italian},
    {"nl", &UiText::nl, Language::Dutch},      {"no", &UiText::no, Language::Norwegian},
    {"pt", &UiText::pt, Language::Portuguese},
};

std::vector<UiText> table() {
    std::size_t count = 0;
    const UiText* rows = vondrix::gui::uiTexts(count);
    return {rows, rows + count};
}

QString q(const char* utf8) {
    return QString::fromUtf8(utf8 ? utf8 : "");
}

// The accelerator keys of a text, lower-cased ("&&" is a literal ampersand).
QStringList accelerators(const QString& text) {
    QStringList keys;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (i + 1 < text.size() && text[i + 1] == u'&') {
            ++i;
            continue;
        }
        keys << (i + 1 < text.size() ? text.mid(i + 1, 1).toLower() : QString());
    }
    return keys;
}

// The %N markers of a text, sorted, so that their order may change.
QStringList placeholders(const QString& text) {
    static const QRegularExpression marker(QStringLiteral("%L?\\d{1,2}"));
    QStringList found;
    for (auto it = marker.globalMatch(text); it.hasNext();)
        found << it.next().captured();
    found.sort();
    return found;
}

}  // namespace

class UiTextsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void scannerReadsTrLiterals();
    void scannerReadsUiStrings();
    void everySourceTextIsTranslated();
    void englishSourcesAreUnique();
    void translationsAreValidUtf8();
    void translationsKeepPlaceholders();
    void translationsKeepOneAccelerator();
    void translationsAddNoAcceleratorClash();
    void germanTranslatorAnswersQt();
    void englishFallsBackToSource();

  private:
    struct Source {
        std::string text;
        QString file;
    };
    std::vector<Source> sources_;
    std::map<QString, std::vector<std::string>> uiFiles_;  // texts of each window file
    std::map<std::string, UiText> rows_;
};

void UiTextsTest::initTestCase() {
    const QDir dir(QStringLiteral(VONDRIX_GUI_SOURCE_DIR));
    QVERIFY2(dir.exists(), VONDRIX_GUI_SOURCE_DIR);
    std::size_t fromUi = 0;
    std::size_t fromCode = 0;
    for (const QString& name :
         dir.entryList({QStringLiteral("*.ui"), QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                       QDir::Files, QDir::Name)) {
        QFile f(dir.filePath(name));
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(name));
        const QByteArray bytes = f.readAll();
        if (name.endsWith(QStringLiteral(".ui"))) {
            QString error;
            const auto texts = uiStrings(bytes, &error);
            QVERIFY2(error.isEmpty(), qPrintable(name + QStringLiteral(": ") + error));
            uiFiles_[name] = texts;
            for (const auto& t : texts)
                sources_.push_back({t, name});
            fromUi += texts.size();
        } else {
            for (const auto& t : trTexts(bytes.toStdString())) {
                sources_.push_back({t, name});
                ++fromCode;
            }
        }
    }
    // Both kinds exist in the program; finding none means the scan is broken.
    QVERIFY(fromUi > 0);
    QVERIFY(fromCode > 0);
    for (const UiText& row : table())
        rows_.emplace(row.en ? row.en : "", row);
}

void UiTextsTest::scannerReadsTrLiterals() {
    const std::string code = R"cpp(
        // tr("commented out")
        /* tr("also out") */
        auto a = tr("Plain");
        auto b = QObject::tr(
            "Two "
            "parts");
        auto c = tr("Quote \" and\nnew line %1", "disambiguation").arg(1);
        auto d = setStr("not a tr call");
        auto e = tr(variable);
        auto f = "tr(\"inside a string\")";
        auto g = 1'000 + '"';
        auto h = tr(/* why */ "After a comment");
        auto i = QT_TR_NOOP(u8"Marked");
    )cpp";
    const std::vector<std::string> expected = {"Plain", "Two parts", "Quote \" and\nnew line %1",
                                               "After a comment", "Marked"};
    QCOMPARE(trTexts(code), expected);
}

void UiTextsTest::scannerReadsUiStrings() {
    const QByteArray ui = R"ui(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0"><widget class="QDialog" name="D">
 <property name="windowTitle"><string>Title</string></property>
 <property name="text"><string notr="true">COM1</string></property>
 <property name="text"><string>&amp;Open &lt;file&gt;</string></property>
 <property name="toolTip"><string></string></property>
</widget></ui>)ui";
    QString error;
    const std::vector<std::string> expected = {"Title", "&Open <file>"};
    QCOMPARE(uiStrings(ui, &error), expected);
    QVERIFY(error.isEmpty());
}

void UiTextsTest::everySourceTextIsTranslated() {
    QStringList missing;
    for (const Source& s : sources_) {
        const auto row = rows_.find(s.text);
        if (row == rows_.end()) {
            missing << QStringLiteral("%1: \"%2\" has no row").arg(s.file, q(s.text.c_str()));
            continue;
        }
        for (const Column& c : kTranslations) {
            const char* t = row->second.*c.field;
            if (!t || !*t)
                missing << QStringLiteral("%1: \"%2\" has no %3 text")
                               .arg(s.file, q(s.text.c_str()), QLatin1String(c.name));
        }
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(u'\n')));
}

void UiTextsTest::englishSourcesAreUnique() {
    std::set<std::string> seen;
    QStringList twice;
    for (const UiText& row : table()) {
        QVERIFY(row.en && *row.en);
        if (!seen.insert(row.en).second)
            twice << q(row.en);
    }
    QVERIFY2(twice.isEmpty(), qPrintable(twice.join(u'\n')));
}

void UiTextsTest::translationsAreValidUtf8() {
    QStringList bad;
    for (const UiText& row : table()) {
        for (const Column& c : kTranslations) {
            const QByteArray bytes(row.*c.field ? row.*c.field : "");
            if (QString::fromUtf8(bytes).toUtf8() != bytes)
                bad << QStringLiteral("%1 of \"%2\"").arg(QLatin1String(c.name), q(row.en));
        }
    }
    QVERIFY2(bad.isEmpty(), qPrintable(bad.join(u'\n')));
}

void UiTextsTest::translationsKeepPlaceholders() {
    QStringList bad;
    for (const UiText& row : table()) {
        const QStringList want = placeholders(q(row.en));
        for (const Column& c : kTranslations) {
            const char* t = row.*c.field;
            if (t && *t && placeholders(q(t)) != want)
                bad << QStringLiteral("%1: \"%2\"").arg(QLatin1String(c.name), q(t));
        }
    }
    QVERIFY2(bad.isEmpty(), qPrintable(bad.join(u'\n')));
}

// One accelerator at most, and one exactly where the English text has one.
void UiTextsTest::translationsKeepOneAccelerator() {
    QStringList bad;
    for (const UiText& row : table()) {
        const auto english = accelerators(q(row.en)).size();
        if (english > 1)
            bad << QStringLiteral("en: \"%1\"").arg(q(row.en));
        for (const Column& c : kTranslations) {
            const char* t = row.*c.field;
            if (t && *t && accelerators(q(t)).size() != std::min<qsizetype>(english, 1))
                bad << QStringLiteral("%1: \"%2\"").arg(QLatin1String(c.name), q(t));
        }
    }
    QVERIFY2(bad.isEmpty(), qPrintable(bad.join(u'\n')));
}

// Within one window file, a translation gives two controls the same key only
// where the English text already does.
void UiTextsTest::translationsAddNoAcceleratorClash() {
    QStringList bad;
    const auto clashes = [](const QStringList& keys) {
        QStringList twice;
        std::set<QString> seen;
        for (const QString& k : keys)
            if (!seen.insert(k).second)
                twice << k;
        return twice;
    };
    for (const auto& [file, texts] : uiFiles_) {
        QStringList englishKeys;
        for (const auto& t : texts)
            englishKeys << accelerators(q(t.c_str()));
        if (!clashes(englishKeys).isEmpty())
            continue;
        for (const Column& c : kTranslations) {
            QStringList keys;
            for (const auto& t : texts) {
                const auto row = rows_.find(t);
                if (row != rows_.end())
                    keys << accelerators(q(row->second.*c.field));
            }
            const QStringList twice = clashes(keys);
            if (!twice.isEmpty())
                bad << QStringLiteral("%1 %2: %3")
                           .arg(file, QLatin1String(c.name), twice.join(u' '));
        }
    }
    QVERIFY2(bad.isEmpty(), qPrintable(bad.join(u'\n')));
}

void UiTextsTest::germanTranslatorAnswersQt() {
    UiTranslator german(Language::German);
    QVERIFY(QCoreApplication::installTranslator(&german));
    QCOMPARE(QCoreApplication::translate("vondrix::gui::MainWindow", "E&xit"),
             QStringLiteral("&Beenden"));
    // Non-ASCII text arrives intact (the table is UTF-8).
    QCOMPARE(QCoreApplication::translate("MainWindow", "&Volume:"), QStringLiteral("&Lautstärke:"));
    QCOMPARE(QCoreApplication::translate("vondrix::gui::ProgressWindow", "Elapsed %1, remaining %2")
                 .arg(QStringLiteral("0:05"), QStringLiteral("0:10")),
             QStringLiteral("Dauer 0:05, Restzeit 0:10"));
    // The list holds the missed calls, not every call that came in.
    QCOMPARE(QCoreApplication::translate("PhonebookWindow", "Missed &calls:"),
             QStringLiteral("Entgan&gene Rufe:"));
    // A text the table lacks stays English.
    QCOMPARE(QCoreApplication::translate("MainWindow", "No such text"),
             QStringLiteral("No such text"));
    // Qt's own standard buttons ask the same translator.
    {
        QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));
        QMessageBox question;
        question.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(question.button(QMessageBox::Yes)->text(), QStringLiteral("&Ja"));
        QCOMPARE(question.button(QMessageBox::No)->text(), QStringLiteral("&Nein"));
    }
    QVERIFY(QCoreApplication::removeTranslator(&german));
    QCOMPARE(QCoreApplication::translate("vondrix::gui::MainWindow", "E&xit"),
             QStringLiteral("E&xit"));
}

void UiTextsTest::englishFallsBackToSource() {
    UiTranslator english(Language::English);
    QCOMPARE(english.language(), Language::English);
    QCOMPARE(english.translate("MainWindow", "E&xit", nullptr, -1), QStringLiteral("E&xit"));
    QVERIFY(english.translate("MainWindow", "No such text", nullptr, -1).isEmpty());
    QVERIFY(QCoreApplication::installTranslator(&english));
    QCOMPARE(QCoreApplication::translate("MainWindow", "E&xit"), QStringLiteral("E&xit"));
    QVERIFY(QCoreApplication::removeTranslator(&english));
    // Every other language answers every row.
    for (const Column& c : kTranslations) {
        const UiTranslator translator(c.language);
        for (const UiText& row : table())
            QCOMPARE(translator.translate("", row.en, nullptr, -1), q(row.*c.field));
    }
}

QTEST_MAIN(UiTextsTest)
#include "UiTextsTest.moc"
