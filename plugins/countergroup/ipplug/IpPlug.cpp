// IP情報: counters whose samples are increases per interval.

#include "plugins/countergroup/ipplug/IpPlug.h"

#include <QCoreApplication>

#include "plugins/countergroup/GroupDescriptor.h"

namespace {

const countergroup::GroupConstants kGroup = {
    3.5,
    QT_TRANSLATE_NOOP("Quillon", "IP情報"),
    "IDI_IPMIB_ICON",
    QT_TRANSLATE_NOOP("Quillon", "システムのIPのインプリメンテーションや実行状況に関する情報を取得します"),
    "ip.ini",
    {1, 3, 6, 1, 2, 1, 4},
    {0},
    {
        {"ipInReceives", 3},
        {"ipInHdrErrors", 4},
        {"ipInAddrErrors", 5},
        {"ipForwDatagrams", 6},
        {"ipInUnknownProtos", 7},
        {"ipInDiscards", 8},
        {"ipInDelivers", 9},
        {"ipOutRequests", 10},
        {"ipOutDiscards", 11},
        {"ipOutNoRoutes", 12},
        {"ipReasmReqds", 14},
        {"ipReasmOKs", 15},
        {"ipReasmFails", 16},
        {"ipFragOKs", 17},
        {"ipFragFails", 18},
        {"ipFragCreates", 19},
    },
    countergroup::ValueKind::Counter,
};

countergroup::GroupMIB<CIpMIBMenuDoc, CIpMIBMenuView, CIpMIBMenuFrame, CIpMIBMenuHisView>
    s_descriptor(kGroup);

}  // namespace

CIpMIBMenuDoc::CIpMIBMenuDoc() : CCounterGroupDoc(kGroup)
{
    Initialize();
}

CIpMIBMenuFrame::CIpMIBMenuFrame() = default;
CIpMIBMenuView::CIpMIBMenuView() = default;
CIpMIBMenuHisView::CIpMIBMenuHisView() = default;
