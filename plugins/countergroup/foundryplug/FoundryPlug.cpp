// Foundry情報: gauges whose samples are the values received.

#include "plugins/countergroup/foundryplug/FoundryPlug.h"

#include <QCoreApplication>

#include "plugins/countergroup/GroupDescriptor.h"

namespace {

const countergroup::GroupConstants kGroup = {
    100,
    QT_TRANSLATE_NOOP("Quillon", "Foundry情報"),
    "IDI_FOUNDRYMIB_ICON",
    QT_TRANSLATE_NOOP("Quillon", "FoudnryのCPU&メモリ使用率などを取得します。"),
    "foundry.ini",
    {1, 3, 6, 1, 4, 1, 1991, 1, 1, 2, 1},
    {0},
    {
        {QT_TRANSLATE_NOOP("Quillon", "1秒間のCPU使用率"), 50},
        {QT_TRANSLATE_NOOP("Quillon", "5秒間のCPU使用率"), 51},
        {QT_TRANSLATE_NOOP("Quillon", "1分間のCPU使用率"), 52},
        {QT_TRANSLATE_NOOP("Quillon", "メモリ使用率"), 53},
    },
    countergroup::ValueKind::Gauge,
};

countergroup::GroupMIB<CFoundryMIBMenuDoc, CFoundryMIBMenuView, CFoundryMIBMenuFrame, CFoundryMIBMenuHisView>
    s_descriptor(kGroup);

}  // namespace

CFoundryMIBMenuDoc::CFoundryMIBMenuDoc() : CCounterGroupDoc(kGroup)
{
    Initialize();
}

CFoundryMIBMenuFrame::CFoundryMIBMenuFrame() = default;
CFoundryMIBMenuView::CFoundryMIBMenuView() = default;
CFoundryMIBMenuHisView::CFoundryMIBMenuHisView() = default;
