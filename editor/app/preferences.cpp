#include "editor/app/preferences.h"

#include "model/shared_names.h"

namespace qvl {

std::string DriverCommandLine(std::string_view editorPath) {
    const std::size_t slash = editorPath.find_last_of('\\');
    std::string command(slash == std::string_view::npos ? std::string_view() : editorPath.substr(0, slash + 1));
    command += kDriverFileTitle;
    if (command.find(' ') != std::string::npos)
        command = "\"" + command + "\"";
    return command;
}

StoreResult ApplyPreferences(const PreferencesChoice& choice, std::string_view editorPath, RunKeyEntry& autostart,
                             PrefsRecord& prefs) {
    const bool start = choice.loadAtStart != 0;
    const StoreResult entry = start ? autostart.Write(DriverCommandLine(editorPath)) : autostart.Remove();
    prefs.loadAtStart = start == entry.Done() ? 1 : 0;
    // A list without a selection leaves the port as it was.
    if (choice.comPort >= 0 && choice.comPort < kComPortCount)
        prefs.comPort = choice.comPort;
    return entry;
}

} // namespace qvl
