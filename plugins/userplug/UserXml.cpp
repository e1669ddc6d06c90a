#include "plugins/userplug/UserXml.h"

#include <QDomDocument>
#include <QRegularExpression>

#include <cctype>
#include <cstdio>

#include "mibcore/platform/Language.h"
#include "mibcore/platform/Profile.h"
#include "mibcore/widgets/CLineColorDlg.h"
#include "snmpval/Cp932.h"

namespace userplug {

namespace {

void AppendText(QDomDocument& doc, QDomElement& parent, const char* name, const std::string& text)
{
    QDomElement e = doc.createElement(QString::fromLatin1(name));
    e.appendChild(doc.createTextNode(QString::fromStdString(text)));
    parent.appendChild(e);
}

std::string Trim(const std::string& s)
{
    const char* ws = " \t\r\n";
    const std::size_t b = s.find_first_not_of(ws);
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(ws) - b + 1);
}

// The value of the element's first child node, trimmed.
std::string TextOf(const QDomElement& e)
{
    const QDomNode first = e.firstChild();
    if (first.isText() || first.isCDATASection())
        return Trim(first.nodeValue().toStdString());
    return {};
}

// Whether an encoding name means CP932 / Shift_JIS.
bool IsShiftJis(std::string name)
{
    for (char& c : name)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return name == "shift_jis" || name == "shift-jis" || name == "sjis" || name == "cp932" ||
           name == "windows-31j" || name == "ms932" || name == "x-sjis";
}

// The bytes as text: a declaration naming Shift_JIS (or none, on bytes
// that are not UTF-8) converts through CP932; the declaration's encoding is
// then dropped from the text, which the parser reads as decoded.
QString DecodeXml(const std::string& bytes)
{
    static const QRegularExpression decl(
        QStringLiteral("^\\s*<\\?xml[^>]*?encoding\\s*=\\s*[\"']([^\"']*)[\"'][^>]*\\?>"));
    const QString head = QString::fromLatin1(bytes.data(), qsizetype(std::min<std::size_t>(bytes.size(), 200)));
    const QRegularExpressionMatch m = decl.match(head);
    std::string utf8;
    if (m.hasMatch() && IsShiftJis(m.captured(1).toStdString()))
        utf8 = cp932::ToUtf8(bytes);
    else if (!m.hasMatch() && !QString::fromUtf8(bytes.data(), qsizetype(bytes.size())).contains(QChar(0xFFFD)))
        utf8 = bytes;
    else if (!m.hasMatch())
        utf8 = cp932::ToUtf8(bytes);
    else
        utf8 = bytes;
    QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    static const QRegularExpression encAttr(QStringLiteral("^(\\s*<\\?xml[^>]*?)\\s+encoding\\s*=\\s*[\"'][^\"']*[\"']"));
    text.replace(encAttr, QStringLiteral("\\1"));
    return text;
}

}  // namespace

bool ParseColourText(const std::string& text, platform::ColorRef& out)
{
    const std::string t = Trim(text);
    // Blue, green and red pairs in that order, read as one hexadecimal
    // number up to the first character that is not a digit.
    const std::string last = t.size() >= 2 ? t.substr(t.size() - 2) : t;
    const std::string middle = t.size() > 2 ? t.substr(2, 2) : std::string();
    const std::string swapped = last + middle + t.substr(0, 2);
    unsigned long v = 0;
    int digits = 0;
    for (char c : swapped) {
        if (!std::isxdigit(static_cast<unsigned char>(c)) || digits == 8)
            break;
        v = v * 16 + unsigned(std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (std::toupper(c) - 'A' + 10));
        ++digits;
    }
    if (digits == 0)
        return false;
    out = platform::ColorRef(v & 0xFFFFFFu);
    return true;
}

std::string BuildUserXml(const UserList& list)
{
    QDomDocument doc;
    QDomElement root = doc.createElement(QStringLiteral("Quillon"));
    root.setAttribute(QStringLiteral("version"), QStringLiteral("1.0.4"));
    doc.appendChild(root);
    QDomElement user = doc.createElement(QStringLiteral("UserMIB"));
    root.appendChild(user);
    AppendText(doc, user, "TimeId", std::to_string(list.timeId));
    AppendText(doc, user, "Interval", std::to_string(list.interval));
    AppendText(doc, user, "HistoryNum", std::to_string(list.historyNum));
    for (const UserObject& o : list.objects) {
        QDomElement oid = doc.createElement(QStringLiteral("Oid"));
        AppendText(doc, oid, "OidName", o.name);
        QDomElement pen = doc.createElement(QStringLiteral("OidPen"));
        AppendText(doc, pen, "OidPenStyle", std::to_string(o.pen.style));
        AppendText(doc, pen, "OidPenWidth", std::to_string(o.pen.widthX));
        char rgb[8];
        std::snprintf(rgb, sizeof rgb, "%02X%02X%02X", unsigned(o.pen.color & 0xFF), unsigned((o.pen.color >> 8) & 0xFF),
                      unsigned((o.pen.color >> 16) & 0xFF));
        AppendText(doc, pen, "OidPenColor", rgb);
        oid.appendChild(pen);
        user.appendChild(oid);
    }
    // Qt's serialiser knows no Shift_JIS: it writes UTF-8 text without the
    // declaration, which is put in front and the whole converted to CP932.
    const QByteArray utf8 = doc.toString(-1).toUtf8();
    return cp932::FromUtf8("<?xml version='1.0' encoding='Shift_JIS'?>\n" + utf8.toStdString());
}

UserXmlRead ParseUserXml(const std::string& bytes)
{
    UserXmlRead r;
    QDomDocument doc;
    if (!doc.setContent(DecodeXml(bytes)))
        return r;  // not well-formed: no document element
    const QDomElement root = doc.documentElement();
    if (root.isNull() || root.tagName() != QLatin1String("Quillon"))
        return r;
    const QDomElement user = root.firstChildElement(QStringLiteral("UserMIB"));
    if (user.isNull()) {
        r.status = UserXmlRead::NoUserMIB;
        return r;
    }
    r.status = UserXmlRead::Ok;
    bool seenOid = false;
    for (QDomElement e = user.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        const QString tag = e.tagName();
        if (tag == QLatin1String("TimeId")) {
            const long id = platform::ParseLeadingInt(TextOf(e));
            if (id >= 33225 && id <= 33229) {
                r.timeId = int(id);
                r.hasTimeId = true;
            } else {
                r.notes.push_back(Quillon::tr("TimeId「%1」はタイマーの選択肢にないので、使いませんでした。")
                                      .arg(QString::fromStdString(TextOf(e)))
                                      .toStdString());
            }
        } else if (tag == QLatin1String("HistoryNum")) {
            const long n = platform::ParseLeadingInt(TextOf(e));
            if (seenOid)
                r.notes.push_back(Quillon::tr("HistoryNum「%1」は最初のOidより後にあるので、使いませんでした。")
                                      .arg(QString::fromStdString(TextOf(e)))
                                      .toStdString());
            else if (n < kMinHistory || n > kMaxHistory)
                r.notes.push_back(Quillon::tr("HistoryNum「%1」は%2から%3の範囲にないので、使いませんでした。")
                                      .arg(QString::fromStdString(TextOf(e)))
                                      .arg(kMinHistory)
                                      .arg(kMaxHistory)
                                      .toStdString());
            else
                r.historyNum = int(n);
        } else if (tag == QLatin1String("Oid")) {
            seenOid = true;
            UserObject o;
            o.pen = platform::LogPen{platform::PS_SOLID, 2, 0, 0x0000FF};
            for (QDomElement c = e.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
                if (c.tagName() == QLatin1String("OidName")) {
                    o.name = TextOf(c);
                } else if (c.tagName() == QLatin1String("OidPen")) {
                    const QDomElement style = c.firstChildElement(QStringLiteral("OidPenStyle"));
                    const QDomElement width = c.firstChildElement(QStringLiteral("OidPenWidth"));
                    const QDomElement colour = c.firstChildElement(QStringLiteral("OidPenColor"));
                    if (!style.isNull() && !TextOf(style).empty())
                        o.pen.style = std::uint32_t(platform::ParseLeadingInt(TextOf(style)));
                    if (!width.isNull() && !TextOf(width).empty())
                        o.pen.widthX = std::int32_t(platform::ParseLeadingInt(TextOf(width)));
                    if (!colour.isNull()) {
                        platform::ColorRef cr;
                        if (ParseColourText(TextOf(colour), cr))
                            o.pen.color = cr;
                    }
                }
            }
            const platform::LogPen offered = CLineColorDlg::Offered(o.pen);
            if (offered.style != o.pen.style || offered.widthX != o.pen.widthX || offered.color != o.pen.color)
                r.notes.push_back(Quillon::tr("「%1」の線（OidPen）は選べる線種と太さに直しました。")
                                      .arg(QString::fromStdString(o.name))
                                      .toStdString());
            o.pen = offered;
            r.objects.push_back(std::move(o));
        }
    }
    return r;
}

}  // namespace userplug
