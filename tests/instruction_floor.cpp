// The floor under the sender's instruction count: a program built and linked
// the same way that only writes one line and reads one token.
#include <iostream>
#include <string>

int main()
{
    std::cout << "programme du sender " << std::endl;
    std::string token;
    std::cin >> token;
    return 0;
}
