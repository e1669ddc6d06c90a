// The plug-in registry: ordering, lookups, view templates and settings
// paths, with descriptors built in the test and loaded from real libraries.

#include "mibcore/agent/AppConstants.h"
#include "mibcore/registry/MIB.h"

#include <QLabel>
#include <QObject>
#include <QWidget>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class Descriptor : public MIB {
public:
    explicit Descriptor(double n, const QMetaObject* view = &QWidget::staticMetaObject,
                        const QMetaObject* doc = &QObject::staticMetaObject,
                        const QMetaObject* frame = &QWidget::staticMetaObject)
        : MIB(n), m_view(view), m_doc(doc), m_frame(frame)
    {
        type = 1;
    }
    Descriptor(const std::string& nm, double) : MIB(nm) {}
    const QMetaObject* getViewClass() override { return m_view; }
    const QMetaObject* getDocumentClass() override { return m_doc; }
    const QMetaObject* getFrameClass() override { return m_frame; }
    using MIB::createViewTemplates;

private:
    const QMetaObject* m_view = &QWidget::staticMetaObject;
    const QMetaObject* m_doc = &QObject::staticMetaObject;
    const QMetaObject* m_frame = &QWidget::staticMetaObject;
};

std::vector<double> Numbers()
{
    std::vector<double> out;
    for (MIB* p = MIB::gethead(); p; p = p->getnext())
        out.push_back(p->getno());
    return out;
}

std::vector<std::string> Names()
{
    std::vector<std::string> out;
    for (MIB* p = MIB::gethead(); p; p = p->getnext())
        out.push_back(p->getname());
    return out;
}

// The list must read the same forwards and backwards.
void ExpectConsistentLinks()
{
    std::vector<MIB*> fwd, back;
    for (MIB* p = MIB::gethead(); p; p = p->getnext())
        fwd.push_back(p);
    for (MIB* p = MIB::gettail(); p; p = p->getprev())
        back.insert(back.begin(), p);
    EXPECT_EQ(fwd, back);
    if (!fwd.empty()) {
        EXPECT_EQ(MIB::gethead()->getprev(), nullptr);
        EXPECT_EQ(MIB::gettail()->getnext(), nullptr);
    }
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(MIB::gethead(), nullptr) << "a previous test left descriptors behind"; }
    void TearDown() override { ExpectConsistentLinks(); }
};

TEST_F(RegistryTest, OrderIsBySortNumberNotByConstruction)
{
    Descriptor a(6), b(3.5), c(101), d(1);
    EXPECT_EQ(Numbers(), (std::vector<double>{1, 3.5, 6, 101}));
    EXPECT_EQ(MIB::gethead(), &d);
    EXPECT_EQ(MIB::gettail(), &c);

    // 3.11 sorts before 3.5: the key is the number, not its text.
    Descriptor e(3.11), f(3.14);
    EXPECT_EQ(Numbers(), (std::vector<double>{1, 3.11, 3.14, 3.5, 6, 101}));
}

TEST_F(RegistryTest, EqualNumbersKeepConstructionOrder)
{
    Descriptor first(3), other(1), second(3), third(3), last(4);
    first.setname("first");
    second.setname("second");
    third.setname("third");
    other.setname("other");
    last.setname("last");
    EXPECT_EQ(Names(), (std::vector<std::string>{"other", "first", "second", "third", "last"}));
}

TEST_F(RegistryTest, DefaultsOfTheConstructors)
{
    Descriptor byNo(2.5);
    Descriptor byName("UDP情報", 0);
    EXPECT_EQ(byNo.getno(), 2.5);
    EXPECT_EQ(byNo.getname(), "");
    EXPECT_EQ(byName.getname(), "UDP情報");
    EXPECT_EQ(byName.getno(), 0.0);
    EXPECT_EQ(byName.getMenuType(), 0);
    EXPECT_EQ(byName.getSubViewClass(), nullptr);
    EXPECT_EQ(byName.getViewTemplateCount(), 0);
    EXPECT_EQ(byName.getViewDocTemplate(0), nullptr);
    EXPECT_EQ(byName.getIcon(), "");
    EXPECT_EQ(byName.getwview(), 0);
    // Name-only descriptors (no 0) go in front of 2.5.
    EXPECT_EQ(MIB::gethead(), &byName);

    EXPECT_EQ(MIB::m_graphStatusBarMenu[0], 0u);
    EXPECT_EQ(MIB::m_graphStatusBarMenu[1], 0u);
    EXPECT_EQ(MIB::m_graphStatusBarMenu[2], 1127u);
    EXPECT_EQ(MIB::m_listStatusBarMenu[2], 1128u);
}

TEST_F(RegistryTest, FindByNameIsExactAndTakesTheFirst)
{
    Descriptor traffic1(3.11), traffic2(3.12), udp(6);
    traffic1.setname("インターフェースのトラフィック情報");
    traffic2.setname("インターフェースのトラフィック情報");
    udp.setname("UDP情報");
    EXPECT_EQ(MIB::Find("インターフェースのトラフィック情報"), &traffic1);
    EXPECT_EQ(MIB::Find("UDP情報"), &udp);
    EXPECT_EQ(MIB::Find("udp情報"), nullptr);
    EXPECT_EQ(MIB::Find("UDP情報 "), nullptr);
    EXPECT_EQ(MIB::Find(""), nullptr);
}

TEST_F(RegistryTest, FindByRuntimeClass)
{
    Descriptor labels(2, &QLabel::staticMetaObject, &QLabel::staticMetaObject, &QLabel::staticMetaObject);
    Descriptor widgets(1, &QWidget::staticMetaObject, &QObject::staticMetaObject, &QWidget::staticMetaObject);
    EXPECT_EQ(MIB::FindView(&QLabel::staticMetaObject), &labels);
    EXPECT_EQ(MIB::FindView(&QWidget::staticMetaObject), &widgets);
    EXPECT_EQ(MIB::FindDocument(&QObject::staticMetaObject), &widgets);
    EXPECT_EQ(MIB::FindFrame(&QLabel::staticMetaObject), &labels);
    // The class itself, not a base or a subclass of it.
    EXPECT_EQ(MIB::FindView(&QFrame::staticMetaObject), nullptr);
    EXPECT_EQ(MIB::FindDocument(&QWidget::staticMetaObject), nullptr);
    EXPECT_EQ(MIB::FindFrame(nullptr), nullptr);
}

TEST_F(RegistryTest, ViewDocTemplatesById)
{
    Descriptor d(1);
    auto* t1 = reinterpret_cast<platform::MultiDocTemplate*>(0x1000);
    auto* t2 = reinterpret_cast<platform::MultiDocTemplate*>(0x2000);

    EXPECT_EQ(d.getViewDocTemplate(0), nullptr);  // no array at all
    d.setViewDocTemplate(0, t1);                  // nothing to store into
    EXPECT_EQ(d.getViewDocTemplate(0), nullptr);

    d.createViewTemplates(3);
    d.getViewTemplates()[1].setId(7);
    EXPECT_EQ(d.getViewDocTemplate(0), nullptr);  // entry without template yet
    EXPECT_EQ(d.getViewDocTemplate(5), nullptr);  // no entry with the id
    d.setViewDocTemplate(0, t1);
    EXPECT_EQ(d.getViewDocTemplate(0), t1);
    EXPECT_EQ(d.getViewTemplates()[0].getMultiDocTemplate(), t1);
    EXPECT_EQ(d.getViewTemplates()[2].getMultiDocTemplate(), t1);  // every entry with the id
    EXPECT_EQ(d.getViewDocTemplate(7), nullptr);
    d.setViewDocTemplate(7, t2);
    EXPECT_EQ(d.getViewDocTemplate(7), t2);
    EXPECT_EQ(d.getViewDocTemplate(0), t1);
    d.setViewDocTemplate(9, t2);  // unknown id: nothing changes
    EXPECT_EQ(d.getViewDocTemplate(9), nullptr);

    ViewDocTemplate copy;
    copy = d.getViewTemplates()[1];
    EXPECT_EQ(copy.getId(), 7);
    EXPECT_EQ(copy.getMultiDocTemplate(), t2);
}

TEST_F(RegistryTest, IniFileFullPathFollowsTheStartDirectory)
{
    std::string saved = AppConstants::getInstance()->getStartDir();
    Descriptor d(6);
    d.setIniFile("udp.ini");
    AppConstants::getInstance()->setStartDir("/opt/quillon");
    std::string path;
    d.getIniFileFullPath(path);
    EXPECT_EQ(path, "/opt/quillon/etc/ini/udp.ini");
    AppConstants::getInstance()->setStartDir("/home/op/モニタ");
    d.getIniFileFullPath(path);
    EXPECT_EQ(path, "/home/op/モニタ/etc/ini/udp.ini");
    EXPECT_EQ(MIB::IniPathOf(&d), path);
    EXPECT_EQ(MIB::IniPathOf(nullptr), "");
    AppConstants::getInstance()->setStartDir(saved);
}

TEST_F(RegistryTest, DestroyedDescriptorsLeaveTheList)
{
    auto mid = std::make_unique<Descriptor>(5);
    auto head = std::make_unique<Descriptor>(1);
    auto tail = std::make_unique<Descriptor>(9);
    Descriptor keep(4);
    mid.reset();
    EXPECT_EQ(Numbers(), (std::vector<double>{1, 4, 9}));
    head.reset();
    tail.reset();
    EXPECT_EQ(Numbers(), (std::vector<double>{4}));
    EXPECT_EQ(MIB::gethead(), &keep);
    EXPECT_EQ(MIB::gettail(), &keep);

    // Linking a descriptor a second time must not corrupt the list.
    MIB::AddMIB(&keep);
    MIB::AddMIB(nullptr);
    EXPECT_EQ(Numbers(), (std::vector<double>{4}));
}

// The registration contract end to end: libraries register while they load,
// the list order does not depend on the load order, and unloading a library
// takes its descriptors out.
TEST_F(RegistryTest, PluginLibrariesRegisterWhenLoaded)
{
    const char* build = std::getenv("QUILLON_BUILD_DIR");
    ASSERT_NE(build, nullptr);
    std::string a = std::string(build) + "/tests/regplugs/regplug_a.so";
    std::string b = std::string(build) + "/tests/regplugs/regplug_b.so";

    for (bool aFirst : {true, false}) {
        void* h1 = dlopen((aFirst ? a : b).c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(h1, nullptr) << dlerror();
        void* h2 = dlopen((aFirst ? b : a).c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(h2, nullptr) << dlerror();
        EXPECT_EQ(Names(), (std::vector<std::string>{"MIBツリー", "IP情報", "UDP情報", "CISCO情報"}));
        MIB* udp = MIB::Find("UDP情報");
        ASSERT_NE(udp, nullptr);
        EXPECT_EQ(udp->gettype(), 1);
        EXPECT_EQ(udp->getIniFile(), "udp.ini");
        EXPECT_EQ(udp->getViewTemplateCount(), 1);
        EXPECT_EQ(udp->getViewTemplates()[0].getId(), udp->getwview());
        ExpectConsistentLinks();
        dlclose(h2);
        dlclose(h1);
        EXPECT_EQ(MIB::gethead(), nullptr);
    }
}

}  // namespace
