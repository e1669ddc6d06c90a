#pragma once
// The expected "%Y/%m/%d %H:%M:%S" text of a sample time, worked out here
// rather than with the code under test.

#include <ctime>
#include <string>

namespace cgtest {

inline std::string LocalStamp(long t)
{
    time_t tt = time_t(t);
    struct tm tmv {};
    localtime_r(&tt, &tmv);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y/%m/%d %H:%M:%S", &tmv);
    return buf;
}

}  // namespace cgtest
