#pragma once
// Tree helpers without a test framework, shared by the OID tree tests and
// the tree benchmarks.

#include "mibcore/mibtree/MIBTree.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace mibtest {

// Runs Initialize with dir as working directory, then restores it.
inline void InitializeIn(const std::filesystem::path& dir)
{
    std::filesystem::path old = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    MIBTree::Initialize();
    std::filesystem::current_path(old);
}

// Calls fn for n, its brothers after it and everything below them, each
// node before its children.
template <class Fn>
void ForEachNode(const MIBTree* n, Fn fn)
{
    std::vector<const MIBTree*> stack;
    if (n)
        stack.push_back(n);
    while (!stack.empty()) {
        const MIBTree* x = stack.back();
        stack.pop_back();
        if (x->getnext())
            stack.push_back(x->getnext());
        if (x->getchild())
            stack.push_back(x->getchild());
        fn(x);
    }
}

// Number of nodes in the whole tree.
inline int CountNodes(const MIBTree* n)
{
    int count = 0;
    ForEachNode(n, [&](const MIBTree*) { ++count; });
    return count;
}

// The regular files of a directory, sorted by name as start-up sorts them.
inline std::vector<std::string> ModuleFiles(const std::filesystem::path& dir)
{
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec))
        if (e.is_regular_file() && e.path().extension() == ".mib")
            files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// Loads the files into the current tree as start-up does: each once, then
// two retry passes over the failures, without questions. Returns what
// still fails.
inline std::vector<std::string> LoadModules(const std::vector<std::string>& files)
{
    std::vector<std::string> failed;
    for (const std::string& f : files) {
        int show = 0;
        if (!MIBTree::LoadMIBTree(f, show))
            failed.push_back(f);
    }
    for (int pass = 0; pass < 2; ++pass) {
        int show = 0;
        for (auto it = failed.begin(); it != failed.end();)
            it = MIBTree::LoadMIBTree(*it, show) ? failed.erase(it) : it + 1;
    }
    return failed;
}

}  // namespace mibtest
