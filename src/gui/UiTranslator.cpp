#include "gui/UiTranslator.h"

namespace vondrix::gui {
namespace {

const char* column(const UiText& t, Language lang) {
    switch (lang) {
        case Language::German:
            return t.de;
        case Language::Spanish:
            return t.es;
        case Language::French:
            return t.fr;
        case Language::Italian:
            return t.it;
        case Language::Dutch:
            return t.nl;
        case Language::Norwegian:
            return t.no;
        case Language::Portuguese:
            return t.pt;
        case Language::English:
            break;
    }
    return t.en;
}

}  // namespace

UiTranslator::UiTranslator(Language language, QObject* parent)
    : QTranslator(parent), language_(language) {
    std::size_t count = 0;
    const UiText* table = uiTexts(count);
    for (std::size_t i = 0; i < count; ++i) {
        const char* text = column(table[i], language);
        if (text && *text)
            texts_.insert(QByteArray(table[i].en), QString::fromUtf8(text));
    }
}

QString UiTranslator::translate(const char*, const char* sourceText, const char*, int) const {
    if (!sourceText)
        return {};
    return texts_.value(QByteArray(sourceText));
}

}  // namespace vondrix::gui
