#pragma once

// Reads the locations of one phonebook in ascending order, one command per
// location ("AT+CPBR=7") or, when asked to, one command per range of
// locations ("AT+CPBR=1,25"). The caller sees the same answer for every
// location either way, so one loop serves both.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "link/AtEngine.h"

namespace vondrix::phonebook {

// Locations per range command. A full 250-location SIM at 19200 baud with
// 30 ms per command (bench_phonebook_read --sizes) takes 15.7 s location by
// location, and in ranges of 10: 6.6 s, 25: 6.0 s, 50: 5.8 s, 250: 5.6 s.
// Larger ranges gain little more, while smaller ones keep the progress
// moving, keep each reply short for the phone, and read less past the
// "ReadB" end.
constexpr int kDefaultRangeSize = 25;

class LocationReader {
  public:
    // `command` ("AT+CPBR=", "AT^SPBG=") reads locations up to `highest`;
    // `replyPrefix` ("+CPBR:", "^SPBG:") opens each record of a range
    // reply. `rangeSize` 0 or 1 reads location by location.
    LocationReader(AtEngine& engine, std::string command, std::string replyPrefix,
                   std::int64_t highest, int rangeSize);

    // The answer for `location` (asked in ascending order): the reply to its
    // own command, or its record of a range reply, empty for a location the
    // range reply leaves out (it is empty). nullopt when the transaction
    // failed: the phone refused the location, or the link failed (see
    // engine.failure()), also when the reply is the record of another
    // location (the link is then out of step). A range the phone refuses, or whose reply cannot be
    // trusted, makes this and every later location of the phonebook go
    // location by location. The text lasts until the next read().
    std::optional<std::string_view> read(std::int64_t location);

    // Whether the progress moves after `location`: after every location
    // read on its own, after the last location of a range.
    bool stepEnds(std::int64_t location) const;

  private:
    // Asks for first..last in one command; false (nothing kept) when the
    // phone refused it or the reply cannot be trusted.
    bool readRange(std::int64_t first, std::int64_t last);

    AtEngine& engine_;
    std::string command_;
    std::string replyPrefix_;
    std::int64_t highest_;
    int rangeSize_;
    // The range read last: its bounds and its records in ascending order.
    bool haveRange_ = false;
    std::int64_t rangeFirst_ = 0;
    std::int64_t rangeLast_ = 0;
    std::vector<std::pair<std::int64_t, std::string>> records_;
    std::size_t nextRecord_ = 0;
    // The transaction of the location read on its own last.
    AtEngine::Result single_;
};

}  // namespace vondrix::phonebook
