#include "plugins/countergroup/CsvExport.h"

#include <cstdio>

#include "snmpval/Cp932.h"

namespace countergroup {

std::string EncodeCsv(const std::string& utf8, CsvEncoding encoding)
{
    if (encoding == CsvEncoding::Utf8Bom)
        return "\xEF\xBB\xBF" + utf8;
    return cp932::FromUtf8(utf8);
}

std::string BuildCsv(const std::vector<std::string>& names, const GraphData& data, const std::string& firstLine,
                     const std::string& timeHeader, CsvEncoding encoding)
{
    std::string text;
    if (!firstLine.empty())
        text = firstLine + '\n';
    text += timeHeader;
    for (const std::string& n : names) {
        text += ',';
        text += n;
    }
    text += '\n';
    for (int k = 0; k < data.slotCount(); ++k) {
        if (data.time[size_t(k)] == 0)
            continue;
        text += FormatTime(data.time[size_t(k)], "%Y/%m/%d %H:%M:%S");
        for (const GraphSeriesData& s : data.series) {
            char buf[16];
            std::snprintf(buf, sizeof buf, ",%llu",
                          k < int(s.val.size()) ? static_cast<unsigned long long>(s.val[size_t(k)]) : 0ULL);
            text += buf;
        }
        text += '\n';
    }
    return EncodeCsv(text, encoding);
}

}  // namespace countergroup
