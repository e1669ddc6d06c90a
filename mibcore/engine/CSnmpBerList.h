#pragma once
// Result list of a table walk: one reply's variable-bindings per row. The
// object the caller constructs is the head and holds row 0; further nodes
// are heap objects owned by the chain. Every node knows the head and (via
// the head) the tail.

#include "snmpval/CSnmpBer.h"

class CSnmpBerList {
public:
    CSnmpBerList();
    // Deep copies of the source's elements.
    CSnmpBerList(const CSnmpBerList& src);
    CSnmpBerList& operator=(const CSnmpBerList& src);
    // Destroys every node after this one (iteratively: long walks must not
    // exhaust the stack). A node still linked behind another is cut off
    // its predecessor first, so the list stays consistent.
    ~CSnmpBerList();

    // The node's element becomes a copy of *ber (null or empty: empty).
    void Set(const CSnmpBer* ber);
    CSnmpBer& Get() { return m_ber; }
    const CSnmpBer& Get() const { return m_ber; }
    // Node at index counted from the head (0 is the head), or null.
    CSnmpBerList* Get(int index);
    // Append node (and anything chained behind it) at the end of this
    // list, which takes ownership. A node already in this list, or null, is
    // ignored.
    void Add(CSnmpBerList* node);
    // Unlink this node; returns the node that followed it (or null). The
    // unlinked node becomes a one-node list owned by the caller.
    CSnmpBerList* Delete();

    CSnmpBerList* gethead() const { return m_head; }
    CSnmpBerList* gettail() const { return m_head->m_tail; }
    CSnmpBerList* getprev() const { return m_prev; }
    CSnmpBerList* getnext() const { return m_next; }

    // Number of nodes from the head to the tail.
    int getCount() const;

    // Texts of the engine's result codes 0..23.
    static const char* const m_ErrMsg[24];
    // Texts of the SNMPv2 error statuses 6..18, reported as the codes
    // 106..118 (100 + status).
    static const char* const m_ErrMsgV2[13];
    enum : int { AgentStatusV2First = 106, AgentStatusV2Last = 118 };
    // The SNMPv3 codes 201..209.
    static const char* const m_ErrMsgV3[9];
    enum : int { V3First = 201, V3Last = 209 };
    // The text of any result code, or "" for a code without one.
    static const char* ErrMsg(int code);

private:
    void clearChain();

    CSnmpBerList* m_head;
    CSnmpBerList* m_tail;  // kept current in the head only
    CSnmpBerList* m_prev = nullptr;
    CSnmpBerList* m_next = nullptr;
    CSnmpBer m_ber;
};
