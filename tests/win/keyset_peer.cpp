// The other program of the registry tests, loading and saving keysets as the editor or the driver
// would:
//   keyset_peer save N SEED        save the list FillKeysets(N, SEED) makes; exit 0
//   keyset_peer check N SEED       exit 0 when a load gives exactly that list, else 3
//   keyset_peer churn N SEED R     save R times, alternating SEED and SEED + 1; exit 0
//   keyset_peer crash SEED STEP    save the crash list STEP, then STEP + 1, ... until ended from
//                                  outside; before each save after the first it puts the step
//                                  about to be saved in the named block the test made
//   keyset_peer deny 1|0           refuse (1) or allow again (0) new values and subkeys in "Keysets"
//                                  to everyone, as a policy or a broken profile would; exit 0
#include "keyset_crash_lists.h"
#include "keyset_fixture.h"

#include <windows.h>

#include <aclapi.h>

#include <cstdlib>
#include <cstring>

namespace {

// The key's access list with an entry that denies everyone writes put first, or every denying entry
// taken out again.
bool DenyWrites(bool deny) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, qvl::kKeysetsKeyPath, 0, READ_CONTROL | WRITE_DAC, &key) != ERROR_SUCCESS)
        return false;
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PACL denying = nullptr;
    bool done = GetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, &list, nullptr,
                                &descriptor) == ERROR_SUCCESS &&
                list != nullptr;
    if (done && deny) {
        EXPLICIT_ACCESSA entry = {};
        entry.grfAccessPermissions = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
        entry.grfAccessMode = DENY_ACCESS;
        entry.Trustee.TrusteeForm = TRUSTEE_IS_NAME;
        entry.Trustee.ptstrName = const_cast<char*>("EVERYONE");
        done = SetEntriesInAclA(1, &entry, list, &denying) == ERROR_SUCCESS;
        list = denying;
    }
    for (DWORD index = list != nullptr ? list->AceCount : 0; done && !deny && index-- > 0;) {
        ACE_HEADER* ace = nullptr;
        if (GetAce(list, index, reinterpret_cast<void**>(&ace)) && ace->AceType == ACCESS_DENIED_ACE_TYPE)
            DeleteAce(list, index);
    }
    done = done && SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, list, nullptr) ==
                       ERROR_SUCCESS;
    LocalFree(denying);
    LocalFree(descriptor);
    RegCloseKey(key);
    return done;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "deny") == 0)
        return DenyWrites(std::strcmp(argv[2], "1") == 0) ? 0 : 2;
    if (argc < 4)
        return 1;
    const std::string command = argv[1];
    const int count = std::atoi(argv[2]);
    const int seed = std::atoi(argv[3]);
    qvl::wintest::RealStore real;
    if (command == "save") {
        qvl::wintest::FillKeysets(real.store, count, seed);
        real.Save();
        return 0;
    }
    if (command == "check") {
        if (!real.Load())
            return 2;
        return qvl::wintest::HoldsKeysets(real.store, count, seed) ? 0 : 3;
    }
    if (command == "crash") {
        const int seed = count;
        int step = std::atoi(argv[3]);
        HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, qvl::wintest::kCrashStepBlock);
        auto* announced =
            mapping != nullptr ? static_cast<volatile LONG*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0)) : nullptr;
        if (announced == nullptr)
            return 2;
        for (;;) {
            qvl::wintest::FillCrashList(real.store, seed, step);
            real.Save();
            InterlockedExchange(const_cast<LONG*>(announced), ++step);
        }
    }
    if (command == "churn" && argc == 5) {
        const int rounds = std::atoi(argv[4]);
        for (int round = 0; round < rounds; ++round) {
            qvl::wintest::FillKeysets(real.store, count, seed + round % 2);
            real.Save();
        }
        return 0;
    }
    return 1;
}
