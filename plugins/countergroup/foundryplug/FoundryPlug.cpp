// Foundry情報: gauges whose samples are the values received.

#include "plugins/countergroup/foundryplug/FoundryPlug.h"

#include "mibcore/registry/MIB.h"
#include "plugins/countergroup/GroupDescriptor.h"

namespace {

const countergroup::GroupConstants kGroup = {
    100,
    "Foundry情報",
    "IDI_FOUNDRYMIB_ICON",
    "FoudnryのCPU&メモリ使用率などを取得します。",
    "foundry.ini",
    {1, 3, 6, 1, 4, 1, 1991, 1, 1, 2, 1},
    {0},
    {
        {"1秒間のCPU使用率", 50},
        {"5秒間のCPU使用率", 51},
        {"1分間のCPU使用率", 52},
        {"メモリ使用率", 53},
    },
    countergroup::ValueKind::Gauge,
};

class CFoundryMIB : public MIB {
public:
    CFoundryMIB() : MIB(kGroup.no) { countergroup::Describe(*this, kGroup); }
    const QMetaObject* getViewClass() override { return &CFoundryMIBMenuView::staticMetaObject; }
    const QMetaObject* getDocumentClass() override { return &CFoundryMIBMenuDoc::staticMetaObject; }
    const QMetaObject* getFrameClass() override { return &CFoundryMIBMenuFrame::staticMetaObject; }
    const QMetaObject* getSubViewClass() override { return &CFoundryMIBMenuHisView::staticMetaObject; }
};

CFoundryMIB s_descriptor;

}  // namespace

CFoundryMIBMenuDoc::CFoundryMIBMenuDoc() : CCounterGroupDoc(kGroup)
{
    Initialize();
}

CFoundryMIBMenuFrame::CFoundryMIBMenuFrame() = default;
CFoundryMIBMenuView::CFoundryMIBMenuView() = default;
CFoundryMIBMenuHisView::CFoundryMIBMenuHisView() = default;
