#pragma once

#include <string>
#include <vector>

#include "foundation/Reporter.h"
#include "phonebook/CallService.h"
#include "phonebook/PhonebookReader.h"
#include "phonebook/PhonebookWriter.h"
#include "phonebook/ServiceCentreService.h"
#include "session/Session.h"

namespace vondrix {

// The phonebook window's life, the same for the desktop program and the
// command line: its opening (the whole reading sequence, composed of the
// reader's steps), switching the phonebook kind, and the one rule for
// saving the local phonebook file: only a phonebook that was read to its
// end is saved, so that a table the phone did not give never replaces its
// section of the file. The window's commands go to its services.
class PhonebookWindowSession {
  public:
    PhonebookWindowSession(Session& session, Reporter& reporter,
                           std::string localFile = "Vondrix.phb");

    // The opening sequence: kind SIM, own numbers, SIM phonebook, Redbook,
    // call lists, service centre, the reading dialog around it all. After a
    // link failure the steps that follow send nothing; after a Cancel they
    // are not run.
    void open();
    // The selector: saves the current phonebook, then selects and reads
    // `kind`; nothing happens for the current kind. True when the new
    // phonebook was read to its end.
    bool switchKind(phonebook::Kind kind);
    // Saves the current phonebook, without the entries deleted since it was
    // read, into its section of the local file; true when saved or when
    // there is nothing read to save.
    bool saveLocalFile();
    // The window closes: its column widths (TCol, RCol) are written and the
    // local file saved. The command line, which has no columns, calls
    // saveLocalFile() alone.
    bool close(const std::vector<int>& phonebookColumns, const std::vector<int>& redbookColumns);

    // The delete command (`selectFirst`) and the Delete key: asks message
    // 14, deletes the entry of `row`, and takes it out of the Redbook list
    // when it was a member. True when deleted.
    bool deleteEntry(std::size_t row, bool selectFirst);

    phonebook::PhonebookReader& reader() { return reader_; }
    phonebook::PhonebookWriter& writer() { return writer_; }
    phonebook::CallService& calls() { return calls_; }
    phonebook::ServiceCentreService& serviceCentre() { return serviceCentre_; }
    phonebook::PhonebookModel& model() { return session_.phonebook; }
    const std::string& localFile() const { return localFile_; }
    void setLocalFile(std::string path) { localFile_ = std::move(path); }

  private:
    Session& session_;
    Reporter& reporter_;
    std::string localFile_;
    phonebook::PhonebookReader reader_;
    phonebook::PhonebookWriter writer_;
    phonebook::CallService calls_;
    phonebook::ServiceCentreService serviceCentre_;
};

}  // namespace vondrix
