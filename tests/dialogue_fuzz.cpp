// Drives the whole dialogue over arbitrary bytes and checks what must hold
// whatever the operator types.
#include "dialogue.hpp"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

namespace {

const std::string wholeDialogue = std::string(bannerText) + "\n" + senderQuestion + receiverQuestion;

void require(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

// At most 15 characters and a zero byte; none of them white space; and
// nothing the operator did not type.
void requireWellFormed(const AddressField& field, const std::string& input)
{
    require(std::memchr(field, '\0', addressFieldSize) != nullptr);
    const std::string text(field);
    require(text.find_first_of(" \t\n\v\f\r") == std::string::npos);
    require(input.find(text) != std::string::npos);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::istringstream in(input);
    std::ostringstream out;
    AddressField senderIP;
    AddressField receiverIP;
    std::memset(senderIP, 'S', sizeof senderIP); // no zero byte unless a read puts one there
    std::memset(receiverIP, 'R', sizeof receiverIP);
    const std::int32_t untouched = 0x5EEDF00D;
    std::int32_t nb = untouched;

    showBanner(out);
    askAddress(senderQuestion, senderIP, in, out);
    const bool stoppedAfterSender = !in.good();
    askAddress(receiverQuestion, receiverIP, in, out);
    const bool stoppedAfterReceiver = !in.good();
    waitForNumber(nb, in);

    requireWellFormed(senderIP, input);
    requireWellFormed(receiverIP, input);
    if (stoppedAfterSender) {
        require(receiverIP[0] == '\0');
    }
    if (stoppedAfterReceiver) {
        require(nb == untouched);
    }
    require(out.str() == wholeDialogue);
    return 0;
}
