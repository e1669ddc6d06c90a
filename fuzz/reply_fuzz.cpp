// libFuzzer target over the whole reply path: a datagram is read exactly as
// the request engine reads it (receive buffer, request id, error status,
// bindings), then every binding goes through the walk's subtree and order
// tests and the display texts the views show.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "mibcore/engine/SnmpReply.h"
#include "snmpval/CSnmpBer.h"
#include "snmpval/CSnmpString.h"

namespace {

constexpr int kBuffer = 8192;  // the engine's receive buffer
constexpr int kArcs = 8192;    // the walk's arc buffer

unsigned long g_arcs[kArcs];
unsigned long g_previous[kArcs];

void Display(const CSnmpBer& element)
{
    std::string tag;
    element.GetTagType(tag);
    for (int mode : {0, 1}) {
        CSnmpString text = element.GetString(mode);
        volatile const char* s = text.GetStr();
        (void)s;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // What recvfrom leaves in the receive buffer, held in a block of exactly
    // that size so that any read past the datagram trips the sanitizer.
    const int len = size > static_cast<std::size_t>(kBuffer) ? kBuffer : static_cast<int>(size);
    const std::vector<unsigned char> datagram(data, data + len);
    const unsigned char* received = datagram.data();

    // Whatever arrives is shown by the tree browser's dump as well.
    if (len >= 2) {
        CSnmpBer whole(received, len);
        Display(whole);
        static const int deep[] = {2, 3, 0, 1, -1};
        (void)CSnmpBer::GetSeqData(received, len, deep);
    }

    snmpengine::Reply reply;
    if (!snmpengine::ParseReply(received, len, reply))
        return 0;
    (void)reply.requestId;
    (void)reply.errorStatus;
    (void)reply.errorIndex;

    static const unsigned long ifEntry[] = {1, 3, 6, 1, 2, 1, 2, 2, 1};
    static const unsigned long history[] = {1, 3, 6, 1, 2, 1, 16, 2, 2, 1, 0, 3};
    int previous = -1;
    for (int k = 0; k < 256; ++k) {
        const int namePath[] = {k, 0, -1};
        const int valuePath[] = {k, 1, -1};
        const unsigned char* name = reply.bindings.GetSequence(namePath);
        const unsigned char* value = reply.bindings.GetSequence(valuePath);
        if (!name && !value)
            break;

        int n = -1;
        snmpengine::InSubtree(reply.bindings, k, ifEntry, 9, 2, -1, g_arcs, kArcs, &n);
        snmpengine::InSubtree(reply.bindings, k, history, 12, 5, 10, g_arcs, kArcs, &n);
        if (n >= 0) {
            if (previous >= 0)
                (void)snmpengine::CompareOid(g_arcs, n, g_previous, previous);
            std::memcpy(g_previous, g_arcs, sizeof(unsigned long) * static_cast<std::size_t>(n));
            previous = n;
        }

        const unsigned char* end = reply.bindings.GetAllData() + reply.bindings.GetBufferSize();
        if (value) {
            const int total = CSnmpBer::CheckedTotalLen(value, static_cast<int>(end - value));
            if (total >= 2) {
                CSnmpBer v(value, total);
                Display(v);
                (void)v.GetLong();
                (void)v.GetULong();
                (void)v.GetAddr();
                (void)v.GetOid(g_arcs, kArcs);
            }
        }
    }
    Display(reply.bindings);
    return 0;
}
