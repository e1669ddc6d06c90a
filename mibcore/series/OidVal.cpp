#include "mibcore/series/OidVal.h"

#include <algorithm>

OidVal::~OidVal() { delete[] valatTime; }

void OidVal::setPen(const platform::LogPen* lp)
{
    if (lp)
        pen = platform::PenFromLogPen(*lp);
}

void OidVal::setValatTime(ValatTime* history)
{
    if (valatTime && valatTime != history)
        delete[] valatTime;
    valatTime = history;
}

TagOidVal::~TagOidVal() = default;

void TagOidVal::setOidList(const unsigned long* list, unsigned int count)
{
    std::fill(std::begin(oidList), std::end(oidList), 0UL);
    oidListSize = 0;
    if (!list || count == 0 || count > kMaxOid)
        return;
    for (unsigned int i = 0; i < count; ++i)
        oidList[i] = static_cast<std::uint32_t>(list[i]);
    oidListSize = count;
}
