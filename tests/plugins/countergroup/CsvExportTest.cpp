// CSV bytes of a history: CP932 header, LF only, one line per stamped slot.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <ctime>

#include "plugins/countergroup/CsvExport.h"
#include "tests/plugins/countergroup/LocalStamp.h"

using namespace countergroup;
using cgtest::LocalStamp;

TEST(CsvExport, HeaderAndStampedSlotsOnly)
{
    GraphData d;
    d.series.resize(4);
    const std::vector<std::string> names = {"udpInDatagrams", "udpNoPorts", "udpInErrors", "udpOutDatagrams"};
    // Nothing stamped yet: header only.
    EXPECT_EQ(BuildCsv(names, d), "\x8e\x9e\x8d\x8f,udpInDatagrams,udpNoPorts,udpInErrors,udpOutDatagrams\n");

    const long t = 1709294415;
    d.time[60] = int32_t(t);
    d.series[0].val[60] = 120;
    d.series[3].val[60] = 118;
    d.series[2].val[60] = 4294967295u;
    d.series[1].err[60] = 21;  // errors are not exported, only the value 0
    std::string csv = BuildCsv(names, d);
    EXPECT_EQ(csv, "\x8e\x9e\x8d\x8f,udpInDatagrams,udpNoPorts,udpInErrors,udpOutDatagrams\n" + LocalStamp(t) +
                       ",120,0,4294967295,118\n");
    EXPECT_EQ(csv.find('\r'), std::string::npos);
}

TEST(CsvExport, JapaneseNamesAreWrittenInCp932)
{
    GraphData d;
    d.series.resize(2);
    d.time[59] = 1000;
    d.time[60] = 2000;
    d.series[1].val[59] = 37;
    std::string csv = BuildCsv({"1秒間のCPU使用率", "メモリ使用率"}, d);
    // 1秒間のCPU使用率 and メモリ使用率 in CP932
    std::string header = "\x8e\x9e\x8d\x8f,1\x95\x62\x8a\xd4\x82\xcc" "CPU\x8eg\x97p\x97\xa6,"
                         "\x83\x81\x83\x82\x83\x8a\x8eg\x97p\x97\xa6\n";
    EXPECT_EQ(csv.substr(0, header.size()), header);
    EXPECT_EQ(csv.substr(header.size()), LocalStamp(1000) + ",0,37\n" + LocalStamp(2000) + ",0,0\n");
}
