// A process for the process-list tests to find: it waits until the test ends it, or the given number
// of milliseconds at most, so that nothing is left running after a broken test.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    const DWORD wait = argc > 1 ? static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10)) : 30000;
    Sleep(wait);
    return 0;
}
