// What the sender says to the operator and reads back from the operator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iostream>

// A dotted IPv4 address as typed: at most 15 characters and a zero byte.
constexpr std::size_t addressFieldSize = 16;
using AddressField = char[addressFieldSize];

constexpr char bannerText[] = "programme du sender ";
constexpr char senderQuestion[] = "donnez ip adresse du sender sous la forme x.y.z.w, exemple 127.0.0.1 : ";
constexpr char receiverQuestion[] = "donnez ip adresse du receiver sous la forme x.y.z.w, exemple 127.0.0.1 :";

// Writes the banner line and flushes it.
void showBanner(std::ostream& out = std::cout);

// Writes the question, flushes it so that it stands while the operator
// types, and reads one white-space-delimited token into the field. A token
// longer than 15 characters is consumed whole and refused: the field is left
// empty rather than holding an address the operator never typed.
void askAddress(const char* question, AddressField& field, std::istream& in = std::cin, std::ostream& out = std::cout);

// Reads the operator's closing number; any word typed, or the end of input, ends the wait.
void waitForNumber(std::int32_t& nb, std::istream& in = std::cin);
