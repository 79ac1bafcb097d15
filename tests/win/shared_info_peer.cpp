// The other program of the shared-block tests: it opens the block as the editor or the driver would.
//   shared_info_peer first             exit 0 when it finds a fresh block (zero but the two fields set to 1)
//   shared_info_peer swap K C D K2 D2  exit 0 when it sees keyset K, change flag C and data value D; then
//                                      writes keyset K2, change flag 0, LED 0 and data value D2
//   shared_info_peer portopen          exit 10 + portOpen, read without opening the block as a program
//                                      (whose start would set it)
//   shared_info_peer changed           raise keysetsChanged, as any writer of keysets does after it wrote
//   shared_info_peer current K         make keyset K current, as the driver does for the program in front
#include "model/named_blocks_win32.h"
#include "model/shared_info.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "portopen") == 0) {
        HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, qvl::kSharedInfoName);
        if (mapping == nullptr)
            return 2;
        const auto* shared = static_cast<const qvl::SharedInfo*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
        const int portOpen = shared != nullptr ? shared->portOpen : -8;
        if (shared != nullptr)
            UnmapViewOfFile(shared);
        CloseHandle(mapping);
        return 10 + portOpen;
    }
    qvl::Win32NamedBlocks blocks;
    qvl::CSharedInfo info(blocks);
    if (!info.Create())
        return 2;
    if (argc == 2 && std::strcmp(argv[1], "changed") == 0) {
        info.SetKeysetsChanged(1);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "current") == 0) {
        info.SetCurrentKeysetIndex(std::atoi(argv[2]));
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "first") == 0) {
        const bool fresh = info.GetCurrentKeysetIndex() == 0 && info.GetKeysetsChanged() == 0 &&
                           info.GetWheelLedOn() == 1 && info.GetPortOpen() == 1 && info.GetDataValue() == 0;
        return fresh ? 0 : 3;
    }
    if (argc == 7 && std::strcmp(argv[1], "swap") == 0) {
        if (info.GetCurrentKeysetIndex() != std::atoi(argv[2]))
            return 4;
        if (info.GetKeysetsChanged() != std::atoi(argv[3]))
            return 5;
        if (info.GetDataValue() != std::atoi(argv[4]))
            return 6;
        info.SetCurrentKeysetIndex(std::atoi(argv[5]));
        info.SetKeysetsChanged(0);
        info.SetWheelLedOn(0);
        info.SetDataValue(std::atoi(argv[6]));
        return 0;
    }
    return 1;
}
