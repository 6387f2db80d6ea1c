#include "sms/MessageList.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "text/Decimal.h"
#include "text/Hex.h"

namespace vondrix::sms {
namespace {

// The decoded record holds at most 1023 bytes of text.
constexpr std::size_t kMaxText = 1023;
// Sorting compares this many bytes of a column's text.
constexpr std::size_t kSortBytes = 200;

std::optional<unsigned> octetAt(std::string_view hex, std::size_t octet) {
    if (2 * octet + 1 >= hex.size())
        return std::nullopt;
    unsigned value = 0;
    for (std::size_t i = 2 * octet; i < 2 * octet + 2; ++i) {
        const int digit = hexDigit(hex[i]);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return value;
}

bool isStored(int status) {
    return status == 2 || status == 3;
}

int compareBytes(std::string_view a, std::string_view b) {
    a = a.substr(0, kSortBytes);
    b = b.substr(0, kSortBytes);
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

const std::string& columnText(const MessageRow& r, int column) {
    switch (column) {
        case 1:
            return r.status;
        case 2:
            return r.date;
        case 3:
            return r.number;
        case 4:
            return r.name;
        case 5:
            return r.text;
        default:
            return r.index;
    }
}

}  // namespace

int decodingStatus(int listedStatus, std::string_view pdu) {
    const auto scaLength = octetAt(pdu, 0);
    if (!scaLength)
        return listedStatus;
    const auto first = octetAt(pdu, 1 + *scaLength);
    if (!first)
        return listedStatus;
    switch (*first & 0x03) {
        case 0:  // SMS-DELIVER
        case 2:  // SMS-STATUS-REPORT: decoded as a received entry
            return isStored(listedStatus) ? 1 : listedStatus;
        case 1:  // SMS-SUBMIT
            return isStored(listedStatus) ? listedStatus : 2;
        default:
            return listedStatus;
    }
}

DecodedMessage decodeEntry(int listedStatus, std::string_view pdu, const CodecSettings& settings,
                           TextForm form) {
    return decodeListedMessage(decodingStatus(listedStatus, pdu), pdu, settings, form);
}

MessageRow rowOf(const ListedEntry& entry, int position, const NameDirectory& names,
                 const CodecSettings& settings) {
    MessageRow row;
    row.index = entry.index;
    row.status = entry.status;
    row.statusValue = decimalValue(entry.status);
    row.position = position;

    DecodedMessage m = decodeEntry(row.statusValue, entry.pdu, settings);
    row.kind = m.kind;
    row.fullNumber = m.number;
    row.numberType = m.numberType;
    row.number = shownNumber(m.number);
    row.name = names.nameFor(m.number, m.numberType, KeyRule::MessageList);
    if (m.kind != MessageKind::Stored)
        row.date = m.date;
    if (m.kind == MessageKind::StatusReport) {
        row.text = m.discharge;
        return row;
    }
    if (m.text.size() > kMaxText)
        m.text.resize(kMaxText);
    // A user data header is no text: the column shows the body only.
    row.body = m.text.substr(std::min(m.headerChars, m.text.size()));
    row.text = row.body;
    row.concatenation = m.concatenation;
    return row;
}

std::vector<MessageRow> rowsOfListing(std::string_view response, const NameDirectory& names,
                                      const CodecSettings& settings) {
    std::vector<MessageRow> rows;
    int position = 0;
    for (const ListedEntry& e : parseCmglList(response))
        rows.push_back(rowOf(e, position++, names, settings));
    return rows;
}

std::optional<msg::Id> statusMessageOf(int status) {
    switch (status) {
        case 0:
            return msg::StatusReceivedUnread;
        case 1:
            return msg::StatusReceivedRead;
        case 2:
            return msg::StatusStoredUnsent;
        case 3:
            return msg::StatusStoredSent;
        default:
            return std::nullopt;
    }
}

void sortRows(std::vector<MessageRow>& rows, int column) {
    std::stable_sort(rows.begin(), rows.end(), [column](const MessageRow& a, const MessageRow& b) {
        if (column == 0) {
            const int x = decimalValue(a.index);
            const int y = decimalValue(b.index);
            if (x != y)
                return x < y;
        } else if (const int c = compareBytes(columnText(a, column), columnText(b, column));
                   c != 0) {
            return c < 0;
        }
        return a.position < b.position;
    });
}

namespace {

// What makes parts belong to one message.
using PartKey = std::tuple<MessageKind, std::string, int, int>;

std::optional<PartKey> partKeyOf(const MessageRow& row) {
    const auto& c = row.concatenation;
    if (!c || c->count < 2 || c->part < 1 || c->part > c->count)
        return std::nullopt;
    return PartKey{row.kind, row.fullNumber, c->reference, c->count};
}

}  // namespace

std::optional<WholeMessage> wholeMessageOf(const std::vector<MessageRow>& rows, std::size_t row) {
    if (row >= rows.size())
        return std::nullopt;
    const auto key = partKeyOf(rows[row]);
    if (!key)
        return std::nullopt;
    std::vector<MessageRow> parts;
    std::map<int, bool> numbers;
    for (const MessageRow& r : rows) {
        if (partKeyOf(r) == key) {
            parts.push_back(r);
            numbers[r.concatenation->part] = true;
        }
    }
    if (numbers.size() < 2)
        return std::nullopt;
    const std::vector<MessageRow> joined = joinedRows(parts);
    return WholeMessage{joined.front().text, rows[row].concatenation->part,
                        rows[row].concatenation->count, static_cast<int>(numbers.size())};
}

std::vector<MessageRow> joinedRows(const std::vector<MessageRow>& rows) {
    struct Group {
        std::size_t slot = 0;  // its place in the output
        int count = 0;
        std::map<int, const MessageRow*> parts;  // by part number; the first copy wins
    };
    std::vector<MessageRow> out;
    std::map<PartKey, Group> groups;
    for (const MessageRow& row : rows) {
        const auto partKey = partKeyOf(row);
        if (!partKey) {
            out.push_back(row);
            continue;
        }
        const Concatenation& c = *row.concatenation;
        auto [it, fresh] = groups.try_emplace(*partKey);
        if (fresh) {
            it->second.slot = out.size();
            it->second.count = c.count;
            out.emplace_back();
        }
        it->second.parts.try_emplace(c.part, &row);
    }
    for (const auto& [key, group] : groups) {
        MessageRow whole = *group.parts.begin()->second;
        std::string text;
        for (const auto& [part, row] : group.parts)
            text += row->body;
        if (static_cast<int>(group.parts.size()) < group.count)
            text += " (" + std::to_string(group.parts.size()) + "/" + std::to_string(group.count) +
                    " parts)";
        whole.body = text;
        whole.text = std::move(text);
        out[group.slot] = std::move(whole);
    }
    return out;
}

}  // namespace vondrix::sms
