// Keyset lists that the registry tests and their second process both build, so either side can tell
// whether what it loaded is exactly what the other one saved.
#pragma once

#include "model/keyset_lock_win32.h"
#include "model/keyset_watch_win32.h"
#include "model/keyset_registry.h"
#include "model/memory_blocks.h"
#include "model/registry_win32.h"
#include "model/text_case_win32.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace qvl::wintest {

// "Default" and count - 1 keysets "app0", "app1", ...; every assignment carries `seed`, its keyset,
// bank and control.
inline void FillKeysets(CKeysetStore& store, int count, int seed) {
    store.RemoveAll();
    for (int k = 0; k < count; ++k) {
        KeysetRecord record;
        const std::string name = k == 0 ? std::string(kDefaultKeysetName) : "app" + std::to_string(k - 1);
        InitKeyset(record, name.c_str(), seed, store.Names());
        for (int b = 0; b < kBankCount; ++b) {
            for (int c = 0; c < kControlCount; ++c) {
                ControlAssignment& a = AssignmentAt(record, b, c);
                a.hotKeyVk = static_cast<std::uint16_t>(seed);
                a.wheelSpeed = static_cast<std::int16_t>(k * 10 + b);
                a.specialKey = static_cast<std::uint32_t>(c);
                char text[64];
                std::snprintf(text, sizeof text, "seed %d keyset %d bank %d control %d", seed, k, b, c);
                CopyToField(a.windowTitle, text);
            }
        }
        store.Add(record);
    }
}

// Whether `loaded` holds exactly the keysets FillKeysets(count, seed) makes, "Default" first.
inline bool HoldsKeysets(const CKeysetStore& loaded, int count, int seed) {
    NoStrings names;
    MemoryBlocks blocks;
    CSharedInfo shared(blocks);
    CKeysetStore expected(shared, names);
    FillKeysets(expected, count, seed);
    if (loaded.GetCount() != count || !loaded.NameEquals(0, kDefaultKeysetName))
        return false;
    for (int k = 0; k < count; ++k) {
        const KeysetRecord want = *expected.GetKeyset(k);
        const std::optional<KeysetRecord> got = loaded.GetKeyset(loaded.Find(want.header.appName).value_or(-1));
        if (!got || std::memcmp(&*got, &want, sizeof want) != 0)
            return false;
    }
    return true;
}

// A keyset store of this process over the real registry and the real lock.
struct RealStore {
    NoStrings names;
    MemoryBlocks blocks;
    CSharedInfo shared{blocks};
    CKeysetStore store{shared, names};
    Win32Registry registry;
    Win32KeysetLock lock;
    SystemTextCase textCase;
    Win32KeysetWatch watch;
    CKeysetRegistry keysets{KeysetStorage{registry, lock, textCase, watch}};

    RealStore() { shared.Create(); }
    void Save() { keysets.SaveAll(store); }
    bool Load() { return keysets.LoadAll(store).Done(); }
};

} // namespace qvl::wintest
