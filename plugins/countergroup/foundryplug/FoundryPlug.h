#pragma once
// The foundryplug window's classes: its document, frame and panes.

#include "plugins/countergroup/CounterGroupDoc.h"
#include "plugins/countergroup/CounterGroupViews.h"

class CFoundryMIBMenuDoc : public countergroup::CCounterGroupDoc {
    Q_OBJECT
public:
    Q_INVOKABLE CFoundryMIBMenuDoc();
};

class CFoundryMIBMenuFrame : public countergroup::CCounterGroupFrame {
    Q_OBJECT
public:
    Q_INVOKABLE CFoundryMIBMenuFrame();
};

class CFoundryMIBMenuView : public countergroup::CCounterGroupListView {
    Q_OBJECT
public:
    Q_INVOKABLE CFoundryMIBMenuView();
};

class CFoundryMIBMenuHisView : public countergroup::CCounterGroupHisView {
    Q_OBJECT
public:
    Q_INVOKABLE CFoundryMIBMenuHisView();
};
