// QVL2.exe's command line, for a studio that installs its keysets on many machines without clicking:
//
//   QVL2.exe /import FILE [/keep-both | /skip]   a keyset file, a collection or keysets as text; a keyset
//                                                whose name the list holds replaces it, unless /keep-both
//                                                (the imported one under a new name) or /skip
//   QVL2.exe /export FILE [NAME]                 by the file's extension: .qvl the keyset NAME (else the
//                                                current one); .qvlx or .txt that keyset (else all)
//   QVL2.exe /?                                  the options
//
// The work goes through the same commands and store writes as the menus (the backups, the lock and the
// watch on the stored keysets, keysetsChanged for the driver), and the main window never shows. It ends
// with 0, or with 1 and the reason on standard error. A file named without an option is imported in the
// editor's window, as before.
#pragma once

#include "editor/app/collection_ui.h"
#include "editor/app/keyset_ui.h"
#include "editor/app/text_commands.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qvl {

struct CommandLineRequest {
    // kEditor: no option, the editor's window; kWrong: the options cannot be carried out (`wrong` says why).
    enum class Action { kEditor, kHelp, kImport, kExport, kWrong };
    Action action = Action::kEditor;
    std::string file;
    std::string keyset; // /export: the keyset named; empty: as the file's kind says
    ConflictChoice conflict = ConflictChoice::kReplace;
    std::string wrong; // what is wrong with the options ("there is no option "/x"")
};

// The words of a command line (as WinMain receives it, without the program's name); a text in double
// quotes is one word.
std::vector<std::string> CommandLineWords(std::string_view commandLine);
CommandLineRequest ParseCommandLine(std::string_view commandLine);

// What the commands ask and tell when run from the command line: nothing is asked (a name the list holds
// is answered as the options say, every other question with No, file dialogs cancelled), and what they
// tell is kept for standard error.
class CommandLineUi final : public KeysetUi, public CollectionUi, public TextUi {
public:
    // `reason` words why a store write failed, in the system's words.
    CommandLineUi(const StringSource& strings, ConflictChoice conflict,
                  std::function<std::string(const StoreResult&)> reason)
        : strings_(strings), conflict_(conflict), reason_(std::move(reason)) {}

    bool AskYesNo(unsigned) override { return false; }
    void Tell(unsigned stringId, const std::string& argument) override;
    void Tell(unsigned stringId, const std::string& argument, const std::string& second) override;
    void TellStoreFailure(unsigned stringId, const StoreResult& failed) override;
    std::optional<std::string> ChooseTargetProgram() override { return std::nullopt; }
    std::optional<std::string> ChooseFileToImport() override { return std::nullopt; }
    std::optional<std::string> ChooseFileToExport(const std::string&) override { return std::nullopt; }
    void ClearKeysetsMenu() override {}
    void AppendKeysetMenuItem(const std::string&) override {}
    void UpdateAllViews() override {}
    std::optional<std::string> ChooseCollectionToExport() override { return std::nullopt; }
    std::optional<std::string> ChooseKeysetsToImport() override { return std::nullopt; }
    std::optional<ConflictAnswer> AskConflict(const std::string&) override { return ConflictAnswer{conflict_, true}; }
    std::optional<std::size_t> ChooseBackup(const std::vector<std::string>&) override { return std::nullopt; }
    bool AskYesNo(unsigned, const std::string&) override { return false; }
    std::optional<std::size_t> ChooseTemplate(const std::vector<std::string>&) override { return std::nullopt; }
    std::string TemplateText(unsigned) override { return std::string(); }

    std::vector<std::string> told; // in order
    bool storeFailed = false;      // a write of the stored keysets failed

private:
    const StringSource& strings_;
    ConflictChoice conflict_;
    std::function<std::string(const StoreResult&)> reason_;
};

// Strings of the editor's string table that the command line uses.
constexpr unsigned kCommandLineNoKeysetId = 1856; // "There is no keyset named "%1"."
constexpr unsigned kCommandLineKindId = 1857;     // ""%1": the file's name must end in .qvl, .qvlx or .txt."

// Carry out an import or an export through the commands, whose list is loaded; true when it was done.
// What failed is told through `ui`.
bool RunCommandLine(const CommandLineRequest& request, KeysetCommands& commands, CollectionCommands& collections,
                    TextCommands& text, KeysetUi& ui);

} // namespace qvl
