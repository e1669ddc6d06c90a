#pragma once
// What every test that talks to a real peer needs: the namespace check,
// the fixture agent's addresses and communities, and a way to run net-snmp's
// command-line tools as the oracle.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace harness {

// The namespace snmpd (CTest fixture "snmpd").
inline constexpr const char* kAgentV4 = "127.0.0.1";
inline constexpr const char* kAgentV6 = "::1";
inline constexpr const char* kReadCommunity = "cedrus";
inline constexpr const char* kWriteCommunity = "quillon-rw";

// True inside the private network namespace that ./test.sh sets up, where
// tests own port 161 on loopback.
inline bool InNetns()
{
    const char* v = std::getenv("QUILLON_NETNS");
    return v && std::string(v) == "1";
}

inline std::string Env(const char* name, const char* fallback = "")
{
    const char* v = std::getenv(name);
    return v ? v : fallback;
}
inline std::string SourceDir() { return Env("QUILLON_SOURCE_DIR", "."); }
inline std::string BuildDir() { return Env("QUILLON_BUILD_DIR", "."); }

// Run a shell command; returns its standard output, *status its exit code.
inline std::string Run(const std::string& cmd, int* status = nullptr)
{
    std::string out;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) {
        if (status)
            *status = -1;
        return out;
    }
    std::array<char, 4096> buf;
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
        out.append(buf.data(), n);
    int rc = ::pclose(p);
    if (status)
        *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

inline std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

// net-snmp's tools against the fixture agent, numeric OIDs, no MIB lookup.
inline std::string SnmpTool(const std::string& tool, const std::string& args,
                            const std::string& agent = kAgentV4)
{
    std::string target = agent.find(':') != std::string::npos ? "udp6:[" + agent + "]" : agent;
    return Run(tool + " -v1 -c " + kReadCommunity + " -On -M /dev/null -m '' " + target + " " + args + " 2>&1");
}

}  // namespace harness

// Skip a test that needs port 161 outside the namespace.
#define QUILLON_REQUIRE_NETNS()                                                          \
    do {                                                                                 \
        if (!harness::InNetns())                                                         \
            GTEST_SKIP() << "needs the private network namespace: run ./test.sh";        \
    } while (0)
