#pragma once
// The icmpplug window's classes: its document, frame and panes.

#include "plugins/countergroup/CounterGroupDoc.h"
#include "plugins/countergroup/CounterGroupViews.h"

class CIcmpMIBMenuDoc : public countergroup::CCounterGroupDoc {
    Q_OBJECT
public:
    Q_INVOKABLE CIcmpMIBMenuDoc();
};

class CIcmpMIBMenuFrame : public countergroup::CCounterGroupFrame {
    Q_OBJECT
public:
    Q_INVOKABLE CIcmpMIBMenuFrame();
};

class CIcmpMIBMenuView : public countergroup::CCounterGroupListView {
    Q_OBJECT
public:
    Q_INVOKABLE CIcmpMIBMenuView();
};

class CIcmpMIBMenuHisView : public countergroup::CCounterGroupHisView {
    Q_OBJECT
public:
    Q_INVOKABLE CIcmpMIBMenuHisView();
};
