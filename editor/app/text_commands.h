// The keyset commands that know keysets as text (editor/app/keyset_text.h) and the keysets we ship
// (editor/app/keyset_templates.h): Export Keyset and Export All Keysets write a text when the file's
// name ends in ".txt"; Import Keyset and Import Keysets read a text whatever the file is called, by what
// it holds, and the other files as before; "New Keyset from Template..." adds one of the templates.
//
// The keysets of a text join the list as those of a collection do (editor/app/import_plan.h): a name the
// list holds already is replaced, kept beside under a new name or skipped, as asked; the list is backed
// up first and saved once. The one keyset of a text becomes the current keyset. A text that cannot be
// read is refused whole, with its line number and what was expected, and nothing changes. A text says
// all of a keyset: one without a "Rule:" line leaves the keyset it replaces without a rule.
#pragma once

#include "editor/app/collection_commands.h"
#include "editor/app/keyset_commands.h"
#include "editor/app/keyset_text.h"
#include "model/code_page.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace qvl {

constexpr unsigned kTextRefusedMessageId = 1850; // "The keysets in "%1" were not imported ... %2"

// What a file's name says it holds, by its extension (case ignored).
enum class KeysetFileKind { kKeysetFile, kCollection, kText, kUnknown };
KeysetFileKind KindOfFileName(const std::string& path);

// What the text commands need from the editor's windows and resources beyond the other commands'.
class TextUi {
public:
    TextUi() = default;
    TextUi(const TextUi&) = delete;
    TextUi& operator=(const TextUi&) = delete;
    virtual ~TextUi() = default;
    // Which template to add (`titles` as listed); nothing when the user cancelled.
    virtual std::optional<std::size_t> ChooseTemplate(const std::vector<std::string>& titles) = 0;
    // The text of template resource `id`; empty when the program holds none.
    virtual std::string TemplateText(unsigned id) = 0;
};

class TextCommands {
public:
    TextCommands(KeysetCommands& commands, CollectionCommands& collections, KeysetUi& ui, CollectionUi& dialogs,
                 TextUi& texts, const CodePage& codePage, const TextCase& textCase);
    TextCommands(const TextCommands&) = delete;
    TextCommands& operator=(const TextCommands&) = delete;

    // The menu commands, each with its file dialog.
    void ExportKeyset();
    void ExportAll();
    void ImportKeyset();
    void ImportKeysets();
    void NewFromTemplate();

    // The same with the file chosen; true when it was written or read (imported, or skipped as asked).
    // Export Keyset writes keyset `index` (the current one when none is given).
    bool ExportKeysetTo(const std::string& path, std::optional<int> index = std::nullopt);
    bool ExportAllTo(const std::string& path);
    bool ImportKeysetFrom(const std::string& path);
    bool ImportKeysetsFrom(const std::string& path);
    bool AddTemplate(std::size_t index);

    // Keysets `indexes` of the list (all when empty) as a text, to `path`.
    bool WriteText(const std::string& path, const std::vector<int>& indexes = {});
    // The keysets of text `bytes` (from `source`, as messages name it) join the list, conflicts answered
    // by `ask`; false when the text was refused or the user cancelled.
    bool ImportText(const std::string& bytes, const std::string& source, const AskConflict& ask);
    // Read the file at `path` as an import does; nothing, told, when it cannot be read.
    std::optional<std::string> ReadForImport(const std::string& path);
    // Leave the current keyset as it is after an import (the command line: the current keyset is the
    // user's and the driver's).
    void LeaveCurrent() { makeCurrent_ = false; }

private:
    void Apply(const std::vector<ImportStep>& steps, const std::vector<TextKeyset>& keysets);

    KeysetCommands& commands_;
    CollectionCommands& collections_;
    KeysetUi& ui_;
    CollectionUi& dialogs_;
    TextUi& texts_;
    const CodePage& codePage_;
    const TextCase& textCase_;
    bool makeCurrent_ = true; // the one keyset of a text becomes the current one
};

} // namespace qvl
