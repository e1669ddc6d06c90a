#pragma once
// The tcpplug window's classes: its document, frame and panes.

#include "plugins/countergroup/CounterGroupDoc.h"
#include "plugins/countergroup/CounterGroupViews.h"

class CTcpMIBMenuDoc : public countergroup::CCounterGroupDoc {
    Q_OBJECT
public:
    Q_INVOKABLE CTcpMIBMenuDoc();
};

class CTcpMIBMenuFrame : public countergroup::CCounterGroupFrame {
    Q_OBJECT
public:
    Q_INVOKABLE CTcpMIBMenuFrame();
};

class CTcpMIBMenuView : public countergroup::CCounterGroupListView {
    Q_OBJECT
public:
    Q_INVOKABLE CTcpMIBMenuView();
};

class CTcpMIBMenuHisView : public countergroup::CCounterGroupHisView {
    Q_OBJECT
public:
    Q_INVOKABLE CTcpMIBMenuHisView();
};
