#pragma once
// The registry entry of a counter-group plug-in: type 1, name, icon,
// explanation, settings file and one view template (view 0) from its
// constants, and its four window classes. Each plug-in holds one static
// GroupMIB<...> built from its constants.

#include "mibcore/registry/MIB.h"
#include "plugins/countergroup/GroupConstants.h"

namespace countergroup {

void Describe(MIB& mib, const GroupConstants& c);

template <class Doc, class ListView, class Frame, class GraphView>
class GroupMIB : public MIB {
public:
    explicit GroupMIB(const GroupConstants& c) : MIB(c.no) { Describe(*this, c); }
    const QMetaObject* getViewClass() override { return &ListView::staticMetaObject; }
    const QMetaObject* getDocumentClass() override { return &Doc::staticMetaObject; }
    const QMetaObject* getFrameClass() override { return &Frame::staticMetaObject; }
    const QMetaObject* getSubViewClass() override { return &GraphView::staticMetaObject; }
};

}  // namespace countergroup
