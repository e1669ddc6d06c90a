#pragma once
// The history of a graph as CSV: CP932 text, LF line ends, no quoting.
// Header "時刻" and the series names; one line per slot that has a time.

#include <string>
#include <vector>

#include "plugins/countergroup/GraphRender.h"

namespace countergroup {

// CP932 for Japanese operators; UTF-8 with a byte-order mark elsewhere,
// so that spreadsheet programs outside Japan read it.
enum class CsvEncoding { Cp932, Utf8Bom };
std::string EncodeCsv(const std::string& utf8, CsvEncoding encoding);

// The file's bytes. A window may put one line of its own first (UTF-8,
// without line end); timeHeader and names are UTF-8.
std::string BuildCsv(const std::vector<std::string>& names, const GraphData& data,
                     const std::string& firstLine = {}, const std::string& timeHeader = "時刻",
                     CsvEncoding encoding = CsvEncoding::Cp932);

}  // namespace countergroup
