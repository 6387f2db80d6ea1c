#include "phonebook/Vcard.h"

#include <algorithm>
#include <map>
#include <set>

#include "link/Command.h"
#include "text/ContentLines.h"
#include "text/GsmAlphabet.h"
#include "text/Latin1.h"

namespace vondrix::phonebook {
namespace {

// 3.0 text value: backslash, comma, semicolon and line ends escaped.
std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\' || c == ',' || c == ';') {
            out.push_back('\\');
            out.push_back(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c != '\r') {
            out.push_back(c);
        }
    }
    return out;
}

// One content line, folded so that no physical line passes 75 octets and
// no UTF-8 character is split.
void appendFolded(std::string& out, std::string_view line) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < line.size();) {
        std::size_t len = 1;
        const auto c = static_cast<unsigned char>(line[i]);
        if (c >= 0xF0)
            len = 4;
        else if (c >= 0xE0)
            len = 3;
        else if (c >= 0xC0)
            len = 2;
        len = std::min(len, line.size() - i);
        if (width + len > 75) {
            out += "\r\n ";
            width = 1;
        }
        out.append(line.substr(i, len));
        width += len;
        i += len;
    }
    out += "\r\n";
}

bool inGsmAlphabet(char c) {
    const auto& table = gsm::gsmAlphabet();
    return std::find(table.begin(), table.end(), c) != table.end();
}

std::string letterOf(const Vcard::Number& number) {
    const auto has = [&](const char* type) {
        return std::find(number.types.begin(), number.types.end(), type) != number.types.end();
    };
    if (has("CELL"))
        return "M";
    if (has("FAX"))
        return "F";
    if (has("PAGER"))
        return "P";
    if (has("WORK"))
        return "W";
    if (has("HOME"))
        return "H";
    return "";
}

std::string cleanNumber(std::string_view number) {
    std::string out;
    for (const char c : number) {
        if (c != ' ' && c != '-' && c != '.' && c != '/' && c != '(' && c != ')')
            out.push_back(c);
    }
    if (out.starts_with("tel:"))  // a 4.0-style URI value
        out.erase(0, 4);
    return out;
}

}  // namespace

std::string vcard30Text(const std::vector<StoredEntry>& entries) {
    std::string out;
    for (const StoredEntry& e : entries) {
        const std::string name = escaped(latin1ToUtf8(e.entry.name));
        appendFolded(out, "BEGIN:VCARD");
        appendFolded(out, "VERSION:3.0");
        appendFolded(out, "FN:" + (name.empty() ? escaped(e.entry.number) : name));
        appendFolded(out, "N:" + name + ";;;;");
        appendFolded(out, "TEL;TYPE=VOICE:" + escaped(latin1ToUtf8(e.entry.number)));
        appendFolded(out, "X-VONDRIX-STORE:" + e.store);
        appendFolded(out, "X-VONDRIX-LOCATION:" + std::to_string(e.entry.index));
        appendFolded(out, "END:VCARD");
    }
    return out;
}

std::vector<Vcard> parseVcards(std::string_view text) {
    std::vector<Vcard> cards;
    bool inCard = false;
    Vcard card;
    std::string structuredName;
    for (const ContentLine& line : parseContentLines(text)) {
        const std::string upperValue = upperAscii(line.value);
        if (line.name == "BEGIN" && upperValue == "VCARD") {
            inCard = true;
            card = Vcard{};
            structuredName.clear();
            continue;
        }
        if (!inCard)
            continue;
        if (line.name == "END" && upperValue == "VCARD") {
            if (card.name.empty())
                card.name = structuredName;
            cards.push_back(std::move(card));
            inCard = false;
        } else if (line.name == "FN") {
            card.name = unescapeText(textValue(line));
        } else if (line.name == "N") {
            // family;given;additional;prefix;suffix: shown as "given family".
            const std::string value = textValue(line);
            std::vector<std::string> parts(1);
            for (std::size_t i = 0; i < value.size(); ++i) {
                if (value[i] == '\\' && i + 1 < value.size()) {
                    parts.back().push_back(value[++i]);
                } else if (value[i] == ';') {
                    parts.emplace_back();
                } else {
                    parts.back().push_back(value[i]);
                }
            }
            std::string name = parts.size() > 1 ? parts[1] : "";
            if (!parts[0].empty())
                name += (name.empty() ? "" : " ") + parts[0];
            structuredName = name;
        } else if (line.name == "TEL") {
            Vcard::Number number;
            number.number = unescapeText(textValue(line));
            for (const auto& [n, v] : line.params) {
                if (n == "TYPE")
                    number.types.push_back(upperAscii(v));
            }
            card.numbers.push_back(std::move(number));
        }
    }
    return cards;
}

VcardPlan planVcardImport(const std::vector<Vcard>& cards, const CurrentPhonebook& book,
                          std::size_t textLength, std::size_t numberLength) {
    VcardPlan plan;
    std::set<std::pair<std::string, std::string>> present;  // name, number
    for (std::size_t i = 0; i < book.entries.size(); ++i) {
        if (!book.isDeleted(i))
            present.emplace(book.entries[i].name, cleanNumber(book.entries[i].number));
    }
    for (const Vcard& card : cards) {
        const std::string shown = card.name.empty() ? "(no name)" : card.name;
        // The name in the phone's alphabet.
        std::string name = utf8ToLatin1(card.name);
        std::string lost;
        std::size_t u = 0;  // walks the UTF-8 name beside the Latin-1 one
        for (std::size_t i = 0; i < name.size() && u < card.name.size(); ++i) {
            const char c = name[i];
            const std::size_t start = u;
            const auto lead = static_cast<unsigned char>(card.name[u]);
            u += lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            const bool fromOutside = c == '?' && card.name[start] != '?';
            if (fromOutside || !inGsmAlphabet(c)) {
                if (!lost.empty())
                    lost += ", ";
                lost += card.name.substr(start, std::min(u, card.name.size()) - start);
                name[i] = '?';
            }
        }
        if (!lost.empty())
            plan.notes.push_back(shown + ": the phone cannot show " + lost + "; written as ?");
        if (card.numbers.empty()) {
            plan.notes.push_back(shown + ": no telephone number");
            continue;
        }
        // The numbers the phone can store; only they count for the suffixes.
        std::vector<std::pair<const Vcard::Number*, std::string>> usable;
        for (const Vcard::Number& n : card.numbers) {
            const std::string number = cleanNumber(n.number);
            if (number.empty() || !at::isPhoneNumber(number) ||
                (numberLength > 0 && number.size() > numberLength) || number.size() > kMaxField) {
                plan.notes.push_back(shown + ": the number " + n.number + " cannot be stored");
                ++plan.unusable;
                continue;
            }
            usable.emplace_back(&n, number);
        }
        std::map<std::string, int> letters;
        for (std::size_t k = 0; k < usable.size(); ++k) {
            const std::string& number = usable[k].second;
            std::string suffix;
            if (usable.size() > 1) {
                std::string letter = letterOf(*usable[k].first);
                if (letter.empty())
                    letter = std::to_string(k + 1);
                const int seen = ++letters[letter];
                suffix = " " + letter + (seen > 1 ? std::to_string(seen) : "");
            }
            const std::size_t room = std::min(textLength > 0 ? textLength : kMaxField, kMaxField);
            std::string base = name;
            if (base.size() + suffix.size() > room) {
                base.resize(room > suffix.size() ? room - suffix.size() : 0);
                plan.notes.push_back(shown + ": name cut to " + latin1ToUtf8(base + suffix));
            }
            VcardPlan::Entry entry{base + suffix, number, numberType(number)};
            // The same number under the card's name, with or without the suffix.
            if (present.count({base, number}) || !present.emplace(entry.name, number).second) {
                plan.notes.push_back(shown + ": " + number + " is already in the phonebook");
                ++plan.duplicates;
                continue;
            }
            plan.entries.push_back(std::move(entry));
        }
    }
    return plan;
}

}  // namespace vondrix::phonebook
