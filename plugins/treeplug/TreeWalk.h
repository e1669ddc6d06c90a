#pragma once
// The MIB tree browser's walk without its windows: the start object's OID
// from the typed or dropped text, the description of one received instance
// (tree items, list row), the walk loop that runs on the worker thread, and
// the CSV file of the list.

#include <QString>
#include <QStringDecoder>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

class CSnmpBer;
class MIBAgent;
class MIBBasicItem;
class MIBTree;

namespace treeplug {

// A start object has at most this many arcs; a longer one is refused like
// any other invalid start object.
inline constexpr int kMaxRootArcs = 64;
// A walk shows at most this many instances; one more ends it with a
// message that names the limit.
inline constexpr int kMaxInstances = 1000000;
// Rows the hand-over queue holds: a worker ahead of the window waits, so
// memory follows the rows shown rather than the agent's pace.
inline constexpr size_t kQueueRows = 16384;
// Received names are decoded up to the engine's OID limit, so an agent's
// names longer than 128 arcs are shown and walked like any other.
int MaxNameArcs();

// Prefix + "." + the text box's content, or "" when the box is empty.
std::string RootTextFromBox(const std::string& prefix, const std::string& box);

// Arcs of a start object written with names and/or numbers below the OID
// tree's top: names (or numbers) are matched in the tree while it knows the
// position, every later component must be a decimal number. Returns the arc
// count, or 0 for an invalid text (a component that is neither, a number
// beyond 32 bits, more than capacity arcs).
int ParseRoot(const std::string& text, unsigned long* arcs, int capacity);

// The start object of the text box. The text under the prefix (prefix +
// "." + box) as before, unless the text is better known as a name of the
// loaded MIB modules ("system", "ifTable.ifEntry": the first node of that
// name, the rest below it) or as a full dotted number ("1.3.6.1.2.1.2"):
// of the forms that parse, the one whose arcs the OID tree knows furthest
// wins, the prefixed one on a tie. resolved is false when no form parses
// (text is then the prefixed form, which ends the walk at once); an empty
// box gives an empty text.
struct StartObject {
    std::string text;
    bool resolved = false;
};
StartObject ResolveStartObject(const std::string& prefix, const std::string& box);

// One object item on the way from the top of the tree pane to an instance.
struct ObjectStep {
    QString text;  // name(numeric OID)
    QString key;   // the numeric OID: unique in the tree pane
};

// What one received instance adds to the panes. Its texts are one string:
// the instance sub-identifiers (the leaf's text before its "("), then the
// four list cells (instance name, value, type, numeric OID); ends[i] is
// where piece i ends.
struct InstanceRow {
    std::vector<ObjectStep> objects;  // object items from the top level down
    QString text;
    // Where the row's texts begin in text: the rows of one reply share one
    // string.
    int base = 0;
    int ends[5] = {0, 0, 0, 0, 0};
    // The objects are those of the row before in the same walk and are
    // left out (objects is empty).
    bool sameObjects = false;

    QStringView Piece(int i) const
    {
        const int begin = i ? ends[i - 1] : 0;
        return QStringView(text).mid(base + begin, ends[i] - begin);
    }
    // All five pieces together.
    QStringView Texts() const { return QStringView(text).mid(base, ends[4]); }
    QString Cell(int col) const { return Piece(col + 1).toString(); }
    // instance(numeric OID), or empty when the name has no instance part.
    QString Leaf() const;
};

// The texts of a walk's rows, kept by the panes: slices of kSliceRows rows,
// each one block of characters and one of offsets, so a row costs its
// characters and five offsets instead of a string per cell. Rows are
// numbered from 0 in the order added.
class RowStore {
public:
    static constexpr int kSliceRows = 1024;
    int Add(const InstanceRow& row);
    QString Cell(int row, int col) const;
    QString Leaf(int row) const;
    int Size() const { return m_count; }
    void Clear();
    // Bytes held (characters and offsets, slack included).
    size_t Bytes() const;

private:
    struct Slice {
        QString chars;
        std::vector<unsigned> ends;  // five per row
    };
    QStringView Piece(int row, int i) const;
    std::vector<Slice> m_slices;
    int m_count = 0;
};

// Columns of the list pane.
extern const char* const kColumnTitles[4];
extern const int kColumnDefaults[4];

// The tree items and list row of the instance name (nameLen arcs) with its
// value, for a walk from root (rootLen arcs, a prefix of name).
InstanceRow DescribeInstance(const unsigned long* root, int rootLen, const unsigned long* name, int nameLen,
                             const CSnmpBer& value);

// The same for the rows of one walk in order: the object part of the row
// before is reused while it still applies, and then not repeated in the
// row (sameObjects).
class InstanceDescriber {
public:
    InstanceRow Describe(int rootLen, const unsigned long* name, int nameLen, const CSnmpBer& value);
    // The same, with the row's texts appended to block (row.text is left
    // alone: the caller shares the finished block among its rows).
    void DescribeTo(InstanceRow& row, QString& block, int rootLen, const unsigned long* name, int nameLen,
                    const CSnmpBer& value);

private:
    bool m_valid = false;
    int m_rootLen = 0;
    std::vector<unsigned long> m_objectArcs;  // the arcs that reached objects
    MIBTree* m_after = nullptr;               // the children below the last of them
    std::vector<ObjectStep> m_objects;
    std::string m_numeric;  // of m_objectArcs
    std::string m_path;     // object names from the start object down
    // Buffers of the row being described, kept for their capacity.
    std::string m_numericText, m_instanceText, m_pathText, m_valueText;
    QStringDecoder m_decoder{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless};
};

// Rows in arrival order, kept in the vectors they came in: a reply's rows
// go from the worker to the panes without being moved one by one.
class RowChunks {
public:
    // Rows not taken yet.
    size_t Size() const { return m_size; }
    bool Empty() const { return m_size == 0; }
    void Append(std::vector<InstanceRow>&& chunk);
    void Append(InstanceRow&& row);
    // The next row, moved out; only when not Empty().
    InstanceRow Next();
    void Clear();
    // What is left, in one vector.
    std::vector<InstanceRow> ToVector() &&;

private:
    std::deque<std::vector<InstanceRow>> m_chunks;
    size_t m_pos = 0;  // the next row in the first chunk
    size_t m_size = 0;
};

// How a walk ended.
struct WalkEnd {
    int result = 0;        // last result code
    bool message = false;  // the failure budget was spent: tell the operator
    std::string oid;       // numeric OID of the name sent last (for the message)
    int rows = 0;          // instances received
    std::string text;      // the message's first line when no result code tells it
};

// Hand-over from the worker to the user-interface thread: the worker
// appends rows and finally the end; wake is called (by the worker, without
// the lock held) whenever rows or the end arrive and no wake is pending.
class WalkChannel {
public:
    explicit WalkChannel(std::function<void()> wake, size_t capacity = kQueueRows)
        : m_wake(std::move(wake)), m_capacity(capacity)
    {
    }
    // Queues a row, waiting while the queue is full; false (row dropped)
    // once keepRunning reads 0 or the queue was discarded.
    bool Push(InstanceRow&& row, const int* keepRunning = nullptr);
    // Queues the rows of one reply together (one lock, at most one wake);
    // rows is left empty. False (rows dropped) as for Push.
    bool PushAll(std::vector<InstanceRow>& rows, const int* keepRunning = nullptr);
    void Finish(const WalkEnd& end);
    // Drops what is queued and every later row; the end still arrives.
    void Discard();
    // Everything queued so far (the caller takes it); *ended receives
    // whether the end has arrived, *end the end itself.
    RowChunks Take(bool* ended, WalkEnd* end);
    // Rows queued and not taken yet.
    size_t Pending() const;
    // Whether the end has arrived (taken or not).
    bool Ended() const;

private:
    void WakeLocked(std::unique_lock<std::mutex>& lock);
    mutable std::mutex m_mutex;
    std::condition_variable m_space;
    RowChunks m_rows;
    bool m_discarded = false;
    bool m_ended = false;
    WalkEnd m_end;
    bool m_wakePending = false;
    std::function<void()> m_wake;
    size_t m_capacity;
};

// One walk, on the calling thread (the worker): GetNextRequests from root
// through item's socket while item's keep-running flag is set. Rows and
// the end go to channel. Never waits for the user-interface thread.
// A walk past maxInstances instances ends with a message naming the limit.
void RunWalk(MIBAgent* agent, MIBBasicItem* item, std::vector<unsigned long> root, WalkChannel& channel,
             int maxInstances = kMaxInstances);

// The list as a CSV file: the four headers, then the rows' cells as they
// stand, "," between fields, no quoting, LF line ends, CP932.
std::string BuildCsv(const std::vector<std::vector<QString>>& rows);

}  // namespace treeplug
