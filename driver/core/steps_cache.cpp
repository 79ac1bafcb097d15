#include "driver/core/steps_cache.h"

#include <utility>

namespace qvl {

namespace {

const PlayableSteps kNoSteps;

} // namespace

const PlayableSteps& CStepsCache::Get(const CKeysetStore& store, int index, int bank, int control) {
    if (index < 0 || index >= store.GetCount() || bank < 0 || bank >= kBankCount || control < 0 ||
        control >= kControlCount)
        return kNoSteps;
    const auto slot = static_cast<std::size_t>(index);
    if (keysets_.size() <= slot)
        keysets_.resize(slot + 1);
    if (keysets_[slot] == nullptr)
        keysets_[slot] = Parse(store, index);
    return (*keysets_[slot])[static_cast<std::size_t>(bank * kControlCount + control)];
}

std::unique_ptr<CStepsCache::KeysetPlayable> CStepsCache::Parse(const CKeysetStore& store, int index) {
    auto playable = std::make_unique<KeysetPlayable>();
    const KeysetSteps stored = store.GetSteps(index);
    if (stored.Empty())
        return playable;
    const std::string name = store.GetName(index);
    for (int bank = 0; bank < kBankCount; ++bank) {
        for (int control = 0; control < kControlCount; ++control) {
            const AssignmentSteps& texts = stored.Get(bank, control);
            PlayableSteps& steps = (*playable)[static_cast<std::size_t>(bank * kControlCount + control)];
            steps.press = Read(name, bank, control, "press", texts.press);
            if (IsWheelControl(control))
                continue; // the wheel has its steps alone
            steps.release = Read(name, bank, control, "release", texts.release).value_or(Steps());
            steps.repeat = texts.repeat;
        }
    }
    return playable;
}

std::optional<Steps> CStepsCache::Read(const std::string& keyset, int bank, int control, const char* which,
                                       const std::string& text) {
    if (text.empty())
        return std::nullopt;
    StepsParse parsed = ParseSteps(text);
    if (parsed.Ok()) {
        if (parsed.steps.empty())
            return std::nullopt; // spaces alone
        return std::move(parsed.steps);
    }
    const std::string key =
        keyset + '\n' + std::to_string(bank) + '\n' + std::to_string(control) + '\n' + which + '\n' + text;
    if (told_.insert(key).second)
        problems_.push_back(StepsProblem{keyset, bank, control, which, text, DescribeStepsError(*parsed.error)});
    return std::nullopt;
}

} // namespace qvl
