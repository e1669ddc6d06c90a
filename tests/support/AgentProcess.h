#pragma once
// An extra snmpd for tests that need RMON rows or CPU objects of their own
// choosing: same configuration as the suite's agent (communities "cedrus"
// and "quillon-rw", our pass_persist helper), listening on port 161 of
// another loopback address of the private namespace. Started by the
// constructor, which waits until it answers; stopped by the destructor.
//
//   QUILLON_REQUIRE_NETNS();
//   harness::AgentProcess agent("stats 5 lo\nhistory 9 lo 1 10\n");
//   ASSERT_TRUE(agent.running()) << agent.error();
//   harness::SnmpTool("snmpget", "1.3.6.1.2.1.16.1.1.1.1.5", agent.address());
//
// The configuration text uses the syntax of tests/support/agent/passext.conf;
// an "origin" line is added (the start time) unless the text has one.

#include <sys/types.h>

#include <string>

namespace harness {

class AgentProcess {
public:
    // address: IPv4 or IPv6 literal of the namespace to listen on (port 161).
    // Empty picks a free address in 127.0.1.1 to 127.0.1.254, outside the
    // fault agent's pool. For IPv6, 2001:db8:fffe::1 to 2001:db8:fffe::a are
    // set aside on lo for extra agents.
    // snmpdExtra: further snmpd.conf lines (e.g. "override" objects of one's own).
    explicit AgentProcess(const std::string& passextConfig, const std::string& address = "",
                          const std::string& snmpdExtra = "");
    ~AgentProcess();
    AgentProcess(const AgentProcess&) = delete;
    AgentProcess& operator=(const AgentProcess&) = delete;

    bool running() const { return m_pid > 0; }
    // Why the agent is not running ("" while it is).
    const std::string& error() const { return m_error; }
    // The address it answers on, for harness::SnmpTool and MIBAgent.
    const std::string& address() const { return m_address; }
    pid_t pid() const { return m_pid; }
    // Its directory (configuration, log, persistent state).
    const std::string& directory() const { return m_dir; }
    std::string log() const;

    // Stops the agent (also done by the destructor).
    void Stop();
    // Ends the agent cleanly and starts it again on the same address and
    // persistent directory: same engine ID, engine boots + 1.
    bool Restart();
    // Restart in two steps, for an agent that stays away for a while: Halt
    // ends it cleanly and keeps its directory, Resume starts it again there.
    void Halt();
    bool Resume();

private:
    bool StartOn(const std::string& address, bool* addressBusy, bool again = false);

    std::string m_config;
    std::string m_snmpdExtra;
    std::string m_address;
    std::string m_dir;
    std::string m_error;
    pid_t m_pid = -1;
};

}  // namespace harness
