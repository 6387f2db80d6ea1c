// The manual page and the bash completion are written at build time from
// the command table: each must name every command and option of it.

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>

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
        std::vector<std::string> all = c.valued;
        all.insert(all.end(), c.flags.begin(), c.flags.end());
        for (const std::string& o : all) {
            EXPECT_NE(man.find(o), std::string::npos) << name << " " << o;
            EXPECT_EQ(listed.count(o), 1u) << name << " " << o;
        }
    }
    for (const cli::GlobalOption& o : cli::globalOptions()) {
        EXPECT_NE(man.find(o.name), std::string::npos) << o.name;
        EXPECT_NE(completion.find(std::string(o.name).substr(0, std::string(o.name).find(','))),
                  std::string::npos)
            << o.name;
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
