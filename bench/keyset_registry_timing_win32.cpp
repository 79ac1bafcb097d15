// How long the keyset store's saves and loads take against the system's registry, for 1, 10 and 100
// keysets, each beside the whole rewrite (delete "Keysets", write everything) or the whole load it
// replaces, measured in the same run. Two stores play the editor (which writes) and the driver
// (which reloads); a value set from outside, which keeps no record of changes, has the driver read
// every keyset again. Prints the median and the 95th percentile of several runs. Works under its own
// root key, which it removes at the end, so stored keysets are left alone.
//   keyset_registry_timing [runs]
#include "whole_keyset_save.h"

#include "model/keyset_lock_win32.h"
#include "model/keyset_watch_win32.h"
#include "model/keyset_registry.h"
#include "model/memory_blocks.h"
#include "model/registry_win32.h"
#include "model/text_case_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr const char* kTimingRoot = "Software\\Vendrake Electronics\\QVL2 Timing";

double Now() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct Figures {
    double median;
    double p95;
};

Figures Summarise(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    const std::size_t p95 = std::min(times.size() - 1, (times.size() * 95 + 99) / 100 - 1);
    return {times[times.size() / 2], times[p95]};
}

// One program's store over the timing root.
struct Program {
    qvl::NoStrings names;
    qvl::MemoryBlocks blocks;
    qvl::CSharedInfo shared{blocks};
    qvl::CKeysetStore store{shared, names};
    qvl::Win32Registry registry;
    qvl::Win32KeysetLock lock;
    qvl::SystemTextCase textCase;
    qvl::Win32KeysetWatch watch;
    qvl::CKeysetRegistry keysets{qvl::KeysetStorage{registry, lock, textCase, watch}};

    Program() {
        shared.Create();
        keysets.SetRootPath(kTimingRoot);
    }
    bool Save() { return keysets.SaveAll(store).Done(); }
    bool Load() { return keysets.LoadAll(store).Done(); }
    bool StoreOne(int index, int bank, int control) {
        const std::optional<qvl::StoreResult> stored = keysets.StoreOne(store, index, bank, control);
        return stored && stored->Done();
    }
    // The save before this store: everything rewritten, and what this program saw no longer matches.
    void WholeSave() {
        qvl::bench::WholeKeysetSave(registry, lock, kTimingRoot, store);
        keysets.Forget();
    }
    // One keystroke more in the name of assignment (bank, control) of keyset `index`.
    void Edit(int index, int bank, int control, int run) {
        qvl::ControlAssignment a = *store.GetAssignment(index, bank, control);
        const std::string name = "edit " + std::to_string(run);
        qvl::CopyToField(a.controlName, name.c_str());
        store.SetAssignment(index, bank, control, a);
    }
    // A value set from outside, as a .reg import or a script sets it: "Changes" is left as it is.
    void WriteFromOutside(int index, int run) {
        const std::string bank = std::string(kTimingRoot) + "\\Keysets\\" + store.GetName(index) + "\\Option Bank";
        qvl::ControlAssignment a = *store.GetAssignment(index, qvl::kOptionBank, qvl::kStop);
        a.hotKeyVk = static_cast<std::uint16_t>('A' + run % 26);
        const qvl::RegKey key = qvl::RegKey::Create(registry, qvl::Registry::kCurrentUser, bank.c_str());
        registry.WriteBinary(key.Get(), "Stop", &a, sizeof a);
    }
};

void Row(const char* what, int keysets, const Figures& now, const char* before, const Figures& then) {
    std::printf("%3d keysets  %-30s %8.2f %8.2f    %-12s %8.2f %8.2f\n", keysets, what, now.median, now.p95, before,
                then.median, then.p95);
}

struct Timings {
    std::vector<double> whole, fresh, one, listOne, listNone, reloadOne, reloadNone, reloadOutside, fullLoad;
};

void Time(std::vector<double>& into, const std::function<bool()>& work) {
    const double start = Now();
    const bool ok = work();
    into.push_back(Now() - start);
    if (!ok)
        std::printf("a timed step failed\n");
}

// One run of every timed step on the list of `count` keysets the editor holds.
void TimeOneRun(Program& editor, Program& driver, int count, int run, Timings& t) {
    const int last = count - 1;
    Time(t.whole, [&] {
        editor.WholeSave();
        return true;
    });
    Time(t.fresh, [&] { return editor.Save(); }); // every value is written again, with its generation
    Time(t.fullLoad, [&] {
        driver.keysets.Forget();
        return driver.Load();
    });
    editor.Edit(last, qvl::kShiftBank, qvl::kRecord, run);
    Time(t.one, [&] { return editor.StoreOne(last, qvl::kShiftBank, qvl::kRecord); });
    Time(t.reloadOne, [&] { return driver.Load(); });
    Time(t.reloadNone, [&] { return driver.Load(); });
    editor.Edit(last, qvl::kMainBank, qvl::kPlay, run);
    Time(t.listOne, [&] { return editor.Save(); });
    Time(t.listNone, [&] { return editor.Save(); });
    // The driver's watch has looked at the editor's saves (on its own thread) before the outside write.
    for (int waited = 0; driver.watch.Changed() && waited < 5000; ++waited)
        Sleep(1);
    editor.WriteFromOutside(last, run);
    Time(t.reloadOutside, [&] { return driver.Load(); });
}

void Report(int count, const Timings& t) {
    const Figures wholeSave = Summarise(t.whole);
    const Figures wholeLoad = Summarise(t.fullLoad);
    Row("one assignment stored", count, Summarise(t.one), "whole save", wholeSave);
    Row("list saved, one change", count, Summarise(t.listOne), "whole save", wholeSave);
    Row("list saved, nothing changed", count, Summarise(t.listNone), "whole save", wholeSave);
    Row("list saved after a whole one", count, Summarise(t.fresh), "whole save", wholeSave);
    Row("reload after one change", count, Summarise(t.reloadOne), "whole load", wholeLoad);
    Row("reload after nothing changed", count, Summarise(t.reloadNone), "whole load", wholeLoad);
    Row("reload after an outside write", count, Summarise(t.reloadOutside), "whole load", wholeLoad);
    Row("first load (LoadAll)", count, wholeLoad, "whole load", wholeLoad);
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    Program editor;
    Program driver;
    std::printf("%-42s %8s %8s    %-12s %8s %8s   (ms, %d runs)\n", "", "median", "p95", "before:", "median", "p95",
                runs);
    for (int count : {1, 10, 100}) {
        editor.store.RemoveAll();
        for (int k = 0; k < count; ++k) {
            qvl::KeysetRecord record;
            const std::string name = k == 0 ? "Default" : "program" + std::to_string(k);
            qvl::InitKeyset(record, name.c_str(), 0, editor.names);
            editor.store.Add(record);
        }
        Timings timings;
        for (int run = 0; run < runs; ++run) {
            TimeOneRun(editor, driver, count, run, timings);
            if (driver.store.GetCount() != count) {
                std::printf("load of %d keysets gave %d\n", count, driver.store.GetCount());
                return 1;
            }
        }
        Report(count, timings);
    }
    Program cleaner;
    cleaner.registry.DeleteTree(qvl::Registry::kCurrentUser, kTimingRoot);
    return 0;
}
