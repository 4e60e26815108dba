#include "run.hpp"

int main()
{
    return runSender();
}
