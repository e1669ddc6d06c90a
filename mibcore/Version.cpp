#include "mibcore/Version.h"

const char* quillon::Version()
{
    return QUILLON_VERSION;
}
