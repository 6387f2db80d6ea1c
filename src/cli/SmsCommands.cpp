// "sms": the message list, the send and reply dialogs, the predefined texts,
// the message groups and the command mode on the command line, with the
// windows' phone traffic and messages.

#include <algorithm>
#include <chrono>
#include <map>
#include <ostream>
#include <thread>

#include "cli/Cli.h"
#include "cli/CliReporter.h"
#include "cli/Json.h"
#include "foundation/Catalogue.h"
#include "session/CommandModeSession.h"
#include "session/GroupSession.h"
#include "session/MessageListSession.h"
#include "session/PredefinedSession.h"
#include "session/SendDialogSession.h"
#include "session/SmsNames.h"
#include "sms/Group.h"
#include "sms/Predefined.h"
#include "text/Decimal.h"
#include "text/GsmAlphabet.h"
#include "text/Latin1.h"

namespace vondrix::cli {

namespace {

constexpr const char* kSmsHelp =
    R"(The message list and its dialogs. Names for numbers come from Vondrix.phb in
the working directory (the local phonebook file the phonebook commands save).

Subcommands:
  list            print the messages in the phone's memory
  export          write the list as CSV or XML
  delete          delete messages by their storage index
  send            send a text (the reply dialog's rules)
  store           store a predefined text in the phone as an unsent message
  predefined      list, set or delete the predefined texts (no phone needed)
  group           send to a group file's members, or add members to one
  command-mode    hand received messages to the communication module

Texts on the command line and in the output are UTF-8.

Exit status: 0 success, 1 the operation failed (a message was shown or a
part was not sent), 2 usage error, 3 no link to the phone.
)";

constexpr const char* kListHelp =
    R"(Reads the messages as the message list does when it opens (the memory
state, every message, the memory counts) and prints one line per message,
sorted by date:

  index;status;date;number;name;text

status is the value the phone lists: 0 received unread, 1 received read,
2 stored unsent, 3 stored sent. date is empty for a stored message; a status
report has its discharge time as text. name comes from Vondrix.phb. In the
text a backslash, CR, LF and other control characters are written as \\, \r,
\n and \xHH. The last line holds the memory fields:

  Memory: USED/CAPACITY STATE-TEXT

('?' for a count the phone did not give). With --joined the parts of a
concatenated message come as one line: the index of its first part, the text
of all parts in order, and '(k/n parts)' at its end when parts are missing.
With --json the same fields come as one JSON object (messages, memory).

Exit status: 0 success, 1 the list could not be read, 2 usage error, 3 no link.
)";

constexpr const char* kExportHelp =
    R"(Reads the list and writes every message, in the list's order, as the
message list's exports do (ISO 8859-1, CR LF line ends):
  csv  'NR,NAME,TELNUM,DATE,TEXT', then one line per message; added at the
       end of FILE when it exists
  xml  the <SMSLIST> document; FILE is written anew
The file is not opened afterwards.

Exit status: 0 written, 1 the list could not be read or FILE not written,
2 usage error, 3 no link.
)";

constexpr const char* kDeleteHelp =
    R"(Reads the list, then deletes the message at each storage INDEX.
Nothing is deleted when an INDEX is not in the list.

When the link fails half-way, 'deleted ...; not deleted ...' on stderr says
which went.

Exit status: 0 every message deleted, 1 an INDEX is not in the list, the
phone refused a deletion ("The entry cannot be deleted") or the link failed, 2 usage error,
3 no link.
)";

constexpr const char* kSendHelp =
    R"(Sends TEXT as the reply dialog does: the service centre is read first; TEXT
is cut into parts of 160 characters (140 with --8bit), each sent as its own
message; a "#k#" in TEXT inserts predefined text k (1 to 50) in its place,
dropping what follows it. In 7-bit text each of ^ { } \ [ ~ ] | and the
euro sign counts as two characters.
After 'Cancel' the program asks whether to store the part unsent: --yes or
--no answers (else the terminal; without one the answer is No).

Prints 'sent S of P parts, stored T' (--json: recipient, parts, sent,
stored). A progress line shows on a terminal.

Exit status: 0 every part sent, 1 a part was not sent (even when it was
stored) or the name is not in Vondrix.phb, 2 usage error (a name of several
records, a character the message cannot carry), 3 no link.
)";

constexpr const char* kStoreHelp =
    R"(Stores predefined text K (1 to 50, see 'sms predefined list') in the phone as
an unsent message without recipient. Prints 'stored at INDEX' for each part
stored (--json: indexes). A text with characters a message cannot carry is
refused unless --replace (see 'sms send --help').

Exit status: 0 stored, 1 text K is empty or the phone refused ("The message
could not be stored"), 2 usage error, 3 no link.
)";

constexpr const char* kPredefinedHelp =
    R"(The 50 predefined texts (Ptxt0 to Ptxt49 of Vondrix.ini, numbered 1 to 50).
No phone is needed.
  list    prints 'K;text' for every text that is not empty
  set     makes TEXT, cut to 160 characters, text K
  delete  empties text K in the settings file (the predefined-messages
          window only empties it until the next start)

Exit status: 0 success, 1 the settings file could not be written, 2 usage
error.
)";

constexpr const char* kGroupHelp =
    R"(Message groups: a group file holds one 'name,number' line per member.
  send  reads the service centre, then sends TEXT to every member of the
        file, in its order, as the send dialog does in group mode (see 'sms
        send --help' for the parts, --retries and the question to store).
        Prints 'name;number: sent S of P parts, stored T' per member;
        after a link failure the members not tried as 'name;number: not
        tried' (--json: "tried":false).
  add   adds the records of Vondrix.phb named NAME to the group file
        (created when missing); a NAME is the record with exactly that name,
        else the first whose name contains it. Members already in the group
        are skipped. Needs no phone. Prints 'added A, skipped S'.

Exit status: 0 success, 1 a part was not sent, the file holds no members,
a NAME is not in Vondrix.phb or the file could not be written, 2 usage
error, 3 no link.
)";

constexpr const char* kCommandModeHelp =
    R"(The command mode: loads the communication module smscom.so from the working
directory, else from the program's directory, starts the timer and runs N
timer ticks: the first at once, each further one S seconds later. On each
tick, with the check on, every received message is handed to the module,
its answer sent and a message it has handled deleted; without the check the
module is only polled. Then it closes as the window does, writing WaitSec,
MonProt and CheckSMS to Vondrix.ini.
Prints 'tick K' per tick, with ': STATUS' when the module has a status text.

Exit status: 0 success, 1 the module could not be loaded ("The communication
module cannot be loaded", "Entry function not found in the communication
module") or a message was shown, 2 usage error, 3 no link.
)";

// Answers msg::MessagesNotSent (a part was not sent) with Retry up to `retries` times
// for each part, then Cancel; everything else goes on to the run's reporter.
class SendAnswers : public ForwardingReporter {
  public:
    SendAnswers(Reporter& inner, Language language, int retries)
        : ForwardingReporter(inner), language_(language), retries_(retries) {}

    Answer message(msg::Id id, Caption caption, Buttons buttons) override {
        if (id != msg::MessagesNotSent || buttons != Buttons::RetryCancel)
            return ForwardingReporter::message(id, caption, buttons);
        const bool retry = left_ > 0;
        if (retry)
            --left_;
        inner().text(std::string(catalogueText(id, language_)) + (retry ? " [retry]" : " [cancel]"),
                     caption);
        return retry ? Answer::Retry : Answer::Cancel;
    }
    void progressBegin(Display display, int total, Task task) override {
        if (display == Display::Sending)
            left_ = retries_;  // each part has its own retries
        ForwardingReporter::progressBegin(display, total, task);
    }

  private:
    Language language_;
    int retries_;
    int left_ = 0;
};

std::string countText(const std::optional<int>& n) {
    return n ? std::to_string(*n) : std::string("?");
}

std::optional<int> predefinedNumber(const std::string& word) {
    return numberInRange(word, 1, Settings::kPredefinedTexts);
}

int badPredefinedNumber(const Invocation& inv, const std::string& word) {
    return inv.usageError("K must be 1 to " + std::to_string(Settings::kPredefinedTexts) +
                          ", not '" + word + "'");
}

// The options of a send: --report, --8bit, --flash, --days.
std::optional<int> readSubmitOptions(const Invocation& inv, sms::SubmitOptions& options) {
    options.statusReport = inv.line.has("--report");
    options.eightBit = inv.line.has("--8bit");
    options.flash = inv.line.has("--flash");
    if (const std::string* text = inv.line.value("--days")) {
        const auto days =
            numberInRange(*text, SendDialogSession::kMinDays, SendDialogSession::kMaxDays);
        if (!days)
            return inv.usageError("--days must be 1, 2, 3 or 4");
        options.validityDays = *days;
    }
    return std::nullopt;
}

std::optional<int> readRetries(const Invocation& inv, int& retries) {
    retries = 0;
    if (const std::string* text = inv.line.value("--retries")) {
        const auto n = numberInRange(*text, 0, 99);
        if (!n)
            return inv.usageError("--retries must be 0 to 99");
        retries = *n;
    }
    return std::nullopt;
}

// Refuses (status 2) a text that a message cannot carry as typed, naming
// each character and what would arrive instead, unless --replace accepts it.
std::optional<int> refuseUnsupported(const Invocation& inv, const std::string& utf8,
                                     bool eightBit) {
    const auto unsupported = gsm::unsupportedCharacters(utf8, eightBit);
    if (unsupported.empty() || inv.line.has("--replace"))
        return std::nullopt;
    // One UTF-8 character; a control character as escapedText writes it.
    const auto shown = [](const std::string& c) { return c.size() == 1 ? escapedText(c) : c; };
    std::string list;
    for (const auto& u : unsupported) {
        list += list.empty() ? "" : ", ";
        list += "'" + shown(u.character) + "' (arrives as '" + shown(u.arrivesAs) + "')";
    }
    inv.ctx.err << "vondrix-cli " << inv.entry.name << ": " << (eightBit ? "8-bit" : "7-bit")
                << " text cannot carry " << list << "; --replace sends it so\n";
    return kExitUsage;
}

// The text of a send, UTF-8 from the command line, with a "#k#" marker's
// predefined text in place, as the dialog's field shows it once typed.
std::optional<int> readSendText(const Invocation& inv, const std::string& word, bool eightBit,
                                std::string& text) {
    text = gsm::utf8ToMessageText(word, eightBit);
    if (text.empty())
        return inv.usageError("the text is empty");
    inv.ctx.settings.readTextsAndColumns(inv.ctx.ini);
    const std::string typed = sms::insertPredefined(text, inv.ctx.settings.ptxt).value_or(text);
    if (const auto s = refuseUnsupported(inv, word, eightBit))
        return s;
    return refuseUnsupported(inv, latin1ToUtf8(typed), eightBit);
}

// The text as the dialog's field shows it once typed: a "#k#" marker has
// inserted predefined text k.
std::string typed(const SendDialogSession& dialog, const std::string& text) {
    return dialog.insertPredefined(text).value_or(text);
}

void printSendReport(std::ostream& out, const sms::SendReport& r) {
    out << "sent " << r.sent << " of " << r.parts << " parts, stored " << r.stored << '\n';
}

void sendReportJson(JsonWriter& j, const std::string& recipient, const sms::SendReport& r) {
    j.key("recipient").value(latin1ToUtf8(recipient));
    j.key("parts").value(r.parts);
    j.key("sent").value(r.sent);
    j.key("stored").value(r.stored);
}

// --- list, export, delete ----------------------------------------------------

void printListJson(std::ostream& out, const std::vector<sms::MessageRow>& rows,
                   const sms::MemoryFields& memory, const std::string& stateText) {
    JsonWriter j(out);
    j.beginObject();
    j.key("messages").beginArray();
    for (const sms::MessageRow& r : rows) {
        j.beginObject();
        j.key("index").value(decimalValue(r.index));
        j.key("status");
        if (r.statusValue >= 0)
            j.value(r.statusValue);
        else
            j.null();
        j.key("date").value(latin1ToUtf8(r.date));
        j.key("number").value(latin1ToUtf8(r.number));
        j.key("name").value(latin1ToUtf8(r.name));
        j.key("text").value(latin1ToUtf8(r.text));
        j.endObject();
    }
    j.endArray();
    j.key("memory").beginObject();
    const auto count = [&](const char* name, const std::optional<int>& n) {
        j.key(name);
        if (n)
            j.value(*n);
        else
            j.null();
    };
    count("used", memory.used);
    count("capacity", memory.capacity);
    count("state", memory.state);
    j.key("stateText").value(stateText);
    j.endObject();
    j.endObject().finish();
}

int runList(Invocation& inv) {
    return inv.withSession([&] {
        MessageListSession list(inv.main->session(), *inv.reporter);
        const auto before = inv.reporter->tally();
        const bool read = list.open();
        const std::vector<sms::MessageRow> rows =
            inv.line.has("--joined") ? sms::joinedRows(list.rows()) : list.rows();
        const sms::MemoryFields& memory = list.list().memory;
        std::ostream& out = inv.ctx.out;
        if (inv.line.has("--json")) {
            printListJson(out, rows, memory, list.memoryStateText());
        } else {
            for (const sms::MessageRow& r : rows) {
                out << escapedText(r.index) << ';' << escapedText(r.status) << ';'
                    << escapedText(r.date) << ';' << escapedText(r.number) << ';'
                    << escapedText(r.name) << ';' << escapedText(r.text) << '\n';
            }
            out << "Memory: " << countText(memory.used) << '/' << countText(memory.capacity);
            if (const std::string state = list.memoryStateText(); !state.empty())
                out << ' ' << state;
            out << '\n';
        }
        out.flush();
        return inv.status(read, before);
    });
}

int runExport(Invocation& inv) {
    const std::string* format = inv.line.value("--format");
    if (!format)
        return inv.usageError("--format is missing");
    if (*format != "csv" && *format != "xml")
        return inv.usageError("--format needs csv or xml");
    const std::string file = inv.line.words[0];
    if (file.empty())
        return inv.usageError("FILE is empty");
    return inv.withSession([&] {
        MessageListSession list(inv.main->session(), *inv.reporter);
        const auto before = inv.reporter->tally();
        if (!list.open())
            return inv.status(false, before);
        const bool written = *format == "csv" ? list.exportCsv(file) : list.exportXml(file);
        return inv.status(written, before);
    });
}

int runDelete(Invocation& inv) {
    std::vector<int> indexes;
    for (const std::string& word : inv.line.words) {
        const auto index = numberInRange(word, 0, 999999);
        if (!index)
            return inv.usageError("not a storage index: '" + word + "'");
        indexes.push_back(*index);
    }
    return inv.withSession([&] {
        MessageListSession list(inv.main->session(), *inv.reporter);
        const auto before = inv.reporter->tally();
        if (!list.open())
            return inv.status(false, before);
        std::vector<std::size_t> rows;
        for (const int index : indexes) {
            bool found = false;
            for (std::size_t r = 0; r < list.rows().size(); ++r) {
                if (wholeNumber(list.rows()[r].index) == index) {
                    rows.push_back(r);
                    found = true;
                }
            }
            if (!found)
                return inv.fail("no message at index " + std::to_string(index) +
                                ": nothing deleted");
        }
        const sms::DeleteReport r = list.deleteRows(rows);
        if (r.linkFailed) {
            // Which went and which stayed, so that a retry deletes no other message.
            std::string gone, kept;
            for (const int index : indexes) {
                const bool still = std::any_of(
                    list.rows().begin(), list.rows().end(),
                    [&](const sms::MessageRow& row) { return wholeNumber(row.index) == index; });
                (still ? kept : gone) += ' ' + std::to_string(index);
            }
            return inv.fail("the link failed: deleted" + (gone.empty() ? " none" : gone) +
                            "; not deleted" + kept);
        }
        return inv.status(r.refused == 0, before);
    });
}

// --- send, store -------------------------------------------------------------

int runSend(Invocation& inv) {
    const std::string* to = inv.line.value("--to");
    if (!to || to->empty())
        return inv.usageError("send needs --to NUMBER or NAME");
    std::string recipient = utf8ToLatin1(*to);
    const char first = recipient.front();
    const bool isNumber = (first >= '0' && first <= '9') || first == '+';
    if (isNumber && !isAddressValue(recipient))
        return inv.usageError("--to: '" + *to +
                              "' is not a number a message can go to (1 to 20 "
                              "digits, '+' first)");
    sms::SubmitOptions options;
    if (const auto s = readSubmitOptions(inv, options))
        return *s;
    int retries = 0;
    if (const auto s = readRetries(inv, retries))
        return *s;
    std::string text;
    if (const auto s = readSendText(inv, inv.line.words[0], options.eightBit, text))
        return *s;
    if (!isNumber) {
        // A name must stand for one record: an exact name wins; several
        // matches pick nobody.
        const auto records =
            loadSmsNameDirectory(phonebook::kLocalFileName).recordsNamed(recipient);
        if (records.empty())
            return inv.fail("no record of " + std::string(phonebook::kLocalFileName) +
                            " has a name containing '" + *to + "'");
        if (records.size() > 1) {
            std::string names;
            for (const sms::NameRecord& r : records)
                names += "\n  " + latin1ToUtf8(r.name) + " (" + latin1ToUtf8(r.number) + ")";
            return inv.usageError("--to: '" + *to + "' names " + std::to_string(records.size()) +
                                  " records of " + phonebook::kLocalFileName +
                                  "; give the whole name or the number:" + names);
        }
        recipient = records.front().number;
    }

    return inv.withSession([&] {
        Session& session = inv.main->session();
        // The reply dialog opens from the message list, which has loaded
        // the name directory.
        loadSmsNames(session, phonebook::kLocalFileName);
        SendAnswers answers(*inv.reporter, inv.ctx.language, retries);
        SendDialogSession dialog(session, answers);
        dialog.openReply(std::nullopt);
        const SendOutcome outcome = dialog.accept({typed(dialog, text), recipient, "", options});
        if (outcome.reports.empty())
            return kExitFailed;  // the message said why
        const sms::SendReport& r = outcome.reports.front();
        if (inv.line.has("--json")) {
            JsonWriter j(inv.ctx.out);
            j.beginObject();
            sendReportJson(j, sms::resolveRecipient(recipient, session.sms.names), r);
            j.endObject().finish();
        } else {
            printSendReport(inv.ctx.out, r);
        }
        inv.ctx.out.flush();
        return outcome.allSent() ? kExitOk : kExitFailed;
    });
}

int runStore(Invocation& inv) {
    const auto k = predefinedNumber(inv.line.words[0]);
    if (!k)
        return badPredefinedNumber(inv, inv.line.words[0]);
    inv.ctx.settings.readTextsAndColumns(inv.ctx.ini);
    const std::string& stored = inv.ctx.settings.ptxt[static_cast<std::size_t>(*k - 1)];
    if (const auto s = refuseUnsupported(inv, latin1ToUtf8(stored), false))
        return *s;
    return inv.withSession([&] {
        Session& session = inv.main->session();
        PredefinedSession predefined(session, *inv.reporter);
        if (predefined.list().row(*k - 1).empty())
            return inv.fail("predefined text " + std::to_string(*k) + " is empty");
        const auto before = inv.reporter->tally();
        const std::size_t rowsBefore = session.sms.list.rows.size();
        const sms::SendReport r = predefined.store(*k - 1);
        // Each stored part added its row, with the index the phone gave.
        std::vector<int> indexes;
        for (std::size_t i = rowsBefore; i < session.sms.list.rows.size(); ++i)
            indexes.push_back(decimalValue(session.sms.list.rows[i].index));
        if (inv.line.has("--json")) {
            JsonWriter j(inv.ctx.out);
            j.beginObject().key("indexes").beginArray();
            for (const int index : indexes)
                j.value(index);
            j.endArray().endObject().finish();
        } else {
            for (const int index : indexes)
                inv.ctx.out << "stored at " << index << '\n';
        }
        inv.ctx.out.flush();
        return inv.status(r.stored == r.parts && r.parts > 0, before);
    });
}

// --- predefined --------------------------------------------------------------

int runPredefinedList(Invocation& inv) {
    CliContext& ctx = inv.ctx;
    ctx.settings.readTextsAndColumns(ctx.ini);
    if (inv.line.has("--json")) {
        JsonWriter j(ctx.out);
        j.beginArray();
        for (int k = 0; k < Settings::kPredefinedTexts; ++k) {
            const std::string& text = ctx.settings.ptxt[static_cast<std::size_t>(k)];
            if (text.empty())
                continue;
            j.beginObject();
            j.key("number").value(k + 1);
            j.key("text").value(latin1ToUtf8(text));
            j.endObject();
        }
        j.endArray().finish();
    } else {
        for (int k = 0; k < Settings::kPredefinedTexts; ++k) {
            const std::string& text = ctx.settings.ptxt[static_cast<std::size_t>(k)];
            if (!text.empty())
                ctx.out << k + 1 << ';' << escapedText(text) << '\n';
        }
    }
    ctx.out.flush();
    return kExitOk;
}

int runPredefinedSet(Invocation& inv) {
    CliContext& ctx = inv.ctx;
    const auto k = predefinedNumber(inv.line.words[0]);
    if (!k)
        return badPredefinedNumber(inv, inv.line.words[0]);
    const std::string text = gsm::utf8ToMessageText(inv.line.words[1]);
    if (text.empty())
        return inv.usageError("the text is empty (delete K empties a text)");
    ctx.settings.readTextsAndColumns(ctx.ini);
    const std::string kept = text.substr(0, sms::kPredefinedEditMax);
    if (!writePredefinedText(ctx.ini, ctx.settings, *k - 1, kept))
        return inv.fail("cannot write " + ctx.ini.path());
    return kExitOk;
}

int runPredefinedDelete(Invocation& inv) {
    CliContext& ctx = inv.ctx;
    const auto k = predefinedNumber(inv.line.words[0]);
    if (!k)
        return badPredefinedNumber(inv, inv.line.words[0]);
    ctx.settings.readTextsAndColumns(ctx.ini);
    // Every run of the command line is a new start: emptied only in memory,
    // the text would be back at once. The settings file is emptied too.
    if (!writePredefinedText(ctx.ini, ctx.settings, *k - 1, ""))
        return inv.fail("cannot write " + ctx.ini.path());
    return kExitOk;
}

// --- group -------------------------------------------------------------------

int runGroupSend(Invocation& inv) {
    const std::string file = inv.line.words[0];
    sms::SubmitOptions options;
    if (const auto s = readSubmitOptions(inv, options))
        return *s;
    std::string text;
    if (const auto s = readSendText(inv, inv.line.words[1], options.eightBit, text))
        return *s;
    int retries = 0;
    if (const auto s = readRetries(inv, retries))
        return *s;
    return inv.withSession([&] {
        SendAnswers answers(*inv.reporter, inv.ctx.language, retries);
        GroupSession groups(inv.main->session(), answers);
        groups.open();
        groups.group().load(file, answers);
        auto dialog = groups.sendDialog();
        if (!dialog)
            return inv.fail(file + " holds no members");
        std::vector<std::pair<std::string, std::string>> recipients;
        const SendOutcome outcome = dialog->accept(
            {text, "", "", options},
            [&](const std::string& n, const std::string& m) { recipients.emplace_back(n, m); });
        const bool json = inv.line.has("--json");
        JsonWriter j(inv.ctx.out);
        if (json)
            j.beginArray();
        for (std::size_t i = 0; i < outcome.reports.size() && i < recipients.size(); ++i) {
            const auto& [name, number] = recipients[i];
            if (json) {
                j.beginObject();
                j.key("name").value(latin1ToUtf8(name));
                sendReportJson(j, number, outcome.reports[i]);
                j.endObject();
            } else {
                inv.ctx.out << escapedText(name) << ';' << escapedText(number) << ": ";
                printSendReport(inv.ctx.out, outcome.reports[i]);
            }
        }
        // After a link failure the other members were not tried: they are
        // named too, so that the user knows who got nothing.
        const std::vector<sms::GroupMember>& members = groups.group().members();
        for (std::size_t i = outcome.reports.size(); i < members.size(); ++i) {
            if (json) {
                j.beginObject();
                j.key("name").value(latin1ToUtf8(members[i].name));
                j.key("recipient").value(latin1ToUtf8(members[i].number));
                j.key("tried").value(false);
                j.endObject();
            } else {
                inv.ctx.out << escapedText(members[i].name) << ';' << escapedText(members[i].number)
                            << ": not tried\n";
            }
        }
        if (json)
            j.endArray().finish();
        inv.ctx.out.flush();
        return outcome.allSent() && outcome.reports.size() == members.size() ? kExitOk
                                                                             : kExitFailed;
    });
}

int runGroupAdd(Invocation& inv) {
    CliContext& ctx = inv.ctx;
    const std::string file = inv.line.words[0];
    const sms::NameDirectory names = loadSmsNameDirectory(phonebook::kLocalFileName);
    std::vector<sms::NameRecord> chosen;
    for (std::size_t w = 1; w < inv.line.words.size(); ++w) {
        const std::string name = utf8ToLatin1(inv.line.words[w]);
        if (name.empty())
            return inv.usageError("a NAME is empty");
        const sms::NameRecord* found = nullptr;
        for (const sms::NameRecord& r : names.searchable()) {
            if (r.name == name) {
                found = &r;
                break;
            }
        }
        if (!found)
            found = names.findByName(name);
        if (!found)
            return inv.fail("no record of " + std::string(phonebook::kLocalFileName) +
                            " is named '" + inv.line.words[w] + "': nothing added");
        chosen.push_back(*found);
    }
    sms::Group group;
    // A fresh group has nothing to lose: loading asks nothing.
    CliReporter reporter(ctx.language, ctx.err, CliReporter::Policy::No);
    group.load(file, reporter);
    const std::size_t added = group.add(chosen);
    if (!group.save(file))
        return inv.fail("cannot write " + file);
    ctx.out << "added " << added << ", skipped " << chosen.size() - added << '\n';
    ctx.out.flush();
    return kExitOk;
}

// --- command mode ------------------------------------------------------------

int runCommandMode(Invocation& inv) {
    const std::string* ticksText = inv.line.value("--ticks");
    if (!ticksText)
        return inv.usageError("--ticks N is missing");
    const auto ticks = numberInRange(*ticksText, 1, 1000000);
    if (!ticks)
        return inv.usageError("--ticks must be 1 or more");
    std::optional<int> interval;
    if (const std::string* text = inv.line.value("--interval")) {
        interval = numberInRange(*text, CommandModeSession::kMinInterval,
                                 CommandModeSession::kMaxInterval);
        if (!interval)
            return inv.usageError("--interval must be 2 to 600 seconds");
    }
    if (inv.line.has("--check") && inv.line.has("--no-check"))
        return inv.usageError("give one of --check and --no-check");
    if (inv.line.has("--log") && inv.line.has("--no-log"))
        return inv.usageError("give one of --log and --no-log");
    int retries = 0;
    if (const auto s = readRetries(inv, retries))
        return *s;

    return inv.withSession([&] {
        const auto before = inv.reporter->tally();
        SendAnswers answers(*inv.reporter, inv.ctx.language, retries);
        auto mode = CommandModeSession::open(inv.main->session(), answers);
        if (!mode)
            return kExitFailed;  // message 96 or 97
        if (interval)
            mode->setInterval(*interval);
        if (inv.line.has("--check") || inv.line.has("--no-check"))
            mode->setCheckSms(inv.line.has("--check"));
        if (inv.line.has("--log") || inv.line.has("--no-log"))
            mode->mode().setLogging(inv.line.has("--log"));
        const bool json = inv.line.has("--json");
        JsonWriter j(inv.ctx.out);
        if (json)
            j.beginArray();
        mode->mode().start();
        for (int t = 1; t <= *ticks; ++t) {
            if (t > 1)
                std::this_thread::sleep_for(std::chrono::seconds(mode->interval()));
            mode->mode().tick();
            const std::string& status = mode->mode().moduleStatus();
            if (json) {
                j.beginObject().key("tick").value(t).key("moduleStatus");
                if (status.empty())
                    j.null();
                else
                    j.value(latin1ToUtf8(status));
                j.endObject();
            } else {
                inv.ctx.out << "tick " << t;
                if (!status.empty())
                    inv.ctx.out << ": " << escapedText(status);
                inv.ctx.out << '\n';
            }
            inv.ctx.out.flush();
        }
        if (json)
            j.endArray().finish();
        mode->close(mode->interval());
        return inv.status(true, before);
    });
}

int runFamily(Invocation& inv) {
    if (inv.line.words.empty())
        return inv.usageError("a subcommand is missing");
    return inv.usageError("unknown subcommand '" + inv.line.words.front() + "'");
}

}  // namespace

std::vector<CommandEntry> smsCommands() {
    const Needs W = Needs::MainWindow;
    const Needs N = Needs::Nothing;
    const CommandOption retries = {
        "--retries", "N",
        "when the phone does not take a part, answer 'Retry' this often for that part (default "
        "0), then 'Cancel'"};
    const CommandOption replace = {
        "--replace", "",
        "send characters the message cannot carry all the same (each arrives as another "
        "character); without it such a text is refused and the characters named"};
    // The options of a send, as the send dialog has them.
    const std::vector<CommandOption> submit = {
        {"--report", "", "request a status report"},
        {"--8bit", "", "8-bit data instead of 7-bit GSM text"},
        {"--flash", "", "flash message"},
        {"--days", "N", "validity in days, 1 to 4 (default 4)"},
        retries,
        replace,
    };
    const auto sendOptions = [&submit](std::vector<CommandOption> first, CommandOption json) {
        first.insert(first.end(), submit.begin(), submit.end());
        first.push_back(json);
        return first;
    };
    return {
        {"sms",
         "list, export, delete, send and store short messages; predefined\n"
         "                  texts, groups, the command mode (sms SUBCOMMAND --help)",
         {"SUBCOMMAND [ARGS]"},
         kSmsHelp,
         {},
         0,
         99,
         N,
         false,
         runFamily},
        {"sms list",
         "",
         {""},
         kListHelp,
         {{"--json", "", "print the fields as one JSON object"},
          {"--joined", "", "one line for each concatenated message"}},
         0,
         0,
         W,
         false,
         runList},
        {"sms export",
         "",
         {"--format csv|xml FILE"},
         kExportHelp,
         {{"--format", "csv|xml", "the file's format, as above"}},
         1,
         1,
         W,
         false,
         runExport},
        {"sms delete", "", {"INDEX..."}, kDeleteHelp, {}, 1, 255, W, false, runDelete},
        {"sms send",
         "",
         {"--to NUMBER|NAME TEXT"},
         kSendHelp,
         sendOptions({{"--to", "NUMBER|NAME",
                       "a recipient that starts with a digit or '+' is a number; any other text "
                       "is a name: the record of Vondrix.phb with exactly that name, else the one "
                       "whose name contains it; when several do, nothing is sent and they are "
                       "listed"}},
                     {"--json", "", "print the counts as one JSON object"}),
         1,
         1,
         W,
         false,
         runSend},
        {"sms store",
         "",
         {"K"},
         kStoreHelp,
         {{"--replace", "",
           "store characters a message cannot carry all the same (each arrives as another "
           "character)"},
          {"--json", "", "print the indexes as one JSON object"}},
         1,
         1,
         W,
         false,
         runStore},
        {"sms predefined", "", {}, kPredefinedHelp, {}, 0, 99, N, false, runFamily},
        {"sms predefined list",
         "",
         {""},
         kPredefinedHelp,
         {{"--json", "", "print the texts as a JSON array"}},
         0,
         0,
         N,
         false,
         runPredefinedList},
        {"sms predefined set",
         "",
         {"K TEXT"},
         kPredefinedHelp,
         {},
         2,
         2,
         N,
         false,
         runPredefinedSet},
        {"sms predefined delete",
         "",
         {"K"},
         kPredefinedHelp,
         {},
         1,
         1,
         N,
         false,
         runPredefinedDelete},
        {"sms group", "", {}, kGroupHelp, {}, 0, 99, N, false, runFamily},
        {"sms group send",
         "",
         {"FILE.srp TEXT"},
         kGroupHelp,
         sendOptions({}, {"--json", "", "print one JSON object per member"}),
         2,
         2,
         W,
         false,
         runGroupSend},
        {"sms group add", "", {"FILE.srp NAME..."}, kGroupHelp, {}, 2, 999, N, false, runGroupAdd},
        {"sms command-mode",
         "",
         {"--ticks N"},
         kCommandModeHelp,
         {{"--ticks", "N", "run N timer ticks"},
          {"--interval", "S", "seconds between ticks, 2 to 600 (default WaitSec)"},
          {"--check", "", "hand over received messages (CheckSMS on)"},
          {"--no-check", "", "only poll the module (CheckSMS off)", true},
          {"--log", "", "write the hand-overs to Vondrix.log (MonProt on)"},
          {"--no-log", "", "write no hand-overs to Vondrix.log (MonProt off)", true},
          {"--retries", "N", "as for 'sms send', for the module's answers (default 0)"},
          {"--json", "", "print one JSON object per tick"}},
         0,
         0,
         W,
         false,
         runCommandMode},
    };
}

}  // namespace vondrix::cli
