#include "editor/app/text_commands.h"

#include "editor/app/keyset_templates.h"
#include "model/keyset_collection.h"
#include "model/whole_file.h"

#include <cctype>

namespace qvl {

namespace {

std::string LowerExtension(const std::string& path) {
    const std::size_t dot = path.find_last_of("./\\");
    if (dot == std::string::npos || path[dot] != '.')
        return "";
    std::string extension = path.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

// The comment an exported text begins with.
const std::vector<std::string> kExportComments = {
    "Keysets of the Quorvel 2, written by its keyset editor (QVL2.exe). Lines that begin with # are comments.",
    "Import them with File, Import Keysets..., or with QVL2.exe /import FILE.",
};

} // namespace

KeysetFileKind KindOfFileName(const std::string& path) {
    const std::string extension = LowerExtension(path);
    if (extension == "qvl")
        return KeysetFileKind::kKeysetFile;
    if (extension == "qvlx")
        return KeysetFileKind::kCollection;
    if (extension == "txt")
        return KeysetFileKind::kText;
    return KeysetFileKind::kUnknown;
}

TextCommands::TextCommands(KeysetCommands& commands, CollectionCommands& collections, KeysetUi& ui,
                           CollectionUi& dialogs, TextUi& texts, const CodePage& codePage, const TextCase& textCase)
    : commands_(commands), collections_(collections), ui_(ui), dialogs_(dialogs), texts_(texts), codePage_(codePage),
      textCase_(textCase) {}

void TextCommands::ExportKeyset() {
    const CKeysetStore* store = commands_.Store();
    if (store == nullptr || !commands_.CanExport())
        return;
    if (const std::optional<std::string> path = ui_.ChooseFileToExport(store->GetCurrentName()))
        ExportKeysetTo(*path);
}

void TextCommands::ExportAll() {
    if (commands_.Store() == nullptr)
        return;
    if (const std::optional<std::string> path = dialogs_.ChooseCollectionToExport())
        ExportAllTo(*path);
}

void TextCommands::ImportKeyset() {
    if (commands_.Store() == nullptr)
        return;
    if (const std::optional<std::string> path = ui_.ChooseFileToImport())
        ImportKeysetFrom(*path);
}

void TextCommands::ImportKeysets() {
    if (commands_.Store() == nullptr)
        return;
    if (const std::optional<std::string> path = dialogs_.ChooseKeysetsToImport())
        ImportKeysetsFrom(*path);
}

bool TextCommands::ExportKeysetTo(const std::string& path, std::optional<int> index) {
    const CKeysetStore* store = commands_.Store();
    if (store == nullptr)
        return false;
    const int keyset = index.value_or(store->GetCurrentIndex());
    if (KindOfFileName(path) == KeysetFileKind::kText)
        return WriteText(path, {keyset});
    return commands_.ExportFile(path, keyset);
}

bool TextCommands::ExportAllTo(const std::string& path) {
    if (KindOfFileName(path) == KeysetFileKind::kText)
        return WriteText(path);
    return collections_.ExportAllTo(path);
}

bool TextCommands::WriteText(const std::string& path, const std::vector<int>& indexes) {
    const CKeysetStore* store = commands_.Store();
    if (store == nullptr)
        return false;
    std::vector<TextKeyset> keysets;
    for (int index = 0; index < store->GetCount(); ++index) {
        bool wanted = indexes.empty();
        for (const int chosen : indexes)
            wanted = wanted || chosen == index;
        if (wanted)
            keysets.push_back(TextKeyset{*store->GetKeyset(index), store->GetRule(index), store->GetSteps(index)});
    }
    const WholeFileResult written = WriteFileReplacing(path, WriteKeysetText(keysets, codePage_, kExportComments));
    if (!written.done)
        commands_.TellFileResult({KeysetFileStatus::kCannotWrite, path, written.error});
    return written.done;
}

std::optional<std::string> TextCommands::ReadForImport(const std::string& path) {
    std::string bytes;
    const WholeFileResult got = ReadFileBounded(path, kCollectionReadLimit, bytes);
    if (!got.done) {
        commands_.TellFileResult({KeysetFileStatus::kCannotOpen, path, got.error});
        return std::nullopt;
    }
    return bytes;
}

bool TextCommands::ImportKeysetFrom(const std::string& path) {
    const std::optional<std::string> bytes = ReadForImport(path);
    if (!bytes)
        return false;
    if (IsKeysetText(*bytes))
        return ImportText(*bytes, path, [this](const std::string& name) { return dialogs_.AskConflict(name); });
    return commands_.ImportFile(path);
}

bool TextCommands::ImportKeysetsFrom(const std::string& path) {
    const std::optional<std::string> bytes = ReadForImport(path);
    if (!bytes)
        return false;
    if (IsKeysetText(*bytes))
        return ImportText(*bytes, path, [this](const std::string& name) { return dialogs_.AskConflict(name); });
    return collections_.ImportFrom(path);
}

bool TextCommands::ImportText(const std::string& bytes, const std::string& source, const AskConflict& ask) {
    CKeysetStore* store = commands_.Store();
    if (store == nullptr)
        return false;
    const KeysetTextRead read = bytes.size() > kKeysetTextReadLimit
                                    ? KeysetTextRead{{}, 1, "Line 1: The text is longer than 16 MiB."}
                                    : ReadKeysetText(bytes, codePage_);
    if (!read.Ok()) {
        ui_.Tell(kTextRefusedMessageId, source, read.error);
        return false;
    }
    std::vector<std::string> listed, names;
    for (int index = 0; index < store->GetCount(); ++index)
        listed.push_back(store->GetName(index));
    for (const TextKeyset& keyset : read.keysets)
        names.push_back(ReadField(keyset.record.header.appName));
    const std::optional<std::vector<ImportStep>> steps = PlanImport(listed, names, textCase_, ask);
    if (!steps)
        return false;
    bool changes = false;
    for (const ImportStep& step : *steps)
        changes = changes || step.kind != ImportStep::Kind::kSkip;
    if (!changes)
        return true;
    collections_.BackUp();
    Apply(*steps, read.keysets);
    commands_.SaveKeysets();
    commands_.RebuildKeysetsMenu();
    ui_.UpdateAllViews();
    return true;
}

void TextCommands::Apply(const std::vector<ImportStep>& steps, const std::vector<TextKeyset>& keysets) {
    CKeysetStore& store = *commands_.Store();
    // The plan's indexes are those of the list followed by the keysets it adds, in the order they are
    // added here.
    std::optional<int> placed;
    for (std::size_t n = 0; n < steps.size(); ++n) {
        KeysetRecord record = keysets[n].record;
        CopyToField(record.header.appName, steps[n].name.c_str());
        if (steps[n].kind == ImportStep::Kind::kAdd) {
            store.Add(record, keysets[n].rule, keysets[n].steps);
            placed = store.GetCount() - 1;
        } else if (steps[n].kind == ImportStep::Kind::kReplace) {
            store.SetKeyset(steps[n].replaces, record);
            store.SetRule(steps[n].replaces, keysets[n].rule);
            store.SetSteps(steps[n].replaces, keysets[n].steps);
            placed = steps[n].replaces;
        }
    }
    // The one keyset of a text is shown; the save that follows keeps the current index on it.
    if (makeCurrent_ && steps.size() == 1 && placed)
        commands_.SetCurrent(*placed);
}

void TextCommands::NewFromTemplate() {
    if (commands_.Store() == nullptr)
        return;
    std::vector<std::string> titles;
    for (const KeysetTemplate& shipped : kKeysetTemplates)
        titles.push_back(shipped.title);
    if (const std::optional<std::size_t> chosen = texts_.ChooseTemplate(titles))
        AddTemplate(*chosen);
}

bool TextCommands::AddTemplate(std::size_t index) {
    if (index >= std::size(kKeysetTemplates))
        return false;
    const KeysetTemplate& shipped = kKeysetTemplates[index];
    return ImportText(texts_.TemplateText(shipped.resourceId), shipped.title,
                      [this](const std::string& name) { return dialogs_.AskConflict(name); });
}

} // namespace qvl
