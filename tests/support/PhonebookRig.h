#pragma once

// The phonebook window's session and services over a real pty, against the
// simulated phone or a scripted peer: the one rig of the phonebook's
// end-to-end tests.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "foundation/Settings.h"
#include "link/AtEngine.h"
#include "phonesim/Simulator.h"
#include "session/PhonebookWindowSession.h"
#include "support/FileTraps.h"
#include "support/RecordingReporter.h"
#include "support/RunProcess.h"
#include "support/ScriptedPhone.h"
#include "support/SimulatorLink.h"

namespace vondrix::test {

using Lines = std::vector<std::string>;

// The window's session and its services on an open link, and what the
// tests look at. The local file and the settings file go to a folder of
// their own.
struct PhonebookOnLink {
    PhonebookOnLink(PhoneLink openLink, std::chrono::milliseconds limit)
        : dir(makeTempDir("phonebook")), session(dir + "/Vondrix.ini") {
        session.link = std::move(openLink);
        engine.setTimeouts(limit, limit);
    }
    ~PhonebookOnLink() { std::filesystem::remove_all(dir); }
    PhonebookOnLink(const PhonebookOnLink&) = delete;
    PhonebookOnLink& operator=(const PhonebookOnLink&) = delete;

    // The row showing the live entry at `location` (a failure when none).
    std::size_t rowOf(int location) const {
        const auto& rows = model.current.rows;
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].location == location && !rows[i].name.empty())
                return i;
        ADD_FAILURE() << "no row for location " << location;
        return rows.size();
    }
    // The live entry at `location`, or an empty one.
    const phonebook::PhonebookEntry& entryAt(int location) const {
        static const phonebook::PhonebookEntry none;
        const std::size_t pos = model.current.findLocation(location);
        return pos == phonebook::CurrentPhonebook::npos ? none : model.current.entries[pos];
    }

    std::string localFile() const { return dir + "/Vondrix.phb"; }
    // A file of the folder holding `content`; its path.
    std::string file(const std::string& name, const std::string& content) const {
        const std::string path = dir + "/" + name;
        EXPECT_TRUE(writeText(path, content)) << path;
        return path;
    }

    std::string dir;
    Session session;
    AtEngine& engine = session.engine;
    Settings& settings = session.settings;
    phonebook::PhonebookModel& model = session.phonebook;
    RecordingReporter reporter;
    PhonebookWindowSession window{session, reporter, localFile()};
    phonebook::PhonebookReader& reader = window.reader();
    phonebook::PhonebookWriter& writer = window.writer();
    phonebook::CallService& calls = window.calls();
    phonebook::ServiceCentreService& centre = window.serviceCentre();
};

namespace detail {
struct SimulatedPeer {
    explicit SimulatedPeer(const std::function<void(phonesim::PhoneState&)>& prepare,
                           phonesim::PhoneState start)
        : sim(std::move(start)) {
        if (prepare)
            sim.withState(prepare);
    }
    phonesim::Simulator sim;
};
struct ScriptedPeer {
    explicit ScriptedPeer(ScriptedPhone::Kind kind) : phone(kind) {}
    ScriptedPhone phone;
};
}  // namespace detail

// Against the simulated phone (demo contents unless `start` says otherwise),
// prepared by `prepare`.
struct SimulatedPhonebookRig : detail::SimulatedPeer, PhonebookOnLink {
    explicit SimulatedPhonebookRig(const std::function<void(phonesim::PhoneState&)>& prepare = {},
                                   phonesim::PhoneState start = phonesim::PhoneState::demo())
        : SimulatedPeer(prepare, std::move(start)),
          PhonebookOnLink(test::simulatorLink(sim), std::chrono::seconds(3)) {}

    phonesim::PhoneState phone() { return phoneOf(sim); }
    // Reads the current kind and forgets the traffic so far.
    void read() {
        ASSERT_TRUE(reader.selectCurrent());
        ASSERT_TRUE(reader.readCurrent());
        forget();
    }
    void forget() {
        sim.clearReceived();
        reporter.shown.clear();
        reporter.progress.clear();
    }
    Lines lines() const { return sim.receivedLines(); }
};

// Against a peer that answers each line with the next scripted reply.
struct ScriptedPhonebookRig : detail::ScriptedPeer, PhonebookOnLink {
    explicit ScriptedPhonebookRig(std::chrono::milliseconds limit = std::chrono::milliseconds(700),
                                  ScriptedPhone::Kind kind = ScriptedPhone::Kind::Pty)
        : ScriptedPeer(kind), PhonebookOnLink(phone.clientLink(), limit) {}

    void reply(const std::string& bytes) { phone.reply(bytes); }
    void reply(std::vector<ScriptedPhone::Piece> pieces) { phone.reply(std::move(pieces)); }
    void replies(const std::vector<std::string>& all) {
        for (const auto& r : all)
            phone.reply(r);
    }
    Lines lines() const { return phone.lines(); }
};

}  // namespace vondrix::test
