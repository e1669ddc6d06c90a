#include "tests/app/testplug/TestPlug.h"

#include "mibcore/registry/MIB.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

void Count(QObject* o, const char* name) { o->setProperty(name, o->property(name).toInt() + 1); }

class CTestAMIB : public MIB {
public:
    CTestAMIB() : MIB(0.5)
    {
        settype(1);
        setname("テスト情報A");
        setIcon("IDI_TESTPLUG_ICON");
        setexpl("テスト用のプラグイン");
        setIniFile("testa.ini");
        createViewTemplates(1);
    }
    const QMetaObject* getViewClass() override { return &CTestPlugView::staticMetaObject; }
    const QMetaObject* getDocumentClass() override { return &CTestPlugDoc::staticMetaObject; }
    const QMetaObject* getFrameClass() override { return &CTestPlugFrame::staticMetaObject; }
};

class CTestBMIB : public MIB {
public:
    CTestBMIB() : MIB(2.5)
    {
        settype(1);
        setname("テスト情報B");
        setIcon("IDI_TESTPLUG_MISSING");
        setexpl("アイコンのないプラグイン");
        setIniFile("testb.ini");
        createViewTemplates(1);
    }
    const QMetaObject* getViewClass() override { return &CTestPlugBView::staticMetaObject; }
    const QMetaObject* getDocumentClass() override { return &CTestPlugDoc::staticMetaObject; }
    const QMetaObject* getFrameClass() override { return &CTestPlugSplitFrame::staticMetaObject; }
    const QMetaObject* getSubViewClass() override { return &CTestPlugSubView::staticMetaObject; }
};

class CTestCMIB : public MIB {
public:
    CTestCMIB() : MIB(2.6)
    {
        settype(0);
        setname("テスト補助");
        createViewTemplates(1);
    }
    const QMetaObject* getViewClass() override { return &CTestPlugSubView::staticMetaObject; }
    const QMetaObject* getDocumentClass() override { return &CTestPlugDoc::staticMetaObject; }
    const QMetaObject* getFrameClass() override { return &CTestPlugFrame::staticMetaObject; }
};

CTestAMIB s_a;
CTestBMIB s_b;
CTestCMIB s_c;

}  // namespace

CTestPlugDoc::CTestPlugDoc() = default;

CTestPlugView::CTestPlugView(QWidget* parent) : platform::View(parent)
{
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(new QLabel("テスト", this));
}

void CTestPlugView::OnUpdate(platform::View*, long hint, QObject*)
{
    if (hint == 1026)
        Count(this, "rebuilds");
}

CTestPlugBView::CTestPlugBView(QWidget* parent) : platform::View(parent) {}

void CTestPlugBView::OnUpdate(platform::View*, long hint, QObject*)
{
    if (hint == 1026)
        Count(this, "rebuilds");
}

CTestPlugSubView::CTestPlugSubView(QWidget* parent) : platform::View(parent) {}

CTestPlugFrame::CTestPlugFrame(QWidget* parent) : platform::ChildFrame(parent)
{
    AddCommand(1028, [this] { Count(this, "starts"); });
}

CTestPlugSplitFrame::CTestPlugSplitFrame(QWidget* parent) : platform::ChildFrame(parent)
{
    AddCommand(1028, [this] { Count(this, "starts"); });
}

bool CTestPlugSplitFrame::OnCreateClient(platform::CreateContext& ctx)
{
    platform::Splitter* s = CreateSplitter(1, 2);
    s->CreateView(0, 0, &CTestPlugSubView::staticMetaObject, ctx, 200);
    s->CreateView(0, 1, ctx.viewClass, ctx, 200);
    return true;
}
