// The organizer import over any bytes: the first line is taken as the
// system's short date format, every further line is applied to the form.
// Whatever the input, the form keeps a real day and time, indices in range
// and a description the TEXT field can hold, and the date format derived
// names a separator that is no date letter.
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "organizer/Import.h"

using namespace vondrix::organizer;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t lf = input.find('\n');
    const std::string_view formatText = input.substr(0, lf);
    input.remove_prefix(lf == std::string_view::npos ? input.size() : lf + 1);

    const DateFormat format = deriveDateFormat(formatText);
    check(format.separator == 0 ||
          std::string_view("DMYdmy").find(format.separator) == std::string_view::npos);
    check(format.yearDigits >= 0 &&
          static_cast<std::size_t>(format.yearDigits) <= formatText.size());

    EntryFields form;
    form.date = {2001, 1, 1};
    form.time = {12, 0};
    (void)isImportHeader(input);
    while (!input.empty()) {
        const std::size_t end = input.find('\n');
        const std::string_view line = input.substr(0, end);
        input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
        const bool complete = applyImportLine(line, format, form);
        check(isValidDate(form.date) && isValidTime(form.time));
        check(form.category >= 0 && form.category < kCategories && form.recurrence >= 0 &&
              form.recurrence < kRecurrences && form.description.size() <= 29);
        check(!complete || line.find_first_of(";,") != std::string_view::npos);
        (void)parseImportDate(line, format);
        (void)parseImportTime(line);
    }
    return 0;
}
