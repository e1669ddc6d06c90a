#pragma once
// One BER element (tag, length, contents) in one owned buffer. The only way
// the system builds or reads SNMP data.
//
// Received data is untrusted: every read is bounded by the real size of the
// buffer. An element whose header claims more than the buffer holds, a cut
// header, or an OID arc wider than 32 bits is undecodable: navigation gives
// null, GetLong/GetULong 0, GetOid -1.
//
// Storage: small elements live inside the object; a container that AddBer
// grows gets one growable block with room for its longest header in front,
// so its length is rewritten in place. GetSequence remembers the member it
// last entered at the top level and continues from there when the next
// path goes on from that member, so reading every binding of a list is
// linear. Objects may be read from several threads at once.

#include <atomic>
#include <cstdint>
#include <string>

#include "snmpval/CSnmpData.h"

class CSnmpString;

class CSnmpBer : public CSnmpData {
public:
    enum : unsigned char {
        TagInteger = 0x02,
        TagOctetString = 0x04,
        TagNull = 0x05,
        TagOid = 0x06,
        TagSequence = 0x30,
        TagIpAddress = 0x40,
        TagCounter = 0x41,
        TagGauge = 0x42,
        TagTimeTicks = 0x43,
        TagOpaque = 0x44,
        TagCounter64 = 0x46,
        // Exception values of SNMPv2 bindings.
        TagNoSuchObject = 0x80,
        TagNoSuchInstance = 0x81,
        TagEndOfMibView = 0x82,
        TagGetRequest = 0xA0,
        TagGetNextRequest = 0xA1,
        TagGetResponse = 0xA2,
        TagSetRequest = 0xA3,
        TagTrap = 0xA4,
        TagGetBulkRequest = 0xA5,
        TagInformRequest = 0xA6,
        TagTrapV2 = 0xA7,
        TagReport = 0xA8,
    };
    // Largest OID content SetOid builds.
    static constexpr int MaxOidContent = 1024;

    // Display names by tag octet (empty for unnamed tags), and the SNMPv1
    // generic-trap names by trap number.
    static const std::string m_strTag[256];
    static const std::string m_strTrapMsg[7];
    // The name of any tag: m_strTag's SNMPv1 names, and the SNMPv2 ones
    // (Counter64, the exceptions, GetBulkRequest).
    static const std::string& TagName(unsigned char tag);
    // Display limits of an OBJECT IDENTIFIER text; longer ones end in "...".
    static constexpr int MaxDisplayArcs = 128;
    static constexpr int MaxDisplayChars = 1024;

    CSnmpBer() = default;
    // Copy the element at data, its size taken from its own header.
    explicit CSnmpBer(const unsigned char* element);
    // Copy exactly len raw octets.
    CSnmpBer(const unsigned char* raw, int len);
    CSnmpBer(const CSnmpBer& src);
    CSnmpBer(CSnmpBer&& src) noexcept;
    ~CSnmpBer() override
    {
        if (m_heap)
            delete[] m_heap;
    }

    CSnmpBer& operator=(const CSnmpBer& src);
    CSnmpBer& operator=(CSnmpBer&& src) noexcept;
    CSnmpBer& operator=(const unsigned char* element);

    void CopyFrom(const CSnmpBer& src);
    void Clear();

    // --- building -------------------------------------------------------
    // One element from its own header (null leaves the object empty).
    void Set(const unsigned char* element);
    // Exactly len raw octets.
    void Set(const unsigned char* raw, int len);
    // New element with this tag and content.
    void Set(unsigned char tag, int len, const unsigned char* content);
    void SetTag(unsigned char tag);
    void SetLong(long value);
    void SetULong(unsigned long value, unsigned char tag);
    // Unsigned value of up to 64 bits (Counter64), shortest form.
    void SetULong64(std::uint64_t value, unsigned char tag);
    // count >= 2; an OID that cannot be encoded (see ValidOid) or content
    // over MaxOidContent octets leaves the object empty.
    void SetOid(const unsigned long* arcs, int count);
    // Whether the arcs form an OID: at least two, the first 0, 1 or 2, the
    // second below 40 under 0 and 1, every arc within 32 bits.
    static bool ValidOid(const unsigned long* arcs, int count);
    void SetString(const char* text);
    // Append child's element (05 00 when empty) to this element's contents.
    void AddBer(const CSnmpBer& child);

    // --- reading --------------------------------------------------------
    const unsigned char* GetAllData() const { return m_data; }
    // Size of the owned buffer (0 when empty).
    int GetBufferSize() const { return m_size; }
    // IpAddress octets in one static buffer shared by all objects; null
    // unless the tag is 0x40.
    unsigned char* GetAddr() const;
    unsigned char GetTagType() const { return m_data ? m_data[0] : (unsigned char)TagNull; }
    // "%s(0x%02x)" with the tag's name.
    void GetTagType(std::string& text) const;
    int GetDataLen() const;
    const unsigned char* GetData() const;
    long GetLong() const;
    unsigned long GetULong() const;
    // Counter64, and the 32-bit unsigned kinds, as 64 bits; 0 otherwise.
    std::uint64_t GetULong64() const;
    // Arcs into out (room for capacity arcs). Returns the arc count, or -1
    // for another tag, a malformed content or too many arcs.
    int GetOid(unsigned long* out, int capacity) const;
    // Member by a path of indices ended by a negative number; a pointer into
    // this buffer, or null.
    const unsigned char* GetSequence(const int* path) const;
    // Display text of the element (mode 1: control octets as hex).
    CSnmpString GetString(int mode) const;

    // --- raw encoded data -------------------------------------------------
    // Total length from the element's own header; 0 for null and for a
    // total that does not fit an int.
    static int GetTotalLen(const unsigned char* element);
    // Content length given a pointer to the length octets.
    static int GetDataLen(const unsigned char* lengthOctets);
    // Navigation on a raw element, trusting its header.
    static const unsigned char* GetSeqData(const unsigned char* element, const int* path);
    // Navigation bounded by avail octets at element.
    static const unsigned char* GetSeqData(const unsigned char* element, int avail, const int* path);
    // Total length of the element at p when its header is complete and the
    // element fits in avail octets; otherwise -1.
    static int CheckedTotalLen(const unsigned char* p, int avail);
    // The first two arcs from the first sub-identifier of n content octets
    // of an OID; the octets it took, or -1 when it is cut or too large.
    static int FirstTwoArcs(const unsigned char* content, int n, unsigned long* two);
    // GetOid on the encoded element at element, bounded by avail octets.
    static int GetOid(const unsigned char* element, int avail, unsigned long* out, int capacity);
    // Display text of an encoded element (null counts as NULL).
    static CSnmpString GetDisplayString(const unsigned char* element, int mode);
    static CSnmpString GetDisplayString(const unsigned char* element, int avail, int mode);
    // The same text appended to out (CP932), for callers that format many
    // values into one buffer.
    static void AppendDisplayString(std::string& out, const unsigned char* element, int avail, int mode);
    // Type name and tag, as GetTagType(std::string&) gives them, from a
    // table built once.
    static const std::string& TagTypeText(unsigned char tag);

    // --- value family slots -----------------------------------------------
    CSnmpData* Dump() const override;
    void CopyFrom(const CSnmpData* src) override;
    const char* TypeStr() const override { return "r"; }
    int DataSize() const override;
    using CSnmpData::DataFrom;
    int DataFrom(const unsigned char* data, int len, const char*& sig) override;
    int DataTo(unsigned char* out) const override;

private:
    // Octets held inside the object before a heap block is needed, and the
    // room kept in front of a container's contents for its header.
    static constexpr int LocalSize = 48;
    static constexpr int HeaderRoom = 6;

    // Header size and content length of the element when its header is
    // complete and its contents fit the buffer.
    bool Content(int& hdr, int& content) const;
    unsigned char* Storage() { return m_heap ? m_heap : m_local; }
    const unsigned char* Storage() const { return m_heap ? m_heap : m_local; }
    bool Owns(const unsigned char* p) const;
    // Storage for at least n octets; the old contents are not kept.
    unsigned char* Room(int n);
    void Forget() { m_cursor.store(0, std::memory_order_relaxed); }
    void AddCopyOfSelf();
    // Set with content that does not lie in this object.
    void Put(unsigned char tag, int len, const unsigned char* content);

    unsigned char* m_data = nullptr;  // the element, inside Storage()
    int m_size = 0;
    int m_cap = LocalSize;            // octets of Storage()
    unsigned char* m_heap = nullptr;
    // Top-level member last entered by GetSequence: (index + 1) << 32 |
    // offset from m_data; 0 when none. One word, so readers on several
    // threads always see a consistent pair.
    mutable std::atomic<uint64_t> m_cursor{0};
    unsigned char m_local[LocalSize];
};
