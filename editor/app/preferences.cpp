#include "editor/app/preferences.h"

#include "base/format_string.h"
#include "model/port_name.h"
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
                             Preferences& prefs) {
    const bool start = choice.loadAtStart != 0;
    const StoreResult entry = start ? autostart.Write(DriverCommandLine(editorPath)) : autostart.Remove();
    prefs.record.loadAtStart = start == entry.Done() ? 1 : 0;
    prefs.port = choice.port;
    prefs.record.comPort = ComPortFor(choice.port, prefs.record.comPort);
    return entry;
}

Preferences MergePreferences(const Preferences& base, const Preferences& mine, const Preferences& theirs) {
    Preferences merged = theirs;
    if (mine.record.loadAtStart != base.record.loadAtStart)
        merged.record.loadAtStart = mine.record.loadAtStart;
    if (mine.port != base.port) {
        merged.port = mine.port;
        merged.record.comPort = ComPortFor(mine.port, theirs.record.comPort);
    }
    return merged;
}

std::vector<PortItem> PortBoxItems(const std::vector<SerialPort>& listed, int stored, std::string_view notPresent) {
    std::vector<PortItem> items;
    bool storedListed = false;
    for (const SerialPort& port : listed)
        storedListed = storedListed || port.number == stored;
    for (const SerialPort& port : listed) {
        if (!storedListed && stored < port.number) {
            items.push_back(PortItem{stored, FormatString(notPresent, {PortName(stored)})});
            storedListed = true;
        }
        const std::string name = PortName(port.number);
        items.push_back(PortItem{port.number, port.description.empty() ? name : name + " - " + port.description});
    }
    if (!storedListed)
        items.push_back(PortItem{stored, FormatString(notPresent, {PortName(stored)})});
    return items;
}

std::optional<int> ChosenPort(const std::string& text, const std::vector<PortItem>& items) {
    for (const PortItem& item : items) {
        if (item.text == text)
            return item.port;
    }
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::nullopt;
    const std::size_t last = text.find_last_not_of(" \t");
    return ParsePortName(std::string_view(text).substr(first, last - first + 1));
}

} // namespace qvl
