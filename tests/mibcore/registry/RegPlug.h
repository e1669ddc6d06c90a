#pragma once
// A descriptor as the plug-ins write them, for the registry tests.

#include "mibcore/registry/MIB.h"

#include <QObject>
#include <QWidget>

class RegPlugDescriptor : public MIB {
public:
    RegPlugDescriptor(double n, const char* nm, const char* ini) : MIB(n)
    {
        type = 1;
        name = nm;
        icon = "IDI_REGPLUG_ICON";
        expl = "test";
        iniFile = ini;
        wview = 0;
        createViewTemplates(1);
    }
    const QMetaObject* getViewClass() override { return &QWidget::staticMetaObject; }
    const QMetaObject* getDocumentClass() override { return &QObject::staticMetaObject; }
    const QMetaObject* getFrameClass() override { return &QWidget::staticMetaObject; }
};
