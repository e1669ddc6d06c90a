// The walk's result list and the result-code texts.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "mibcore/engine/CSnmpBerList.h"
#include "snmpval/CSnmpBer.h"

namespace {

CSnmpBer Int(long v)
{
    CSnmpBer b;
    b.SetLong(v);
    return b;
}

long ValueAt(CSnmpBerList& list, int index)
{
    CSnmpBerList* n = list.Get(index);
    return n ? n->Get().GetLong() : -999;
}

// head + nodes holding 1..count (head holds 0)
void Fill(CSnmpBerList& head, int count)
{
    CSnmpBer zero = Int(0);
    head.Set(&zero);
    for (int i = 1; i <= count; ++i) {
        auto* node = new CSnmpBerList;
        CSnmpBer v = Int(i);
        node->Set(&v);
        head.Add(node);
    }
}

// Every node must agree on head and tail, and prev/next must mirror.
void ExpectConsistent(CSnmpBerList& head, int expectedCount)
{
    ASSERT_EQ(head.gethead(), &head);
    int count = 0;
    CSnmpBerList* prev = nullptr;
    for (CSnmpBerList* n = &head; n; n = n->getnext()) {
        EXPECT_EQ(n->gethead(), &head);
        EXPECT_EQ(n->getprev(), prev);
        EXPECT_EQ(n->gettail(), head.gettail());
        prev = n;
        ++count;
    }
    EXPECT_EQ(prev, head.gettail());
    EXPECT_EQ(count, expectedCount);
    EXPECT_EQ(head.getCount(), expectedCount);
}

}  // namespace

TEST(ErrMsg, AllTwentyFourTexts)
{
    const char* expected[24] = {
        "エラーなし",
        "fooBig-PDUのサイズが大きすぎます",
        "noSuchName-指定のオブジェクトがありません",
        "badValue-指定の値が不正です",
        "readOnly-書き込みできませんでした",
        "genErr-一般的なエラー",
        "", "", "", "", "", "", "", "", "", "",
        "SNMPカウンター初期化",
        "SNMPバッファーエラー",
        "SNMPエージェントのアドレスが指定されていません",
        "SNMPエージェントアドレスの指定が不正です",
        "SNMP送信時にエラーが発生しました",
        "SNMP受信タイムアウトが発生しました",
        "SNMP枝葉が違うオブジェクトを取得しました",
        "SNMP送信もしくは受信エラーが多発したためデータを取得しませんでした",
    };
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(std::string(CSnmpBerList::m_ErrMsg[i]), expected[i]) << "code " << i;
    // Out-of-table codes read as empty instead of past the table.
    EXPECT_STREQ(CSnmpBerList::ErrMsg(-1), "");
    EXPECT_STREQ(CSnmpBerList::ErrMsg(24), "");
    EXPECT_STREQ(CSnmpBerList::ErrMsg(21), expected[21]);
}

TEST(CSnmpBerList, FreshListAndAppend)
{
    CSnmpBerList list;
    EXPECT_EQ(list.gethead(), &list);
    EXPECT_EQ(list.gettail(), &list);
    EXPECT_EQ(list.getprev(), nullptr);
    EXPECT_EQ(list.getnext(), nullptr);
    EXPECT_EQ(list.Get().GetTagType(), CSnmpBer::TagNull);
    EXPECT_EQ(list.Get(1), nullptr);
    EXPECT_EQ(list.Get(-1), nullptr);

    Fill(list, 4);
    ExpectConsistent(list, 5);
    for (int i = 0; i <= 4; ++i)
        EXPECT_EQ(ValueAt(list, i), i);
    EXPECT_EQ(list.Get(5), nullptr);
    // Get counts from the head whatever node it is asked on.
    EXPECT_EQ(list.Get(3)->Get(1), list.Get(1));

    // Set copies; null or an empty element empties the node.
    CSnmpBer seven = Int(7);
    list.Get(2)->Set(&seven);
    seven.SetLong(8);
    EXPECT_EQ(ValueAt(list, 2), 7);
    list.Get(2)->Set(nullptr);
    EXPECT_EQ(list.Get(2)->Get().GetAllData(), nullptr);
    CSnmpBer empty;
    list.Get(1)->Set(&empty);
    EXPECT_EQ(list.Get(1)->Get().GetTagType(), CSnmpBer::TagNull);
}

TEST(CSnmpBerList, AddRefusesCyclesAndTakesChains)
{
    CSnmpBerList list;
    Fill(list, 2);
    // A node already in the list (or the head itself) would close a cycle.
    list.Add(list.Get(1));
    list.Add(&list);
    list.Add(nullptr);
    ExpectConsistent(list, 3);

    // A whole other chain, handed over by its head, is appended.
    auto* other = new CSnmpBerList;
    Fill(*other, 2);
    list.Add(other);
    ExpectConsistent(list, 6);
    EXPECT_EQ(ValueAt(list, 5), 2);
    // Add on a non-head node still appends at the end of the list.
    auto* last = new CSnmpBerList;
    CSnmpBer nine = Int(9);
    last->Set(&nine);
    list.Get(2)->Add(last);
    ExpectConsistent(list, 7);
    EXPECT_EQ(list.gettail(), last);
}

TEST(CSnmpBerList, DeleteMiddleTailAndHead)
{
    CSnmpBerList list;
    Fill(list, 4);  // 0 1 2 3 4

    std::unique_ptr<CSnmpBerList> middle(list.Get(2));
    CSnmpBerList* following = list.Get(3);
    EXPECT_EQ(middle->Delete(), following);
    ExpectConsistent(list, 4);                 // 0 1 3 4
    EXPECT_EQ(ValueAt(list, 2), 3);
    EXPECT_EQ(middle->gethead(), middle.get());
    EXPECT_EQ(middle->gettail(), middle.get());
    EXPECT_EQ(middle->getnext(), nullptr);
    EXPECT_EQ(middle->Get().GetLong(), 2);

    std::unique_ptr<CSnmpBerList> tail(list.gettail());
    EXPECT_EQ(tail->Delete(), nullptr);
    ExpectConsistent(list, 3);  // 0 1 3
    EXPECT_EQ(list.gettail()->Get().GetLong(), 3);

    // Unlinking the head makes the next node the head of the rest.
    CSnmpBerList* newHead = list.Delete();
    ASSERT_NE(newHead, nullptr);
    std::unique_ptr<CSnmpBerList> owner(newHead);
    ExpectConsistent(*newHead, 2);  // 1 3
    EXPECT_EQ(newHead->Get().GetLong(), 1);
    EXPECT_EQ(newHead->gettail()->Get().GetLong(), 3);
    ExpectConsistent(list, 1);
    EXPECT_EQ(list.Get().GetLong(), 0);
}

TEST(CSnmpBerList, CopyAndAssignAreDeep)
{
    CSnmpBerList src;
    Fill(src, 3);
    CSnmpBerList copy(src);
    ExpectConsistent(copy, 4);
    CSnmpBer hundred = Int(100);
    src.Get(1)->Set(&hundred);
    EXPECT_EQ(ValueAt(copy, 1), 1);

    // Assignment drops what the target had first.
    CSnmpBerList target;
    Fill(target, 6);
    target = src;
    ExpectConsistent(target, 4);
    EXPECT_EQ(ValueAt(target, 1), 100);
    EXPECT_EQ(ValueAt(target, 3), 3);

    // Self-assignment and assignment from a node of the same chain.
    target = target;
    ExpectConsistent(target, 4);
    target = *target.Get(2);  // the source is part of what gets replaced
    ExpectConsistent(target, 2);
    EXPECT_EQ(ValueAt(target, 0), 2);
    EXPECT_EQ(ValueAt(target, 1), 3);
}

TEST(CSnmpBerList, DeletingALinkedNodeTruncatesSafely)
{
    CSnmpBerList list;
    Fill(list, 4);
    delete list.Get(2);  // destroys 2, 3 and 4
    ExpectConsistent(list, 2);
    auto* node = new CSnmpBerList;
    list.Add(node);
    ExpectConsistent(list, 3);
}

TEST(CSnmpBerList, LongListsDoNotExhaustTheStack)
{
    // A full walk of a large agent: the chain's destruction must not recurse
    // once per row.
    auto list = std::make_unique<CSnmpBerList>();
    CSnmpBer v = Int(1);
    for (int i = 0; i < 300000; ++i) {
        auto* node = new CSnmpBerList;
        node->Set(&v);
        list->Add(node);
    }
    EXPECT_EQ(list->getCount(), 300001);
    CSnmpBerList copy = *list;
    EXPECT_EQ(copy.getCount(), 300001);
    list.reset();
}
