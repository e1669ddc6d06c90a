#pragma once
// The snmpgrpplug window's classes: its document, frame and panes.

#include "plugins/countergroup/CounterGroupDoc.h"
#include "plugins/countergroup/CounterGroupViews.h"

class CSnmpMIBMenuDoc : public countergroup::CCounterGroupDoc {
    Q_OBJECT
public:
    Q_INVOKABLE CSnmpMIBMenuDoc();
};

class CSnmpMIBMenuFrame : public countergroup::CCounterGroupFrame {
    Q_OBJECT
public:
    Q_INVOKABLE CSnmpMIBMenuFrame();
};

class CSnmpMIBMenuView : public countergroup::CCounterGroupListView {
    Q_OBJECT
public:
    Q_INVOKABLE CSnmpMIBMenuView();
};

class CSnmpMIBMenuHisView : public countergroup::CCounterGroupHisView {
    Q_OBJECT
public:
    Q_INVOKABLE CSnmpMIBMenuHisView();
};
