#include "session/PhonebookWindowSession.h"

#include <optional>

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
    if (!service_.confirmDelete(row, selectFirst))
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
