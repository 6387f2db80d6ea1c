#pragma once

// The network windows' in-code texts in the eight languages, chosen by the
// language index; UTF-8. A value outside a table gives its number as text,
// so no table is ever read outside its bounds.

#include <string>
#include <string_view>

#include "foundation/Language.h"

namespace vondrix::network {

// +CREG state 0..5.
std::string registrationText(Language lang, int state);
// +CPAS activity 0..4 (1 and 2 have no text).
std::string activityText(Language lang, int activity);
// +CLCC state 0..5.
std::string callStateText(Language lang, int state);
// +CLCC mode 0..9.
std::string callModeText(Language lang, int mode);
// +CLCC direction: "<" for 0 (outgoing), ">" otherwise.
std::string_view directionText(int direction);

// Column headers of the monitor's call list, 0..4 (index, in/out, type,
// number, mode). Empty for other columns.
std::string_view monitorColumnHeader(Language lang, int column);
// Column headers of the network window's lists: 0 code, 1 name, 2 status
// (the search result only).
std::string_view operatorColumnHeader(Language lang, int column);

// The forwarding reasons 0..3 of the reason list; empty for others.
std::string_view forwardReasonText(Language lang, int reason);
// The facilities 0..8 of the barring list; empty for others.
std::string_view facilityText(Language lang, int facility);

// Decoded values shown beside the phone's raw replies.
// The registration word of the main window (0,1,"5E25","605F"):
// "registered, home network; area 5E25, cell 605F". Empty when the word
// holds no state after its first comma.
std::string registrationSummary(Language lang, std::string_view word);
// The operator text of the main window (0,0,"D1-TELEKOM"): its selection
// mode, "automatic network selection". Empty when it begins with no mode.
std::string operatorModeText(Language lang, std::string_view copsText);
// A network's status in the search result, 0..3 (unknown, available,
// current, forbidden); empty for others.
std::string_view operatorStatusText(Language lang, int status);

}  // namespace vondrix::network
