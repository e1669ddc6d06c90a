// TCP情報: counters whose samples are increases per interval.

#include "plugins/countergroup/tcpplug/TcpPlug.h"

#include <QCoreApplication>

#include "plugins/countergroup/GroupDescriptor.h"

namespace {

const countergroup::GroupConstants kGroup = {
    5,
    QT_TRANSLATE_NOOP("Quillon", "TCP情報"),
    "IDI_TCPMIB_ICON",
    QT_TRANSLATE_NOOP("Quillon", "システムのTCPのインプリメンテーションや実行状況に関する情報を取得します"),
    "tcp.ini",
    {1, 3, 6, 1, 2, 1, 6},
    {0},
    {
        {"tcpActiveOpens", 5},
        {"tcpPassiveOpens", 6},
        {"tcpAttemptFails", 7},
        {"tcpEstabResets", 8},
        {"tcpInSegs", 10},
        {"tcpOutSegs", 11},
        {"tcpRetransSegs", 12},
        {"tcpInErrs", 14},
        {"tcpOutRsts", 15},
    },
    countergroup::ValueKind::Counter,
};

countergroup::GroupMIB<CTcpMIBMenuDoc, CTcpMIBMenuView, CTcpMIBMenuFrame, CTcpMIBMenuHisView>
    s_descriptor(kGroup);

}  // namespace

CTcpMIBMenuDoc::CTcpMIBMenuDoc() : CCounterGroupDoc(kGroup)
{
    Initialize();
}

CTcpMIBMenuFrame::CTcpMIBMenuFrame() = default;
CTcpMIBMenuView::CTcpMIBMenuView() = default;
CTcpMIBMenuHisView::CTcpMIBMenuHisView() = default;
