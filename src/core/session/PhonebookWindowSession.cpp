#include "session/PhonebookWindowSession.h"

#include <optional>

#include "link/LinkOperation.h"
#include "phonebook/LocalFile.h"

namespace vondrix {

PhonebookWindowSession::PhonebookWindowSession(Session& session, Reporter& reporter,
                                               std::string localFile)
    : session_(session),
      reporter_(reporter),
      localFile_(std::move(localFile)),
      reader_(session.engine, reporter, session.settings, session.phonebook),
      writer_(reader_),
      calls_(session.engine, reporter, session.phonebook),
      serviceCentre_(session.engine, reporter, session.phonebook) {}

void PhonebookWindowSession::open() {
    phonebook::PhonebookModel& tables = model();
    LinkOperation operation(session_.engine, reporter_);
    tables.serviceCentre = phonebook::PhonebookEntry{};
    tables.current.freeLocations.clear();
    tables.current.deleted.clear();
    tables.current.kind = phonebook::Kind::Sim;

    reader_.holdReadingDialog(true);
    reporter_.progressBegin(Reporter::Display::Reading, 100, Reporter::Task::ReadingOwnNumbers);
    // After a link failure the steps that follow send nothing; after a
    // Cancel they are not run.
    reader_.readOwnNumbers();
    if (!reader_.stopAsked() && reader_.selectCurrent())
        reader_.readCurrent(Reporter::Display::Reading);
    if (!reader_.stopAsked()) {
        reader_.readRedbook();
        if (!reader_.stopAsked())
            reader_.readCallLists();
        if (!reader_.stopAsked())
            serviceCentre_.read();
    }
    reader_.holdReadingDialog(false);
    reporter_.progressEnd();

    tables.phonebookRead = true;
    phonebook::sortRows(tables.current.rows, 1);
    reader_.selectCurrent();
}

bool PhonebookWindowSession::saveLocalFile() {
    const phonebook::CurrentPhonebook& book = model().current;
    if (!book.complete)
        return true;
    // The file feeds the names of the message windows and the groups: an
    // entry deleted from the phone must not live on there.
    phonebook::CurrentPhonebook live;
    live.kind = book.kind;
    for (std::size_t i = 0; i < book.entries.size(); ++i)
        if (!book.isDeleted(i))
            live.entries.push_back(book.entries[i]);
    return phonebook::saveToLocalFile(live, localFile_, reporter_);
}

bool PhonebookWindowSession::deleteEntry(std::size_t row, bool selectFirst) {
    const phonebook::CurrentPhonebook& book = model().current;
    if (row >= book.rows.size())
        return false;
    const std::size_t position = book.findLocation(book.rows[row].location);
    const std::optional<phonebook::PhonebookEntry> entry =
        position != phonebook::CurrentPhonebook::npos
            ? std::optional<phonebook::PhonebookEntry>(book.entries[position])
            : std::nullopt;
    if (!writer_.confirmDelete(row, selectFirst))
        return false;
    // The phone's Redbook is the entries whose name ends with "!": a
    // deleted one leaves it.
    if (entry && !entry->name.empty() && entry->name.back() == '!') {
        auto& redbook = model().redbook;
        std::erase_if(redbook, [&](const phonebook::PhonebookEntry& r) {
            return r.name == entry->name && r.number == entry->number;
        });
    }
    return true;
}

bool PhonebookWindowSession::switchKind(phonebook::Kind kind) {
    phonebook::CurrentPhonebook& current = model().current;
    if (kind != current.kind) {
        LinkOperation operation(session_.engine, reporter_);
        // The save rule first: the table read so far goes to its section.
        saveLocalFile();
        current = phonebook::CurrentPhonebook::unread(kind);
        if (reader_.selectCurrent())
            reader_.readCurrent(Reporter::Display::PhonebookBar);
    }
    return current.kind == kind && current.complete;
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
