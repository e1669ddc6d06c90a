#pragma once
// The plug-in's five registry entries. Only the tables window is listed in
// the launcher; the others are opened from its context menu.

class MIB;

namespace ifplug {

inline constexpr double kEntryTables = 3;
inline constexpr double kEntryTraffic = 3.11;
inline constexpr double kEntryCounter = 3.12;
inline constexpr double kEntryStatistics = 3.13;
inline constexpr double kEntryHistory = 3.14;

// The entry of this plug-in with this sort number, or null.
MIB* FindEntry(double no);

}  // namespace ifplug
