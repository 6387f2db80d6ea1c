#pragma once

#include <QHash>
#include <QTranslator>
#include <span>

#include "foundation/Language.h"

namespace vondrix::gui {

// Dialog and menu texts in the eight languages. The program's windows are
// written with English source texts (tr()); this translator looks them up
// in the compiled-in table of the run's language. A text missing in that
// language falls back to English, the source text.
class UiTranslator : public QTranslator {
    Q_OBJECT
  public:
    explicit UiTranslator(Language language, QObject* parent = nullptr);

    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override;
    bool isEmpty() const override { return false; }

    Language language() const { return language_; }

  private:
    Language language_;
    QHash<QByteArray, QString> texts_;
};

// One row of the table: the English source text and its translations.
struct UiText {
    const char* en;
    const char* de;
    const char* es;
    const char* fr;
    const char* it;
    const char* nl;
    const char* no;
    const char* pt;
};
// All rows; each window's texts live in a table of their own.
const UiText* uiTexts(std::size_t& count);
std::span<const UiText> mainUiTexts();       // main window, options, about, progress
std::span<const UiText> phonebookUiTexts();  // phonebook window and its dialogs
std::span<const UiText> printUiTexts();      // phonebook printing
std::span<const UiText> mediaUiTexts();      // logo and ringtone commands, transfer window
std::span<const UiText> organizerUiTexts();  // organizer window and its edit dialog
std::span<const UiText> networkUiTexts();    // network and call service windows
std::span<const UiText> smsUiTexts();        // the message windows
std::span<const UiText> backupUiTexts();     // backup and restore dialogs, vCard import

}  // namespace vondrix::gui
