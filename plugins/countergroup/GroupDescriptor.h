#pragma once
// Fills a counter-group plug-in's registry entry from its constants: type 1,
// name, icon, explanation, settings file and one view template (view 0).

#include "mibcore/registry/MIB.h"
#include "plugins/countergroup/GroupConstants.h"

namespace countergroup {

void Describe(MIB& mib, const GroupConstants& c);

}  // namespace countergroup
