#include "network/Texts.h"

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

namespace vondrix::network {
namespace {

// One table in the eight languages, each row in the same order.
template <std::size_t N>
struct Table {
    using Row = std::array<std::string_view, N>;
    Row de, en, es, fr, it, nl, no, pt;

    const Row& row(Language lang) const {
        switch (lang) {
            case Language::German:
                return de;
            case Language::Spanish:
                return es;
            case Language::French:
                return fr;
            case Language::Italian:
                return it;
            case Language::Dutch:
                return nl;
            case Language::Norwegian:
                return no;
            case Language::Portuguese:
                return pt;
            case Language::English:
                break;
        }
        return en;
    }
    // The text of `value`, or nothing outside the table.
    const std::string_view* find(Language lang, int value) const {
        if (value < 0 || static_cast<std::size_t>(value) >= N)
            return nullptr;
        return &row(lang)[static_cast<std::size_t>(value)];
    }
    std::string text(Language lang, int value) const {
        const std::string_view* t = find(lang, value);
        return t ? std::string(*t) : std::to_string(value);
    }
    std::string_view textOrEmpty(Language lang, int value) const {
        const std::string_view* t = find(lang, value);
        return t ? *t : std::string_view();
    }
};

const Table<6> kRegistration = {
    {"Nicht eingeloggt, nicht suchend", "Eingeloggt", "Nicht eingeloggt suchend",
     "Einlogversuch vom Netzwerk abgelehnt", "Unbekannt", "Roaming"},
    {"Not logged in, not seeking", "Logged in", "Not looged in, seeking",
     "Log in denied by network", "Unknown", "Roaming"},
    {"No registrado, sin buscar", "Registrado", "No registrado, buscando",
     "Registro denegado por la red", "Desconocido", "Roaming"},
    {"Non connecté, pas de recherche", "Connecté", "Non connecté, recherche",
     "Connexion refusée par le réseau", "Inconnu", "Roaming"},
    {"Non registrato, nessuna ricerca", "Registrato", "Non registrato, ricerca",
     "Registrazione rifiutata dalla rete", "Sconosciuto", "Roaming"},
    {"Niet aangemeld, zoekt niet", "Aangemeld", "Niet aangemeld, zoekt",
     "Aanmelding door netwerk geweigerd", "Onbekend", "Roaming"},
    {"Ikke pålogget, søker ikke", "Pålogget", "Ikke pålogget, søker", "Pålogging avvist av nettet",
     "Ukjent", "Roaming"},
    {"Não Ligado, Não Está em Pesquisa", "Ligado", "Não Ligado, Em Pesquisa",
     "Ligação Recusada pela Rede", "Desconhecido", "Roaming"},
};

const Table<5> kActivity = {
    {"Bereit", "", "", "Ankommender Anruf", "Aktiver Anruf"},
    {"Ready", "", "", "Incoming Call", "Active call"},
    {"Listo", "", "", "Llamada entrante", "Llamada activa"},
    {"Prêt", "", "", "Appel entrant", "Appel actif"},
    {"Pronto", "", "", "Chiamata in arrivo", "Chiamata attiva"},
    {"Gereed", "", "", "Inkomende oproep", "Actief gesprek"},
    {"Klar", "", "", "Innkommende anrop", "Aktiv samtale"},
    {"Pronto", "", "", "Chamada recebida", "Chamada activa"},
};

const Table<6> kCallState = {
    {"Aktiv", "Gehalten", "Wählen", "Klingeln", "Ankommend", "Wartend"},
    {"Active", "Held", "Dialing", "Alerting", "Incoming", "Waiting"},
    {"Activa", "Retenida", "Marcando", "Llamando", "Entrante", "En espera"},
    {"Actif", "Mis en garde", "Numérotation", "Sonnerie", "Entrant", "En attente"},
    {"Attiva", "Sospesa", "Composizione", "Squillo", "In arrivo", "In attesa"},
    {"Actief", "In de wacht", "Kiezen", "Overgaan", "Inkomend", "Wachtend"},
    {"Aktiv", "Parkert", "Ringer opp", "Varsler", "Innkommende", "Venter"},
    {"Activa", "Em espera", "A marcar", "A tocar", "A receber", "Chamada em espera"},
};

const Table<10> kCallMode = {
    {"Sprache", "Daten", "Fax", "Sprache gefolgt von Daten (Sprache)",
     "Wechselnd Sprache/Daten (Sprache)", "Wechselnd Sprache/Fax (Sprache)",
     "Sprache gefolgt von Daten (Daten)", "Wechselnd Sprache/Daten (Daten)",
     "Wechselnd Sprache/Fax (Fax)", "Unbekannt"},
    {"Voice", "Data", "Fax", "Voice followed by data (voice)", "Alternating voice/data (voice)",
     "Alternating voice/fax (voice)", "Voice followed by data (data)",
     "Alternating voice/data (data)", "Alternating voice/fax (fax)", "Unknown"},
    {"Voz", "Datos", "Fax", "Voz seguida de datos (voz)", "Voz/datos alternos (voz)",
     "Voz/fax alternos (voz)", "Voz seguida de datos (datos)", "Voz/datos alternos (datos)",
     "Voz/fax alternos (fax)", "Desconocido"},
    {"Voix", "Données", "Fax", "Voix suivie de données (voix)", "Voix/données alternées (voix)",
     "Voix/fax alternés (voix)", "Voix suivie de données (données)",
     "Voix/données alternées (données)", "Voix/fax alternés (fax)", "Inconnu"},
    {"Voce", "Dati", "Fax", "Voce seguita da dati (voce)", "Voce/dati alternati (voce)",
     "Voce/fax alternati (voce)", "Voce seguita da dati (dati)", "Voce/dati alternati (dati)",
     "Voce/fax alternati (fax)", "Sconosciuto"},
    {"Spraak", "Data", "Fax", "Spraak gevolgd door data (spraak)",
     "Afwisselend spraak/data (spraak)", "Afwisselend spraak/fax (spraak)",
     "Spraak gevolgd door data (data)", "Afwisselend spraak/data (data)",
     "Afwisselend spraak/fax (fax)", "Onbekend"},
    {"Tale", "Data", "Faks", "Tale etterfulgt av data (tale)", "Vekslende tale/data (tale)",
     "Vekslende tale/faks (tale)", "Tale etterfulgt av data (data)", "Vekslende tale/data (data)",
     "Vekslende tale/faks (faks)", "Ukjent"},
    {"Voz", "Dados", "Fax", "Voz seguida de dados (voz)", "Voz/dados alternados (voz)",
     "Voz/fax alternados (voz)", "Voz seguida de dados (dados)", "Voz/dados alternados (dados)",
     "Voz/fax alternados (fax)", "Desconhecido"},
};

const Table<5> kMonitorColumns = {
    {"Nr.", "Ein/Aus", "Typ", "Nummer", "Modus"}, {"#", "In/Out", "Type", "Number", "Mode"},
    {"#", "In/Out", "Tipo", "Numero", "Modo"},    {"#", "In/Out", "Type", "Numéro", "Mode"},
    {"#", "In/Out", "Tipo", "Numero", "Modo"},    {"Nr.", "In/Uit", "Type", "Nummer", "Modus"},
    {"#", "Inn/Ut", "Type", "Nummer", "Mode"},    {"#", "Entrada/Saída", "Tipo", "Numero", "Modo"},
};

const Table<3> kOperatorColumns = {
    {"MCCMNC", "Name", "Modus"}, {"MCCMNC", "Name", "Mode"}, {"MCCMNC", "Nombre", "Tipo"},
    {"MCCMNC", "Nom", "Mode"},   {"MCCMNC", "Nome", "Tipo"}, {"MCCMNC", "Naam", "Modus"},
    {"MCCMNC", "Navn", "Mode"},  {"MCCMNC", "Nome", "Modo"},
};

const Table<4> kForwardReasons = {
    {"Immer", "Wenn besetzt", "Wenn keine Antwort", "Wenn nicht erreichb."},
    {"Always", "If busy", "If no answer", "If not available"},
    {"Siempre", "Si ocupado", "Si no contesta", "Si no disponible"},
    {"Toujours", "Si occupé", "Si pas de réponse", "Si injoignable"},
    {"Sempre", "Se occupato", "Se non risponde", "Se non raggiungibile"},
    {"Altijd", "Bij bezet", "Bij geen antwoord", "Indien onbereikbaar"},
    {"Alltid", "Ved opptatt", "Ved ikke svar", "Ved ikke tilgjengelig"},
    {"Sempre", "Se ocupado", "Se não atender", "Se não disponível"},
};

const Table<9> kFacilities = {
    {"Tastatursperre", "Phone locked to SIM", "SIM Karte", "FDN Sperre",
     "Sperre für ausgehende Rufe", "Sperre für ausg. int. Rufe",
     "Sperre für ausgehende int. Rufe bis auf Heimatland", "Sperre für eingehende Rufe",
     "Sperre für eing. Rufe wenn roam. außerhalb des Heimatlandes"},
    {"Keyboard lock", "Phone locked to SIM", "SIM card", "FDN lock", "Bar all outgoing calls",
     "Bar outgoing int. calls", "Bar outgoing int. except home country", "Bar all incoming calls",
     "Bar inc. calls when roam. outside home country"},
    {"Bloqueo de teclado", "Teléfono bloqueado a la SIM", "Tarjeta SIM", "Bloqueo FDN",
     "Bloquear todas las salientes", "Bloquear salientes int.",
     "Bloquear salientes int. excepto país propio", "Bloquear todas las entrantes",
     "Bloquear entrantes en roaming fuera del país"},
    {"Verrouillage clavier", "Téléphone verrouillé sur la SIM", "Carte SIM", "Verrouillage FDN",
     "Interdire tous les appels sortants", "Interdire appels sortants int.",
     "Interdire appels sortants int. sauf pays d'origine", "Interdire tous les appels entrants",
     "Interdire appels entrants en itinérance hors du pays"},
    {"Blocco tastiera", "Telefono bloccato sulla SIM", "Scheda SIM", "Blocco FDN",
     "Blocca tutte le uscenti", "Blocca uscenti int.",
     "Blocca uscenti int. eccetto paese d'origine", "Blocca tutte le entranti",
     "Blocca entranti in roaming fuori dal paese"},
    {"Toetsenblokkering", "Telefoon vergrendeld op SIM", "SIM-kaart", "FDN-blokkering",
     "Alle uitgaande gesprekken blokkeren", "Uitgaande int. gesprekken blokkeren",
     "Uitgaande int. gesprekken behalve thuisland blokkeren", "Alle inkomende gesprekken blokkeren",
     "Inkomende gesprekken bij roaming buiten thuisland blokkeren"},
    {"Tastaturlås", "Telefon låst til SIM", "SIM-kort", "FDN-lås", "Sperr alle utgående anrop",
     "Sperr utgående int. anrop", "Sperr utgående int. anrop unntatt hjemland",
     "Sperr alle innkommende anrop", "Sperr innk. anrop ved roaming utenfor hjemland"},
    {"Bloqueio do teclado", "Telefone bloqueado ao SIM", "Cartão SIM", "Bloqueio FDN",
     "Barrar todas as chamadas efectuadas", "Barrar chamadas int. efectuadas",
     "Barrar chamadas int. efectuadas excepto país de origem", "Barrar todas as chamadas recebidas",
     "Barrar chamadas recebidas em roaming fora do país"},
};

// The decoded values: plainer words than the monitor's state texts.
const Table<6> kRegistrationPlain = {
    {"nicht eingebucht, keine Suche", "eingebucht, Heimatnetz", "nicht eingebucht, Suche läuft",
     "Einbuchen abgelehnt", "unbekannt", "eingebucht, Roaming"},
    {"not registered, not searching", "registered, home network", "not registered, searching",
     "registration denied", "unknown", "registered, roaming"},
    {"no registrado, sin buscar", "registrado, red propia", "no registrado, buscando",
     "registro denegado", "desconocido", "registrado, itinerancia"},
    {"non inscrit, pas de recherche", "inscrit, réseau nominal", "non inscrit, recherche",
     "inscription refusée", "inconnu", "inscrit, itinérance"},
    {"non registrato, nessuna ricerca", "registrato, rete di casa", "non registrato, ricerca",
     "registrazione rifiutata", "sconosciuto", "registrato, roaming"},
    {"niet aangemeld, zoekt niet", "aangemeld, eigen netwerk", "niet aangemeld, zoekt",
     "aanmelding geweigerd", "onbekend", "aangemeld, roaming"},
    {"ikke registrert, søker ikke", "registrert, hjemmenett", "ikke registrert, søker",
     "registrering avvist", "ukjent", "registrert, roaming"},
    {"não registado, sem procurar", "registado, rede própria", "não registado, a procurar",
     "registo recusado", "desconhecido", "registado, roaming"},
};

const Table<2> kAreaCell = {
    {"Gebiet", "Zelle"}, {"area", "cell"},  {"área", "celda"},   {"zone", "cellule"},
    {"area", "cella"},   {"gebied", "cel"}, {"område", "celle"}, {"área", "célula"},
};

const Table<5> kOperatorModes = {
    {"automatische Netzwahl", "manuelle Netzwahl", "vom Netz abgemeldet", "nur Format gesetzt",
     "manuell, sonst automatisch"},
    {"automatic network selection", "manual network selection", "deregistered from the network",
     "format set only", "manual, automatic if that fails"},
    {"selección automática de red", "selección manual de red", "dado de baja de la red",
     "solo formato fijado", "manual, si falla automática"},
    {"sélection automatique du réseau", "sélection manuelle du réseau", "désinscrit du réseau",
     "format seulement", "manuelle, sinon automatique"},
    {"selezione automatica della rete", "selezione manuale della rete", "disconnesso dalla rete",
     "solo formato impostato", "manuale, altrimenti automatica"},
    {"automatische netwerkkeuze", "handmatige netwerkkeuze", "afgemeld van het netwerk",
     "alleen formaat ingesteld", "handmatig, anders automatisch"},
    {"automatisk nettvalg", "manuelt nettvalg", "avregistrert fra nettet", "bare format satt",
     "manuelt, ellers automatisk"},
    {"seleção automática de rede", "seleção manual de rede", "desregistado da rede",
     "apenas formato definido", "manual, senão automática"},
};

const Table<4> kOperatorStatus = {
    {"unbekannt", "verfügbar", "aktuell", "gesperrt"},
    {"unknown", "available", "current", "forbidden"},
    {"desconocida", "disponible", "actual", "prohibida"},
    {"inconnu", "disponible", "actuel", "interdit"},
    {"sconosciuta", "disponibile", "attuale", "vietata"},
    {"onbekend", "beschikbaar", "huidig", "verboden"},
    {"ukjent", "tilgjengelig", "gjeldende", "forbudt"},
    {"desconhecida", "disponível", "atual", "proibida"},
};

// The comma-separated fields of a reply word, quotes taken off.
std::vector<std::string_view> fields(std::string_view word) {
    std::vector<std::string_view> out;
    while (true) {
        const std::size_t comma = word.find(',');
        std::string_view f = word.substr(0, comma);
        if (f.size() >= 2 && f.front() == '"' && f.back() == '"')
            f = f.substr(1, f.size() - 2);
        out.push_back(f);
        if (comma == std::string_view::npos)
            return out;
        word.remove_prefix(comma + 1);
    }
}

std::optional<int> smallNumber(std::string_view text) {
    if (text.empty() || text.size() > 3)
        return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

std::string registrationSummary(Language lang, std::string_view word) {
    const std::vector<std::string_view> f = fields(word);
    const std::optional<int> state = f.size() >= 2 ? smallNumber(f[1]) : std::nullopt;
    if (!state)
        return {};
    std::string out = kRegistrationPlain.text(lang, *state);
    if (f.size() >= 4 && !f[2].empty() && !f[3].empty()) {
        out += "; ";
        out += kAreaCell.textOrEmpty(lang, 0);
        out += ' ';
        out += f[2];
        out += ", ";
        out += kAreaCell.textOrEmpty(lang, 1);
        out += ' ';
        out += f[3];
    }
    return out;
}

std::string operatorModeText(Language lang, std::string_view copsText) {
    const std::optional<int> mode = smallNumber(fields(copsText).front());
    return mode ? std::string(kOperatorModes.textOrEmpty(lang, *mode)) : std::string();
}

std::string_view operatorStatusText(Language lang, int status) {
    return kOperatorStatus.textOrEmpty(lang, status);
}

std::string registrationText(Language lang, int state) {
    return kRegistration.text(lang, state);
}

std::string activityText(Language lang, int activity) {
    return kActivity.text(lang, activity);
}

std::string callStateText(Language lang, int state) {
    return kCallState.text(lang, state);
}

std::string callModeText(Language lang, int mode) {
    return kCallMode.text(lang, mode);
}

std::string_view directionText(int direction) {
    return direction == 0 ? "<" : ">";
}

std::string_view monitorColumnHeader(Language lang, int column) {
    return kMonitorColumns.textOrEmpty(lang, column);
}

std::string_view operatorColumnHeader(Language lang, int column) {
    return kOperatorColumns.textOrEmpty(lang, column);
}

std::string_view forwardReasonText(Language lang, int reason) {
    return kForwardReasons.textOrEmpty(lang, reason);
}

std::string_view facilityText(Language lang, int facility) {
    return kFacilities.textOrEmpty(lang, facility);
}

}  // namespace vondrix::network
