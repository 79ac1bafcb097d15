#include "editor/app/keyset_commands.h"

#include "editor/app/assignment_form.h"
#include "framework/file_names.h"
#include "model/keyset_file.h"
#include "model/stored_steps.h"

#include <cstring>

namespace qvl {

namespace {

constexpr long kNoSuchAssignment = 87; // the system's code for a call with a wrong argument

// The wheel half that shares its bank's name, mouse emulation, speed and target with `control`.
std::optional<int> OtherWheelHalf(int control) {
    if (!IsWheelControl(control))
        return std::nullopt;
    return control == kWheelCounterClockwise ? kWheelClockwise : kWheelCounterClockwise;
}

} // namespace

KeysetCommands::KeysetCommands(CSharedInfo& shared, const StringSource& names, KeysetStorage storage, KeysetUi& ui,
                               const TextCase& textCase)
    : shared_(shared), names_(names), keysets_(storage), ui_(ui), textCase_(textCase) {}

CKeysetStore& KeysetCommands::NewDocument() {
    store_ = std::make_unique<CKeysetStore>(shared_, names_);
    unsavedPaste_ = false;
    unwritten_ = false;
    loadPending_ = true;
    GlanceOrCreate(*store_, keysets_);
    return *store_;
}

bool KeysetCommands::FinishLoad() {
    if (!loadPending_ || store_ == nullptr)
        return false;
    loadPending_ = false;
    LoadOrCreate(*store_, keysets_);
    SaveKeysets();
    if (afterLoad_)
        afterLoad_();
    return true;
}

StoreResult KeysetCommands::SaveKeysets() {
    if (store_ == nullptr)
        return StoreResult();
    FinishLoad();
    if (beforeWrite_)
        beforeWrite_();
    const StoreResult saved = Noted(SaveAllKeysets(*store_, keysets_));
    if (saved.Done())
        unsavedPaste_ = false;
    return saved;
}

StoreResult KeysetCommands::ReloadKeysets() {
    // While the start's load is pending (the focus comes as the window shows) there is nothing to read
    // again: that load reads everything.
    if (store_ == nullptr || loadPending_)
        return StoreResult();
    if (unsavedPaste_ || unwritten_) {
        const StoreResult saved = SaveKeysets();
        if (!saved.Done())
            return saved;
    }
    return ReloadAllKeysets(*store_, keysets_);
}

StoreResult KeysetCommands::Noted(const StoreResult& result) {
    unwritten_ = !result.Done();
    if (result.Done()) {
        failureTold_ = false;
    } else if (!failureTold_) {
        failureTold_ = true;
        ui_.TellStoreFailure(kKeysetsNotSavedMessageId, result);
    }
    return result;
}

std::optional<int> KeysetCommands::FindByName(const std::string& name) const {
    if (store_ == nullptr)
        return std::nullopt;
    for (int index = 1; index < store_->GetCount(); ++index)
        if (store_->NameEquals(index, name))
            return index;
    return std::nullopt;
}

std::optional<int> KeysetCommands::FindSameTarget(const std::string& name) const {
    if (store_ == nullptr)
        return std::nullopt;
    // An exact match wins over one that differs in case, should both be in the list already.
    if (const std::optional<int> exact = store_->Find(name))
        return exact;
    for (int index = 0; index < store_->GetCount(); ++index)
        if (textCase_.Same(store_->GetName(index), name))
            return index;
    return std::nullopt;
}

void KeysetCommands::AddOrReplace(const KeysetRecord& record, const std::optional<WindowRule>& rule,
                                  const KeysetSteps& steps) {
    if (store_ == nullptr)
        return;
    auto keyset = std::make_unique<KeysetRecord>(record);
    const std::optional<int> index = FindSameTarget(ReadField(keyset->header.appName));
    if (index) {
        CopyToField(keyset->header.appName, store_->GetName(*index).c_str());
        store_->SetKeyset(*index, *keyset);
        store_->SetSteps(*index, steps);
        if (rule) // a file that says nothing of a rule leaves the keyset's own
            store_->SetRule(*index, *rule);
        SetCurrent(*index);
    } else {
        store_->Add(*keyset, rule.value_or(WindowRule()), steps);
        SetCurrent(store_->GetCount() - 1);
    }
    // The save puts the list in the order a load gives, and the current index follows the keyset,
    // so that it names the same keyset here and in the driver.
    SaveKeysets();
    RebuildKeysetsMenu();
    ui_.UpdateAllViews();
}

void KeysetCommands::DeleteKeyset(int index) {
    if (store_ == nullptr || index <= 0 || index >= store_->GetCount())
        return;
    if (beforeLoss_)
        beforeLoss_();
    const int current = store_->GetCurrentIndex();
    store_->RemoveAt(index);
    if (current >= index)
        SetCurrent(current - 1);
    SaveKeysets();
    RebuildKeysetsMenu();
    ui_.UpdateAllViews();
}

void KeysetCommands::SetCurrent(int index) {
    if (store_ != nullptr)
        store_->SetCurrentIndex(index);
}

StoreResult KeysetCommands::PutAssignment(const ControlAssignment& assignment, int keyset, int bank, int control) {
    FinishLoad();
    if (store_ == nullptr || !store_->GetAssignment(keyset, bank, control))
        return StoreResult::Failed(RegStatus::Error(kNoSuchAssignment));
    store_->SetAssignment(keyset, bank, control, assignment);
    const std::optional<int> otherHalf = OtherWheelHalf(control);
    if (otherHalf) {
        ControlAssignment other = *store_->GetAssignment(keyset, bank, *otherHalf);
        ShareWithOtherWheelHalf(assignment, other);
        store_->SetAssignment(keyset, bank, *otherHalf, other);
    }
    // One edit writes its values; a paste or a failed write still waiting goes with a save of the list.
    if (unsavedPaste_ || unwritten_)
        return SaveKeysets();
    if (beforeWrite_)
        beforeWrite_();
    StoreResult stored = StoreAssignment(*store_, keysets_, keyset, bank, control);
    if (otherHalf && stored.Done())
        stored = StoreAssignment(*store_, keysets_, keyset, bank, *otherHalf);
    return Noted(stored);
}

StoreResult KeysetCommands::PutSteps(const AssignmentSteps& steps, int keyset, int bank, int control) {
    FinishLoad();
    if (store_ == nullptr || !store_->GetAssignment(keyset, bank, control))
        return StoreResult::Failed(RegStatus::Error(kNoSuchAssignment));
    // The wheel's directions have steps on press alone.
    store_->SetAssignmentSteps(keyset, bank, control, StepsForControl(control, steps));
    if (unsavedPaste_ || unwritten_)
        return SaveKeysets();
    if (beforeWrite_)
        beforeWrite_();
    return Noted(StoreSteps(*store_, keysets_, keyset, bank, control));
}

AssignmentSteps KeysetCommands::FetchSteps(int keyset, int bank, int control) const {
    return store_ != nullptr ? store_->GetAssignmentSteps(keyset, bank, control) : AssignmentSteps();
}

bool KeysetCommands::FetchAssignment(ControlAssignment& assignment, int keyset, int bank, int control) const {
    if (store_ == nullptr)
        return false;
    const std::optional<ControlAssignment> stored = store_->GetAssignment(keyset, bank, control);
    if (!stored)
        return false;
    assignment = *stored;
    return true;
}

void KeysetCommands::RebuildKeysetsMenu() {
    ui_.ClearKeysetsMenu();
    if (store_ == nullptr)
        return;
    for (int index = 0; index < store_->GetCount(); ++index)
        ui_.AppendKeysetMenuItem(KeysetCaption(index));
}

std::string KeysetCommands::KeysetCaption(int index) const {
    if (store_ == nullptr)
        return std::string();
    const std::string name = store_->GetName(index);
    const std::string rule = DescribeRule(store_->GetRule(index), name, textCase_);
    return rule.empty() ? name : name + "  [" + rule + "]";
}

StoreResult KeysetCommands::SetRule(int index, const WindowRule& rule) {
    if (store_ == nullptr || index <= 0 || index >= store_->GetCount())
        return StoreResult();
    store_->SetRule(index, rule);
    const StoreResult saved = SaveKeysets();
    RebuildKeysetsMenu();
    ui_.UpdateAllViews();
    return saved;
}

void KeysetCommands::NewKeyset() {
    if (store_ == nullptr)
        return;
    const std::optional<std::string> program = ui_.ChooseTargetProgram();
    if (!program)
        return;
    const std::string name = textCase_.Lower(framework::FileTitleOf(*program));
    // A cut name would never match the program's process name, and an empty one cannot be stored.
    if (!IsStorableKeysetName(name)) {
        ui_.Tell(kNameTooLongMessageId, framework::FileTitleOf(*program));
        return;
    }
    if (FindSameTarget(name) && !ui_.AskYesNo(kNewReplaceQuestionId))
        return;
    auto record = std::make_unique<KeysetRecord>();
    InitKeyset(*record, name.c_str(), 0, names_);
    AddOrReplace(*record, WindowRule(), KeysetSteps()); // a new keyset serves all of its program's windows
}

void KeysetCommands::ImportKeyset() {
    if (store_ == nullptr)
        return;
    if (const std::optional<std::string> path = ui_.ChooseFileToImport())
        ImportFile(*path);
}

bool KeysetCommands::ImportFile(const std::string& path) {
    if (store_ == nullptr)
        return false;
    auto record = std::make_unique<KeysetRecord>();
    CKeysetFile file;
    file.Init(path, record.get());
    const KeysetFileResult read = file.Read();
    if (!read.Done()) {
        TellFileResult(read);
        return false;
    }
    const std::string name = ReadField(record->header.appName);
    if (!IsStorableKeysetName(name)) {
        TellFileResult({KeysetFileStatus::kNotValid, path, 0});
        return false;
    }
    // The question is about the keyset the file would replace: the one its record names.
    if (FindSameTarget(name) && !ui_.AskYesNo(kImportReplaceQuestionId))
        return true;
    AddOrReplace(*record, file.Rule(), file.Steps());
    return true;
}

void KeysetCommands::ExportKeyset() {
    if (!CanExport())
        return;
    if (const std::optional<std::string> path = ui_.ChooseFileToExport(store_->GetCurrentName()))
        ExportFile(*path);
}

bool KeysetCommands::ExportFile(const std::string& path) {
    if (store_ == nullptr)
        return false;
    std::optional<KeysetRecord> keyset = store_->GetCurrentKeyset();
    CKeysetFile file;
    file.Init(path, keyset ? &*keyset : nullptr);
    file.SetRule(store_->GetRule(store_->GetCurrentIndex()));
    file.SetSteps(store_->GetSteps(store_->GetCurrentIndex()));
    const KeysetFileResult written = file.Write();
    TellFileResult(written);
    return written.Done();
}

void KeysetCommands::TellFileResult(const KeysetFileResult& result) {
    // The system's reason, when the C library knows one, follows the text after an empty line.
    const std::string reason = result.error != 0 ? std::string("\n\n") + std::strerror(result.error) + "." : "";
    switch (result.status) {
        case KeysetFileStatus::kDone:
            return;
        case KeysetFileStatus::kCannotOpen:
            ui_.Tell(kFileNotReadMessageId, result.path, reason);
            return;
        case KeysetFileStatus::kNotValid:
            ui_.Tell(kNotAKeysetFileMessageId, result.path);
            return;
        case KeysetFileStatus::kCannotWrite:
            ui_.Tell(kFileNotWrittenMessageId, result.path, reason);
            return;
        case KeysetFileStatus::kStepsDamaged:
            ui_.Tell(kFileStepsDamagedMessageId, result.path);
            return;
    }
}

void KeysetCommands::CopyKeyset() {
    if (!HasCurrentKeyset())
        return;
    if (clipboard_ == nullptr)
        clipboard_ = std::make_unique<KeysetRecord>();
    *clipboard_ = *store_->GetCurrentKeyset();
    clipboardSteps_ = store_->GetSteps(store_->GetCurrentIndex());
}

void KeysetCommands::PasteKeyset() {
    if (clipboard_ == nullptr || !HasCurrentKeyset())
        return;
    // The pasted keyset keeps the identity of the one it replaces.
    CopyToField(clipboard_->header.appName, store_->GetCurrentName().c_str());
    store_->SetCurrentKeyset(*clipboard_);
    store_->SetSteps(store_->GetCurrentIndex(), clipboardSteps_);
    unsavedPaste_ = true;
    ui_.UpdateAllViews();
}

void KeysetCommands::ClearKeyset() {
    if (!HasCurrentKeyset())
        return;
    if (beforeLoss_)
        beforeLoss_();
    auto record = std::make_unique<KeysetRecord>();
    InitKeyset(*record, store_->GetCurrentName().c_str(), 0, names_);
    store_->SetCurrentKeyset(*record);
    store_->SetSteps(store_->GetCurrentIndex(), KeysetSteps());
    SaveKeysets();
    ui_.UpdateAllViews();
}

void KeysetCommands::DeleteCurrentKeyset() {
    if (!CanDelete() || !ui_.AskYesNo(kDeleteQuestionId))
        return;
    DeleteKeyset(store_->GetCurrentIndex());
}

bool KeysetCommands::CurrentIsUserKeyset() const {
    return HasCurrentKeyset() && store_->GetCurrentIndex() != 0;
}

bool KeysetCommands::HasCurrentKeyset() const {
    if (store_ == nullptr)
        return false;
    const int index = store_->GetCurrentIndex();
    return index >= 0 && index < store_->GetCount();
}

} // namespace qvl
