// qvl_driver_standin: follows the stored keysets the way the driver does, for scenarios that check
// what the editor tells the driver while the driver itself is not there.
//   qvl_driver_standin --log FILE --stop-file FILE
// At start it opens the shared block, loads the keysets (or "Default") and saves them, then watches
// keysetsChanged: when it is set, it loads the whole list again, logs it and clears the flag, as the
// driver does once it has selected a keyset. Log lines:
//   start names="Default|..." current=N
//   reload names="..." current=N        (one per change the editor announced)
//   stop reason=file, end
#include "log_file_win32.h"
#include "stop_signal_win32.h"
#include "tool_args.h"

#include "model/keyset_lock_win32.h"
#include "model/keyset_registry.h"
#include "model/named_blocks_win32.h"
#include "model/registry_win32.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Names(const qvl::CKeysetStore& store) {
    std::string names;
    for (int index = 0; index < store.GetCount(); ++index)
        names += (index == 0 ? "" : "|") + store.GetName(index);
    return names;
}

void Log(qvl::e2e::LogFile& log, const char* kind, const qvl::CKeysetStore& store) {
    log.Write(qvl::e2e::LogLine(kind).Text("names", Names(store)).Number("current", store.GetCurrentIndex()));
}

} // namespace

int main(int argc, char** argv) {
    std::string logPath;
    std::string stopPath;
    for (int index = 1; index < argc;) {
        if (auto value = qvl::e2e::OptionValue(argc, argv, index, "--log"))
            logPath = *value;
        else if (auto value = qvl::e2e::OptionValue(argc, argv, index, "--stop-file"))
            stopPath = *value;
        else {
            std::fprintf(stderr, "usage: qvl_driver_standin --log FILE --stop-file FILE\n");
            return 2;
        }
    }
    qvl::e2e::LogFile log;
    if (logPath.empty() || !log.Open(logPath)) {
        std::fprintf(stderr, "qvl_driver_standin: cannot write the log\n");
        return 2;
    }
    qvl::e2e::StopSignal stop;
    stop.WatchFile(stopPath);

    qvl::Win32NamedBlocks blocks;
    qvl::CSharedInfo shared(blocks);
    if (shared.Create() != 1) {
        std::fprintf(stderr, "qvl_driver_standin: no shared block\n");
        return 1;
    }
    qvl::Win32Registry registry;
    qvl::Win32KeysetLock lock;
    const qvl::KeysetStorage storage{registry, lock};
    const qvl::NoStrings names;
    qvl::CKeysetStore store(shared, names);

    // As the driver starts: load or create, keep the current index, save, announce.
    qvl::LoadOrCreate(store, storage);
    {
        qvl::CKeysetRegistry saver(storage);
        saver.Attach(store);
        saver.SaveAll();
    }
    shared.SetKeysetsChanged(1);
    Log(log, "start", store);
    shared.SetKeysetsChanged(0);

    while (stop.Asked() == nullptr) {
        if (shared.GetKeysetsChanged() != 0) {
            qvl::CKeysetRegistry loader(storage);
            loader.Attach(store);
            loader.LoadAll();
            Log(log, "reload", store);
            shared.SetKeysetsChanged(0);
        }
        Sleep(20);
    }
    log.Write(qvl::e2e::LogLine("stop").Word("reason", stop.Asked()));
    log.Write(qvl::e2e::LogLine("end"));
    return 0;
}
