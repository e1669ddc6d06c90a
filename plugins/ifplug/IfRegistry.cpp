#include "plugins/ifplug/IfRegistry.h"

#include <QCoreApplication>

#include "mibcore/registry/MIB.h"
#include "plugins/ifplug/IfPlug.h"
#include "plugins/ifplug/IfTraffic.h"
#include "plugins/ifplug/RmonWindows.h"

namespace ifplug {

namespace {

const char* const kTrafficExpl = QT_TRANSLATE_NOOP("Quillon", "インターフェースで送受信するトラフィック量を表示します");

// One entry: its texts and its window classes.
class IfMIB : public MIB {
public:
    IfMIB(double no, int type, const char* name, const char* expl, const char* ini, const QMetaObject* doc,
          const QMetaObject* frame, const QMetaObject* view, const QMetaObject* subView)
        : MIB(no), m_doc(doc), m_frame(frame), m_view(view), m_subView(subView)
    {
        settype(type);
        setname(name);
        setexpl(expl);
        setIniFile(ini);
        setIcon("IDI_IFMIB_ICON");
        setwview(0);
        createViewTemplates(1);
    }
    const QMetaObject* getViewClass() override { return m_view; }
    const QMetaObject* getDocumentClass() override { return m_doc; }
    const QMetaObject* getFrameClass() override { return m_frame; }
    const QMetaObject* getSubViewClass() override { return m_subView; }

private:
    const QMetaObject* m_doc;
    const QMetaObject* m_frame;
    const QMetaObject* m_view;
    const QMetaObject* m_subView;
};

IfMIB g_tables(kEntryTables, 1, QT_TRANSLATE_NOOP("Quillon", "インターフェース&経路情報"), QT_TRANSLATE_NOOP("Quillon", "インターフェースおよび経路に関する情報を取得します"),
               "if.ini", &CIfMIBMenuDoc::staticMetaObject, &CIfMIBMenuFrame::staticMetaObject,
               &CIfMIBMenuView::staticMetaObject, nullptr);
IfMIB g_traffic(kEntryTraffic, 0, QT_TRANSLATE_NOOP("Quillon", "インターフェースのトラフィック情報"), kTrafficExpl, "ifonly.ini", IF_ONLY_DOC,
                IF_ONLY_FRAME, IF_ONLY_VIEW, IF_ONLY_HISVIEW);
IfMIB g_counter(kEntryCounter, 0, QT_TRANSLATE_NOOP("Quillon", "インターフェースのトラフィック情報"), kTrafficExpl, "ifmulti.ini", IF_MULTI_DOC,
                IF_MULTI_FRAME, IF_MULTI_VIEW, IF_MULTI_HISVIEW);
IfMIB g_statistics(kEntryStatistics, 0, QT_TRANSLATE_NOOP("Quillon", "statistic(etherStatsTable)情報"), kTrafficExpl, "statistic.ini",
                   &CStaticMIBMenuDoc::staticMetaObject, &CStaticMIBMenuFrame::staticMetaObject,
                   &CStaticMIBMenuView::staticMetaObject, &CStaticMIBMenuHisView::staticMetaObject);
IfMIB g_history(kEntryHistory, 0, QT_TRANSLATE_NOOP("Quillon", "history情報"), kTrafficExpl, "history.ini", &CHistoryMIBMenuDoc::staticMetaObject,
                &CHistoryMIBMenuFrame::staticMetaObject, &CHistoryMIBMenuView::staticMetaObject,
                &CHistoryMIBMenuHisView::staticMetaObject);

}  // namespace

}  // namespace ifplug
