// The manual page and the bash completion are written at build time from
// the command table: each must name every command and option of it.

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string_view>

#include "cli/Cli.h"
#include "support/FileTraps.h"
#include "support/RunProcess.h"

namespace vondrix {
namespace {

TEST(CliDocs, ManualAndCompletionNameEveryCommandAndOption) {
    // roff writes a minus sign as "\-".
    const std::string man =
        std::regex_replace(test::fileText(VONDRIX_MAN_PAGE), std::regex(R"(\\-)"), "-");
    const std::string completion = test::fileText(VONDRIX_COMPLETION);
    for (const cli::CommandEntry& c : cli::commandTable()) {
        const std::string name(c.name);
        EXPECT_NE(man.find(".SS \"" + name + "\""), std::string::npos) << name;
        const std::string key = "[\"" + name + "\"]=\"";
        const auto row = completion.find(key);
        ASSERT_NE(row, std::string::npos) << name;
        const auto from = row + key.size();
        std::istringstream words(completion.substr(from, completion.find('"', from) - from));
        const std::set<std::string> listed{std::istream_iterator<std::string>(words), {}};
        for (const cli::CommandOption& o : c.options) {
            EXPECT_NE(man.find(o.name), std::string::npos) << name << " " << o.name;
            EXPECT_EQ(listed.count(o.name), 1u) << name << " " << o.name;
        }
    }
    for (const cli::GlobalOption& o : cli::globalOptions()) {
        EXPECT_NE(man.find(o.name), std::string::npos) << o.name;
        EXPECT_NE(completion.find(std::string(o.name).substr(0, std::string(o.name).find(','))),
                  std::string::npos)
            << o.name;
    }
}

// The help is written from the option list the reader takes: each option
// the reader takes is in the help, and each option the help names is taken
// by the command, by one that shares its help, by a subcommand of a family,
// or by the program before the command.
TEST(CliDocs, HelpNamesTheOptionsTheReaderTakes) {
    std::set<std::string> programOptions = {"--help"};
    for (const cli::GlobalOption& o : cli::globalOptions()) {
        std::istringstream names(std::regex_replace(o.name, std::regex(","), " "));
        programOptions.insert(std::istream_iterator<std::string>(names), {});
    }
    const std::regex optionName("--[a-z0-9][a-z0-9-]*");
    const auto namedIn = [&](const std::string& text) {
        std::vector<std::string> names;
        for (auto m = std::sregex_iterator(text.begin(), text.end(), optionName);
             m != std::sregex_iterator(); ++m)
            names.push_back(m->str());
        return names;
    };
    std::ostringstream out, err;
    cli::CliContext ctx{
        IniFile("Vondrix.ini"),        Settings{}, Language::English, out, err, {}, {}, false, {},
        cli::CliContext::Answers::Ask, {}};
    for (const cli::CommandEntry& c : cli::commandTable()) {
        SCOPED_TRACE(c.name);
        const std::string help = cli::helpText(c);
        const auto read = [&](std::vector<std::string> args) {
            args.insert(args.end(), c.minWords, "1");
            cli::CommandLine line;
            return cli::readCommandLine(ctx, c, args, line);
        };
        std::set<std::string> taken = programOptions;
        for (const cli::CommandEntry& other : cli::commandTable()) {
            if (other.help != c.help &&
                !std::string_view(other.name).starts_with(std::string(c.name) + " "))
                continue;
            for (const cli::CommandOption& o : other.options)
                taken.insert(o.name);
        }
        for (const cli::CommandOption& o : c.options) {
            const std::string shown = std::string(o.name) + (*o.value ? " " : "") + o.value;
            EXPECT_NE(help.find(shown), std::string::npos) << shown;
            std::vector<std::string> args = {o.name};
            if (*o.value)
                args.emplace_back("1");
            EXPECT_EQ(read(args), std::nullopt) << o.name << ": " << err.str();
        }
        EXPECT_EQ(read({"--unlisted"}), cli::kExitUsage);
        for (const std::string& name : namedIn(help)) {
            EXPECT_EQ(taken.count(name), 1u) << name << " is named in the help";
        }
        for (const char* form : c.forms) {
            for (const std::string& name : namedIn(form)) {
                EXPECT_NE(c.option(name), nullptr) << name << " is in a usage line";
            }
        }
    }
}

TEST(CliDocs, EveryProgramPrintsTheOneVersion) {
    const std::string dir = test::makeTempDir("version");
    for (const auto& [program, name] : {std::pair{VONDRIX_CLI_PATH, "vondrix-cli"},
                                        std::pair{VONDRIX_PHONESIM_PATH, "vondrix-phonesim"}}) {
        const auto r = test::runProcess(program, {"--version"}, dir);
        EXPECT_EQ(r.exitCode, 0) << name;
        EXPECT_EQ(r.out, std::string(name) + " " VONDRIX_VERSION "\n");
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vondrix
