// The device's LED reports go to the shared block's wheelLedOn, which the editor's panel follows.
#pragma once

#include "driver/device/device_decoder.h"
#include "model/shared_info.h"

namespace qvl {

class SharedInfoLed final : public LedIndicator {
public:
    explicit SharedInfoLed(CSharedInfo& shared) : shared_(shared) {}
    void SetWheelLedOn(int on) override { shared_.SetWheelLedOn(on); }

private:
    CSharedInfo& shared_;
};

} // namespace qvl
