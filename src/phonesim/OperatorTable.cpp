// The phone's built-in operator names. Well-known GSM networks of the
// phone's time are listed by name; smaller markets get plausible entries
// made up from their MCC and a country tag, as a firmware table would list
// a few networks for every country.

#include "phonesim/OperatorTable.h"

#include <algorithm>
#include <array>
#include <map>

namespace phonesim {
namespace {

struct Known {
    int code;
    const char* name;
};

// clang-format off
constexpr Known kKnown[] = {
    // Europe
    {20201, "GR COSMOTE"}, {20205, "GR PANAFON"}, {20209, "GR Q-TELECOM"}, {20210, "GR TELESTET"},
    {20404, "NL LIBERTEL"}, {20408, "NL KPN"}, {20412, "NL TELFORT"}, {20416, "NL BEN"},
    {20420, "NL DUTCHTONE"},
    {20601, "B PROXIMUS"}, {20610, "B MOBISTAR"}, {20620, "B BASE"},
    {20801, "F ITINERIS"}, {20810, "F SFR"}, {20820, "F BOUYGUES TELECOM"},
    {21201, "MC OFFICE TELEPHONES"},
    {21303, "AND MOBILAND"},
    {21401, "E AIRTEL"}, {21403, "E AMENA"}, {21404, "E XFERA"}, {21407, "E MOVISTAR"},
    {21601, "H PANNON GSM"}, {21630, "H WESTEL 900"}, {21670, "H VODAFONE"},
    {21803, "BIH ERONET"}, {21805, "BIH MOBI'S"}, {21890, "BIH GSMBIH"},
    {21901, "HR CRONET"}, {21910, "HR VIP"},
    {22001, "YU MOBTEL"}, {22002, "YU PROMONTE"}, {22003, "YU TELEKOM SRBIJA"}, {22004, "YU MONET"},
    {22201, "I TIM"}, {22210, "I OMNITEL"}, {22288, "I WIND"}, {22298, "I BLU"}, {22299, "I 3"},
    {22601, "RO CONNEX"}, {22603, "RO COSMOROM"}, {22610, "RO DIALOG"},
    {22801, "SWISS GSM"}, {22802, "sunrise"}, {22803, "Orange CH"},
    {23001, "CZ PAEGAS"}, {23002, "CZ EUROTEL"}, {23003, "CZ OSKAR"},
    {23101, "SK GLOBTEL"}, {23102, "SK EUROTEL"},
    {23201, "A1"}, {23203, "A max.mobil."}, {23205, "A one"}, {23207, "A tele.ring"}, {23210, "A 3"},
    {23410, "UK CELLNET"}, {23415, "UK VODAFONE"}, {23420, "UK 3"}, {23430, "UK ONE2ONE"},
    {23433, "UK ORANGE"}, {23450, "JT GSM"}, {23455, "GUERNSEY TEL"}, {23458, "MANX PRONTO"},
    {23801, "DK TDC MOBIL"}, {23802, "DK SONOFON"}, {23820, "DK TELIA"}, {23830, "DK ORANGE"},
    {24001, "S TELIA MOBITEL"}, {24002, "S 3"}, {24007, "S COMVIQ"}, {24008, "S EUROPOLITAN"},
    {24201, "N TELENOR"}, {24202, "N NETCOM GSM"},
    {24403, "FI TELIA"}, {24405, "FI RADIOLINJA"}, {24412, "FI 2G"}, {24414, "FI AMT"},
    {24491, "FI SONERA"},
    {24601, "LT OMNITEL"}, {24602, "LT BITE GSM"}, {24603, "LT TELE2"},
    {24701, "LV LMT GSM"}, {24702, "LV BALTCOM"},
    {24801, "EE EMT GSM"}, {24802, "EE RLE"}, {24803, "EE Q GSM"},
    {25001, "RUS MTS"}, {25002, "RUS NWGSM"}, {25007, "RUS BM TELECOM"}, {25010, "RUS DTC"},
    {25012, "RUS FAR EAST"}, {25020, "RUS TELE2"}, {25039, "RUS URALTEL"},
    {25044, "RUS NORTH CAUCASIAN"}, {25099, "RUS BEELINE"},
    {25501, "UA UMC"}, {25502, "UA WELLCOM"}, {25503, "UA KYIVSTAR"}, {25505, "UA GOLDEN TELECOM"},
    {25701, "BY VELCOM"}, {25702, "BY MTS"},
    {25901, "MD VOXTEL"}, {25902, "MD MOLDCELL"},
    {26001, "PL PLUS GSM"}, {26002, "PL ERA GSM"}, {26003, "PL IDEA"},
    {26201, "D1-TELEKOM"}, {26202, "D2 PRIVAT"}, {26203, "E-Plus"}, {26207, "Interkom"},
    {26213, "MobilCom"}, {26214, "Quam"},
    {26601, "GIBTEL"},
    {26801, "P TELECEL"}, {26803, "P OPTIMUS"}, {26806, "P TMN"},
    {27001, "L LUXGSM"}, {27077, "L TANGO"}, {27099, "L VOXMOBILE"},
    {27201, "IRL EIRCELL"}, {27202, "IRL DIGIFONE"}, {27203, "IRL METEOR"},
    {27401, "IS SIMINN"}, {27402, "IS TAL"}, {27404, "IS VIKING"},
    {27601, "AL AMC"}, {27602, "AL VODAFONE"},
    {27801, "MT VODAFONE"}, {27821, "MT GO MOBILE"},
    {28001, "CY CYTA"}, {28010, "CY AREEBA"},
    {28201, "GEO GEOCELL"}, {28202, "GEO MAGTI"},
    {28301, "AM ARMGSM"},
    {28401, "BG M-TEL GSM"}, {28405, "BG GLOBUL"},
    {28601, "TR TURKCELL"}, {28602, "TR TELSIM"}, {28603, "TR ARIA"}, {28604, "TR AYCELL"},
    {28801, "FO FT GSM"}, {28802, "FO KALL"},
    {29001, "GL TELE GREENLAND"},
    {29201, "SMR PRIMA"},
    {29340, "SI SI.MOBIL"}, {29341, "SI MOBITEL"}, {29370, "SI VEGA"},
    {29401, "MKD MOBIMAK"}, {29402, "MKD MTS"},
    {29501, "FL SWISSCOM"}, {29502, "FL ORANGE"}, {29505, "FL1"}, {29577, "FL TANGO"},
    // Americas
    {302370, "CAN MICROCELL"}, {302720, "CAN ROGERS AT&T"},
    {310026, "T-MOBILE USA"}, {310150, "CINGULAR"}, {310170, "CINGULAR PACIFIC"},
    {310260, "VOICESTREAM"}, {310380, "AT&T WIRELESS"}, {310410, "CINGULAR WIRELESS"},
    {334020, "MX TELCEL GSM"},
    {33805, "JM DIGICEL"},
    {34001, "ORANGE CARAIBE"},
    {374012, "TT TSTT"},
    {70401, "GT CLARO"},
    {706001, "SV CTE PERSONAL"},
    {708001, "HN MEGATEL"},
    {71073, "NI ENITEL"},
    {71201, "CR ICE"},
    {71401, "PA CABLE & WIRELESS"},
    {71610, "PE TIM"},
    {72207, "AR UNIFON"}, {72234, "AR PERSONAL"}, {722310, "AR CTI MOVIL"},
    {72402, "BR TIM"}, {72405, "BR CLARO"}, {72416, "BR BRT GSM"}, {72431, "BR OI"},
    {73001, "CL ENTEL PCS"}, {73002, "CL MOVISTAR"}, {73003, "CL SMARTCOM"},
    {732101, "CO COMCEL"}, {732111, "CO OLA"},
    {73401, "VE INFONET"}, {73402, "VE DIGITEL"},
    {73601, "BO NUEVATEL"}, {73602, "BO ENTEL"},
    {74000, "EC PORTA GSM"}, {74001, "EC BELLSOUTH"},
    {74401, "PY VOX"}, {74402, "PY PORTHABLE"},
    {74801, "UY ANCEL"}, {74807, "UY MOVISTAR"},
    // Asia and Pacific
    {40001, "AZE AZERCELL"}, {40002, "AZE BAKCELL"},
    {40101, "KZ K-MOBILE"}, {40102, "KZ KCELL"},
    {40410, "IN AIRTEL"}, {40411, "IN HUTCH"}, {40420, "IN ORANGE"}, {40421, "IN BPL MOBILE"},
    {40427, "IN BPL MAHARASHTRA"}, {40430, "IN COMMAND"}, {40441, "IN RPG CELLULAR"},
    {40443, "IN HUTCH TN"}, {40445, "IN AIRTEL KA"}, {40486, "IN HUTCH KA"},
    {41001, "PK MOBILINK"}, {41003, "PK UFONE"},
    {41302, "LK DIALOG GSM"},
    {41501, "LB CELLIS"}, {41503, "LB LIBANCELL"},
    {41601, "JO FASTLINK"}, {41677, "JO MOBILECOM"},
    {41701, "SYRIATEL"}, {41702, "SY 94"},
    {41902, "KT MTCNET"}, {41903, "KT WATANIYA"},
    {42001, "KSA AL JAWAL"}, {42003, "KSA MOBILY"},
    {42202, "OMAN MOBILE"},
    {42402, "UAE ETISALAT"},
    {42501, "IL ORANGE"}, {42502, "IL CELLCOM"},
    {42601, "BHR BATELCO"}, {42602, "BHR MTC-VODAFONE"},
    {42701, "QAT QATARNET"},
    {43211, "IR TCI"}, {43214, "IR KISH"},
    {45201, "VN MOBIFONE"}, {45202, "VN VINAPHONE"},
    {45400, "HK CSL"}, {45404, "HK ORANGE"}, {45406, "HK SMARTONE"}, {45410, "HK NEW WORLD"},
    {45412, "HK PEOPLES"}, {45416, "HK SUNDAY"},
    {45500, "MO SMC"}, {45501, "MO CTM GSM"},
    {46000, "CHINA MOBILE"}, {46001, "CHN-CUGSM"},
    {46601, "TW FAR EASTONE"}, {46688, "TW KGT-ONLINE"}, {46692, "TW CHUNGHWA"},
    {46693, "TW MOBITAI"}, {46697, "TW CELLULAR"}, {46699, "TW TRANSASIA"},
    {47001, "BD GRAMEENPHONE"}, {47002, "BD AKTEL"}, {47019, "BD SHEBA WORLD"},
    {50212, "MY MAXIS"}, {50213, "MY TM TOUCH"}, {50216, "MY DIGI"}, {50217, "MY TIMECEL"},
    {50219, "MY CELCOM"},
    {50501, "TELSTRA"}, {50502, "YES OPTUS"}, {50503, "VODAFONE AUS"}, {50506, "AU 3"},
    {51001, "ID SATELINDO"}, {51010, "ID TELKOMSEL"}, {51011, "ID PROXL"}, {51021, "ID IM3"},
    {51502, "PH GLOBE"}, {51503, "PH SMART"}, {51505, "PH SUN"},
    {52001, "TH GSM"}, {52015, "TH ACT 1900"}, {52018, "TH DTAC"}, {52099, "TH ORANGE"},
    {52501, "SINGTEL"}, {52503, "SG M1-GSM"}, {52505, "SG STARHUB"},
    {53001, "VODAFONE NZ"},
    // Africa
    {60201, "EGY MOBINIL"}, {60202, "EGY CLICK GSM"},
    {60301, "DZ ALGERIAN MOBILE"}, {60302, "DZ DJEZZY"},
    {60400, "MA MEDITEL"}, {60401, "MA IAM"},
    {60502, "TN TUNISIE TELECOM"},
    {60801, "SN ALIZE"}, {60802, "SN SENTEL"},
    {61203, "CI ORANGE"}, {61205, "CI TELECEL"},
    {61701, "MU CELLPLUS"}, {61710, "MU EMTEL"},
    {62001, "GH SPACEFON"}, {62002, "GH ONETOUCH"}, {62003, "GH MOBITEL"},
    {62120, "NG ECONET"}, {62130, "NG MTN"}, {62140, "NG NITEL GSM"},
    {62401, "CM MTN"}, {62402, "CM ORANGE"},
    {63902, "KE SAFARICOM"}, {63903, "KE KENCELL"},
    {64002, "TZ MOBITEL"}, {64004, "TZ VODACOM"},
    {64101, "UG CELTEL"}, {64110, "UG MTN"},
    {64501, "ZM CELTEL"},
    {64601, "MG MADACOM"}, {64602, "MG ANTARIS"},
    {64700, "RE ORANGE"}, {64710, "RE SFR"},
    {64801, "ZW NET*ONE"}, {64803, "ZW TELECEL"}, {64804, "ZW ECONET"},
    {64901, "NA MTC"},
    {65201, "BW MASCOM"}, {65202, "BW VISTA"},
    {65501, "ZA VODACOM"}, {65507, "ZA CELL C"}, {65510, "ZA MTN"},
};

// Markets without a named entry above: the MCC, a tag as the phone shows
// it, and how many networks it lists.
struct Market {
    int mcc;
    const char* tag;
    int networks;
};

constexpr Market kMarkets[] = {
    {364, "BS", 1}, {342, "BB", 1}, {350, "BM", 1}, {368, "CU", 1}, {370, "DO", 1},
    {372, "HT", 1}, {738, "GY", 1}, {746, "SR", 1}, {402, "BT", 1}, {412, "AF", 1},
    {418, "IQ", 1}, {421, "YE", 1}, {428, "MN", 1}, {429, "NP", 1}, {434, "UZ", 2},
    {436, "TJ", 1}, {437, "KG", 1}, {438, "TM", 1}, {456, "KH", 2}, {457, "LA", 2},
    {472, "MV", 1}, {528, "BN", 2}, {537, "PG", 1}, {539, "TO", 1}, {541, "VU", 1},
    {542, "FJ", 1}, {546, "NC", 1}, {547, "PF", 1}, {549, "WS", 1}, {606, "LY", 1},
    {607, "GM", 1}, {609, "MR", 2}, {610, "ML", 2}, {611, "GN", 2}, {613, "BF", 2},
    {614, "NE", 2}, {615, "TG", 2}, {616, "BJ", 2}, {618, "LR", 2}, {619, "SL", 2},
    {622, "TD", 2}, {625, "CV", 1}, {628, "GA", 2}, {629, "CG", 2}, {631, "AO", 2},
    {633, "SC", 2}, {634, "SD", 2}, {635, "RW", 2}, {636, "ET", 1}, {637, "SO", 2},
    {638, "DJ", 1}, {642, "BI", 2}, {643, "MZ", 2}, {650, "MW", 2}, {651, "LS", 2},
    {653, "SZ", 1},
};
// clang-format on

// Brands a firmware table shows for smaller markets, taken in turn.
constexpr std::array<const char*, 8> kBrands = {"TELECOM", "CELL",   "MOBILE", "GSM",
                                                "MOVIL",   "TELCEL", "ONE",    "WIRELESS"};

std::vector<OperatorInfo> buildTable() {
    std::map<int, std::string> table;
    for (const Known& k : kKnown)
        table.emplace(k.code, k.name);
    std::size_t brand = 0;
    for (const Market& m : kMarkets) {
        for (int i = 1; i <= m.networks; ++i) {
            // MNCs 01, 02, 03 as first licences were numbered.
            const int code = m.mcc * 100 + i;
            const std::string name = std::string(m.tag) + " " + kBrands[brand++ % kBrands.size()];
            table.emplace(code, name);
        }
    }
    std::vector<OperatorInfo> out;
    out.reserve(table.size());
    for (auto& [code, name] : table)
        out.push_back(OperatorInfo{code, std::move(name)});
    return out;
}

}  // namespace

const std::vector<OperatorInfo>& operatorTable() {
    static const std::vector<OperatorInfo> table = buildTable();
    return table;
}

std::string_view operatorName(int code) {
    const auto& table = operatorTable();
    const auto it = std::lower_bound(table.begin(), table.end(), code,
                                     [](const OperatorInfo& o, int c) { return o.code < c; });
    if (it == table.end() || it->code != code)
        return {};
    return it->name;
}

}  // namespace phonesim
