// Decoded PDUs per second for a mix of 7-bit, 8-bit and UCS2 listed
// messages (received, stored, status report), median of several runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "sms/Pdu.h"

namespace {

using vondrix::sms::decodeListedMessage;

struct Sample {
    int status;
    std::string pdu;
};

std::vector<Sample> samples() {
    return {
        // 7-bit, 160 characters (SFR France, class 1).
        {1,
         "07913306091093F0040485810000F111604231805180A049B7F90D9A1AA5A01668F8769BD3E4B29B9E2EB3"
         "59A03FC85D06A9C3ED707A0EA2CBC3EE79BB4CA7CBCBA05643617DA7C76990FD4D979741EE77DD5E0ED741"
         "ED371D442E83E0E1F9BC0CD281E677D9B84C06C1DF7539E85C9097E520FB9B2E2F83C6EF369C5E064D8D52"
         "D0BC2E07DDEF77D7DC2C7799E5A0771D040FCB41F402BB0047BFDD6550B80ECAD966\r\n"},
        // 7-bit, short.
        {0, "07912143658709F1040B918100551512F20000111010214365000AE8329BFD4697D9EC37\r\n"},
        // 7-bit with a concatenation header.
        {1,
         "07912160130320F6440B916171056429F5000021405291651569320500034C0202E9E8301D44479741F0B0"
         "9C3E0785E56590BCCC0ED3CB6410FD0D7ABBCBA0B0FB4D4797E52E10\r\n"},
        // 8-bit.
        {1, "07912143658709F1040B918100551512F20004111010214365000AE8329BFD4697D9EC37DE\r\n"},
        // 8-bit stored, no validity period.
        {2, "0591721891F101000B917228214365F700040C48656C6C6F20776F726C6421\r\n"},
        // UCS2 with an alphanumeric sender.
        {1, "07919730071111F10414D04937BD2C7797E9D3E614000811309291024061080442043504410442\r\n"},
        // UCS2 stored, 17 characters.
        {2,
         "002100098136397339F70008224F60597D4F60597D4F60597D4F60597D4F60597D4F60597D4F60597D4F"
         "60597D4F60\r\n"},
        // Status report.
        {1, "07914356060013F1065A098136397339F7219011700463802190117004638030\r\n"},
    };
}

}  // namespace

int main() {
    const auto mix = samples();
    const vondrix::sms::CodecSettings settings;
    constexpr int kRuns = 7;
    constexpr std::size_t kPerRun = 400000;

    std::vector<double> rates;
    std::size_t sink = 0;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < kPerRun; ++i) {
            const Sample& s = mix[i % mix.size()];
            const auto m = decodeListedMessage(s.status, s.pdu, settings);
            sink += m.text.size() + m.number.size() + m.lineLength;
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        rates.push_back(static_cast<double>(kPerRun) / took.count());
    }
    std::sort(rates.begin(), rates.end());
    std::printf(
        "pdu decode: %.0f PDUs/s (median of %d runs of %zu; mix of %zu PDUs: 7-bit, "
        "8-bit, UCS2, status report; min %.0f, max %.0f) [checksum %zu]\n",
        rates[rates.size() / 2], kRuns, kPerRun, mix.size(), rates.front(), rates.back(), sink);
    return 0;
}
