#include "tests/support/faultpeer/FaultAgent.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>

namespace faultpeer {
namespace {

int PeerPort()
{
    const char* env = std::getenv("QUILLON_SNMP_PORT");
    if (env && *env) {
        char* end = nullptr;
        long v = std::strtol(env, &end, 10);
        if (*end == '\0' && v >= 1 && v <= 65535)
            return static_cast<int>(v);
    }
    return 161;
}

bool MakeAddress(int family, const std::string& text, int port, sockaddr_storage& sa, socklen_t& len)
{
    std::memset(&sa, 0, sizeof sa);
    if (family == AF_INET) {
        auto* in = reinterpret_cast<sockaddr_in*>(&sa);
        in->sin_family = AF_INET;
        in->sin_port = htons(static_cast<std::uint16_t>(port));
        len = sizeof(sockaddr_in);
        return inet_pton(AF_INET, text.c_str(), &in->sin_addr) == 1;
    }
    auto* in6 = reinterpret_cast<sockaddr_in6*>(&sa);
    in6->sin6_family = AF_INET6;
    in6->sin6_port = htons(static_cast<std::uint16_t>(port));
    len = sizeof(sockaddr_in6);
    return inet_pton(AF_INET6, text.c_str(), &in6->sin6_addr) == 1;
}

int BoundPort(int fd)
{
    sockaddr_storage sa;
    socklen_t len = sizeof sa;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len) != 0)
        return 0;
    if (sa.ss_family == AF_INET)
        return ntohs(reinterpret_cast<sockaddr_in*>(&sa)->sin_port);
    return ntohs(reinterpret_cast<sockaddr_in6*>(&sa)->sin6_port);
}

void Describe(const sockaddr_storage& sa, std::string& address, int& port)
{
    char text[INET6_ADDRSTRLEN] = {};
    if (sa.ss_family == AF_INET) {
        auto* in = reinterpret_cast<const sockaddr_in*>(&sa);
        inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
        port = ntohs(in->sin_port);
    } else {
        auto* in6 = reinterpret_cast<const sockaddr_in6*>(&sa);
        inet_ntop(AF_INET6, &in6->sin6_addr, text, sizeof text);
        port = ntohs(in6->sin6_port);
    }
    address = text;
}

}  // namespace

FaultAgent::FaultAgent(int family) : m_family(family == AF_INET6 ? AF_INET6 : AF_INET)
{
    m_port = PeerPort();
    std::vector<std::string> pool;
    if (m_family == AF_INET) {
        for (int i = 2; i <= 254; ++i)
            pool.push_back("127.0.0." + std::to_string(i));
    } else {
        for (int i = 2; i <= 0x16; ++i) {
            std::ostringstream s;
            s << "2001:db8:ffff::" << std::hex << i;
            pool.push_back(s.str());
        }
    }
    for (const std::string& candidate : pool) {
        sockaddr_storage sa;
        socklen_t len;
        if (!MakeAddress(m_family, candidate, m_port, sa, len))
            continue;
        int fd = ::socket(m_family, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            break;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&sa), len) == 0) {
            m_fd = fd;
            m_address = candidate;
            break;
        }
        ::close(fd);
    }
    if (m_fd < 0)
        throw std::runtime_error("fault agent: no free pool address on port " + std::to_string(m_port));

    sockaddr_storage sa;
    socklen_t len;
    MakeAddress(m_family, m_address, 0, sa, len);
    m_otherFd = ::socket(m_family, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (m_otherFd < 0 || ::bind(m_otherFd, reinterpret_cast<sockaddr*>(&sa), len) != 0)
        throw std::runtime_error("fault agent: second socket");
    m_otherPort = BoundPort(m_otherFd);
    if (::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("fault agent: pipe");
    m_thread = std::thread([this] { run(); });
}

FaultAgent::~FaultAgent()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    if (m_wake[1] >= 0) {
        const char c = 'x';
        [[maybe_unused]] ssize_t w = ::write(m_wake[1], &c, 1);
    }
    if (m_thread.joinable())
        m_thread.join();
    for (int fd : {m_fd, m_otherFd, m_wake[0], m_wake[1]})
        if (fd >= 0)
            ::close(fd);
}

void FaultAgent::setScript(Script script)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_script = std::move(script);
}

std::vector<Request> FaultAgent::requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

std::size_t FaultAgent::requestCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests.size();
}

bool FaultAgent::waitForRequests(std::size_t n, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_requests.size() >= n; });
}

void FaultAgent::clearRequests()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.clear();
}

void FaultAgent::run()
{
    std::vector<std::uint8_t> buffer(65536);
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stop)
                return;
        }
        // Send what is due, then sleep until the next datagram or due time.
        auto now = std::chrono::steady_clock::now();
        int timeoutMs = 1000;
        for (auto it = m_pending.begin(); it != m_pending.end();) {
            if (it->due <= now) {
                const int fd = it->fromOtherPort ? m_otherFd : m_fd;
                ::sendto(fd, it->bytes.data(), it->bytes.size(), 0, reinterpret_cast<sockaddr*>(&it->to), it->toLen);
                it = m_pending.erase(it);
            } else {
                auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(it->due - now).count() + 1;
                timeoutMs = std::min<int>(timeoutMs, static_cast<int>(ms));
                ++it;
            }
        }
        pollfd fds[3] = {{m_fd, POLLIN, 0}, {m_otherFd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        const int r = ::poll(fds, 3, timeoutMs);
        if (r <= 0)
            continue;
        if (fds[2].revents)
            return;
        if (fds[1].revents & POLLIN) {
            char sink[16];
            [[maybe_unused]] ssize_t n = ::recv(m_otherFd, sink, sizeof sink, MSG_DONTWAIT);
        }
        if (fds[0].revents & POLLIN) {
            sockaddr_storage from;
            socklen_t fromLen = sizeof from;
            const ssize_t n = ::recvfrom(m_fd, buffer.data(), buffer.size(), MSG_DONTWAIT,
                                         reinterpret_cast<sockaddr*>(&from), &fromLen);
            if (n >= 0)
                handle(Bytes(buffer.begin(), buffer.begin() + n), from, fromLen);
        }
    }
}

void FaultAgent::handle(const Bytes& datagram, const sockaddr_storage& from, socklen_t fromLen)
{
    Request req = Decode(datagram);
    req.received = std::chrono::steady_clock::now();
    Describe(from, req.fromAddress, req.fromPort);
    Script script;
    int index;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        index = static_cast<int>(m_requests.size());
        m_requests.push_back(req);
        script = m_script;
    }
    m_arrived.notify_all();
    if (!script)
        return;
    for (Send& s : script(req, index)) {
        Pending p;
        p.due = req.received + std::chrono::milliseconds(std::max(0, s.delayMs));
        p.bytes = std::move(s.bytes);
        p.fromOtherPort = s.fromOtherPort;
        p.to = from;
        p.toLen = fromLen;
        m_pending.push_back(std::move(p));
    }
}

Request Decode(const Bytes& datagram)
{
    Request req;
    req.raw = datagram;
    ber::Element msg;
    if (!ber::Read(datagram.data(), datagram.size(), msg) || msg.tag != 0x30)
        return req;
    std::vector<ber::Element> top;
    if (!ber::Members(msg, top) || top.size() != 3 || !ber::ToInteger(top[0], req.version) || top[1].tag != 0x04)
        return req;
    req.community.assign(reinterpret_cast<const char*>(top[1].content), top[1].length);
    req.pduType = top[2].tag;
    std::vector<ber::Element> pdu;
    if (!ber::Members(top[2], pdu) || pdu.size() != 4 || !ber::ToInteger(pdu[0], req.requestId) ||
        !ber::ToInteger(pdu[1], req.errorStatus) || !ber::ToInteger(pdu[2], req.errorIndex) || pdu[3].tag != 0x30)
        return req;
    std::vector<ber::Element> list;
    if (!ber::Members(pdu[3], list))
        return req;
    for (const ber::Element& b : list) {
        std::vector<ber::Element> pair;
        if (b.tag != 0x30 || !ber::Members(b, pair) || pair.size() != 2)
            return req;
        Binding binding;
        if (!ber::ToOid(pair[0], binding.oid))
            return req;
        binding.value.assign(pair[1].content - (pair[1].total - pair[1].length),
                             pair[1].content + pair[1].length);
        req.bindings.push_back(std::move(binding));
    }
    req.decoded = true;
    return req;
}

Bytes bindingList(const std::vector<Binding>& bindings)
{
    Bytes list;
    for (const Binding& b : bindings) {
        Bytes pair = ber::Concat({ber::ObjectId(b.oid), b.value.empty() ? ber::Null() : b.value});
        Bytes seq = ber::Tlv(0x30, pair);
        list.insert(list.end(), seq.begin(), seq.end());
    }
    return ber::Tlv(0x30, list);
}

Bytes message(long version, const std::string& community, std::uint8_t pduType, long requestId, long errorStatus,
              long errorIndex, const std::vector<Binding>& bindings)
{
    Bytes pdu = ber::Tlv(pduType, ber::Concat({ber::Integer(requestId), ber::Integer(errorStatus),
                                               ber::Integer(errorIndex), bindingList(bindings)}));
    return ber::Tlv(0x30, ber::Concat({ber::Integer(version), ber::Octets(community), pdu}));
}

Bytes response(const Request& req, int errorStatus, int errorIndex, const std::vector<Binding>& bindings)
{
    return message(req.version < 0 ? 0 : req.version, req.community, 0xA2, req.requestId, errorStatus, errorIndex,
                   bindings);
}

std::vector<Send> Reply(Bytes bytes, int delayMs, bool fromOtherPort)
{
    Send s;
    s.bytes = std::move(bytes);
    s.delayMs = delayMs;
    s.fromOtherPort = fromOtherPort;
    return {s};
}

Bytes counter(std::uint32_t v) { return ber::Unsigned(0x41, v); }
Bytes gauge(std::uint32_t v) { return ber::Unsigned(0x42, v); }
Bytes timeticks(std::uint32_t v) { return ber::Unsigned(0x43, v); }
Bytes integer(long v) { return ber::Integer(v); }
Bytes octets(const std::string& text) { return ber::Octets(text); }
Bytes oid(const Oid& arcs) { return ber::ObjectId(arcs); }
Bytes null() { return ber::Null(); }
Bytes ipAddress(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d)
{
    return ber::Tlv(0x40, {a, b, c, d});
}

Bytes counter64(std::uint64_t v)
{
    Bytes content;
    for (int i = 7; i >= 0; --i)
        content.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    while (content.size() > 1 && content[0] == 0 && !(content[1] & 0x80))
        content.erase(content.begin());
    if (content[0] & 0x80)
        content.insert(content.begin(), 0);
    return ber::Tlv(0x46, content);
}

Bytes exception(std::uint8_t tag) { return ber::Tlv(tag, {}); }

Oid parseOid(const std::string& dotted)
{
    Oid arcs;
    std::istringstream in(dotted);
    std::string part;
    while (std::getline(in, part, '.'))
        if (!part.empty())
            arcs.push_back(static_cast<std::uint32_t>(std::strtoul(part.c_str(), nullptr, 10)));
    return arcs;
}

std::string formatOid(const Oid& arcs)
{
    std::string text;
    for (std::size_t i = 0; i < arcs.size(); ++i) {
        if (i)
            text += '.';
        text += std::to_string(arcs[i]);
    }
    return text;
}

Oid append(Oid base, std::initializer_list<std::uint32_t> arcs)
{
    base.insert(base.end(), arcs.begin(), arcs.end());
    return base;
}

Script silent()
{
    return [](const Request&, int) { return std::vector<Send>{}; };
}

Script echo()
{
    return [](const Request& req, int) {
        if (!req.decoded)
            return std::vector<Send>{};
        return Reply(response(req, 0, 0, req.bindings));
    };
}

void Mib::set(const Oid& name, Bytes value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_objects[name] = std::move(value);
}

void Mib::erase(const Oid& name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_objects.erase(name);
}

bool Mib::get(const Oid& name, Bytes& value) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_objects.find(name);
    if (it == m_objects.end())
        return false;
    value = it->second;
    return true;
}

bool Mib::next(const Oid& name, Oid& found, Bytes& value) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_objects.upper_bound(name);
    if (it == m_objects.end())
        return false;
    found = it->first;
    value = it->second;
    return true;
}

std::size_t Mib::size() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_objects.size();
}

std::vector<Binding> answer(const Mib& mib, const Request& req, int* errorIndex)
{
    const bool v2 = req.version == 1;
    std::vector<Binding> out;
    if (errorIndex)
        *errorIndex = 0;
    auto next = [&](const Oid& from, Binding& b) {
        if (mib.next(from, b.oid, b.value))
            return true;
        b.oid = from;
        b.value = exception(0x82);
        return false;
    };
    if (req.pduType == 0xA5) {
        const std::size_t n = req.bindings.size();
        const std::size_t nonRepeaters = std::min<std::size_t>(std::size_t(std::max(0L, req.errorStatus)), n);
        const long reps = std::max(0L, req.errorIndex);
        for (std::size_t k = 0; k < nonRepeaters; ++k) {
            Binding b;
            next(req.bindings[k].oid, b);
            out.push_back(b);
        }
        std::vector<Oid> last;
        for (std::size_t k = nonRepeaters; k < n; ++k)
            last.push_back(req.bindings[k].oid);
        for (long r = 0; r < reps && !last.empty(); ++r) {
            bool any = false;
            for (Oid& from : last) {
                Binding b;
                any = next(from, b) || any;
                from = b.oid;
                out.push_back(b);
            }
            if (!any)
                break;  // every column at endOfMibView
        }
        return out;
    }
    for (std::size_t k = 0; k < req.bindings.size(); ++k) {
        const Binding& b = req.bindings[k];
        Binding a;
        bool ok = false;
        if (req.pduType == 0xA0) {
            a.oid = b.oid;
            ok = mib.get(b.oid, a.value);
            if (!ok && v2) {
                a.value = exception(0x80);
                ok = true;
            }
        } else if (req.pduType == 0xA1) {
            ok = next(b.oid, a) || v2;
        }
        if (!ok) {
            if (errorIndex)
                *errorIndex = static_cast<int>(k + 1);
            return req.bindings;
        }
        out.push_back(a);
    }
    return out;
}

Script serve(std::shared_ptr<Mib> mib)
{
    return [mib](const Request& req, int) {
        if (!req.decoded)
            return std::vector<Send>{};
        if (req.pduType == 0xA3) {
            for (std::size_t k = 0; k < req.bindings.size(); ++k) {
                Bytes old;
                if (!mib->get(req.bindings[k].oid, old))
                    return Reply(response(req, 2, static_cast<int>(k + 1), req.bindings));
                mib->set(req.bindings[k].oid, req.bindings[k].value);
            }
            return Reply(response(req, 0, 0, req.bindings));
        }
        if (req.pduType != 0xA0 && req.pduType != 0xA1 && req.pduType != 0xA5)
            return Reply(req.bindings.empty() ? response(req) : response(req, 2, 1, req.bindings));
        int errorIndex = 0;
        std::vector<Binding> out = answer(*mib, req, &errorIndex);
        if (errorIndex)
            return Reply(response(req, 2, errorIndex, req.bindings));
        return Reply(response(req, 0, 0, out));
    };
}

}  // namespace faultpeer
