// ICMP情報: counters whose samples are increases per interval.

#include "plugins/countergroup/icmpplug/IcmpPlug.h"

#include <QCoreApplication>

#include "plugins/countergroup/GroupDescriptor.h"

namespace {

const countergroup::GroupConstants kGroup = {
    4,
    QT_TRANSLATE_NOOP("Quillon", "ICMP情報"),
    "IDI_ICMPMIB_ICON",
    QT_TRANSLATE_NOOP("Quillon", "システムのICMPのインプリメンテーションや実行状況に関する情報を取得します"),
    "icmp.ini",
    {1, 3, 6, 1, 2, 1, 5},
    {0},
    {
        {"icmpInMsgs", 1},
        {"icmpInErrors", 2},
        {"icmpInDestUnreachs", 3},
        {"icmpInTimeExcds", 4},
        {"icmpInParmProbs", 5},
        {"icmpInSrcQuenchs", 6},
        {"icmpInRedirects", 7},
        {"icmpInEchos", 8},
        {"icmpInEchoReps", 9},
        {"icmpInTimestamps", 10},
        {"icmpInTimestampReps", 11},
        {"icmpInAddrMasks", 12},
        {"icmpInAddrMaskReps", 13},
        {"icmpOutMsgs", 14},
        {"icmpOutErrors", 15},
        {"icmpOutDestUnreachs", 16},
        {"icmpOutTimeExcds", 17},
        {"icmpOutParmProbs", 18},
        {"icmpOutSrcQuenchs", 19},
        {"icmpOutRedirects", 20},
        {"icmpOutEchos", 21},
        {"icmpOutEchoReps", 22},
        {"icmpOutTimestamps", 23},
        {"icmpOutTimestampReps", 24},
        {"icmpOutAddrMasks", 25},
        {"icmpOutAddrMaskReps", 26},
    },
    countergroup::ValueKind::Counter,
};

countergroup::GroupMIB<CIcmpMIBMenuDoc, CIcmpMIBMenuView, CIcmpMIBMenuFrame, CIcmpMIBMenuHisView>
    s_descriptor(kGroup);

}  // namespace

CIcmpMIBMenuDoc::CIcmpMIBMenuDoc() : CCounterGroupDoc(kGroup)
{
    Initialize();
}

CIcmpMIBMenuFrame::CIcmpMIBMenuFrame() = default;
CIcmpMIBMenuView::CIcmpMIBMenuView() = default;
CIcmpMIBMenuHisView::CIcmpMIBMenuHisView() = default;
