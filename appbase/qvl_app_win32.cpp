#include "appbase/qvl_app_win32.h"

#include "model/memory_blocks.h"
#include "model/named_blocks_win32.h"
#include "model/platform_name.h"

namespace qvl {

CQVLApp::CQVLApp(HINSTANCE instance, std::unique_ptr<NamedBlocks> blocks)
    : Application(instance), blocks_(blocks != nullptr ? std::move(blocks) : std::make_unique<Win32NamedBlocks>()) {}

CQVLApp::~CQVLApp() {
    // The store refers to the block: whoever owns the store has let it go by now.
    sharedInfo_.reset();
}

void CQVLApp::DeterminePlatformName() {
    char name[kPlatformNameSize] = {};
    PlatformName(name);
    osName_ = name;
}

bool CQVLApp::CreateSharedInfo() {
    sharedInfo_ = std::make_unique<CSharedInfo>(*blocks_);
    return sharedInfo_->Create();
}

bool CQVLApp::CreatePrivateSharedInfo() {
    // A new object over memory of this process: the other program cannot see it, and nothing here
    // writes to a half-made shared block any more.
    privateBlocks_ = std::make_unique<MemoryBlocks>();
    auto info = std::make_unique<CSharedInfo>(*privateBlocks_);
    if (!info->Create())
        return false;
    sharedInfo_ = std::move(info);
    return true;
}

int CQVLApp::ExitInstance() {
    if (sharedInfo_ != nullptr) {
        sharedInfo_->Destroy();
        sharedInfo_.reset();
    }
    return Application::ExitInstance();
}

int CQVLApp::GetCurrentKeysetIndex() const {
    return sharedInfo_ != nullptr ? sharedInfo_->GetCurrentKeysetIndex() : 0;
}

void CQVLApp::SetCurrentKeysetIndex(int index) {
    if (sharedInfo_ != nullptr)
        sharedInfo_->SetCurrentKeysetIndex(index);
}

int CQVLApp::GetKeysetsChanged() const {
    return sharedInfo_ != nullptr ? sharedInfo_->GetKeysetsChanged() : 0;
}

void CQVLApp::SetKeysetsChanged(int value) {
    if (sharedInfo_ != nullptr)
        sharedInfo_->SetKeysetsChanged(value);
}

int CQVLApp::GetWheelLedOn() const {
    return sharedInfo_ != nullptr ? sharedInfo_->GetWheelLedOn() : 0;
}

} // namespace qvl
