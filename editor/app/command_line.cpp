#include "editor/app/command_line.h"

#include "base/format_string.h"
#include "model/string_text.h"

#include <cctype>

namespace qvl {

namespace {

std::string Lower(std::string word) {
    for (char& c : word)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return word;
}

bool IsOption(const std::string& word) {
    return word.size() > 1 && (word[0] == '/' || word[0] == '-');
}

// The file and the name that follow /import or /export; false when the file is missing.
bool Operands(const std::vector<std::string>& words, std::size_t& at, CommandLineRequest& request, bool name) {
    if (at + 1 >= words.size() || IsOption(words[at + 1])) {
        request.wrong = "\"" + words[at] + "\" must be followed by a file";
        return false;
    }
    request.file = words[++at];
    if (name && at + 1 < words.size() && !IsOption(words[at + 1]))
        request.keyset = words[++at];
    return true;
}

// One option and what follows it; false, with the request's fault, when it is wrong.
bool TakeOption(const std::vector<std::string>& words, std::size_t& at, CommandLineRequest& request) {
    if (request.action == CommandLineRequest::Action::kHelp)
        return true;
    using Action = CommandLineRequest::Action;
    const std::string option = Lower(words[at].substr(1));
    if (option == "?" || option == "h" || option == "help") {
        request.action = Action::kHelp;
        return true;
    }
    if (option == "keep-both" || option == "skip") {
        request.conflict = option == "skip" ? ConflictChoice::kSkip : ConflictChoice::kKeepBoth;
        return true;
    }
    if (option != "import" && option != "export") {
        request.wrong = "there is no option \"" + words[at] + "\"";
        return false;
    }
    if (request.action == Action::kImport || request.action == Action::kExport) {
        request.wrong = "only one of /import and /export can be given";
        return false;
    }
    request.action = option == "import" ? Action::kImport : Action::kExport;
    return Operands(words, at, request, request.action == Action::kExport);
}

} // namespace

std::vector<std::string> CommandLineWords(std::string_view commandLine) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < commandLine.size()) {
        if (commandLine[at] == ' ' || commandLine[at] == '\t') {
            ++at;
            continue;
        }
        std::string word;
        bool quoted = false;
        for (; at < commandLine.size() && (quoted || (commandLine[at] != ' ' && commandLine[at] != '\t')); ++at) {
            if (commandLine[at] == '"')
                quoted = !quoted;
            else
                word += commandLine[at];
        }
        words.push_back(word);
    }
    return words;
}

CommandLineRequest ParseCommandLine(std::string_view commandLine) {
    using Action = CommandLineRequest::Action;
    const std::vector<std::string> words = CommandLineWords(commandLine);
    CommandLineRequest request;
    bool options = false, conflict = false;
    for (const std::string& word : words) {
        options = options || IsOption(word);
        conflict = conflict || Lower(word) == "/skip" || Lower(word) == "-skip" || Lower(word) == "/keep-both" ||
                   Lower(word) == "-keep-both";
    }
    // A file alone (dropped on the program) is imported in the editor's window.
    if (!options)
        return request;
    for (std::size_t at = 0; at < words.size() && request.wrong.empty(); ++at) {
        if (!IsOption(words[at]))
            request.wrong = "\"" + words[at] + "\" follows no option that takes it";
        else
            TakeOption(words, at, request);
    }
    if (request.action == Action::kHelp)
        return request;
    if (request.wrong.empty() && request.action != Action::kImport && request.action != Action::kExport)
        request.wrong = "/import or /export must say what to do";
    if (request.wrong.empty() && conflict && request.action != Action::kImport)
        request.wrong = "/keep-both and /skip belong to /import";
    if (!request.wrong.empty())
        request.action = Action::kWrong;
    return request;
}

void CommandLineUi::Tell(unsigned stringId, const std::string& argument) {
    told.push_back(FormatString(LoadText(strings_, stringId), {argument}));
}

void CommandLineUi::Tell(unsigned stringId, const std::string& argument, const std::string& second) {
    told.push_back(FormatString(LoadText(strings_, stringId), {argument, second}));
}

void CommandLineUi::TellStoreFailure(unsigned stringId, const StoreResult& failed) {
    storeFailed = true;
    told.push_back(FormatString(LoadText(strings_, stringId), {reason_(failed)}));
}

bool RunCommandLine(const CommandLineRequest& request, KeysetCommands& commands, CollectionCommands& collections,
                    TextCommands& text, KeysetUi& ui) {
    const CKeysetStore* store = commands.Store();
    if (store == nullptr)
        return false;
    if (request.action == CommandLineRequest::Action::kImport)
        return text.ImportKeysetsFrom(request.file);
    if (request.action != CommandLineRequest::Action::kExport)
        return false;
    std::optional<int> named;
    if (!request.keyset.empty() && !(named = commands.FindSameTarget(request.keyset))) {
        ui.Tell(kCommandLineNoKeysetId, request.keyset);
        return false;
    }
    switch (KindOfFileName(request.file)) {
        case KeysetFileKind::kKeysetFile: {
            const int current = store->GetCurrentIndex();
            return commands.ExportFile(request.file,
                                       named.value_or(current >= 0 && current < store->GetCount() ? current : 0));
        }
        case KeysetFileKind::kCollection:
            return collections.ExportAllTo(request.file, named);
        case KeysetFileKind::kText:
            return named ? text.WriteText(request.file, {*named}) : text.WriteText(request.file);
        case KeysetFileKind::kUnknown:
            break;
    }
    ui.Tell(kCommandLineKindId, request.file);
    return false;
}

} // namespace qvl
