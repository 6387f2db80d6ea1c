#pragma once

// The service centre of the phonebook window: read at its opening, set
// from its field.

#include <string>

#include "foundation/Reporter.h"
#include "link/AtEngine.h"
#include "phonebook/Phonebook.h"

namespace vondrix::phonebook {

class ServiceCentreService {
  public:
    ServiceCentreService(AtEngine& engine, Reporter& reporter, PhonebookModel& model)
        : engine_(engine), reporter_(reporter), model_(model) {}

    // "AT+CSCA?" into the service-centre record; false when it fails.
    bool read();
    // "AT+CSCA=<number>,<type>"; messages 58 and 59.
    bool set(const std::string& number);

  private:
    bool linkFailed() const { return engine_.failure() != AtEngine::Failure::None; }

    AtEngine& engine_;
    Reporter& reporter_;
    PhonebookModel& model_;
};

}  // namespace vondrix::phonebook
