// The organizer's reply parser and property rules over any bytes, and the
// codec's round trip: a row read from any object shows only well-formed
// columns taken from one line each, and an entry written and read back
// shows exactly what was written.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "organizer/Replies.h"
#include "organizer/VCalendar.h"
#include "text/Hex.h"

using namespace vondrix::organizer;

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// "dddd/dd/dd", "dd:dd" and the like: `shape` with '0' for any digit.
bool hasShape(const std::string& text, const char* shape) {
    const std::string s(shape);
    if (text.size() != s.size())
        return false;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (s[i] == '0' ? !isDigit(text[i]) : text[i] != s[i])
            return false;
    return true;
}

void checkRow(const Row& row, const std::string& object) {
    check(row.held != object.empty());
    check(row.date.empty() || hasShape(row.date, "0000/00/00"));
    check(row.time.empty() || hasShape(row.time, "00:00"));
    check(row.recurrence >= 0 && row.recurrence < kRecurrences);
    check(!row.category || (*row.category >= 0 && *row.category < kCategories));
    check(isOneLine(row.description));
    check(row.description.empty() || object.find(row.description) != std::string::npos);
}

// Fields from the first nine bytes; the rest is the description.
EntryFields fieldsFrom(const std::string& input) {
    auto byte = [&](std::size_t i) {
        return i < input.size() ? static_cast<uint8_t>(input[i]) : 0;
    };
    EntryFields f;
    f.recurrence = byte(0) % kRecurrences;
    f.category = byte(1) % kCategories;
    f.alarm = (byte(2) & 1) != 0;
    f.date = {1601 + (byte(3) << 8 | byte(4)) % 8399, 1 + byte(5) % 12, 1 + byte(6) % 28};
    f.time = {byte(7) % 24, byte(8) % 60};
    f.description = writtenDescription(input.size() > 9 ? input.substr(9) : std::string());
    return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    // Any reply: a held slot's object is text without NUL bytes, an
    // unreadable or free slot carries none; any object: sound columns.
    const SlotRead slot = parseSbnrSlot(input, 1);
    check((slot.state == SlotRead::State::Held) != slot.object.empty() &&
          slot.object.find('\0') == std::string::npos);
    if (slot.state == SlotRead::State::Held)
        checkRow(rowFromObject(1, slot.object), slot.object);
    checkRow(rowFromObject(1, input), input);

    // Written and read back through the phone's reply: the same row.
    const EntryFields fields = fieldsFrom(input);
    check(fields.description.size() <= kMaxDescription);
    const std::string object = composeObject(fields);
    const SlotRead back = parseSbnrSlot(
        "\r\n^SBNR: \"vcs\",5,1,1\r\n" + vondrix::hexText(object) + "\r\n\r\nOK\r\n", 5);
    check(back.state == SlotRead::State::Held && back.object == object);
    const Row read = rowFromObject(5, back.object);
    const Row written = rowOf(5, fields);
    check(read.date == written.date && read.time == written.time && read.alarm == written.alarm &&
          read.recurrence == written.recurrence && read.category == written.category &&
          read.description == written.description && read.held);
    return 0;
}
