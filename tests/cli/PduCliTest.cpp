#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/RunProcess.h"

namespace vondrix {
namespace {

class PduCliTest : public ::testing::Test {
  protected:
    PduCliTest() : dir(test::makeTempDir("pdu")) {}
    ~PduCliTest() override { std::filesystem::remove_all(dir); }

    test::ProcessResult run(const std::vector<std::string>& args) {
        return test::runProcess(VONDRIX_CLI_PATH, args, dir);
    }
    void writeIni(const std::string& body) {
        std::ofstream(dir + "/Vondrix.ini") << "[Vondrix]\r\n" << body;
    }

    std::string dir;
};

// Received "hellohello" from +49123456789, timestamp 01/04/12 13:45:00.
constexpr const char* kDeliver =
    "00040B919421436587F9000010402131540080"
    "0AE8329BFD4697D9EC37";

TEST_F(PduCliTest, DecodePrintsOneFieldALine) {
    const auto r = run({"pdu", "decode", kDeliver});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "Kind: received\n"
              "Number: +49123456789\n"
              "Date: 01/04/12 13:45:00\n"
              "Coding: 00 (7-bit)\n"
              "Text: hellohello\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(PduCliTest, DecodeReadsSwapDFromTheIniFile) {
    writeIni("SwapD=1\r\n");
    const auto r = run({"pdu", "decode", "--status", "1", kDeliver});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Date: 12/04/01 13:45:00\n"), std::string::npos) << r.out;
}

TEST_F(PduCliTest, DecodeStatusReportAndStoredMessage) {
    const auto report =
        run({"pdu", "decode", "0006D60B911326880736F4111011719551401110117195714000"});
    ASSERT_EQ(report.exitCode, 0) << report.err;
    EXPECT_EQ(report.out,
              "Kind: status report\n"
              "Number: +31628870634\n"
              "Date: 11/01/11 17:59:15\n"
              "Discharge: 11/01/11 17:59:17\n");

    const auto stored =
        run({"pdu", "decode", "--status=3", "0001000B917228001011F100000CC8329BFD065DDF72363904"});
    ASSERT_EQ(stored.exitCode, 0) << stored.err;
    EXPECT_EQ(stored.out,
              "Kind: stored\n"
              "Number: +27820001111\n"
              "Coding: 00 (7-bit)\n"
              "Text: Hello World!\n");
}

TEST_F(PduCliTest, DecodeWritesUtf8AndEscapesLineBreaks) {
    // 8-bit: a concatenation header, then E9 (é) and 0A (a carriage return in the table).
    const auto r = run({"pdu", "decode",
                        "00440B919421436587F9000410402131540080"
                        "080500032A0302E90A"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Coding: 04 (8-bit)\nPart: 2/3 (reference 42)\n"), std::string::npos)
        << r.out;
    EXPECT_TRUE(r.out.ends_with("\nText: \xC3\xA9\\r\n")) << r.out;  // the header is no text
}

TEST_F(PduCliTest, DecodeFailuresAndUsage) {
    EXPECT_EQ(run({"pdu", "decode", "0004"}).exitCode, 1);
    EXPECT_EQ(run({"pdu", "decode", "XYZ0"}).exitCode, 1);
    const auto noPdu = run({"pdu", "decode"});
    EXPECT_EQ(noPdu.exitCode, 2);
    EXPECT_NE(noPdu.err.find("HEX"), std::string::npos) << noPdu.err;
    EXPECT_EQ(run({"pdu", "decode", "--status", "4", kDeliver}).exitCode, 2);
    EXPECT_EQ(run({"pdu", "decode", "--status"}).exitCode, 2);
    EXPECT_EQ(run({"pdu", "decode", "--bogus", kDeliver}).exitCode, 2);
    EXPECT_EQ(run({"pdu", "frobnicate"}).exitCode, 2);
    EXPECT_EQ(run({"pdu"}).exitCode, 2);
    const auto help = run({"pdu", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("pdu encode --to NUMBER"), std::string::npos);
}

TEST_F(PduCliTest, EncodePrintsTheWorkedExample) {
    const auto r = run({"pdu", "encode", "--to", "+49123456789", "hellohello"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "01811100"
              "0B919421436587F9"
              "0000AA0A"
              "E8329BFD4697D9EC37\n");
}

TEST_F(PduCliTest, EncodeOptionsAndPrefixSettings) {
    writeIni("IntPrefix=1\r\nTPref=+49\r\n");
    const auto r = run({"pdu", "encode", "--smsc", "+4917", "--to", "0123456789", "--report",
                        "--flash", "--days", "2", "hellohello"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "03919471"
              "3100"
              "0B919421436587F9"
              "00F0A8"
              "0AE8329BFD4697D9EC37\n");
}

TEST_F(PduCliTest, EncodeEightBitWithGsmConvFromTheIniFile) {
    // "ä@" typed as UTF-8: Latin-1 E4 40, or GSM 7B 00 through the alphabet.
    const auto plain = run({"pdu", "encode", "--to", "1", "--8bit", "\xC3\xA4@"});
    EXPECT_EQ(plain.out,
              "0181110001"
              "81F1"
              "00F6AA02E440\n");
    writeIni("GSMconv=1\r\n");
    const auto conv = run({"pdu", "encode", "--to", "1", "--8bit", "\xC3\xA4@"});
    EXPECT_EQ(conv.out,
              "0181110001"
              "81F1"
              "00F6AA027B00\n");
}

TEST_F(PduCliTest, EncodeSplitsIntoPartsAndPartSelectsOne) {
    const std::string text(161, 'a');
    const auto all = run({"pdu", "encode", "--to", "1", text});
    ASSERT_EQ(all.exitCode, 0) << all.err;
    const auto second = all.out.find('\n') + 1;
    EXPECT_EQ(all.out.substr(second),
              "0181110101"
              "81F1"
              "0000AA"
              "0161\n");

    const auto part2 = run({"pdu", "encode", "--to", "1", "--part", "2", text});
    EXPECT_EQ(part2.out, all.out.substr(second));
    const auto part1 = run({"pdu", "encode", "--to", "1", "--part=1", text});
    EXPECT_EQ(part1.out, all.out.substr(0, second));

    const auto beyond = run({"pdu", "encode", "--to", "1", "--part", "3", text});
    EXPECT_EQ(beyond.exitCode, 2);
    EXPECT_NE(beyond.err.find("2 part(s)"), std::string::npos) << beyond.err;
}

TEST_F(PduCliTest, EncodeUsageErrors) {
    EXPECT_EQ(run({"pdu", "encode", "hello"}).exitCode, 2);                  // no --to
    EXPECT_EQ(run({"pdu", "encode", "--to", "Anna", "hello"}).exitCode, 2);  // not a number
    EXPECT_EQ(run({"pdu", "encode", "--to", "1", "--days", "5", "hi"}).exitCode, 2);
    EXPECT_EQ(run({"pdu", "encode", "--to", "1", "--days", "1", "hi"}).exitCode, 0);  // the least
    EXPECT_EQ(run({"pdu", "encode", "--to", "1", "--part", "0", "hi"}).exitCode, 2);
    EXPECT_EQ(run({"pdu", "encode", "--to", "1", ""}).exitCode, 2);  // empty text
    EXPECT_EQ(run({"pdu", "encode", "--to", "1", "a", "b"}).exitCode, 2);
    EXPECT_EQ(run({"pdu", "encode", "--to"}).exitCode, 2);
    // "--" lets a text start with a dash.
    const auto dash = run({"pdu", "encode", "--to", "1", "--", "-5"});
    EXPECT_EQ(dash.exitCode, 0) << dash.err;
}

}  // namespace
}  // namespace vondrix
