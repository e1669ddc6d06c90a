#include "plugins/countergroup/CounterLogic.h"

#include <ctime>

namespace countergroup {

long NowSeconds()
{
    return long(int32_t(uint32_t(uint64_t(std::time(nullptr)))));
}

}  // namespace countergroup
