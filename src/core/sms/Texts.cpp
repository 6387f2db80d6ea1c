#include "sms/Texts.h"

namespace vondrix::sms {

std::string memoryStateText(Language lang, int state) {
    struct Row {
        Language lang;
        const char* texts[3];
    };
    static constexpr Row kRows[] = {
        {Language::German, {"Platz vorhanden", "Puffer voll", "Puffer voll wartende Meld."}},
        {Language::Spanish, {"Memoria libre", "Memoria llena", "Memoria llena esperando msg."}},
        {Language::French,
         {"Espace disponible", "Mémoire tampon pleine",
          "Mémoire tampon pleine, message en attente"}},
        {Language::Italian,
         {"Spazio disponibile", "Memoria piena", "Memoria piena mess. in attesa"}},
        {Language::Dutch, {"Ruimte beschikbaar", "Buffer vol", "Buffer vol bericht wacht"}},
        {Language::Norwegian, {"Ledig plass", "Buffer full", "Buffer full msg. venter"}},
        {Language::Portuguese,
         {"Espaço Disponível", "Buffer Cheio", "Buffer Cheio, Msg. em Espera"}},
    };
    static constexpr const char* kOthers[3] = {"Space available", "Buffer full",
                                               "Buffer full msg. waiting"};
    if (state < 0 || state > 2)
        return std::to_string(state);
    const auto i = static_cast<std::size_t>(state);
    for (const Row& r : kRows)
        if (r.lang == lang)
            return r.texts[i];
    return kOthers[i];
}

std::string commandModeStateText(Language lang, CommandModeState state) {
    const bool german = lang == Language::German || lang == Language::Italian;
    switch (state) {
        case CommandModeState::Idle:
            return {};
        case CommandModeState::Waiting:
            return german ? "Warten" : "Waiting";
        case CommandModeState::Checking:
            return german ? "Prüfen" : "Checking";
        case CommandModeState::Processing:
            return german ? "Kommando bearbeiten" : "Processing command";
    }
    return {};
}

std::array<std::string, 6> listColumnHeaders(Language lang) {
    const auto pick = [lang](std::initializer_list<std::pair<Language, const char*>> texts,
                             const char* others) -> std::string {
        for (const auto& [l, t] : texts)
            if (l == lang)
                return t;
        return others;
    };
    using L = Language;
    return {
        pick({{L::German, "Nr."}, {L::Dutch, "Nr."}}, "#"),
        pick({{L::German, "Typ"},
              {L::Spanish, "Tipo"},
              {L::Italian, "Tipo"},
              {L::Portuguese, "Tipo"}},
             "Type"),
        pick({{L::German, "Datum"},
              {L::Dutch, "Datum"},
              {L::Spanish, "Data"},
              {L::Italian, "Data"},
              {L::Portuguese, "Data"},
              {L::Norwegian, "Dato"}},
             "Date"),
        pick({{L::German, "Absender"},
              {L::Spanish, "Mittente"},
              {L::Italian, "Mittente"},
              {L::Dutch, "Afzender"},
              {L::Portuguese, "Remetente"}},
             "Sender"),
        pick({{L::German, "Name"},
              {L::Spanish, "Nombre"},
              {L::French, "Nom"},
              {L::Italian, "Nome"},
              {L::Portuguese, "Nome"},
              {L::Dutch, "Naam"},
              {L::Norwegian, "Navn"}},
             "Name"),
        pick({{L::German, "Text"},
              {L::French, "Text"},
              {L::Spanish, "Testo"},
              {L::Italian, "Testo"},
              {L::Dutch, "Tekst"},
              {L::Norwegian, "Tekst"},
              {L::Portuguese, "Texto"}},
             "Text"),
    };
}

}  // namespace vondrix::sms
