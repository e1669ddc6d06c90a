// CISCO情報: gauges whose samples are the values received.

#include "plugins/countergroup/ciscoplug/CiscoPlug.h"

#include <QCoreApplication>

#include "plugins/countergroup/GroupDescriptor.h"

namespace {

const countergroup::GroupConstants kGroup = {
    101,
    QT_TRANSLATE_NOOP("Quillon", "CISCO情報"),
    "IDI_CISCOMIB_ICON",
    QT_TRANSLATE_NOOP("Quillon", "CISCOのCPU&メモリ使用率などを取得します。"),
    "cisco.ini",
    {1, 3, 6, 1, 4, 1, 9, 9, 109, 1, 1, 1, 1},
    {1},
    {
        {QT_TRANSLATE_NOOP("Quillon", "5秒間のCPU使用率"), 3},
        {QT_TRANSLATE_NOOP("Quillon", "1分間のCPU使用率"), 4},
        {QT_TRANSLATE_NOOP("Quillon", "5分間のCPU使用率"), 5},
    },
    countergroup::ValueKind::Gauge,
    // Its settings are written when the window closes, not after a colour change.
    false,
};

countergroup::GroupMIB<CCiscoMIBMenuDoc, CCiscoMIBMenuView, CCiscoMIBMenuFrame, CCiscoMIBMenuHisView>
    s_descriptor(kGroup);

}  // namespace

CCiscoMIBMenuDoc::CCiscoMIBMenuDoc() : CCounterGroupDoc(kGroup)
{
    Initialize();
}

CCiscoMIBMenuFrame::CCiscoMIBMenuFrame() = default;
CCiscoMIBMenuView::CCiscoMIBMenuView() = default;
CCiscoMIBMenuHisView::CCiscoMIBMenuHisView() = default;
