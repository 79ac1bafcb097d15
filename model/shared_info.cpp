#include "model/shared_info.h"

namespace qvl {

CSharedInfo::~CSharedInfo() {
    Destroy();
}

bool CSharedInfo::Create() {
    Destroy();
    bool result = true;
    infoBlock_ = blocks_.Open(kSharedInfoName, sizeof(SharedInfo));
    if (infoBlock_ != nullptr)
        info_ = static_cast<volatile SharedInfo*>(infoBlock_->Address());
    else
        result = false;
    SetWheelLedOn(1);
    dataArea_ = blocks_.Open(kDataAreaName, kDataAreaSize);
    if (dataArea_ != nullptr)
        dataValue_ =
            reinterpret_cast<volatile std::int32_t*>(static_cast<char*>(dataArea_->Address()) + kDataValueOffset);
    else
        result = false;
    SetPortOpen(1);
    return result;
}

void CSharedInfo::Destroy() {
    info_ = nullptr;
    infoBlock_.reset();
    dataValue_ = nullptr;
    dataArea_.reset();
}

int CSharedInfo::GetCurrentKeysetIndex() const {
    return info_ != nullptr ? info_->currentKeyset : 0;
}

void CSharedInfo::SetCurrentKeysetIndex(int index) {
    if (info_ != nullptr)
        info_->currentKeyset = static_cast<std::int16_t>(static_cast<std::uint16_t>(index & 0xFFFF));
}

int CSharedInfo::GetKeysetsChanged() const {
    return info_ != nullptr ? info_->keysetsChanged : 0;
}

void CSharedInfo::SetKeysetsChanged(int value) {
    if (info_ != nullptr)
        info_->keysetsChanged = value;
}

int CSharedInfo::GetWheelLedOn() const {
    return info_ != nullptr ? info_->wheelLedOn : 0;
}

void CSharedInfo::SetWheelLedOn(int value) {
    if (info_ != nullptr)
        info_->wheelLedOn = value;
}

int CSharedInfo::GetPortOpen() const {
    return info_ != nullptr ? info_->portOpen : 0;
}

void CSharedInfo::SetPortOpen(int value) {
    if (info_ != nullptr)
        info_->portOpen = value;
}

void CSharedInfo::SetDataValue(std::int32_t value) {
    if (dataValue_ != nullptr)
        *dataValue_ = value;
}

std::int32_t CSharedInfo::GetDataValue() const {
    return dataValue_ != nullptr ? *dataValue_ : 0;
}

} // namespace qvl
