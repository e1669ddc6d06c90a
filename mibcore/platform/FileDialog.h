#pragma once
// The one hook through which the system asks the operator for a file name.
// Filters are written as "csv files(.csv)|*.csv||": pairs of description and
// pattern separated by "|". The default shows a real Qt file chooser,
// captioned and buttoned "開く" or "保存" by its style (both accept names
// that do not exist yet); tests install a scripted hook. A save-style choice
// of an existing file asks (MessageBox) before it is returned; No chooses
// again.

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QFileDialog;
class QString;
class QWidget;

namespace platform {

struct FileRequest {
    bool open = true;            // open style (false: save style, asks before replacing)
    std::string defaultExt;      // ".csv": added when the chosen name has no extension
    std::string filter;          // "csv files(.csv)|*.csv||"
    std::string fileName;        // initial name or directory, may be empty
    std::string title;           // caption; empty: the chooser's default
};

// Returns the chosen path (UTF-8), or nothing when the operator cancelled.
using FileHook = std::function<std::optional<std::string>(const FileRequest&)>;

// Safe from any thread, like MessageBox.
std::optional<std::string> FileDialog(const FileRequest& request);

// Install a hook (an empty one restores the default); returns the previous.
FileHook SetFileHook(FileHook hook);

// "csv files(.csv)|*.csv||" -> "csv files(.csv) (*.csv)"; pairs become ";;"
// separated entries, several patterns ("*.a;*.b") become "(*.a *.b)".
// A description ending in its own pattern ("all (*.*)") keeps it once.
// Descriptions are shown in the program's language.
QString QtFilter(const std::string& filter);

// The Qt chooser the default shows for req, in the program's language
// (caption, accept button, filter descriptions), not yet shown.
std::unique_ptr<QFileDialog> MakeFileChooser(const FileRequest& req, QWidget* parent = nullptr);

// path with ext appended when its file name has no extension.
std::string WithDefaultExt(const std::string& path, const std::string& ext);

// Creates or truncates path and writes bytes; false when the file cannot be
// written (nothing else is touched).
bool WriteFileBytes(const std::string& path, const std::string& bytes);

// The same, telling the operator "<path> を作成できませんでした。" when it fails.
bool WriteFileOrReport(const std::string& path, const std::string& bytes);

// Asks for a CSV file to save ("csv files(.csv)|*.csv||"), then writes what bytes()
// makes there; false when cancelled or not written. bytes() runs only once a
// name is chosen.
bool ExportCsvFile(const std::function<std::string()>& bytes);

}  // namespace platform
