#pragma once
// Shared checks of the English plug-in tests: CSV files of both languages
// read back into cells, and message texts that kept a Japanese character.

#include <QDir>
#include <QString>
#include <QWidget>

#include <string>
#include <vector>

#include "mibcore/platform/Language.h"
#include "snmpval/Cp932.h"
#include "tests/support/Harness.h"
#include "tests/support/UiTexts.h"

namespace english {

inline const std::string kBom = "\xEF\xBB\xBF";

struct Csv {
    bool bom = false;
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
};

inline std::vector<std::string> Cells(const std::string& line)
{
    std::vector<std::string> out(1);
    for (char c : line) {
        if (c == ',')
            out.emplace_back();
        else
            out.back() += c;
    }
    return out;
}

// English files are UTF-8 after a byte-order mark, Japanese ones CP932.
inline Csv ReadCsv(const std::string& bytes, bool english)
{
    Csv csv;
    std::string text = bytes;
    csv.bom = text.compare(0, kBom.size(), kBom) == 0;
    if (csv.bom)
        text.erase(0, kBom.size());
    if (!english)
        text = cp932::ToUtf8(text);
    size_t start = 0;
    bool first = true;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::vector<std::string> cells = Cells(text.substr(start, end - start));
        if (first)
            csv.header = std::move(cells);
        else
            csv.rows.push_back(std::move(cells));
        first = false;
        start = end + 1;
    }
    return csv;
}

using harness::EnglishShot;
using harness::JapaneseAmong;

}  // namespace english
