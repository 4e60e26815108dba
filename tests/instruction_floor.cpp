// The sender's instruction floor: built and linked the same way, it only
// writes a line and reads a token.
#include <iostream>
#include <string>

int main()
{
    std::cout << "programme du sender " << std::endl;
    std::string token;
    std::cin >> token;
    return 0;
}
