#include "dialogue.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>

namespace {

using namespace std::string_literals;

const std::string wholeDialogue = bannerText + "\n"s + senderQuestion + receiverQuestion;

TEST(DialogueTexts, AreWrittenByteForByte)
{
    std::ostringstream out;
    std::istringstream in("127.0.0.1\n127.0.0.1\n0\n");
    AddressField senderIP;
    AddressField receiverIP;
    std::int32_t nb = 0;
    showBanner(out);
    askAddress(senderQuestion, senderIP, in, out);
    askAddress(receiverQuestion, receiverIP, in, out);
    waitForNumber(nb, in);
    EXPECT_EQ(out.str(), "programme du sender \n"
                         "donnez ip adresse du sender sous la forme x.y.z.w, exemple 127.0.0.1 : "
                         "donnez ip adresse du receiver sous la forme x.y.z.w, exemple 127.0.0.1 :");
}

struct DialogueCase {
    const char* name;
    std::string input;
    const char* senderIP;
    const char* receiverIP;
    std::optional<std::int32_t> closing; // the number read, or none when the read failed
    std::string unread;                  // what the dialogue leaves in the input
};

// Names the row in test output instead of dumping its bytes.
void PrintTo(const DialogueCase& row, std::ostream* os)
{
    *os << row.name;
}

class Dialogue : public testing::TestWithParam<DialogueCase> {};

TEST_P(Dialogue, ReadsAsAnOperatorExpects)
{
    const DialogueCase& c = GetParam();
    std::istringstream in(c.input);
    std::ostringstream out;
    AddressField senderIP;
    AddressField receiverIP;
    std::int32_t nb = -1;

    showBanner(out);
    askAddress(senderQuestion, senderIP, in, out);
    askAddress(receiverQuestion, receiverIP, in, out);
    waitForNumber(nb, in);

    EXPECT_EQ(out.str(), wholeDialogue) << "every text is written, whatever the input";
    EXPECT_STREQ(senderIP, c.senderIP);
    EXPECT_STREQ(receiverIP, c.receiverIP);
    if (c.closing) {
        EXPECT_FALSE(in.fail());
        EXPECT_EQ(nb, *c.closing);
    } else {
        EXPECT_TRUE(in.fail());
    }
    in.clear();
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), c.unread);
}

const std::string longToken(1 << 20, '1');

INSTANTIATE_TEST_SUITE_P(
    Cases, Dialogue,
    testing::Values(
        DialogueCase{"OneAnswerPerLine", "127.0.0.1\n127.0.0.2\n7\n", "127.0.0.1", "127.0.0.2", 7, "\n"},
        DialogueCase{"WhiteSpaceAndEmptyLinesSkipped", "\n \t127.0.0.1  \n\r\n\v\f 127.0.0.2\t\n-3 ", "127.0.0.1",
                     "127.0.0.2", -3, " "},
        DialogueCase{"OneLineServesEveryRead", "127.0.0.1 127.0.0.2 0\n", "127.0.0.1", "127.0.0.2", 0, "\n"},
        DialogueCase{"FifteenCharactersFillTheField", "255.255.255.255\n1.2.3.4\n1\n", "255.255.255.255", "1.2.3.4", 1,
                     "\n"},
        // Cut to 15 characters this would read as 127.0.0.1, which nobody typed.
        DialogueCase{"SixteenCharactersRefusedWhole", "127.0.0.00000012\n127.0.0.3\n2\n", "", "127.0.0.3", 2, "\n"},
        DialogueCase{"LongTokenLeavesNoTail", longToken + "\n127.0.0.1\n5\n", "", "127.0.0.1", 5, "\n"},
        DialogueCase{"EndOfInputAtTheStart", "", "", "", std::nullopt, ""},
        DialogueCase{"EndOfInputAfterSender", "127.0.0.1\n", "127.0.0.1", "", std::nullopt, ""},
        DialogueCase{"EndOfInputEndsTheToken", "127.0.0.1 127.0.0.2", "127.0.0.1", "127.0.0.2", std::nullopt, ""},
        DialogueCase{"EndOfInputAfterLongToken", longToken, "", "", std::nullopt, ""},
        DialogueCase{"ZeroByteEndsTheTokenAndWedgesInput", "127.0.0.1"s + '\0' + " 127.0.0.2\n3\n", "127.0.0.1", "",
                     std::nullopt, "\0 127.0.0.2\n3\n"s},
        DialogueCase{"FailedReadSticks", "\0 127.0.0.1 127.0.0.2 4\n"s, "", "", std::nullopt,
                     "\0 127.0.0.1 127.0.0.2 4\n"s},
        DialogueCase{"ClosingEntryNotANumber", "127.0.0.1\n127.0.0.2\nq\n", "127.0.0.1", "127.0.0.2", std::nullopt,
                     "q\n"},
        DialogueCase{"ClosingEntryOverflows", "1.1.1.1 2.2.2.2 2147483648\n", "1.1.1.1", "2.2.2.2", std::nullopt, "\n"},
        DialogueCase{"HighBytesAreTokenCharacters", "\x80\xFF\n127.0.0.1\n0\n", "\x80\xFF", "127.0.0.1", 0, "\n"}),
    [](const testing::TestParamInfo<DialogueCase>& row) { return std::string(row.param.name); });

} // namespace
