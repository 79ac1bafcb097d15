// The application base class of both programs: the platform name, the program's keyset store and
// the shared block, on top of the framework's application object.
//
// Each program determines the platform name first thing in its start-up, then creates the shared
// block before any document or window exists; ExitInstance releases the block. The store belongs to
// whoever creates it (the editor's document, the driver's application); the application only keeps
// a reference for the parts that reach the store through it.
#pragma once

#include "framework/application.h"
#include "model/keyset_store.h"
#include "model/shared_info.h"

#include <memory>
#include <string>

namespace qvl {

class CQVLApp : public framework::Application {
public:
    // `blocks` makes the named blocks; null: the system's file mappings.
    explicit CQVLApp(HINSTANCE instance, std::unique_ptr<NamedBlocks> blocks = nullptr);
    ~CQVLApp() override;

    // Ask the system for the platform name ("WINNT", "WIN95" or "WIN98") and keep it.
    void DeterminePlatformName();
    const std::string& GetOSName() const { return osName_; }
    void SetOSName(std::string name) { osName_ = std::move(name); }

    // Create the shared block object and map both blocks: true when both are mapped. The
    // object exists either way; a block that is not mapped reads as zero and ignores writes.
    bool CreateSharedInfo();
    // Map a block of this process alone in place of a shared block that could not be created, so a
    // program that goes on without the other one still keeps its own state. True when that worked.
    bool CreatePrivateSharedInfo();
    CSharedInfo* GetSharedInfo() const { return sharedInfo_.get(); }

    // Release the shared block, then the framework's exit processing.
    int ExitInstance() override;

    CKeysetStore* GetStore() const { return store_; }
    void SetStore(CKeysetStore* store) { store_ = store; }

    // The shared block's fields; without a block they read 0 and writes go nowhere.
    int GetCurrentKeysetIndex() const;
    void SetCurrentKeysetIndex(int index);
    int GetKeysetsChanged() const;
    void SetKeysetsChanged(int value);
    int GetWheelLedOn() const;

private:
    std::string osName_;
    CKeysetStore* store_ = nullptr;
    std::unique_ptr<NamedBlocks> blocks_;
    std::unique_ptr<NamedBlocks> privateBlocks_;
    std::unique_ptr<CSharedInfo> sharedInfo_;
};

} // namespace qvl
