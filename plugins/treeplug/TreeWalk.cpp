#include "plugins/treeplug/TreeWalk.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <charconv>
#include <cstdlib>
#include <ctime>

#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/MIBBasicItem.h"
#include "mibcore/engine/SnmpData.h"
#include "mibcore/engine/SnmpWalk.h"
#include "mibcore/engine/SnmpReply.h"
#include "mibcore/platform/Language.h"
#include "mibcore/mibtree/MIBTree.h"
#include "snmpval/CSnmpString.h"
#include "snmpval/Cp932.h"
#include "snmpval/VarBind.h"

namespace treeplug {

const char* const kColumnTitles[4] = {QT_TRANSLATE_NOOP("Quillon", "インスタンス識別子"), QT_TRANSLATE_NOOP("Quillon", "値"),
                                        QT_TRANSLATE_NOOP("Quillon", "タイプ"), QT_TRANSLATE_NOOP("Quillon", "オブジェクト識別子")};
const int kColumnDefaults[4] = {120, 60, 60, 60};

int MaxNameArcs() { return snmpengine::MaxOidArcs; }

std::string RootTextFromBox(const std::string& prefix, const std::string& box)
{
    if (box.empty())
        return {};
    return prefix + "." + box;
}

int ParseRoot(const std::string& text, unsigned long* arcs, int capacity)
{
    std::vector<std::string> tokens;
    if (!arcs || StrToken(text, ".", tokens) == 0)
        return 0;
    MIBTree* pos = MIBTree::gettop();
    int count = 0;
    for (const std::string& tok : tokens) {
        if (count >= capacity)
            return 0;
        if (pos) {
            if (MIBTree* node = pos->FindBrother(tok)) {
                arcs[count++] = node->getval();
                pos = node->getchild();
                continue;
            }
            pos = nullptr;  // from here on only numbers
        }
        // A number must start with a digit: "abc", "-1" or "+3" are no arcs.
        if (!std::isdigit(static_cast<unsigned char>(tok[0])))
            return 0;
        char* end = nullptr;
        const unsigned long long v = std::strtoull(tok.c_str(), &end, 10);
        if (v > 0xFFFFFFFFull)
            return 0;
        // "0x" and the like read as 0 without being "0".
        if (v == 0 && tok != "0")
            return 0;
        arcs[count++] = static_cast<unsigned long>(v);
    }
    // A root no request can carry ("5.1", "1.40") is no start object; one
    // arc is asked for as n.0.
    const unsigned long padded[2] = {arcs[0], 0};
    if (!CSnmpBer::ValidOid(count == 1 ? padded : arcs, count == 1 ? 2 : count))
        return 0;
    return count;
}

namespace {

// Arcs of a root that the OID tree does not know, counted from the first
// one it lacks; -1 when the text does not parse.
int UnknownArcs(const std::string& text)
{
    unsigned long arcs[kMaxRootArcs];
    const int n = ParseRoot(text, arcs, kMaxRootArcs);
    if (n == 0)
        return -1;
    MIBTree* pos = MIBTree::gettop();
    int known = 0;
    while (known < n && pos) {
        MIBTree* node = pos->FindBrother(arcs[known]);
        if (!node)
            break;
        ++known;
        pos = node->getchild();
    }
    return n - known;
}

// "sysDescr.0" -> the numeric path of the first node named sysDescr + ".0".
std::string ByFirstName(const std::string& box)
{
    const std::size_t dot = box.find('.');
    const std::string first = box.substr(0, dot);
    MIBTree* top = MIBTree::gettop();
    if (first.empty() || std::isdigit(static_cast<unsigned char>(first[0])) || !top)
        return {};
    MIBTree* node = top->Find(first);
    if (!node)
        return {};
    std::vector<unsigned long> path;
    for (MIBTree* p = node; p; p = p->getparent())
        path.insert(path.begin(), p->getval());
    std::string numeric;
    GetOid2Str(numeric, path.data(), int(path.size()));
    return dot == std::string::npos ? numeric : numeric + box.substr(dot);
}

}  // namespace

StartObject ResolveStartObject(const std::string& prefix, const std::string& box)
{
    StartObject start{RootTextFromBox(prefix, box), false};
    if (box.empty())
        return start;
    int best = UnknownArcs(start.text);
    start.resolved = best >= 0;
    for (const std::string& other : {box, ByFirstName(box)}) {
        if (other.empty())
            continue;
        const int unknown = UnknownArcs(other);
        if (unknown >= 0 && (best < 0 || unknown < best)) {
            best = unknown;
            start = {other, true};
        }
    }
    return start;
}

namespace {

// UTF-8 into UTF-16 at out; the texts of a row are nearly always ASCII,
// which is widened directly.
QChar* AppendUtf8(QStringDecoder& decoder, QChar* out, const std::string& text)
{
    const size_t n = text.size();
    const unsigned char* in = reinterpret_cast<const unsigned char*>(text.data());
    char16_t* wide = reinterpret_cast<char16_t*>(out);
    // One pass without branches (the compiler vectorises it); a text that
    // was not ASCII after all is written again by the decoder.
    unsigned char high = 0;
    for (size_t i = 0; i < n; ++i) {
        high |= in[i];
        wide[i] = in[i];
    }
    if (high < 0x80)
        return out + n;
    return decoder.appendToBuffer(out, QByteArrayView(text.data(), qsizetype(n)));
}

}  // namespace

InstanceRow InstanceDescriber::Describe(int rootLen, const unsigned long* name, int nameLen, const CSnmpBer& value)
{
    InstanceRow row;
    QString text;
    DescribeTo(row, text, rootLen, name, nameLen, value);
    row.text = std::move(text);
    return row;
}

void InstanceDescriber::DescribeTo(InstanceRow& row, QString& block, int rootLen, const unsigned long* name,
                                   int nameLen, const CSnmpBer& value)
{
    // Rows of a walk mostly share their object part with the row before:
    // reuse it while the arcs that reached objects are the same and the
    // next arc still reaches none.
    const int depth = int(m_objectArcs.size());
    bool reuse = m_valid && rootLen == m_rootLen && nameLen >= depth &&
                 std::equal(m_objectArcs.begin(), m_objectArcs.end(), name);
    if (reuse && m_after && nameLen > depth && m_after->FindBrother(name[depth]))
        reuse = false;
    if (!reuse) {
        m_valid = true;
        m_rootLen = rootLen;
        m_objectArcs.clear();
        m_objects.clear();
        m_numeric.clear();
        m_path.clear();
        MIBTree* pos = MIBTree::gettop();
        for (int k = 0; k < nameLen && pos; ++k) {
            MIBTree* node = pos->FindBrother(name[k]);
            if (!node)
                break;
            pos = node->getchild();
            if (k)
                m_numeric += '.';
            m_numeric += std::to_string(name[k]);
            m_objectArcs.push_back(name[k]);
            // Above the start object the tree pane shows nothing.
            if (k < rootLen - 1)
                continue;
            const QString key = QString::fromStdString(m_numeric);
            m_objects.push_back({QString::fromStdString(node->getname()) + u'(' + key + u')', key});
            if (!m_path.empty())
                m_path += '.';
            m_path += node->getname();
        }
        m_after = pos;
    }

    row.sameObjects = reuse;
    if (!reuse)
        row.objects = m_objects;
    // The texts are put together in buffers kept from row to row.
    std::string& numeric = m_numericText;
    std::string& instance = m_instanceText;
    std::string& path = m_pathText;
    numeric = m_numeric;
    instance.clear();
    for (int k = int(m_objectArcs.size()); k < nameLen; ++k) {
        if (k)
            numeric += '.';
        if (!instance.empty())
            instance += '.';
        char arc[24];
        const size_t n = size_t(std::to_chars(arc, arc + sizeof arc, name[k]).ptr - arc);
        numeric.append(arc, n);
        instance.append(arc, n);
    }
    path = m_path;
    if (!instance.empty()) {
        if (!path.empty())
            path += '.';
        path += instance;
    }
    m_valueText.clear();
    CSnmpBer::AppendDisplayString(m_valueText, value.GetAllData(), value.GetBufferSize(), 1);
    // Display texts are CP932; most are ASCII, which is UTF-8 as it stands.
    const std::string* valueText = &m_valueText;
    std::string converted;
    if (!std::all_of(m_valueText.begin(), m_valueText.end(), [](char c) { return (unsigned char)c < 0x80; })) {
        converted = cp932::ToUtf8(m_valueText);
        valueText = &converted;
    }
    const std::string& type = CSnmpBer::TagTypeText(value.GetTagType());
    // All texts of the row follow one another in the block: UTF-16 never
    // takes more units than UTF-8 takes bytes.
    const std::string* pieces[5] = {&instance, &path, valueText, &type, &numeric};
    size_t total = 0;
    for (const std::string* p : pieces)
        total += p->size();
    const qsizetype base = block.size();
    row.base = int(base);
    block.resize(base + qsizetype(total));
    QChar* const begin = block.data() + base;
    QChar* out = begin;
    for (int i = 0; i < 5; ++i) {
        out = AppendUtf8(m_decoder, out, *pieces[i]);
        row.ends[i] = int(out - begin);
    }
    block.truncate(base + row.ends[4]);
}

namespace {

// instance(numeric OID)
QString LeafText(QStringView instance, QStringView numeric)
{
    QString t;
    t.reserve(instance.size() + numeric.size() + 2);
    t.append(instance).append(u'(').append(numeric).append(u')');
    return t;
}

}  // namespace

QString InstanceRow::Leaf() const
{
    if (ends[0] == 0)
        return {};
    return LeafText(Piece(0), Piece(4));
}

int RowStore::Add(const InstanceRow& row)
{
    if (m_slices.empty() || m_count % kSliceRows == 0) {
        // A full slice gives back its slack: it never grows again.
        if (!m_slices.empty())
            m_slices.back().chars.squeeze();
        Slice& s = m_slices.emplace_back();
        s.ends.reserve(5 * kSliceRows);
        s.chars.reserve(m_slices.size() > 1 ? m_slices[m_slices.size() - 2].chars.size() * 9 / 8
                                            : qsizetype(row.ends[4]) * kSliceRows);
    }
    Slice& s = m_slices.back();
    const unsigned base = unsigned(s.chars.size());
    s.chars += row.Texts();
    for (int e : row.ends)
        s.ends.push_back(base + unsigned(e));
    return m_count++;
}

QStringView RowStore::Piece(int row, int i) const
{
    if (row < 0 || row >= m_count || i < 0 || i > 4)
        return {};
    const Slice& s = m_slices[size_t(row / kSliceRows)];
    const size_t at = size_t(row % kSliceRows) * 5 + size_t(i);
    const unsigned begin = at ? s.ends[at - 1] : 0;
    return QStringView(s.chars).mid(begin, s.ends[at] - begin);
}

QString RowStore::Cell(int row, int col) const { return Piece(row, col + 1).toString(); }

QString RowStore::Leaf(int row) const
{
    const QStringView instance = Piece(row, 0);
    if (instance.isEmpty())
        return {};
    return LeafText(instance, Piece(row, 4));
}

void RowStore::Clear()
{
    m_slices.clear();
    m_count = 0;
}

size_t RowStore::Bytes() const
{
    size_t n = 0;
    for (const Slice& s : m_slices)
        n += size_t(s.chars.capacity()) * sizeof(QChar) + s.ends.capacity() * sizeof(unsigned);
    return n;
}

InstanceRow DescribeInstance(const unsigned long*, int rootLen, const unsigned long* name, int nameLen,
                             const CSnmpBer& value)
{
    return InstanceDescriber().Describe(rootLen, name, nameLen, value);
}

void RowChunks::Append(std::vector<InstanceRow>&& chunk)
{
    if (chunk.empty())
        return;
    m_size += chunk.size();
    m_chunks.push_back(std::move(chunk));
    chunk.clear();
}

void RowChunks::Append(InstanceRow&& row)
{
    if (m_chunks.empty())
        m_chunks.emplace_back();
    m_chunks.back().push_back(std::move(row));
    ++m_size;
}

InstanceRow RowChunks::Next()
{
    std::vector<InstanceRow>& first = m_chunks.front();
    InstanceRow row = std::move(first[m_pos++]);
    --m_size;
    if (m_pos == first.size()) {
        m_chunks.pop_front();
        m_pos = 0;
    }
    return row;
}

void RowChunks::Clear()
{
    m_chunks.clear();
    m_pos = 0;
    m_size = 0;
}

std::vector<InstanceRow> RowChunks::ToVector() &&
{
    std::vector<InstanceRow> rows;
    rows.reserve(m_size);
    while (!Empty())
        rows.push_back(Next());
    return rows;
}

void WalkChannel::WakeLocked(std::unique_lock<std::mutex>& lock)
{
    if (m_wakePending || !m_wake)
        return;
    m_wakePending = true;
    lock.unlock();
    m_wake();
}

bool WalkChannel::Push(InstanceRow&& row, const int* keepRunning)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    auto running = [keepRunning] { return !keepRunning || __atomic_load_n(keepRunning, __ATOMIC_RELAXED) != 0; };
    // The flag is written without the lock: look at it every few ms.
    while (!m_discarded && m_rows.Size() >= m_capacity && running())
        m_space.wait_for(lock, std::chrono::milliseconds(10));
    if (m_discarded || !running())
        return false;
    m_rows.Append(std::move(row));
    WakeLocked(lock);
    return true;
}

bool WalkChannel::PushAll(std::vector<InstanceRow>& rows, const int* keepRunning)
{
    if (rows.empty())
        return true;
    std::unique_lock<std::mutex> lock(m_mutex);
    auto running = [keepRunning] { return !keepRunning || __atomic_load_n(keepRunning, __ATOMIC_RELAXED) != 0; };
    while (!m_discarded && m_rows.Size() >= m_capacity && running())
        m_space.wait_for(lock, std::chrono::milliseconds(10));
    if (m_discarded || !running()) {
        rows.clear();
        return false;
    }
    // A reply holds a few dozen rows: the queue overshoots its bound by
    // at most one reply.
    m_rows.Append(std::move(rows));
    WakeLocked(lock);
    return true;
}

void WalkChannel::Discard()
{
    RowChunks dropped;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_discarded = true;
        std::swap(dropped, m_rows);
    }
    m_space.notify_all();
}

void WalkChannel::Finish(const WalkEnd& end)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_ended = true;
    m_end = end;
    m_wakePending = false;  // the end always wakes the reader
    WakeLocked(lock);
}

RowChunks WalkChannel::Take(bool* ended, WalkEnd* end)
{
    RowChunks rows;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::swap(rows, m_rows);
        m_wakePending = false;
        if (ended)
            *ended = m_ended;
        if (end && m_ended)
            *end = m_end;
    }
    m_space.notify_all();
    return rows;
}

size_t WalkChannel::Pending() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_rows.Size();
}

bool WalkChannel::Ended() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_ended;
}

namespace {

CSnmpBer Bindings(const std::vector<unsigned long>& name, const CSnmpBer& value)
{
    CSnmpBer oid;
    if (name.size() == 1) {
        // An OID needs two arcs: the successor of n.0 is the first object below n.
        const unsigned long two[2] = {name[0], 0};
        oid.SetOid(two, 2);
    } else {
        oid.SetOid(name.data(), static_cast<int>(name.size()));
    }
    return MakeVarBindList(oid, value);
}

std::string Numeric(const std::vector<unsigned long>& arcs)
{
    std::string s;
    GetOid2Str(s, arcs.data(), static_cast<int>(arcs.size()));
    return s;
}

// Whether a request can carry the name: the codec refuses an OID whose
// content exceeds CSnmpBer::MaxOidContent octets.
bool FitsRequest(const std::vector<unsigned long>& name)
{
    if (name.size() < 2)
        return true;
    // A received name's arcs take at most ten octets each (the first two
    // share theirs): a name this short always fits, and only a longer one
    // is worth encoding to find out.
    if (name.size() * 10 <= size_t(CSnmpBer::MaxOidContent) && name[1] <= 0xFFFFFFFFUL)
        return true;
    CSnmpBer oid;
    oid.SetOid(name.data(), static_cast<int>(name.size()));
    return oid.GetAllData() != nullptr;
}

}  // namespace

void RunWalk(MIBAgent* agent, MIBBasicItem* item, std::vector<unsigned long> root, WalkChannel& channel,
             int maxInstances)
{
    WalkEnd end;
    item->setStartTime(static_cast<long>(std::clock()));
    item->setLastTime(item->getStartTime());
    item->setResult(0);
    item->setErrCnt(0);
    item->setFailCnt(0);
    if (root.empty() || agent->getAddr().empty()) {
        item->setRepeat(0);
        end.result = agent->getAddr().empty() ? snmpengine::NoAddress : snmpengine::BadAddress;
        item->setResult(end.result);
        channel.Finish(end);
        return;
    }

    const int rootLen = static_cast<int>(root.size());
    std::vector<unsigned long> name = root;
    CSnmpBer value;  // NULL the first time
    std::vector<unsigned long> arcs(static_cast<size_t>(MaxNameArcs()));
    int* flag = item->getRepeatFlag();
    snmpengine::WalkStepper stepper(agent, item, 1);
    std::vector<CSnmpBer> rows;
    InstanceDescriber describer;
    std::vector<InstanceRow> described;
    qsizetype lastBlock = 0;
    bool done = false;
    while (!done) {
        if (!item->getRepeat()) {
            end.result = 0;
            break;
        }
        const int result = stepper.Next(Bindings(name, value), rows, flag);
        // A stopped exchange hands back the request itself: not an answer.
        if (!item->getRepeat()) {
            end.result = 0;
            break;
        }
        if (result != 0) {
            end.result = result;
            item->setResult(result);
            item->setErrCnt(item->getErrCnt() + 1);
            item->setFailCnt(item->getFailCnt() + 1);
            item->setLastTime(static_cast<long>(std::clock()));
            // Past the agent's last object after some instances: done.
            if (end.rows > 0 && result == snmpengine::NoSuchName)
                break;
            if (item->getErrCnt() > agent->getSendErrCnt()) {
                end.message = true;
                end.oid = Numeric(name);
                break;
            }
            continue;
        }
        item->setErrCnt(0);
        item->setFailCnt(0);
        item->setResult(0);
        end.result = 0;

        described.reserve(rows.size());
        // The texts of one reply's rows go into one string, about as long
        // as the last reply's.
        QString block;
        block.reserve(lastBlock + lastBlock / 8);
        for (const CSnmpBer& bindings : rows) {
            const int n = snmpengine::BindingName(bindings, 0, arcs.data(), MaxNameArcs());
            // No readable name, one outside the start object, or the end of
            // the agent's MIB: the subtree ends.
            if (n < rootLen || !std::equal(root.begin(), root.end(), arcs.begin()) ||
                snmpengine::IsEndOfMibView(bindings, 0)) {
                done = true;
                break;
            }
            // An agent that does not move forward would keep the walk going
            // for ever: stop and say where.
            if (snmpengine::CompareOid(arcs.data(), n, name.data(), static_cast<int>(name.size())) <= 0) {
                end.result = snmpengine::OutOfSubtree;
                item->setResult(end.result);
                end.message = true;
                end.oid = Numeric(name);
                done = true;
                break;
            }
            if (end.rows >= maxInstances) {
                end.message = true;
                end.text = Quillon::tr("インスタンス数が上限の%1件に達したため、取得を終了しました。").arg(maxInstances).toStdString();
                end.oid = Numeric(name);
                done = true;
                break;
            }
            const int valuePath[] = {0, 1, -1};
            const unsigned char* v = bindings.GetSequence(valuePath);
            value = v ? CSnmpBer(v) : CSnmpBer();
            name.assign(arcs.begin(), arcs.begin() + n);
            describer.DescribeTo(described.emplace_back(), block, rootLen, name.data(), n, value);
            ++end.rows;
            // The next request would have to carry this name: say so now rather
            // than spend every retry on a request that cannot be sent.
            if (!FitsRequest(name)) {
                end.message = true;
                end.text = Quillon::Tr("オブジェクト識別子が長すぎるため、次の要求を送れません。");
                end.oid = Numeric(name);
                done = true;
                break;
            }
        }
        // The rows of one reply go over together. Stopped (or discarded)
        // while waiting for the window to catch up: no more rows.
        lastBlock = block.size();
        for (InstanceRow& row : described)
            row.text = block;
        if (!described.empty()) {
            // Once a reply: std::clock() sums the CPU time of every thread,
            // a system call of about a microsecond.
            item->setLastTime(static_cast<long>(std::clock()));
            const int handed = int(described.size());
            if (!channel.PushAll(described, flag)) {
                end.rows -= handed;
                done = true;
            }
        }
        if (rows.empty())
            break;
    }
    item->setRepeat(0);
    channel.Finish(end);
}

std::string BuildCsv(const std::vector<std::vector<QString>>& rows)
{
    QString text;
    for (int i = 0; i < 4; ++i) {
        if (i)
            text += u',';
        text += Quillon::tr(kColumnTitles[i]);
    }
    text += u'\n';
    for (const auto& row : rows) {
        for (size_t i = 0; i < row.size(); ++i) {
            if (i)
                text += u',';
            text += row[i];
        }
        text += u'\n';
    }
    // Spreadsheets outside Japan read UTF-8 only with its byte-order mark.
    if (platform::IsEnglish())
        return "\xEF\xBB\xBF" + text.toStdString();
    return cp932::FromUtf8(text.toStdString());
}

}  // namespace treeplug
