// A scripted stand-in for the editor's windows: it answers questions and file dialogs from queues
// the test fills, and records what was asked and what the Keysets menu and the views were told.
#pragma once

#include "editor/app/keyset_ui.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace qvl::fakes {

class ScriptedKeysetUi final : public KeysetUi {
public:
    bool AskYesNo(unsigned stringId) override {
        questions.push_back(stringId);
        if (answers.empty())
            return false; // an unexpected question is answered No, and shows in `questions`
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    void Tell(unsigned stringId, const std::string& argument) override {
        told.push_back(std::to_string(stringId) + ":" + argument);
    }
    void Tell(unsigned stringId, const std::string& argument, const std::string& second) override {
        told.push_back(std::to_string(stringId) + ":" + argument + "|" + second);
    }
    void TellStoreFailure(unsigned stringId, const StoreResult& failed) override {
        const bool locked = failed.status == StoreResult::Status::kNotLocked;
        told.push_back(std::to_string(stringId) + ":" +
                       (locked ? "not locked" : "error " + std::to_string(failed.error)));
    }
    std::optional<std::string> ChooseTargetProgram() override { return Next("program"); }
    std::optional<std::string> ChooseFileToImport() override { return Next("import"); }
    std::optional<std::string> ChooseFileToExport(const std::string& proposedName) override {
        proposedNames.push_back(proposedName);
        return Next("export");
    }
    void ClearKeysetsMenu() override { menu.clear(); }
    void AppendKeysetMenuItem(const std::string& name) override { menu.push_back(name); }
    void UpdateAllViews() override { ++viewUpdates; }

    std::deque<bool> answers;                     // Yes/No, in order
    std::deque<std::optional<std::string>> files; // chosen files; nothing: cancelled
    std::vector<unsigned> questions;
    std::vector<std::string> told;
    std::vector<std::string> dialogs; // which file dialog was shown, in order
    std::vector<std::string> proposedNames;
    std::vector<std::string> menu; // the Keysets menu as the UI was told to build it
    int viewUpdates = 0;

private:
    std::optional<std::string> Next(const char* dialog) {
        dialogs.push_back(dialog);
        if (files.empty())
            return std::nullopt;
        std::optional<std::string> file = files.front();
        files.pop_front();
        return file;
    }
};

} // namespace qvl::fakes
