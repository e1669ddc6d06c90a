#pragma once
// Graph series records: a named series with its pen, its list-view line
// sample and its sample history (OidVal), and a series addressed by a full
// OID that remembers the type tag of its last value (TagOidVal).

#include "mibcore/platform/Records.h"
#include "mibcore/series/ValatTime.h"

#include <QImage>
#include <QPen>

#include <cstdint>
#include <string>

class OidVal {
public:
    OidVal() = default;
    virtual ~OidVal();

    // A series owns its history array; copying would free it twice.
    OidVal(const OidVal&) = delete;
    OidVal& operator=(const OidVal&) = delete;

    std::string& getName() { return name; }
    void setName(const std::string& n) { name = n; }
    unsigned long getOid() const { return oid; }
    void setOid(unsigned long v) { oid = static_cast<std::uint32_t>(v); }

    QPen* getPen() { return &pen; }
    // Replaces the pen by one made from the record; a null record is ignored.
    void setPen(const platform::LogPen* lp);
    // The pen read back as a line-style record, for saving.
    platform::LogPen getLogPen() const { return platform::LogPenFromPen(pen); }

    // The 48 x 16 line sample; the view (re)creates and draws it.
    QImage* getLine() { return &line; }

    ValatTime* getValatTime() const { return valatTime; }
    // Takes ownership of an array made with new[]; a different array held
    // before is released rather than leaked.
    void setValatTime(ValatTime* history);

private:
    std::string name;
    std::uint32_t oid = 0;
    QPen pen;
    QImage line;
    ValatTime* valatTime = nullptr;
};

class TagOidVal : public OidVal {
public:
    static constexpr unsigned int kMaxOid = 64;

    TagOidVal() = default;
    ~TagOidVal() override;

    unsigned long* getOidList() { return oidList; }
    const unsigned long* getOidList() const { return oidList; }
    unsigned int getOidListSize() const { return oidListSize; }
    // Copies count sub-identifiers; a null list, a count of 0 or a count
    // above 64 leaves the list empty.
    void setOidList(const unsigned long* list, unsigned int count);

    unsigned char getTagType() const { return tagType; }
    void setTagType(unsigned char t) { tagType = t; }

private:
    unsigned char tagType = 0;
    unsigned long oidList[kMaxOid] = {};
    unsigned int oidListSize = 0;
};
