#include "mibcore/engine/CSnmpBerList.h"

#include <QCoreApplication>

const char* const CSnmpBerList::m_ErrMsg[24] = {
    QT_TRANSLATE_NOOP("Quillon", "エラーなし"),
    QT_TRANSLATE_NOOP("Quillon", "fooBig-PDUのサイズが大きすぎます"),
    QT_TRANSLATE_NOOP("Quillon", "noSuchName-指定のオブジェクトがありません"),
    QT_TRANSLATE_NOOP("Quillon", "badValue-指定の値が不正です"),
    QT_TRANSLATE_NOOP("Quillon", "readOnly-書き込みできませんでした"),
    QT_TRANSLATE_NOOP("Quillon", "genErr-一般的なエラー"),
    "", "", "", "", "", "", "", "", "", "",
    QT_TRANSLATE_NOOP("Quillon", "SNMPカウンター初期化"),
    QT_TRANSLATE_NOOP("Quillon", "SNMPバッファーエラー"),
    QT_TRANSLATE_NOOP("Quillon", "SNMPエージェントのアドレスが指定されていません"),
    QT_TRANSLATE_NOOP("Quillon", "SNMPエージェントアドレスの指定が不正です"),
    QT_TRANSLATE_NOOP("Quillon", "SNMP送信時にエラーが発生しました"),
    QT_TRANSLATE_NOOP("Quillon", "SNMP受信タイムアウトが発生しました"),
    QT_TRANSLATE_NOOP("Quillon", "SNMP枝葉が違うオブジェクトを取得しました"),
    QT_TRANSLATE_NOOP("Quillon", "SNMP送信もしくは受信エラーが多発したためデータを取得しませんでした"),
};

// Error statuses 6..18 of SNMPv2 agents, reported as codes 106..118 so
// they never meet the engine's own codes.
const char* const CSnmpBerList::m_ErrMsgV2[13] = {
    QT_TRANSLATE_NOOP("Quillon", "noAccess-アクセスできないオブジェクトです"),
    QT_TRANSLATE_NOOP("Quillon", "wrongType-値の型が不正です"),
    QT_TRANSLATE_NOOP("Quillon", "wrongLength-値の長さが不正です"),
    QT_TRANSLATE_NOOP("Quillon", "wrongEncoding-値の符号化が不正です"),
    QT_TRANSLATE_NOOP("Quillon", "wrongValue-指定の値は設定できません"),
    QT_TRANSLATE_NOOP("Quillon", "noCreation-オブジェクトを作成できません"),
    QT_TRANSLATE_NOOP("Quillon", "inconsistentValue-現在は指定の値を設定できません"),
    QT_TRANSLATE_NOOP("Quillon", "resourceUnavailable-エージェントの資源が足りません"),
    QT_TRANSLATE_NOOP("Quillon", "commitFailed-設定を反映できませんでした"),
    QT_TRANSLATE_NOOP("Quillon", "undoFailed-設定を元に戻せませんでした"),
    QT_TRANSLATE_NOOP("Quillon", "authorizationError-許可されていない要求です"),
    QT_TRANSLATE_NOOP("Quillon", "notWritable-書き込みできないオブジェクトです"),
    QT_TRANSLATE_NOOP("Quillon", "inconsistentName-現在は指定のオブジェクトを作成できません"),
};

const char* const CSnmpBerList::m_ErrMsgV3[9] = {
    QT_TRANSLATE_NOOP("Quillon", "unknownUserName-SNMPv3ユーザー名がエージェントにありません"),
    QT_TRANSLATE_NOOP("Quillon", "unsupportedSecLevel-このユーザーはこのセキュリティレベルを使えません"),
    QT_TRANSLATE_NOOP("Quillon", "wrongDigest-認証に失敗しました(認証パスフレーズが違います)"),
    QT_TRANSLATE_NOOP("Quillon", "decryptionError-復号に失敗しました(プライバシーパスフレーズが違います)"),
    QT_TRANSLATE_NOOP("Quillon", "unknownEngineID-エージェントのエンジンIDを確認できません"),
    QT_TRANSLATE_NOOP("Quillon", "notInTimeWindow-エージェントと時刻を同期できません"),
    QT_TRANSLATE_NOOP("Quillon", "SNMP受信タイムアウトが発生しました(プライバシーパスフレーズが違う可能性があります)"),
    QT_TRANSLATE_NOOP("Quillon", "SNMPv3の鍵がありません(エージェントの設定でパスフレーズを入力してください)"),
    QT_TRANSLATE_NOOP("Quillon", "SNMPv3の要求がエージェントに拒否されました(report)"),
};

const char* CSnmpBerList::ErrMsg(int code)
{
    if (code >= V3First && code <= V3Last)
        return m_ErrMsgV3[code - V3First];
    if (code >= AgentStatusV2First && code <= AgentStatusV2Last)
        return m_ErrMsgV2[code - AgentStatusV2First];
    if (code < 0 || code >= 24)
        return "";
    return m_ErrMsg[code];
}

CSnmpBerList::CSnmpBerList() : m_head(this), m_tail(this) {}

CSnmpBerList::CSnmpBerList(const CSnmpBerList& src) : m_head(this), m_tail(this)
{
    *this = src;
}

CSnmpBerList& CSnmpBerList::operator=(const CSnmpBerList& src)
{
    if (this == &src)
        return *this;
    // Copy first: src may be a node of this very chain.
    CSnmpBerList copy;
    copy.m_ber = src.m_ber;
    for (const CSnmpBerList* n = src.m_next; n; n = n->m_next) {
        auto* node = new CSnmpBerList;
        node->m_ber = n->m_ber;
        copy.Add(node);
    }
    clearChain();
    m_ber = copy.m_ber;
    // Move the copied chain behind this node.
    CSnmpBerList* rest = copy.m_next;
    copy.m_next = nullptr;
    copy.m_tail = &copy;
    if (rest) {
        rest->m_prev = nullptr;
        rest->m_head = rest;  // a detached chain, as Add expects
        Add(rest);
    }
    return *this;
}

CSnmpBerList::~CSnmpBerList()
{
    if (m_prev) {
        // Deleted while still linked: cut it off so the list stays sound.
        m_prev->m_next = nullptr;
        m_head->m_tail = m_prev;
        m_prev = nullptr;
    }
    // From here on this node and its successors are a list of their own.
    m_head = this;
    clearChain();
}

void CSnmpBerList::clearChain()
{
    CSnmpBerList* n = m_next;
    m_next = nullptr;
    while (n) {
        CSnmpBerList* following = n->m_next;
        n->m_next = nullptr;
        n->m_prev = nullptr;
        n->m_head = n;  // detached: its destructor touches only itself
        delete n;
        n = following;
    }
    m_head->m_tail = this;
}

void CSnmpBerList::Set(const CSnmpBer* ber)
{
    if (!ber || ber->GetAllData() == nullptr) {
        m_ber.Clear();
        return;
    }
    if (ber != &m_ber)
        m_ber = *ber;
}

CSnmpBerList* CSnmpBerList::Get(int index)
{
    if (index < 0)
        return nullptr;
    CSnmpBerList* n = m_head;
    while (n && index > 0) {
        n = n->m_next;
        --index;
    }
    return n;
}

void CSnmpBerList::Add(CSnmpBerList* node)
{
    if (!node)
        return;
    CSnmpBerList* head = m_head;
    // Take the node's whole chain from its own head; refuse anything that is
    // already part of this list (it would close a cycle).
    CSnmpBerList* first = node->m_head;
    if (first == head)
        return;
    if (node->m_prev) {
        // A node in the middle of another list: detach it from there first.
        node->Delete();
        first = node;
    }
    CSnmpBerList* tail = head->m_tail;
    tail->m_next = first;
    first->m_prev = tail;
    CSnmpBerList* last = first;
    for (CSnmpBerList* n = first; n; n = n->m_next) {
        n->m_head = head;
        last = n;
    }
    head->m_tail = last;
}

CSnmpBerList* CSnmpBerList::Delete()
{
    CSnmpBerList* next = m_next;
    CSnmpBerList* prev = m_prev;
    CSnmpBerList* oldHead = m_head;
    CSnmpBerList* tail = oldHead->m_tail;

    if (prev)
        prev->m_next = next;
    if (next)
        next->m_prev = prev;

    if (this == oldHead) {
        if (next) {
            // The next node becomes the head; everyone refers to it.
            for (CSnmpBerList* n = next; n; n = n->m_next)
                n->m_head = next;
            next->m_tail = tail;
        }
    } else if (this == tail) {
        oldHead->m_tail = prev;
    }

    m_head = this;
    m_tail = this;
    m_prev = nullptr;
    m_next = nullptr;
    return next;
}

int CSnmpBerList::getCount() const
{
    int count = 0;
    for (const CSnmpBerList* n = m_head; n; n = n->m_next)
        ++count;
    return count;
}
