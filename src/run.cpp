#include "run.hpp"

#include "dialogue.hpp"
#include "sockets.hpp"

#include <cstring>

namespace {

constexpr int socketAddressLength = sizeof(sockaddr_in);
static_assert(socketAddressLength == 16, "an IPv4 socket address is 16 bytes");
constexpr int helloLength = sizeof helloText;
static_assert(helloLength == 14, "the payload is exactly 14 bytes");

// The rest of the record is zeroed, so no stack garbage reaches the socket calls.
sockaddr_in ipv4Address(const char* addressText, std::uint16_t port)
{
    sockaddr_in address;
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    // INADDR_NONE for a rejected text, used as it is.
    ALLOW_DEPRECATED_INET_ADDR address.sin_addr.s_addr = inet_addr(addressText);
    return address;
}

const sockaddr* asGeneric(const sockaddr_in& address)
{
    return reinterpret_cast<const sockaddr*>(&address);
}

} // namespace

int runSender()
{
    WSADATA WSAData;
    WSAStartup(MAKEWORD(2, 0), &WSAData);
    const SOCKET senderSocket = socket(AF_INET, SOCK_DGRAM, 0);

    showBanner();

    AddressField senderIP;
    askAddress(senderQuestion, senderIP);
    const sockaddr_in ssin = ipv4Address(senderIP, senderPort);
    bind(senderSocket, asGeneric(ssin), socketAddressLength);

    AddressField receiverIP;
    askAddress(receiverQuestion, receiverIP);
    const sockaddr_in rsin = ipv4Address(receiverIP, receiverPort);
    sendto(senderSocket, helloText, helloLength, 0, asGeneric(rsin), socketAddressLength);

    std::int32_t nb = 0;
    waitForNumber(nb);

    closesocket(senderSocket);
    WSACleanup();
    return 0;
}
