#include "app/CLoader.h"

#include "mibcore/agent/AppConstants.h"
#include "mibcore/mibtree/MIBTree.h"
#include "mibcore/platform/MessageBox.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <list>
#include <mutex>
#include <strings.h>

namespace fs = std::filesystem;

namespace loader {
namespace {

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool EndsWithNoCase(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && ::strcasecmp(s.c_str() + (s.size() - tail.size()), tail.c_str()) == 0;
}

// Libraries stay loaded for the life of the process.
std::mutex g_handlesMutex;
std::vector<void*>& Handles()
{
    static std::vector<void*> h;
    return h;
}

int FileOpenError(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    ::close(fd);
    return ENOEXEC;
}

}  // namespace

std::vector<std::string> ListFiles(const std::string& dir, const std::string& ext)
{
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(dir, ec);
    if (ec)
        return names;
    for (fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec)
            break;
        std::error_code fec;
        if (!it->is_regular_file(fec))
            continue;
        std::string name = it->path().filename().string();
        if (EndsWithNoCase(name, ext))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> LoadMibModules(const std::string& startDir)
{
    return LoadMibModules(std::vector<std::string>{startDir + "/etc/mib"});
}

std::vector<std::string> LoadMibModules(const std::vector<std::string>& dirs)
{
    MIBTree::Initialize();

    std::list<std::string> failed;
    for (std::size_t d = 0; d < dirs.size(); ++d) {
        const std::string dir = dirs[d] + "/";
        for (const std::string& name : ListFiles(dir, ".mib")) {
            // Initialize loaded the first folder's mib-2.mib; an operator's
            // module of that name is a module like any other.
            if (d == 0 && name == "mib-2.mib")
                continue;
            const std::string path = dir + name;
            if (!EndsWith(path, ".mib"))
                continue;
            int showErrors = 0;
            if (!MIBTree::LoadMIBTree(path, showErrors))
                failed.push_back(path);
        }
    }

    // Modules whose parents come from a module later in the order load in
    // the first pass; only what still fails in the last one is reported,
    // until the operator answers that further errors are not wanted.
    for (int pass = 0; pass < 2; ++pass) {
        int showErrors = pass == 1 ? 1 : 0;
        for (auto it = failed.begin(); it != failed.end();) {
            if (MIBTree::LoadMIBTree(*it, showErrors))
                it = failed.erase(it);
            else
                ++it;
        }
    }
    MIBTree::EndRetries();
    return {failed.begin(), failed.end()};
}

std::string LoadErrorText(const std::string& fileName, int code, const std::string& detail)
{
    // "LoadLibrary Error... :%s \nCode: %d\n", then why, on a line of its own.
    std::string text = "LoadLibrary Error... :" + fileName + " \nCode: " + std::to_string(code) + "\n";
    if (!detail.empty())
        text += detail + "\n";
    return text;
}

int LoadPlugins(const std::string& startDir)
{
    return LoadPluginDir(startDir + "/lib");
}

int LoadPluginDir(const std::string& pluginDir)
{
    int loaded = 0;
    const std::string dir = pluginDir + "/";
    for (const std::string& name : ListFiles(dir, ".so")) {
        const std::string path = dir + name;
        if (!EndsWith(path, ".so"))
            continue;
        ::dlerror();
        // Loading runs the plug-in's static descriptors, which register it.
        void* h = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!h) {
            const char* err = ::dlerror();
            // dlopen leaves errno alone: the code is why the file cannot be
            // read, or ENOEXEC when it can but is no loadable library.
            const int code = FileOpenError(path);
            platform::MessageBox(LoadErrorText(name, code, err ? err : ""), platform::MB_ICONERROR);
            continue;
        }
        std::lock_guard<std::mutex> lock(g_handlesMutex);
        Handles().push_back(h);
        ++loaded;
    }
    return loaded;
}

void Run(const std::string& startDir)
{
    const AppConstants* c = AppConstants::getInstance();
    if (c->isInstalled()) {
        LoadMibModules(c->getMibDirs());
        LoadPluginDir(c->getPluginDir());
        return;
    }
    LoadMibModules(startDir);
    LoadPlugins(startDir);
}

}  // namespace loader
