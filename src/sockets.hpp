// The one place that knows the platform. On Windows it is Winsock 2 itself;
// elsewhere it gives POSIX sockets the few Winsock names they lack, so that
// the run reads the same on both.
#pragma once

#ifdef _WIN32

#include <winsock2.h>

#else

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using SOCKET = int;
using WORD = unsigned short;

constexpr WORD MAKEWORD(unsigned low, unsigned high)
{
    return static_cast<WORD>((low & 0xFFU) | ((high & 0xFFU) << 8U));
}

struct WSADATA {
    WORD wVersion;
    WORD wHighVersion;
};

// POSIX sockets need no start-up. What Winsock does differently: it never
// raises a signal (a write to a closed pipe or socket fails with an error
// instead of killing the process, so ignore SIGPIPE to match), and a socket
// is no file descriptor. A POSIX socket takes the lowest free one, so where
// a standard stream is closed it would take its place and the dialogue would
// wait on it for ever; a closed one is opened on /dev/null, at its end.
inline int WSAStartup(WORD requestedVersion, WSADATA* data)
{
    data->wVersion = requestedVersion;
    data->wHighVersion = requestedVersion;
    (void)std::signal(SIGPIPE, SIG_IGN);
    for (int stream = STDIN_FILENO; stream <= STDERR_FILENO; ++stream) {
        if (fcntl(stream, F_GETFD) == -1) {
            (void)open("/dev/null", O_RDWR); // cppcheck-suppress leakReturnValNotUsed
        }
    }
    return 0;
}

inline int WSACleanup()
{
    return 0;
}

inline int closesocket(SOCKET s)
{
    return close(s);
}

// Winsock's bind, whose length is an int. Windows refuses addresses a host
// never owns, where Linux binds them: the limited broadcast 255.255.255.255
// (what every rejected address text converts to) and multicast 224.0.0.0/4.
inline int bind(SOCKET s, const sockaddr* name, int namelen)
{
    if (name->sa_family == AF_INET) {
        const in_addr_t host = ntohl(reinterpret_cast<const sockaddr_in*>(name)->sin_addr.s_addr);
        const bool multicast = (host & 0xF0000000U) == 0xE0000000U;
        if (host == INADDR_BROADCAST || multicast) {
            errno = EADDRNOTAVAIL;
            return -1;
        }
    }
    return ::bind(s, name, static_cast<socklen_t>(namelen));
}

#endif

// MSVC deprecates inet_addr in favour of inet_pton; the conversion of a typed
// address is this program's own contract, so the warning is silenced at the
// one call, not for the whole build.
#ifdef _MSC_VER
#define ALLOW_DEPRECATED_INET_ADDR __pragma(warning(suppress : 4996))
#else
#define ALLOW_DEPRECATED_INET_ADDR
#endif
