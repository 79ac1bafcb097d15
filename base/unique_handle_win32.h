// The one owner of the system handles the programs and their tools hold: it closes its handle once,
// can be moved, and cannot be copied (a copied handle would be closed twice). The traits say what
// "none" is for each kind of handle and how it is closed.
#pragma once

#include <windows.h>

#include <utility>

namespace qvl {

template <typename Traits> class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    ~UniqueHandle() { Reset(); }

    Type Get() const { return handle_; }
    bool Valid() const { return Traits::IsValid(handle_); }
    explicit operator bool() const { return Valid(); }

    // Close the held handle (if any) and take `handle`.
    void Reset(Type handle = Traits::Empty()) {
        if (Traits::IsValid(handle_))
            Traits::Close(handle_);
        handle_ = handle;
    }
    // Give up ownership without closing.
    Type Release() { return std::exchange(handle_, Traits::Empty()); }

private:
    Type handle_ = Traits::Empty();
};

// Kernel objects: events, mutexes, file mappings, threads, processes, files, devices and tool-help
// snapshots. Some calls report failure with null, others (CreateFile, CreateToolhelp32Snapshot) with
// INVALID_HANDLE_VALUE; neither is closed.
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Empty() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) { CloseHandle(h); }
};
using KernelHandle = UniqueHandle<KernelHandleTraits>;
using SnapshotHandle = KernelHandle;

// Registry keys we opened or created. The predefined roots (HKEY_CURRENT_USER, ...) are never held.
struct RegistryKeyTraits {
    using Type = HKEY;
    static Type Empty() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { RegCloseKey(h); }
};
using RegistryKey = UniqueHandle<RegistryKeyTraits>;

struct MenuHandleTraits {
    using Type = HMENU;
    static Type Empty() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { DestroyMenu(h); }
};
using MenuHandle = UniqueHandle<MenuHandleTraits>;

// Icons made with LoadImage/CreateIcon; shared icons from LoadIcon must not be destroyed and are
// not held in this.
struct IconHandleTraits {
    using Type = HICON;
    static Type Empty() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { DestroyIcon(h); }
};
using IconHandle = UniqueHandle<IconHandleTraits>;

struct GdiObjectTraits {
    using Type = HGDIOBJ;
    static Type Empty() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { DeleteObject(h); }
};
using GdiObjectHandle = UniqueHandle<GdiObjectTraits>;

} // namespace qvl
