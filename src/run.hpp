// The sender's one run, from socket start-up to exit status.
#pragma once

#include <cstdint>

constexpr std::uint16_t senderPort = 4148;
constexpr std::uint16_t receiverPort = 6000;

// The datagram's payload: "Hello world!", CR, LF. No zero byte follows it.
constexpr char helloText[] = {'H', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!', '\r', '\n'};

// Asks for the sender's and the receiver's addresses, binds to the first on
// port 4148, sends the datagram to the second on port 6000 and waits for the
// operator's closing number. Nothing is checked or reported; returns 0.
int runSender();
