#pragma once
// Shared set-up of the OID tree tests: fresh trees, module files on disk and
// a scripted operator for the loader's questions.

#include "mibcore/mibtree/MIBTree.h"
#include "tests/mibcore/mibtree/TreeTools.h"
#include "mibcore/platform/MessageBox.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace mibtest {

namespace fs = std::filesystem;

// A private directory, removed with everything in it.
class TempDir {
public:
    TempDir()
    {
        std::string tmpl = (fs::temp_directory_path() / "quillon-mibtree-XXXXXX").string();
        path_ = ::mkdtemp(tmpl.data()) ? fs::path(tmpl) : fs::path();
    }
    ~TempDir()
    {
        std::error_code ec;
        if (!path_.empty())
            fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    // Writes bytes as they are (no newline translation); returns the path.
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        fs::path p = path_ / name;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }

private:
    fs::path path_;
};

// The repository root: the harness's source directory, or where this
// header lies when the test runs without the suite's environment.
inline fs::path RepoRoot()
{
    const char* v = std::getenv("QUILLON_SOURCE_DIR");
    if (v && *v)
        return v;
    return fs::path(__FILE__).parent_path().parent_path().parent_path().parent_path();
}

// The three roots only: Initialize where there is no etc/mib.
inline void InitRootsOnly()
{
    TempDir empty;
    InitializeIn(empty.path());
}

// The tree start-up builds first: roots plus our etc/mib/mib-2.mib. The
// suite runs in the build directory, which holds etc/mib.
inline void InitStandard()
{
    MIBTree::Initialize();
}

// Loads module text from a file; returns LoadMIBTree's result.
inline int LoadText(const TempDir& dir, const std::string& text, int showErrors = 0, const std::string& name = "t.mib")
{
    return MIBTree::LoadMIBTree(dir.Write(name, text), showErrors);
}

// Numeric dotted path of a node, from its ancestors' vals.
inline std::string NumericPath(const MIBTree* n)
{
    std::string s;
    for (; n; n = n->getparent())
        s = std::to_string(n->getval()) + (s.empty() ? "" : "." + s);
    return s;
}

// The node reached by a numeric dotted OID, or null.
inline MIBTree* NodeAt(const std::string& oid)
{
    MIBTree* level = MIBTree::gettop();
    MIBTree* node = nullptr;
    size_t pos = 0;
    while (pos <= oid.size()) {
        size_t dot = oid.find('.', pos);
        if (dot == std::string::npos)
            dot = oid.size();
        if (!level)
            return nullptr;
        node = level->FindBrother(std::stoul(oid.substr(pos, dot - pos)));
        if (!node)
            return nullptr;
        level = node->getchild();
        pos = dot + 1;
    }
    return node;
}

// The name of the node at a numeric OID, "" when there is none.
inline std::string NameAt(const std::string& oid)
{
    MIBTree* n = NodeAt(oid);
    return n ? n->getname() : "";
}

// Answers the loader's questions from a script (default: Yes) and records
// them; restores the previous hook when it goes.
class ScriptedOperator {
public:
    explicit ScriptedOperator(std::vector<int> answers = {}) : answers_(std::move(answers))
    {
        old_ = platform::SetMessageHook([this](const platform::MessageRequest& r) {
            asked.push_back(r);
            if (answers_.empty())
                return static_cast<int>(platform::IDYES);
            int a = answers_.front();
            answers_.erase(answers_.begin());
            return a;
        });
    }
    ~ScriptedOperator() { platform::SetMessageHook(old_); }
    std::vector<platform::MessageRequest> asked;

private:
    std::vector<int> answers_;
    platform::MessageHook old_;
};

// Every test starts from and leaves no tree.
class MibTreeTest : public ::testing::Test {
protected:
    void SetUp() override { MIBTree::Finalize(); }
    void TearDown() override { MIBTree::Finalize(); }
    TempDir dir;
};

}  // namespace mibtest
