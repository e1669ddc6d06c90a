#pragma once
// Tree helpers without a test framework, shared by the OID tree tests and
// the tree benchmark.

#include "mibcore/mibtree/MIBTree.h"

#include <filesystem>
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

// Number of nodes in the whole tree.
inline int CountNodes(const MIBTree* n)
{
    int count = 0;
    std::vector<const MIBTree*> stack;
    if (n)
        stack.push_back(n);
    while (!stack.empty()) {
        const MIBTree* x = stack.back();
        stack.pop_back();
        ++count;
        if (x->getnext())
            stack.push_back(x->getnext());
        if (x->getchild())
            stack.push_back(x->getchild());
    }
    return count;
}

}  // namespace mibtest
