// SNMP情報: counters whose samples are increases per interval.

#include "plugins/countergroup/snmpgrpplug/SnmpPlug.h"

#include <QCoreApplication>

#include "plugins/countergroup/GroupDescriptor.h"

namespace {

const countergroup::GroupConstants kGroup = {
    8,
    QT_TRANSLATE_NOOP("Quillon", "SNMP情報"),
    "IDI_SNMPMIB_ICON",
    QT_TRANSLATE_NOOP("Quillon", "システムのSNMPのインプリメンテーションや実行状況に関する情報を取得します"),
    "snmpmib.ini",
    {1, 3, 6, 1, 2, 1, 11},
    {0},
    {
        {"snmpInPkts", 1},
        {"snmpOutPkts", 2},
        {"snmpInBadVersions", 3},
        {"snmpInBadCommunityNames", 4},
        {"snmpInBadCommunityUses", 5},
        {"snmpInASNParseErrs", 6},
        {"snmpInTooBigs", 8},
        {"snmpInNoSuchNames", 9},
        {"snmpInBadValues", 10},
        {"snmpInReadOnlys", 11},
        {"snmpInGenErrs", 12},
        {"snmpInTotalReqVars", 13},
        {"snmpInTotalSetVars", 14},
        {"snmpInGetRequests", 15},
        {"snmpInGetNexts", 16},
        {"snmpInSetRequests", 17},
        {"snmpInGetResponses", 18},
        {"snmpInTraps", 19},
        {"snmpOutTooBigs", 20},
        {"snmpOutNoSuchNames", 21},
        {"snmpOutBadValues", 22},
        {"snmpOutGenErrs", 24},
        {"snmpOutGetRequests", 25},
        {"snmpOutGetNexts", 26},
        {"snmpOutSetRequests", 27},
        {"snmpOutGetResponses", 28},
        {"snmpOutTraps", 29},
    },
    countergroup::ValueKind::Counter,
};

countergroup::GroupMIB<CSnmpMIBMenuDoc, CSnmpMIBMenuView, CSnmpMIBMenuFrame, CSnmpMIBMenuHisView>
    s_descriptor(kGroup);

}  // namespace

CSnmpMIBMenuDoc::CSnmpMIBMenuDoc() : CCounterGroupDoc(kGroup)
{
    Initialize();
}

CSnmpMIBMenuFrame::CSnmpMIBMenuFrame() = default;
CSnmpMIBMenuView::CSnmpMIBMenuView() = default;
CSnmpMIBMenuHisView::CSnmpMIBMenuHisView() = default;
