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

void ApplyPreferences(const PreferencesChoice& choice, std::string_view editorPath, RunKeyEntry& autostart,
                      PrefsRecord& prefs) {
    if (choice.loadAtStart != 0) {
        autostart.Write(DriverCommandLine(editorPath));
        prefs.loadAtStart = 1;
    } else {
        autostart.Remove();
        prefs.loadAtStart = 0;
    }
    // A list without a selection leaves the port as it was.
    if (choice.comPort >= 0 && choice.comPort < kComPortCount)
        prefs.comPort = choice.comPort;
}

} // namespace qvl
