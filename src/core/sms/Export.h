#pragma once

// The message list's exports: comma-separated text and a small XML
// document of all rows in the list's current order. Opening the file
// afterwards is the caller's business.

#include <string>
#include <vector>

#include "foundation/Reporter.h"
#include "sms/MessageList.h"

namespace vondrix::sms {

constexpr const char* kCsvExportName = "VondrixSMS.csv";
constexpr const char* kXmlExportName = "VondrixSMS.xml";

// The text field as exported: ",", ";", CR and LF each become a blank.
std::string cleanedText(std::string_view text);

// "NR,NAME,TELNUM,DATE,TEXT", then "index,name,'number,date,text" per row.
// Fields are cut to the list's buffer sizes (9, 59, 29, 29, 511 characters);
// every line ends in CR LF.
std::string csvText(const std::vector<MessageRow>& rows);
// The ISO 8859-1 declaration, <SMSLIST>, one <MESSAGE> block of NO, NAME,
// TELNUM, DATE and TEXT per row, </SMSLIST>; "&" and "<" in every field as
// entity references.
std::string xmlText(const std::vector<MessageRow>& rows);

// The CSV export is added at the end of an existing file, as the program
// always did; the XML export replaces the file, since a second document
// after the first would make it unreadable. Message 25 when the file
// cannot be written.
bool exportCsv(const std::vector<MessageRow>& rows, const std::string& path, Reporter& reporter);
bool exportXml(const std::vector<MessageRow>& rows, const std::string& path, Reporter& reporter);

}  // namespace vondrix::sms
