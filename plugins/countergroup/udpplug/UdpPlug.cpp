// UDP情報: counters whose samples are increases per interval.

#include "plugins/countergroup/udpplug/UdpPlug.h"

#include <QCoreApplication>

#include "plugins/countergroup/GroupDescriptor.h"

namespace {

const countergroup::GroupConstants kGroup = {
    6,
    QT_TRANSLATE_NOOP("Quillon", "UDP情報"),
    "IDI_UDPMIB_ICON",
    QT_TRANSLATE_NOOP("Quillon", "システムのUDPのインプリメンテーションや実行状況に関する情報を取得します"),
    "udp.ini",
    {1, 3, 6, 1, 2, 1, 7},
    {0},
    {
        {"udpInDatagrams", 1},
        {"udpNoPorts", 2},
        {"udpInErrors", 3},
        {"udpOutDatagrams", 4},
    },
    countergroup::ValueKind::Counter,
};

countergroup::GroupMIB<CUdpMIBMenuDoc, CUdpMIBMenuView, CUdpMIBMenuFrame, CUdpMIBMenuHisView>
    s_descriptor(kGroup);

}  // namespace

CUdpMIBMenuDoc::CUdpMIBMenuDoc() : CCounterGroupDoc(kGroup)
{
    Initialize();
}

CUdpMIBMenuFrame::CUdpMIBMenuFrame() = default;
CUdpMIBMenuView::CUdpMIBMenuView() = default;
CUdpMIBMenuHisView::CUdpMIBMenuHisView() = default;
