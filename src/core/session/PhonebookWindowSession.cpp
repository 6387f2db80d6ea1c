#include "session/PhonebookWindowSession.h"

#include "phonebook/LocalFile.h"

namespace vondrix {

PhonebookWindowSession::PhonebookWindowSession(Session& session, Reporter& reporter,
                                               std::string localFile)
    : session_(session),
      reporter_(reporter),
      localFile_(std::move(localFile)),
      service_(session.engine, reporter, session.settings, session.phonebook) {}

void PhonebookWindowSession::open() {
    service_.open();
}

bool PhonebookWindowSession::saveLocalFile() {
    const phonebook::CurrentPhonebook& book = model().current;
    if (!book.complete)
        return true;
    return phonebook::saveToLocalFile(book, localFile_, reporter_);
}

bool PhonebookWindowSession::switchKind(phonebook::Kind kind) {
    service_.switchKind(kind, [this] { saveLocalFile(); });
    return model().current.kind == kind && model().current.complete;
}

bool PhonebookWindowSession::close(const std::vector<int>& phonebookColumns,
                                   const std::vector<int>& redbookColumns) {
    Settings& s = session_.settings;
    s.setColumns(Settings::Columns::T, phonebookColumns);
    s.writeColumns(session_.ini, Settings::Columns::T);
    s.setColumns(Settings::Columns::R, redbookColumns);
    s.writeColumns(session_.ini, Settings::Columns::R);
    return saveLocalFile();
}

}  // namespace vondrix
