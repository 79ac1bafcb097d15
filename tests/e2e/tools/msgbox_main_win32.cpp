// qvl_msgbox: shows one message box, as a program under test would, and reports the answer.
//   qvl_msgbox CAPTION TEXT [TYPE]
// TYPE is the MB_ flags as a number (default 0, MB_OK). Prints "answer N" and exits with N, the
// id of the button that closed the box (0 when the box could not be shown).
#include "tool_args.h"

#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: qvl_msgbox CAPTION TEXT [TYPE]\n");
        return 0;
    }
    const std::optional<long long> type = argc == 4 ? qvl::e2e::ParseInteger(argv[3]) : 0;
    if (!type || *type < 0 || *type > 0xFFFFFFFFLL) {
        std::fprintf(stderr, "qvl_msgbox: TYPE must be a number\n");
        return 0;
    }
    const int answer = MessageBoxA(nullptr, argv[2], argv[1], static_cast<UINT>(*type));
    std::printf("answer %d\n", answer);
    return answer;
}
