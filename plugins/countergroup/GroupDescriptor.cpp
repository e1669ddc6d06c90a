#include "plugins/countergroup/GroupDescriptor.h"

namespace countergroup {

void Describe(MIB& mib, const GroupConstants& c)
{
    mib.settype(1);
    mib.setname(c.name);
    mib.setIcon(c.icon);
    mib.setexpl(c.expl);
    mib.setIniFile(c.iniFile);
    mib.setwview(0);
    mib.createViewTemplates(1);
}

}  // namespace countergroup
