#pragma once
// Integer-to-text rows and the shape shared by the enumeration tables: a
// lazily filled singleton that owns its rows in insertion order.

#include <cstdint>
#include <list>
#include <mutex>
#include <string>
#include <utility>

class Int2CStringTable {
public:
    Int2CStringTable() = default;
    Int2CStringTable(int key, std::string val) : m_key(int32_t(key)), m_val(std::move(val)) {}
    Int2CStringTable(const Int2CStringTable&) = default;
    Int2CStringTable& operator=(const Int2CStringTable&) = default;

    int getKey() const { return m_key; }
    void setKey(int key) { m_key = int32_t(key); }
    std::string& getVal() { return m_val; }
    const std::string& getVal() const { return m_val; }
    void setVal(const std::string& val) { m_val = val; }

private:
    int32_t m_key = 0;
    std::string m_val;  // UTF-8
};

using Int2CStringPtrList = std::list<Int2CStringTable*>;

class Int2CStringList {
public:
    virtual ~Int2CStringList();
    Int2CStringList(const Int2CStringList&) = delete;
    Int2CStringList& operator=(const Int2CStringList&) = delete;

    // Rows in insertion order; callers walk them and compare getKey().
    const Int2CStringPtrList& getPtrList() const { return m_list; }
    // Text of the first row with this key, or null.
    const std::string* findVal(int key) const;

protected:
    Int2CStringList() = default;
    // Appends the rows of the table.
    virtual void Initialize() = 0;
    // Fill on first use only; worker threads may be the first users, so
    // one fills while the others wait for it.
    void Fill()
    {
        std::call_once(m_filled, [this] {
            if (m_list.empty())
                Initialize();
        });
    }
    // Keys 1..count in order.
    void AppendNumbered(const char* const* texts, int count);
    // Keys given beside the texts.
    void AppendKeyed(const int* keys, const char* const* texts, int count);

    Int2CStringPtrList m_list;

private:
    std::once_flag m_filled;
};

// One singleton table class: protected constructor, static instance,
// getInstance filling it on first use.
#define QUILLON_INT2CSTRING_TABLE(Class, instance)                                    \
    class Class : public Int2CStringList {                                            \
    public:                                                                           \
        static Class* getInstance()                                                   \
        {                                                                             \
            instance.Fill();                                                          \
            return &instance;                                                         \
        }                                                                             \
                                                                                      \
    protected:                                                                        \
        Class() = default;                                                            \
        void Initialize() override;                                                   \
        static Class instance;                                                        \
    };

QUILLON_INT2CSTRING_TABLE(IfTypeList, m_ifTypeList)
QUILLON_INT2CSTRING_TABLE(IfOperStatusList, m_ifOperStatusList)
QUILLON_INT2CSTRING_TABLE(IpNetToMediaTypeList, m_IpNetToMediaTypeList)
QUILLON_INT2CSTRING_TABLE(IpRouteProtoList, m_IpRouteProtoList)
QUILLON_INT2CSTRING_TABLE(IpRouteTypeList, m_IpRouteTypeList)
QUILLON_INT2CSTRING_TABLE(TcpConnStateList, m_TcpConnStateList)
QUILLON_INT2CSTRING_TABLE(TcpRtoAlgorithmList, m_TcpRtoAlgorithmList)
QUILLON_INT2CSTRING_TABLE(TcpPortList, m_TcpPortList)
QUILLON_INT2CSTRING_TABLE(UdpPortList, m_UdpPortList)
