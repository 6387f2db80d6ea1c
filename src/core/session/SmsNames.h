#pragma once

// The message windows' name directory, from the local phonebook file.

#include <string>

#include "phonebook/LocalFile.h"
#include "sms/NameDirectory.h"

namespace vondrix {

// The records of the local phonebook file at `path` (all sections, in file
// order) as the message subsystem's name directory; empty without a file.
sms::NameDirectory loadSmsNameDirectory(const std::string& path = phonebook::kLocalFileName);

}  // namespace vondrix
