#pragma once
// The one hook through which the system asks the operator for a file name.
// Filters are written as "csv files(.csv)|*.csv||": pairs of description and
// pattern separated by "|". The default shows a real Qt file chooser (an
// open-style chooser that also accepts names that do not exist yet); tests
// install a scripted hook.

#include <functional>
#include <optional>
#include <string>

class QString;

namespace platform {

struct FileRequest {
    bool open = true;            // open style (false: save style, confirms replacing)
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
QString QtFilter(const std::string& filter);

// path with ext appended when its file name has no extension.
std::string WithDefaultExt(const std::string& path, const std::string& ext);

}  // namespace platform
