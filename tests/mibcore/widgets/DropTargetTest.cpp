// Dropping object names on a view in a real child frame: drag effects, the
// commands to the frame and the view, and update hint 1032 with the dotted
// name path looked up in the OID tree loaded from etc/mib/mib-2.mib.

#include "mibcore/mibtree/MIBTree.h"
#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/DocView.h"
#include "mibcore/widgets/CMIBOleDropTarget.h"
#include "tests/mibcore/widgets/WidgetTestApp.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;

class DropFrame : public platform::ChildFrame {
public:
    DropFrame()
    {
        AddCommand(1027, [] { g_log.push_back("frame 1027"); });
        AddCommand(1028, [] { g_log.push_back("frame 1028"); });
    }
};

// A view like the tree browser's: a tree filling it, the drop target
// registered on the view itself.
class DropView : public platform::View {
public:
    explicit DropView(const char* name) : m_name(name)
    {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QTreeWidget(this));
        AddCommand(1027, [this] { g_log.push_back(m_name + " 1027"); });
        target.Register(this);
    }
    void OnUpdate(platform::View*, long hint, QObject* hintObj) override
    {
        auto* h = qobject_cast<CNamePathHint*>(hintObj);
        g_log.push_back(m_name + " hint " + std::to_string(hint) + " " + (h ? h->getPath() : std::string("-")));
    }
    CMIBOleDropTarget target;

private:
    std::string m_name;
};

class DropTargetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        widgettest::EnsureApp();
        MIBTree::Initialize();  // etc/mib/mib-2.mib below the build directory
    }
    static void TearDownTestSuite()
    {
        MIBTree::Finalize();
        MIBTree::top = nullptr;
    }

    void SetUp() override
    {
        ASSERT_NE(MIBTree::gettop(), nullptr);
        frame = new DropFrame;
        auto* client = new QWidget;
        auto* layout = new QVBoxLayout(client);
        view = new DropView("view");
        other = new DropView("other");
        layout->addWidget(view);
        layout->addWidget(other);
        frame->SetClient(client);
        doc.AddView(view);
        doc.AddView(other);
        frame->resize(400, 300);
        frame->show();
        g_log.clear();
    }
    void TearDown() override
    {
        doc.RemoveView(view);
        doc.RemoveView(other);
        delete frame;
    }

    // Drag enter on the view; returns the accepted action or IgnoreAction.
    Qt::DropAction Enter(QMimeData* data, Qt::KeyboardModifiers keys = Qt::NoModifier,
                         Qt::DropActions possible = Qt::CopyAction | Qt::MoveAction)
    {
        QDragEnterEvent e(QPoint(10, 10), possible, data, Qt::LeftButton, keys);
        QCoreApplication::sendEvent(view, &e);
        return e.isAccepted() ? e.dropAction() : Qt::IgnoreAction;
    }
    // A drag always enters before it drops.
    bool Drop(QMimeData* data, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        Enter(data, keys);
        QDropEvent e(QPointF(10, 10), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, keys);
        QCoreApplication::sendEvent(view, &e);
        return e.isAccepted();
    }

    platform::Document doc;
    DropFrame* frame = nullptr;
    DropView* view = nullptr;
    DropView* other = nullptr;
};

TEST_F(DropTargetTest, PlainTextIsMovedOrWithControlCopiedAnythingElseRefused)
{
    QMimeData text;
    text.setText("sysUpTime");
    EXPECT_EQ(Enter(&text), Qt::MoveAction);
    EXPECT_EQ(Enter(&text, Qt::ControlModifier), Qt::CopyAction);
    // A source that only copies gets a copy.
    EXPECT_EQ(Enter(&text, Qt::NoModifier, Qt::CopyAction), Qt::CopyAction);

    QMimeData other;
    other.setData("application/octet-stream", QByteArray("\x01\x02", 2));
    EXPECT_EQ(Enter(&other), Qt::IgnoreAction);
    EXPECT_FALSE(Drop(&other));
    EXPECT_TRUE(g_log.empty());

    // The view may refuse drops for a while (a walk is running).
    bool busy = true;
    view->target.SetAcceptCheck([&] { return !busy; });
    EXPECT_EQ(Enter(&text), Qt::IgnoreAction);
    busy = false;
    EXPECT_EQ(Enter(&text), Qt::MoveAction);
}

TEST_F(DropTargetTest, AKnownNameReachesEveryViewAsItsDottedPath)
{
    QMimeData data;
    data.setText("sysUpTime");
    ASSERT_TRUE(Drop(&data));
    const std::string path = "iso.org.dod.internet.mgmt.mib-2.system.sysUpTime";
    EXPECT_EQ(g_log, (std::vector<std::string>{"frame 1027", "view 1027", "frame 1028", "view hint 1032 " + path,
                                               "other hint 1032 " + path}));
}

TEST_F(DropTargetTest, TheActiveViewIsToldOnceAndTheFrameStillHearsIt)
{
    // The frame's route starts at its active view: a command for the frame
    // must neither stop there nor reach the view a second time.
    frame->SetActiveView(view, false);
    QMimeData data;
    data.setText("sysUpTime");
    ASSERT_TRUE(Drop(&data));
    const std::string path = "iso.org.dod.internet.mgmt.mib-2.system.sysUpTime";
    EXPECT_EQ(g_log, (std::vector<std::string>{"frame 1027", "view 1027", "frame 1028", "view hint 1032 " + path,
                                               "other hint 1032 " + path}));
}

TEST_F(DropTargetTest, AnUnknownNameOnlyStopsAndStillSucceeds)
{
    QMimeData data;
    data.setText("noSuchObjectAnywhere");
    EXPECT_TRUE(Drop(&data));
    EXPECT_EQ(g_log, (std::vector<std::string>{"frame 1027", "view 1027"}));

    g_log.clear();
    QMimeData empty;
    empty.setText("");
    EXPECT_TRUE(Drop(&empty));
    EXPECT_EQ(g_log, (std::vector<std::string>{"frame 1027", "view 1027"}));
}

TEST_F(DropTargetTest, NamesWithATerminatingZeroOrALineEndAreFound)
{
    // The MIB tree dialog offers the name with its terminating zero; other
    // programs may add a line end.
    for (const char* raw : {"ifInOctets\0", " ifInOctets\r\n"}) {
        g_log.clear();
        QMimeData data;
        data.setData("text/plain", QByteArray(raw, static_cast<int>(std::char_traits<char>::length(raw) + 1)));
        ASSERT_TRUE(Drop(&data));
        ASSERT_EQ(g_log.size(), 5u);
        EXPECT_EQ(g_log[3], "view hint 1032 iso.org.dod.internet.mgmt.mib-2.interfaces.ifTable.ifEntry.ifInOctets");
    }
}

TEST_F(DropTargetTest, WithoutTheTreeLoadedADropOnlyStops)
{
    MIBTree* saved = MIBTree::top;
    MIBTree::top = nullptr;
    QMimeData data;
    data.setText("sysUpTime");
    EXPECT_TRUE(Drop(&data));
    MIBTree::top = saved;
    EXPECT_EQ(g_log, (std::vector<std::string>{"frame 1027", "view 1027"}));
}

}  // namespace
