// Node links, ordering and lookups of the OID tree, independent of any
// module file.

#include "TreeFixture.h"

#include <memory>

using namespace mibtest;

namespace {

// Every node of n's brother list shares head, tail and parent, the list
// ascends strictly, and head/tail are its ends.
void ExpectListInvariants(MIBTree* first)
{
    ASSERT_NE(first, nullptr);
    MIBTree* head = first->gethead();
    EXPECT_EQ(head, first);
    MIBTree* last = nullptr;
    for (MIBTree* n = first; n; n = n->getnext()) {
        EXPECT_EQ(n->gethead(), head) << n->getname();
        EXPECT_EQ(n->gettail(), first->gettail()) << n->getname();
        EXPECT_EQ(n->getparent(), first->getparent()) << n->getname();
        if (last) {
            EXPECT_LT(last->getval(), n->getval());
        }
        last = n;
    }
    EXPECT_EQ(first->gettail(), last);
    if (first->getparent()) {
        EXPECT_EQ(first->getparent()->getchild(), first);
    }
}

std::vector<unsigned long> Vals(MIBTree* first)
{
    std::vector<unsigned long> v;
    for (MIBTree* n = first; n; n = n->getnext())
        v.push_back(n->getval());
    return v;
}

}  // namespace

TEST_F(MibTreeTest, NewNodeIsItsOwnListAndRootsComeInOrder)
{
    MIBTree lone("x", 7);
    EXPECT_EQ(lone.gethead(), &lone);
    EXPECT_EQ(lone.gettail(), &lone);
    EXPECT_EQ(lone.getparent(), nullptr);
    EXPECT_EQ(lone.getchild(), nullptr);
    EXPECT_EQ(lone.getnext(), nullptr);
    lone.setval(0x1FFFFFFFFul);  // kept to 32 bits
    EXPECT_EQ(lone.getval(), 0xFFFFFFFFul);

    InitRootsOnly();
    MIBTree* top = MIBTree::gettop();
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->getname(), "ccitt");
    EXPECT_EQ(Vals(top), (std::vector<unsigned long>{0, 1, 2}));
    EXPECT_EQ(top->getnext()->getname(), "iso");
    EXPECT_EQ(top->gettail()->getname(), "joint-iso-ccitt");
    EXPECT_EQ(CountNodes(top), 3);
    ExpectListInvariants(top);

    // Initialize again starts over; Finalize leaves no dangling top.
    MIBTree::Initialize();
    MIBTree::Finalize();
    EXPECT_EQ(MIBTree::gettop(), nullptr);
    MIBTree::Finalize();
    EXPECT_EQ(MIBTree::gettop(), nullptr);
}

TEST_F(MibTreeTest, InsertionKeepsAscendingOrderAndRefusesTakenArcs)
{
    MIBTree parent("p", 1);
    auto add = [&](unsigned long v) {
        auto n = std::make_unique<MIBTree>("n" + std::to_string(v), v);
        int r = parent.AddChild(n.get());
        if (r)
            n.release();
        return r;
    };
    EXPECT_EQ(add(5), 1);
    EXPECT_EQ(add(2), 1);  // becomes the new first child
    EXPECT_EQ(add(9), 1);  // appended
    EXPECT_EQ(add(2), 0);  // refused
    EXPECT_EQ(Vals(parent.getchild()), (std::vector<unsigned long>{2, 5, 9}));
    ExpectListInvariants(parent.getchild());

    EXPECT_EQ(add(7), 1);  // in the middle
    EXPECT_EQ(add(0), 1);  // in front again
    EXPECT_EQ(add(9), 0);
    EXPECT_EQ(add(0xFFFFFFFF), 1);
    EXPECT_EQ(Vals(parent.getchild()), (std::vector<unsigned long>{0, 2, 5, 7, 9, 0xFFFFFFFF}));
    ExpectListInvariants(parent.getchild());

    // AddTail on any brother sees the whole list.
    MIBTree* mid = parent.getchild()->getnext()->getnext();
    MIBTree extra("dup", 2);
    EXPECT_EQ(mid->AddTail(&extra), 0);
    EXPECT_EQ(parent.AddChild(nullptr), 0);
}

TEST_F(MibTreeTest, FindIsDepthFirstInValOrderAndFindBrotherMatchesNameOrNumber)
{
    InitRootsOnly();
    MIBTree* top = MIBTree::gettop();
    MIBTree* iso = top->getnext();
    // Same name "dup" twice: under ccitt(0) and under iso(1).3.
    auto* isoChild = new MIBTree("org", 3);
    ASSERT_EQ(iso->AddChild(isoChild), 1);
    ASSERT_EQ(isoChild->AddChild(new MIBTree("dup", 4)), 1);
    auto* ccittChild = new MIBTree("dup", 9);
    ASSERT_EQ(top->AddChild(ccittChild), 1);

    EXPECT_EQ(top->Find("dup"), ccittChild);  // ccitt's subtree comes first
    EXPECT_EQ(iso->Find("dup"), isoChild->getchild());  // starts at iso
    EXPECT_EQ(top->Find("Org"), nullptr);  // case-sensitive
    EXPECT_EQ(top->Find("joint-iso-ccitt"), top->gettail());
    EXPECT_EQ(isoChild->Find("ccitt"), nullptr);  // never looks back up

    EXPECT_EQ(top->FindBrother("iso"), iso);
    EXPECT_EQ(top->FindBrother("2"), top->gettail());
    EXPECT_EQ(top->FindBrother("01"), nullptr);  // decimal form must match exactly
    EXPECT_EQ(top->FindBrother(""), nullptr);
    EXPECT_EQ(iso->FindBrother("ccitt"), nullptr);  // only this and following brothers
    EXPECT_EQ(top->FindBrother(1ul), iso);
    EXPECT_EQ(top->FindBrother(3ul), nullptr);

    // Renaming a node is seen by the next lookup, under both names.
    isoChild->setname("renamed");
    EXPECT_EQ(top->Find("org"), nullptr);
    EXPECT_EQ(top->Find("renamed"), isoChild);
    isoChild->setname("org");

    std::string path = "untouched";
    EXPECT_EQ(top->GetAllString(path, "nothing"), 0);
    EXPECT_EQ(path, "untouched");
    EXPECT_EQ(top->GetAllString(path, "dup"), 1);
    EXPECT_EQ(path, "ccitt.dup");
}

TEST_F(MibTreeTest, DeepTreesAndLongBrotherListsAreSearchedAndFreedWithoutRecursion)
{
    // Far deeper and wider than any stack could recurse through.
    InitRootsOnly();
    MIBTree* node = MIBTree::gettop()->getnext();
    const int depth = 200000;
    for (int k = 0; k < depth; ++k) {
        auto* child = new MIBTree("d" + std::to_string(k), 1);
        ASSERT_EQ(node->AddChild(child), 1);
        node = child;
    }
    for (unsigned long k = 1; k <= 200000; ++k)
        ASSERT_EQ(node->AddChild(new MIBTree("w", k)), 1);
    EXPECT_EQ(MIBTree::gettop()->Find("missing"), nullptr);
    EXPECT_EQ(node->getchild()->gettail()->getval(), 200000ul);
    std::string path;
    EXPECT_EQ(MIBTree::gettop()->GetAllString(path, "d199999"), 1);
    EXPECT_EQ(path.substr(0, 10), "iso.d0.d1.");
    MIBTree::Finalize();  // must not overflow the stack
    EXPECT_EQ(MIBTree::gettop(), nullptr);
}
