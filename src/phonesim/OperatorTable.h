#pragma once

// The operator names built into the phone's firmware, as "AT^SPLM" lists
// them: several hundred networks by MCC and MNC.

#include <string>
#include <string_view>
#include <vector>

namespace phonesim {

struct OperatorInfo {
    int code = 0;  // MCC and MNC as one number, e.g. 26201
    std::string name;
};

// The whole table, ordered by code; codes are unique.
const std::vector<OperatorInfo>& operatorTable();

// The name of `code`, or empty when the table has none.
std::string_view operatorName(int code);

}  // namespace phonesim
