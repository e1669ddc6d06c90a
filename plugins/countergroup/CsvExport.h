#pragma once
// The history of a graph as CSV: CP932 text, LF line ends, no quoting.
// Header "時刻" and the series names; one line per slot that has a time.

#include <string>
#include <vector>

#include "plugins/countergroup/GraphRender.h"

namespace countergroup {

// The file's bytes (CP932). A window may put one line of its own first
// (UTF-8, without line end).
std::string BuildCsv(const std::vector<std::string>& names, const GraphData& data,
                     const std::string& firstLine = {});

// Create or truncate path and write bytes; false when the file cannot be
// written (nothing else is touched).
bool WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace countergroup
