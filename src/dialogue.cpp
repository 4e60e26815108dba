#include "dialogue.hpp"

#include <locale>
#include <streambuf>

namespace {

constexpr std::size_t maxAddressLength = addressFieldSize - 1;

// Reads one token as the Windows C++ library extracts a character string (white
// space skipped, the token ending at white space, a zero byte or the end of
// input, that ending character left unread), except that an over-long token
// is read to its end and refused instead of being cut short.
void readAddress(std::istream& in, AddressField& field)
{
    field[0] = '\0';
    const std::istream::sentry ready(in); // flushes the tied output, skips white space
    if (!ready) {
        return;
    }
    using traits = std::istream::traits_type;
    const auto& ctype = std::use_facet<std::ctype<char>>(in.getloc());
    std::streambuf& input = *in.rdbuf();

    std::size_t taken = 0;
    bool tooLong = false;
    traits::int_type c = input.sgetc();
    while (!traits::eq_int_type(c, traits::eof()) && c != 0 &&
           !ctype.is(std::ctype_base::space, traits::to_char_type(c))) {
        if (taken < maxAddressLength) {
            field[taken++] = traits::to_char_type(c);
        } else {
            tooLong = true;
        }
        c = input.snextc();
    }
    field[tooLong ? 0 : taken] = '\0';

    std::ios_base::iostate state = std::ios_base::goodbit;
    if (traits::eq_int_type(c, traits::eof())) {
        state |= std::ios_base::eofbit;
    }
    if (taken == 0) {
        state |= std::ios_base::failbit;
    }
    in.setstate(state);
}

} // namespace

void showBanner(std::ostream& out)
{
    out << bannerText << '\n' << std::flush;
}

void askAddress(const char* question, AddressField& field, std::istream& in, std::ostream& out)
{
    out << question << std::flush;
    readAddress(in, field);
}

void waitForNumber(std::int32_t& nb, std::istream& in)
{
    in >> nb;
}
