#pragma once
// The XML file of a user object list: the interval choice, the history
// length and, per object, the OID text and the line style. Files are CP932
// ("Shift_JIS") on disk; a file declared UTF-8 reads too.

#include <string>
#include <vector>

#include "mibcore/platform/Records.h"

namespace userplug {

inline constexpr int kMinHistory = 2;
inline constexpr int kMaxHistory = 1000;

struct UserObject {
    std::string name;       // the OID text as typed (UTF-8)
    platform::LogPen pen;   // style, width, colour 0x00BBGGRR
};

struct UserList {
    int timeId = 33226;
    long interval = 15000;
    int historyNum = 61;
    std::vector<UserObject> objects;
};

// The file's bytes: CP932 with the declaration
// "version='1.0' encoding='Shift_JIS'", no whitespace between elements.
std::string BuildUserXml(const UserList& list);

// What a file holds. Values the save never writes are not taken (a TimeId
// off the timer menu, a HistoryNum outside 2..1000 or after the first Oid):
// each such value leaves the default and adds a note (UTF-8, one line), as
// does a pen brought into the colour dialog's range.
struct UserXmlRead {
    enum Status { Ok, NoQuillon, NoUserMIB } status = NoQuillon;
    bool hasTimeId = false;
    int timeId = 33226;
    int historyNum = 61;
    // Every Oid element in order; an empty name is a malformed object.
    std::vector<UserObject> objects;
    std::vector<std::string> notes;
};
UserXmlRead ParseUserXml(const std::string& bytes);

// Colour text "RRGGBB" (trimmed) as 0x00BBGGRR; false when no hexadecimal
// digit can be read.
bool ParseColourText(const std::string& text, platform::ColorRef& out);

}  // namespace userplug
