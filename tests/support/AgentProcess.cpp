#include "tests/support/AgentProcess.h"

#include "tests/support/Harness.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

extern char** environ;

namespace harness {

namespace {

std::atomic<int> g_serial{0};

std::string ReadFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::ostringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

bool WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << text;
    return bool(f);
}

void ReplaceAll(std::string& s, const std::string& from, const std::string& to)
{
    for (size_t pos = s.find(from); pos != std::string::npos; pos = s.find(from, pos + to.size()))
        s.replace(pos, from.size(), to);
}

bool IsV6(const std::string& address) { return address.find(':') != std::string::npos; }

// 0 when UDP port 161 of the address is free, else the errno of the bind
// (EADDRINUSE: taken; EADDRNOTAVAIL: not an address of this namespace).
// snmpd binds with SO_REUSEADDR, so a second one would start happily on a
// taken address and share its datagrams: this probe binds without it.
int PortFree(const std::string& address)
{
    int fd = -1;
    int rc = -1;
    if (IsV6(address)) {
        sockaddr_in6 sa{};
        sa.sin6_family = AF_INET6;
        sa.sin6_port = htons(161);
        if (::inet_pton(AF_INET6, address.c_str(), &sa.sin6_addr) != 1)
            return EINVAL;
        fd = ::socket(AF_INET6, SOCK_DGRAM, 0);
        if (fd >= 0)
            rc = ::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    } else {
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_port = htons(161);
        if (::inet_pton(AF_INET, address.c_str(), &sa.sin_addr) != 1)
            return EINVAL;
        fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        if (fd >= 0)
            rc = ::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    }
    int err = rc == 0 ? 0 : errno;
    if (fd >= 0)
        ::close(fd);
    return err;
}

bool Answers(const std::string& address)
{
    std::string target = IsV6(address) ? "udp6:[" + address + "]" : address;
    int status = -1;
    Run("snmpget -v1 -c " + std::string(kReadCommunity) + " -On -M /dev/null -m '' -t 0.2 -r 0 " + target +
            " 1.3.6.1.2.1.1.3.0 >/dev/null 2>&1",
        &status);
    return status == 0;
}

std::string SnmpdPath()
{
    for (const char* p : {"/usr/sbin/snmpd", "/usr/local/sbin/snmpd", "/sbin/snmpd"})
        if (::access(p, X_OK) == 0)
            return p;
    return "snmpd";
}

double Now()
{
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

bool HasOriginLine(const std::string& config)
{
    std::istringstream in(config);
    std::string line;
    while (std::getline(in, line)) {
        size_t i = line.find_first_not_of(" \t");
        if (i != std::string::npos && line.compare(i, 6, "origin") == 0)
            return true;
    }
    return false;
}

}  // namespace

AgentProcess::AgentProcess(const std::string& passextConfig, const std::string& address,
                           const std::string& snmpdExtra)
    : m_config(passextConfig), m_snmpdExtra(snmpdExtra)
{
    if (!address.empty()) {
        if (int err = PortFree(address)) {
            m_address = address;
            m_error = "cannot listen on " + address + " port 161: " +
                      (err == EINVAL ? std::string("not a numeric address") : std::strerror(err));
            return;
        }
        bool busy = false;
        StartOn(address, &busy);
        return;
    }
    // Spread concurrent test processes over the range, then probe upwards.
    int start = int((::getpid() * 7 + g_serial.load() * 13) % 254);
    for (int k = 0; k < 254; ++k) {
        std::string candidate = "127.0.1." + std::to_string((start + k) % 254 + 1);
        if (PortFree(candidate) != 0)
            continue;
        bool busy = false;
        if (StartOn(candidate, &busy) || !busy)
            return;
        Stop();  // someone took the address meanwhile: drop the directory, try the next
    }
    m_error = "no free address in 127.0.1.1 to 127.0.1.254";
}

AgentProcess::~AgentProcess() { Stop(); }

std::string AgentProcess::log() const { return m_dir.empty() ? std::string() : ReadFile(m_dir + "/snmpd.log"); }

bool AgentProcess::Restart()
{
    if (m_pid <= 0 || m_dir.empty())
        return false;
    Halt();
    return Resume();
}

void AgentProcess::Halt()
{
    if (m_pid <= 0)
        return;
    // SIGTERM: snmpd saves its engine ID and boots for the next start.
    ::kill(m_pid, SIGTERM);
    int wstatus = 0;
    ::waitpid(m_pid, &wstatus, 0);
    m_pid = -1;
}

bool AgentProcess::Resume()
{
    if (m_pid > 0 || m_dir.empty())
        return false;
    bool busy = false;
    return StartOn(m_address, &busy, true);
}

bool AgentProcess::StartOn(const std::string& address, bool* addressBusy, bool again)
{
    namespace fs = std::filesystem;
    *addressBusy = false;
    m_error.clear();
    m_address = address;
    if (!again) {
        m_dir = std::string(QUILLON_AGENT_DIR) + "/extra-" + std::to_string(::getpid()) + "-" +
                std::to_string(g_serial.fetch_add(1));
        std::error_code ec;
        fs::remove_all(m_dir, ec);
        fs::create_directories(m_dir + "/persist", ec);
        if (ec) {
            m_error = "cannot create " + m_dir + ": " + ec.message();
            return false;
        }
    }

    // Our helper's rows; the start time as origin (appended, so that the
    // helper's complaints keep the caller's line numbers) so every instance
    // of the helper that snmpd starts shares one clock.
    std::ostringstream passext;
    passext << m_config << "\n";
    if (!HasOriginLine(m_config))
        passext << "origin " << std::fixed << Now() << "\n";
    const std::string passextPath = m_dir + "/passext.conf";
    if (!WriteFile(passextPath, passext.str())) {
        m_error = "cannot write " + passextPath;
        return false;
    }
    int status = -1;
    std::string complaints = Run(std::string(QUILLON_PASSEXT_BIN) + " --check " + passextPath + " 2>&1", &status);
    if (status != 0) {
        m_error = "bad extension configuration: " + complaints;
        return false;
    }

    std::string conf = ReadFile(QUILLON_SNMPD_TEMPLATE);
    if (conf.empty()) {
        m_error = std::string("cannot read ") + QUILLON_SNMPD_TEMPLATE;
        return false;
    }
    ReplaceAll(conf, "@AGENT_ADDRESSES@", IsV6(address) ? "udp6:[" + address + "]:161" : "udp:" + address + ":161");
    ReplaceAll(conf, "@PASSEXT@", QUILLON_PASSEXT_BIN);
    ReplaceAll(conf, "@PASSEXT_CONF@", passextPath);
    if (!m_snmpdExtra.empty())
        conf += "\n" + m_snmpdExtra + "\n";
    const std::string confPath = m_dir + "/snmpd.conf";
    if (!WriteFile(confPath, conf)) {
        m_error = "cannot write " + confPath;
        return false;
    }

    // Everything the child needs is prepared before fork: only
    // async-signal-safe calls happen between fork and exec.
    const std::string snmpd = SnmpdPath();
    const std::string logPath = m_dir + "/snmpd.log";
    const std::string outPath = m_dir + "/snmpd.out";
    // -C keeps snmpd from reading the persistent state by itself: a restart
    // names it, so the engine ID stays and its boots rise.
    const std::string persisted = m_dir + "/persist/snmpd.conf";
    const std::string confFiles = again && fs::exists(persisted) ? confPath + "," + persisted : confPath;
    std::vector<std::string> args = {snmpd, "-f", "-C", "-c", confFiles, "-Lf", logPath, "-M", "/dev/null", "-m", ""};
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        std::string v = *e;
        if (v.rfind("SNMP_PERSISTENT_DIR=", 0) == 0 || v.rfind("MIBS=", 0) == 0 || v.rfind("MIBDIRS=", 0) == 0)
            continue;
        env.push_back(v);
    }
    env.push_back("SNMP_PERSISTENT_DIR=" + m_dir + "/persist");
    env.push_back("MIBS=");
    env.push_back("MIBDIRS=/dev/null");
    std::vector<char*> argv, envp;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    int devnull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    const pid_t parent = ::getpid();
    pid_t pid = ::fork();
    if (pid == 0) {
        // The agent must not outlive a test that crashes.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(127);
        if (devnull >= 0)
            ::dup2(devnull, 0);
        if (out >= 0) {
            ::dup2(out, 1);
            ::dup2(out, 2);
        }
        ::execve(argv[0], argv.data(), envp.data());
        ::execvpe(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    if (out >= 0)
        ::close(out);
    if (devnull >= 0)
        ::close(devnull);
    if (pid < 0) {
        m_error = std::string("fork failed: ") + std::strerror(errno);
        return false;
    }
    m_pid = pid;

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        int wstatus = 0;
        if (::waitpid(m_pid, &wstatus, WNOHANG) == m_pid) {
            m_pid = -1;
            std::string why = log() + ReadFile(outPath);
            *addressBusy = why.find("Error opening specified endpoint") != std::string::npos ||
                           why.find("ddress already in use") != std::string::npos;
            m_error = "snmpd on " + address + " exited at once: " + why;
            return false;
        }
        if (Answers(address))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::string why = log();
    Stop();
    m_error = "snmpd on " + address + " did not answer within 10 s; log: " + why;
    return false;
}

void AgentProcess::Stop()
{
    if (m_pid > 0) {
        // snmpd spends over a second shutting down on SIGTERM; an extra
        // agent has nothing worth saving, and its helpers end on EOF.
        ::kill(m_pid, SIGKILL);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        bool reaped = false;
        while (std::chrono::steady_clock::now() < deadline) {
            int wstatus = 0;
            pid_t r = ::waitpid(m_pid, &wstatus, WNOHANG);
            if (r == m_pid || (r < 0 && errno == ECHILD)) {
                reaped = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (!reaped) {
            ::kill(m_pid, SIGKILL);
            int wstatus = 0;
            ::waitpid(m_pid, &wstatus, 0);
        }
        m_pid = -1;
    }
    if (!m_dir.empty() && !std::getenv("QUILLON_KEEP_AGENT_DIRS")) {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
}

}  // namespace harness
