// The compiled-in dialog and menu texts through UiTranslator: every window's
// table is in the one Qt asks, and every language answers every row. What
// the tables hold against the sources is checked by scripts/check-ui-texts.py.

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "gui/UiTranslator.h"

using vondrix::Language;
using vondrix::gui::UiText;
using vondrix::gui::UiTranslator;

class UiTextsTest : public QObject {
    Q_OBJECT

  private slots:
    void everyLanguageAnswersEveryRowAndQtsButtons();
};

void UiTextsTest::everyLanguageAnswersEveryRowAndQtsButtons() {
    std::size_t count = 0;
    const UiText* rows = vondrix::gui::uiTexts(count);
    // Every table of the sources (the rows scripts/check-ui-texts.py reads) is
    // in the one the translator uses.
    const QDir dir(QStringLiteral(VONDRIX_GUI_SOURCE_DIR));
    qsizetype written = 0;
    for (const QString& name : dir.entryList({QStringLiteral("UiTexts*.cpp")})) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::ReadOnly));
        written += f.readAll().count(".en = ");
    }
    QCOMPARE(qsizetype(count), written);

    const struct {
        Language language;
        const char* UiText::*field;
    } columns[] = {{Language::English, &UiText::en},   {Language::German, &UiText::de},
                   {Language::Spanish, &UiText::es},   {Language::French, &UiText::fr},
                   {Language::Italian, &UiText::it},   {Language::Dutch, &UiText::nl},
                   {Language::Norwegian, &UiText::no}, {Language::Portuguese, &UiText::pt}};
    for (const auto& c : columns) {
        const UiTranslator translator(c.language);
        QCOMPARE(translator.language(), c.language);
        for (std::size_t i = 0; i < count; ++i)
            QCOMPARE(translator.translate("", rows[i].en, nullptr, -1),
                     QString::fromUtf8(rows[i].*c.field));
        // A text the table lacks is left to Qt, which shows it in English.
        QVERIFY(translator.translate("MainWindow", "No such text", nullptr, -1).isEmpty());
    }

    // Qt's standard buttons ask the installed translator with Qt's own texts.
    UiTranslator german(Language::German);
    QVERIFY(QCoreApplication::installTranslator(&german));
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));
    QMessageBox question;
    question.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(question.button(QMessageBox::Yes)->text(), QStringLiteral("&Ja"));
    QCOMPARE(question.button(QMessageBox::No)->text(), QStringLiteral("&Nein"));
    QVERIFY(QCoreApplication::removeTranslator(&german));
}

QTEST_MAIN(UiTextsTest)
#include "UiTextsTest.moc"
