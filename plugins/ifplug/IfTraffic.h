#pragma once
// The two traffic-graph windows, counter-group windows whose series come
// from the interface tables window: the eleven counters of one interface,
// and one counter across several interfaces.

#include <string>
#include <vector>

#include "plugins/countergroup/CounterGroupDoc.h"
#include "plugins/countergroup/CounterGroupViews.h"
#include "plugins/countergroup/GroupConstants.h"
#include "plugins/ifplug/IfPlug.h"

namespace ifplug {

// The eleven counters of one interface: 1.3.6.1.2.1.2.2.1.<10..20>.<ifIndex>.
class CIfOnlyMIBMenuDoc : public countergroup::CCounterGroupDoc, public SingleInterfaceTarget {
    Q_OBJECT
public:
    Q_INVOKABLE CIfOnlyMIBMenuDoc();
    void SetInterface(int ifIndex, const std::string& ifDescr) override;
    int getIfIndex() const { return m_ifIndex; }
    const std::string& getIfDescr() const { return m_ifDescr; }
    const char* FirstColumnTitle() const override { return QT_TRANSLATE_NOOP("Quillon", "インターフェース"); }

private:
    countergroup::GroupConstants m_own;  // the base reads it from Initialize on
    int m_ifIndex = 0;
    std::string m_ifDescr;
};

// One counter of several interfaces: 1.3.6.1.2.1.2.2.1.<column>.<ifIndex>.
class CIfMultiMIBMenuDoc : public countergroup::CCounterGroupDoc, public InterfaceListTarget {
    Q_OBJECT
public:
    Q_INVOKABLE CIfMultiMIBMenuDoc();
    // The series exist once the interfaces are known.
    bool OnNewDocument() override;
    void SetInterfaces(const std::vector<InterfaceEntry>& list, int column) override;
    const std::vector<InterfaceEntry>& interfaces() const { return m_interfaces; }
    int getColumn() const { return m_column; }

    // "[%ld]%s": ifIndex and ifDescr.
    std::string SeriesLabel(int i) override;
    // The counter's name.
    std::string CsvFirstLine() const override;

private:
    countergroup::GroupConstants m_own;
    std::vector<InterfaceEntry> m_interfaces;
    int m_column = 0;
};

class CIfOnlyMIBMenuView : public countergroup::CCounterGroupListView {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CIfOnlyMIBMenuView(QWidget* parent = nullptr) : CCounterGroupListView(parent) {}
};
class CIfOnlyMIBMenuHisView : public countergroup::CCounterGroupHisView {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CIfOnlyMIBMenuHisView(QWidget* parent = nullptr) : CCounterGroupHisView(parent) {}
};
class CIfOnlyMIBMenuFrame : public countergroup::CCounterGroupFrame {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CIfOnlyMIBMenuFrame(QWidget* parent = nullptr) : CCounterGroupFrame(parent) {}
};
class CIfMultiMIBMenuView : public countergroup::CCounterGroupListView {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CIfMultiMIBMenuView(QWidget* parent = nullptr) : CCounterGroupListView(parent) {}
};
class CIfMultiMIBMenuHisView : public countergroup::CCounterGroupHisView {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CIfMultiMIBMenuHisView(QWidget* parent = nullptr) : CCounterGroupHisView(parent) {}
};
class CIfMultiMIBMenuFrame : public countergroup::CCounterGroupFrame {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CIfMultiMIBMenuFrame(QWidget* parent = nullptr) : CCounterGroupFrame(parent) {}
};

}  // namespace ifplug

#define IF_ONLY_DOC &ifplug::CIfOnlyMIBMenuDoc::staticMetaObject
#define IF_ONLY_FRAME &ifplug::CIfOnlyMIBMenuFrame::staticMetaObject
#define IF_ONLY_VIEW &ifplug::CIfOnlyMIBMenuView::staticMetaObject
#define IF_ONLY_HISVIEW &ifplug::CIfOnlyMIBMenuHisView::staticMetaObject
#define IF_MULTI_DOC &ifplug::CIfMultiMIBMenuDoc::staticMetaObject
#define IF_MULTI_FRAME &ifplug::CIfMultiMIBMenuFrame::staticMetaObject
#define IF_MULTI_VIEW &ifplug::CIfMultiMIBMenuView::staticMetaObject
#define IF_MULTI_HISVIEW &ifplug::CIfMultiMIBMenuHisView::staticMetaObject
