#pragma once
// The UDP socket of one request context. Its family follows the agent
// settings at the time the socket is made; it is bound to the wildcard
// address and an ephemeral port, and the destination is given per request.
//
// Copies share the socket: it closes when the last copy lets go of it, so
// no copy ever closes a descriptor that another one (or, after reuse of the
// number, an unrelated file) still uses.

#include <memory>

class InetUdp {
public:
    // Value of getSocket() when no socket is open.
    static constexpr unsigned NoSocket = ~0u;

    InetUdp();
    InetUdp(const InetUdp& src) = default;
    InetUdp& operator=(const InetUdp& src) = default;
    ~InetUdp() = default;

    // Drop the socket held and open and bind a new one of the current
    // agent family. Failures are shown as "socketエラー", "bind IPv4エラー"
    // or "bind IPv6エラー"; an unbound socket stays usable for sendto.
    void createSocket();
    // The same for a family given as stored in the settings (2, 23).
    void createSocket(int storedFamily);
    unsigned getSocket() const;
    // Address family of the open socket (AF_INET, AF_INET6), or 0.
    int getFamily() const;

private:
    struct Handle {
        int fd = -1;
        int family = 0;
        ~Handle();
    };
    std::shared_ptr<Handle> m_socket;
};
