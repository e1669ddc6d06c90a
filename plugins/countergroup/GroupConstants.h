#pragma once
// The constants that make one counter-group plug-in out of the shared
// poller, document and views. Each plug-in folder defines one instance.

#include <cstddef>
#include <vector>

namespace countergroup {

enum class ValueKind {
    Counter,  // samples are increases between two polls
    Gauge,    // samples are the values received
    ByTag,    // each series by the tag of its last good answer (user objects)
};

struct GroupObject {
    const char* name;   // display name (UTF-8): list row, CSV column
    unsigned long sub;  // sub-identifier between prefix and instance suffix
};

struct GroupConstants {
    double no;                              // registry sort key
    const char* name;                       // registry display name
    const char* icon;                       // icon resource name
    const char* expl;                       // launcher explanation
    const char* iniFile;                    // settings file name in etc/ini
    std::vector<unsigned long> prefix;      // arcs in front of the object's own arc
    std::vector<unsigned long> suffix;      // instance arcs after it
    std::vector<GroupObject> objects;       // display order
    ValueKind kind;
    bool saveOnColourChange = true;         // false: settings are written on close only

    int objectCount() const { return int(objects.size()); }
    // Full OID of object j: prefix, its own arc, instance suffix.
    std::vector<unsigned long> oidOf(int j) const
    {
        std::vector<unsigned long> oid(prefix);
        oid.push_back(objects[std::size_t(j)].sub);
        oid.insert(oid.end(), suffix.begin(), suffix.end());
        return oid;
    }
};

}  // namespace countergroup
