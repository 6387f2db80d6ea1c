#include "session/SendDialogSession.h"

#include <algorithm>

#include "sms/Predefined.h"

namespace vondrix {
namespace {

// The send dialog's name field takes this much of a member's name.
constexpr std::size_t kNameFieldMax = 49;

}  // namespace

bool SendOutcome::allSent() const {
    return std::all_of(reports.begin(), reports.end(),
                       [](const sms::SendReport& r) { return r.allSent() && !r.refused; });
}

SendDialogSession::SendDialogSession(Session& session, Reporter& reporter)
    : session_(session), service_(session.engine, reporter, session.settings, session.sms) {}

void SendDialogSession::openForEntry(RecipientSource source, int location) {
    kind_ = SendDialogKind::Send;
    mode_ = SendMode::One;
    // The send dialog reads no service centre of its own: its messages carry
    // the one the phonebook window read (or set) last. The phonebook keeps
    // its copy in its own model, so it is taken over here.
    session_.sms.serviceCentre = session_.phonebook.serviceCentre.number;
    const phonebook::PhonebookModel& book = session_.phonebook;
    if (source == RecipientSource::Redbook) {
        const auto& redbook = book.redbook;
        const auto e = std::find_if(redbook.begin(), redbook.end(),
                                    [&](const auto& r) { return r.index == location; });
        if (e != redbook.end())
            initial_.name = e->name, initial_.recipient = e->number;
        return;
    }
    const std::size_t position = book.current.findLocation(location);
    if (position != phonebook::CurrentPhonebook::npos) {
        initial_.name = book.current.entries[position].name;
        initial_.recipient = book.current.entries[position].number;
    }
}

void SendDialogSession::openMulticast(std::vector<int> locations) {
    kind_ = SendDialogKind::Send;
    mode_ = SendMode::Multicast;
    // As for one entry: the phonebook window's service centre.
    session_.sms.serviceCentre = session_.phonebook.serviceCentre.number;
    locations_ = std::move(locations);
}

void SendDialogSession::openForGroup(std::vector<sms::GroupMember> members) {
    kind_ = SendDialogKind::Send;
    mode_ = SendMode::Group;
    // The groups dialog read the service centre as it opened.
    members_ = std::move(members);
}

void SendDialogSession::openReply(std::optional<std::size_t> row) {
    kind_ = SendDialogKind::Reply;
    service_.readServiceCentre();
    const auto& rows = session_.sms.list.rows;
    if (row && *row < rows.size())
        initial_.recipient = rows[*row].number;
}

void SendDialogSession::openForward(std::size_t row) {
    kind_ = SendDialogKind::Forward;
    service_.readServiceCentre();
    const auto& rows = session_.sms.list.rows;
    if (row >= rows.size())
        return;
    initial_.text = rows[row].text.substr(0, kForwardTextMax);
    initial_.recipient = rows[row].number.substr(0, kForwardNumberMax);
}

std::vector<std::string> SendDialogSession::names() const {
    std::vector<std::string> names;
    for (const sms::NameRecord& r : session_.sms.names.searchable())
        names.push_back(r.name);
    return names;
}

sms::PartCounters SendDialogSession::counters(std::size_t length, bool eightBit) {
    return sms::partCounters(length, eightBit);
}

sms::PartCounters SendDialogSession::counters(std::string_view pcText, bool eightBit) {
    return sms::partCounters(pcText, eightBit);
}

std::optional<std::string> SendDialogSession::insertPredefined(const std::string& text) const {
    return sms::insertPredefined(text, session_.settings.ptxt);
}

sms::SendReport SendDialogSession::sendTo(const std::string& number, const SendForm& form) {
    return service_.send(sms::Outgoing{number, form.text, form.options});
}

SendOutcome SendDialogSession::accept(
    const SendForm& form,
    const std::function<void(const std::string&, const std::string&)>& onRecipient) {
    SendOutcome outcome;
    const auto tell = [&](const std::string& name, const std::string& number) {
        if (onRecipient)
            onRecipient(name, number);
    };
    if (kind_ != SendDialogKind::Send) {
        const auto number = service_.recipientFor(form.recipient);
        if (!number)
            return outcome;  // message 29: the dialog stays open
        outcome.closes = true;
        outcome.reports.push_back(sendTo(*number, form));
        outcome.numbers.push_back(*number);
        return outcome;
    }
    outcome.closes = true;
    // After a link failure the other recipients are not tried: each would
    // wait out the phone's silence again.
    const auto send = [&](const std::string& number) {
        outcome.reports.push_back(sendTo(number, form));
        outcome.numbers.push_back(number);
        return !outcome.reports.back().linkFailed;
    };
    switch (mode_) {
        case SendMode::One:
            send(form.recipient);
            break;
        case SendMode::Multicast: {
            const phonebook::CurrentPhonebook& book = session_.phonebook.current;
            for (const int location : locations_) {
                for (std::size_t i = 0; i < book.entries.size(); ++i) {
                    const phonebook::PhonebookEntry& e = book.entries[i];
                    if (e.index != location || book.isDeleted(i))
                        continue;
                    tell(e.name, e.number);
                    if (!send(e.number))
                        return outcome;
                }
            }
            break;
        }
        case SendMode::Group:
            for (const sms::GroupMember& m : members_) {
                const std::string name = m.name.substr(0, kNameFieldMax);
                tell(name, m.number);
                if (!send(m.number))
                    break;
            }
            break;
    }
    return outcome;
}

}  // namespace vondrix
