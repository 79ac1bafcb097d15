#include "driver/output/step_player.h"

#include "driver/output/modifier_keys.h"

#include <algorithm>
#include <utility>

namespace qvl {

namespace {

constexpr std::uint8_t kVkLeftWin = 0x5B;

// The modifier keys of a chord, in the order they go down.
struct ModifierKey {
    std::uint8_t bit;
    std::uint8_t vk;
};
constexpr ModifierKey kModifierKeys[] = {
    {kStepCtrl, kVkControl},
    {kStepAlt, kVkMenu},
    {kStepShift, kVkShift},
    {kStepWin, kVkLeftWin},
};

PlayItem KeyItem(PlayItem::Kind kind, std::uint8_t vk, bool up) {
    PlayItem item;
    item.kind = kind;
    item.vk = vk;
    item.up = up;
    return item;
}

void AppendChordDown(const KeyChord& chord, PlayItem::Kind kind, PlayItems& items) {
    for (const ModifierKey& modifier : kModifierKeys)
        if ((chord.modifiers & modifier.bit) != 0)
            items.push_back(KeyItem(kind, modifier.vk, false));
    items.push_back(KeyItem(kind, chord.vk, false));
}

void AppendChordUp(const KeyChord& chord, PlayItems& items) {
    items.push_back(KeyItem(PlayItem::Kind::kStepKey, chord.vk, true));
    for (auto modifier = std::rbegin(kModifierKeys); modifier != std::rend(kModifierKeys); ++modifier)
        if ((chord.modifiers & modifier->bit) != 0)
            items.push_back(KeyItem(PlayItem::Kind::kStepKey, modifier->vk, true));
}

bool IsKeyDown(const PlayItem& item) {
    switch (item.kind) {
        case PlayItem::Kind::kKey:
        case PlayItem::Kind::kStepKey:
            return !item.up;
        case PlayItem::Kind::kHoldKey:
        case PlayItem::Kind::kText:
        case PlayItem::Kind::kWait:
            return true;
        default:
            return false;
    }
}

} // namespace

void AppendSteps(const Steps& steps, bool withWaits, PlayItems& items) {
    for (const Step& step : steps) {
        switch (step.kind) {
            case StepKind::kTap:
                AppendChordDown(step.chord, PlayItem::Kind::kStepKey, items);
                AppendChordUp(step.chord, items);
                break;
            case StepKind::kDown:
                AppendChordDown(step.chord, PlayItem::Kind::kHoldKey, items);
                break;
            case StepKind::kUp:
                AppendChordUp(step.chord, items);
                break;
            case StepKind::kText: {
                PlayItem text;
                text.kind = PlayItem::Kind::kText;
                text.text = step.text;
                items.push_back(std::move(text));
                break;
            }
            case StepKind::kWait:
                if (withWaits) {
                    PlayItem wait;
                    wait.kind = PlayItem::Kind::kWait;
                    wait.ms = step.ms;
                    items.push_back(std::move(wait));
                }
                break;
        }
    }
}

CStepPlayer::CStepPlayer(InputSynth& input, PlayerLoop& loop, KeyboardRepeat& repeat)
    : held_(input), loop_(loop), repeat_(repeat) {}

// --- The event handed over -------------------------------------------------------------------------

CStepPlayer::Event::Event(CStepPlayer& player, int control, Kind kind, bool withWaits)
    : hold_(player.lock_), player_(player) {
    player_.Open(control, kind, withWaits);
}

CStepPlayer::Event::~Event() {
    player_.Close();
}

void CStepPlayer::Event::PressSteps(const Steps& steps) {
    AppendSteps(steps, player_.withWaits_, player_.building_.items);
}

void CStepPlayer::Event::WheelSteps(const Steps& steps, int passes) {
    for (int pass = 0; pass < passes; ++pass) {
        AppendSteps(steps, player_.withWaits_, player_.building_.items);
        player_.building_.items.push_back(KeyItem(PlayItem::Kind::kLetGo, 0, true));
    }
}

void CStepPlayer::Event::ReleaseSteps(const Steps& steps) {
    if (Control* state = player_.Transport(player_.building_.control))
        state->release = steps;
}

void CStepPlayer::Event::RepeatSteps(const Steps& steps) {
    Control* state = player_.Transport(player_.building_.control);
    if (state == nullptr)
        return;
    state->repeatItems.clear();
    AppendSteps(steps, player_.withWaits_, state->repeatItems);
    state->repeatArmed = true;
    state->timing = player_.repeat_.Timing();
}

void CStepPlayer::Event::RepeatKey(std::uint8_t vk) {
    Control* state = player_.Transport(player_.building_.control);
    if (state == nullptr)
        return;
    state->repeatItems.assign(1, KeyItem(PlayItem::Kind::kKey, vk, false));
    state->repeatArmed = true;
    state->timing = player_.repeat_.Timing();
}

const Steps* CStepPlayer::Event::Releasing() const {
    return player_.releasing_.empty() ? nullptr : &player_.releasing_;
}

CStepPlayer::Control* CStepPlayer::Transport(int control) {
    return control >= kPlay && control <= kRecord ? &controls_[static_cast<std::size_t>(control)] : nullptr;
}

void CStepPlayer::Open(int control, Event::Kind kind, bool withWaits) {
    open_ = true;
    direct_ = !Busy();
    withWaits_ = withWaits;
    discard_ = false;
    releasing_.clear();
    building_.control = control;
    building_.press = kind == Event::Kind::kPress;
    building_.repeat = false;
    building_.next = 0;
    Control* state = Transport(control);
    if (state == nullptr)
        return;
    if (kind == Event::Kind::kRelease) {
        OpenRelease(*state);
        return;
    }
    // A press while the last one was never released: what that one holds goes first, and its repeat and
    // release steps end with it.
    if (state->pressed && MayHold(*state))
        building_.items.push_back(KeyItem(PlayItem::Kind::kLetGo, 0, true));
    state->pressed = true;
    state->dropped = false;
    state->release.clear();
    state->repeatArmed = false;
    state->repeatScheduled = false;
}

// While something plays, a press waiting its turn may still take keys; else what is held is known now.
bool CStepPlayer::MayHold(const Control& state) const {
    return !direct_ || !state.held.empty();
}

void CStepPlayer::OpenRelease(Control& state) {
    state.repeatArmed = false; // now, not when the release's turn comes
    state.repeatScheduled = false;
    if (state.dropped) {
        discard_ = true; // none of its press's keys went down
    } else if (state.pressed) {
        releasing_ = std::move(state.release);
        AppendSteps(releasing_, withWaits_, building_.items);
        if (!releasing_.empty() || MayHold(state))
            building_.items.push_back(KeyItem(PlayItem::Kind::kLetGo, 0, true));
    }
    state.pressed = false;
    state.dropped = false;
    state.release.clear();
}

// A keystroke with nothing playing goes out at once, on the reader's thread, as it always has.
void CStepPlayer::EventKeys::Key(std::uint8_t vk, bool up) {
    if (!player_.open_)
        LockedInput::Key(vk, up);
    else if (player_.direct_ && player_.building_.items.empty())
        player_.held_.Key(vk, up);
    else
        player_.building_.items.push_back(KeyItem(PlayItem::Kind::kKey, vk, up));
}

void CStepPlayer::LockedInput::Key(std::uint8_t vk, bool up) {
    std::lock_guard<std::mutex> hold(player_.lock_);
    player_.held_.Key(vk, up);
}

void CStepPlayer::LockedInput::StepKey(std::uint8_t vk, bool up) {
    std::lock_guard<std::mutex> hold(player_.lock_);
    player_.held_.StepKey(vk, up);
}

void CStepPlayer::LockedInput::Text(std::u16string_view text) {
    std::lock_guard<std::mutex> hold(player_.lock_);
    player_.held_.Text(text);
}

void CStepPlayer::LockedInput::Mouse(std::uint32_t flags, std::int32_t dx, std::int32_t dy) {
    std::lock_guard<std::mutex> hold(player_.lock_);
    player_.held_.Mouse(flags, dx, dy);
}

void CStepPlayer::Close() {
    open_ = false;
    Control* state = Transport(building_.control);
    const bool repeats = building_.press && state != nullptr && state->repeatArmed;
    if (discard_ || (building_.items.empty() && !repeats)) {
        building_.items.clear();
        return;
    }
    if (Busy()) {
        Enqueue(std::exchange(building_, Job()));
        loop_.Wake();
        return;
    }
    // Nothing plays: at once, on this thread, as far as the first wait.
    Begin(building_);
    if (PlayUntilWait(building_)) {
        current_ = std::exchange(building_, Job());
        loop_.Wake();
        return;
    }
    building_.items.clear();
    if (repeats)
        loop_.Wake();
}

void CStepPlayer::Enqueue(Job job) {
    const auto waitingPresses =
        static_cast<std::size_t>(std::count_if(queue_.begin(), queue_.end(), [](const Job& j) { return j.press; }));
    if (job.press && waitingPresses >= kMaxWaiting) {
        // Dropped: only what it lets go of before its first key goes down is kept.
        const auto firstDown = std::find_if(job.items.begin(), job.items.end(), IsKeyDown);
        job.items.erase(firstDown, job.items.end());
        job.press = false;
        if (Control* state = Transport(job.control)) {
            state->dropped = true;
            state->repeatArmed = false;
            state->release.clear();
        }
        if (job.items.empty())
            return;
    }
    queue_.push_back(std::move(job));
}

// --- Playing ---------------------------------------------------------------------------------------

void CStepPlayer::Begin(Job& job) {
    Control* state = Transport(job.control);
    if (state == nullptr || !state->repeatArmed)
        return;
    if (job.press && !state->repeatScheduled) {
        state->repeatScheduled = true;
        state->repeatDue = loop_.NowMs() + state->timing.delayMs;
    } else if (job.repeat) {
        state->repeatDue = loop_.NowMs() + std::max<std::uint32_t>(state->timing.intervalMs, 1);
    }
}

bool CStepPlayer::PlayUntilWait(Job& job) {
    while (job.next < job.items.size()) {
        const PlayItem& item = job.items[job.next++];
        if (item.kind == PlayItem::Kind::kWait) {
            waitEnd_ = loop_.NowMs() + item.ms;
            return true;
        }
        Send(job.control, item);
    }
    return false;
}

void CStepPlayer::Send(int control, const PlayItem& item) {
    std::vector<std::uint8_t>& held = controls_[static_cast<std::size_t>(control)].held;
    switch (item.kind) {
        case PlayItem::Kind::kKey:
            held_.Key(item.vk, item.up);
            break;
        case PlayItem::Kind::kStepKey:
            held_.StepKey(item.vk, item.up);
            if (item.up) // whoever held it does not any more
                for (Control& other : controls_)
                    other.held.erase(std::remove(other.held.begin(), other.held.end(), item.vk), other.held.end());
            break;
        case PlayItem::Kind::kHoldKey:
            held_.StepKey(item.vk, false);
            if (std::find(held.begin(), held.end(), item.vk) == held.end())
                held.push_back(item.vk);
            break;
        case PlayItem::Kind::kText:
            held_.Text(item.text);
            break;
        case PlayItem::Kind::kLetGo:
            LetGo(control);
            break;
        case PlayItem::Kind::kWait:
            break;
    }
}

// Last down, first up; a key another held control holds too stays down for it.
void CStepPlayer::LetGo(int control) {
    const std::vector<std::uint8_t> held = std::exchange(controls_[static_cast<std::size_t>(control)].held, {});
    for (auto vk = held.rbegin(); vk != held.rend(); ++vk)
        if (!HeldByAnother(control, *vk))
            held_.StepKey(*vk, true);
}

bool CStepPlayer::HeldByAnother(int control, std::uint8_t vk) const {
    for (std::size_t other = 0; other < controls_.size(); ++other) {
        const std::vector<std::uint8_t>& held = controls_[other].held;
        if (static_cast<int>(other) != control && std::find(held.begin(), held.end(), vk) != held.end())
            return true;
    }
    return false;
}

std::optional<std::uint64_t> CStepPlayer::Run() {
    std::lock_guard<std::mutex> hold(lock_);
    for (;;) {
        const std::uint64_t now = loop_.NowMs();
        if (!current_ && !TakeNext(now))
            return NextRepeatDue();
        if (waitEnd_ > now)
            return waitEnd_;
        if (PlayUntilWait(*current_))
            return waitEnd_;
        current_.reset();
    }
}

bool CStepPlayer::TakeNext(std::uint64_t now) {
    waitEnd_ = 0;
    if (!queue_.empty()) {
        current_ = std::move(queue_.front());
        queue_.pop_front();
        Begin(*current_);
        return true;
    }
    for (std::size_t control = 0; control < controls_.size(); ++control) {
        const Control& state = controls_[control];
        if (state.repeatArmed && state.repeatScheduled && state.repeatDue <= now) {
            Job repeat;
            repeat.control = static_cast<int>(control);
            repeat.repeat = true;
            repeat.items = state.repeatItems;
            current_ = std::move(repeat);
            Begin(*current_);
            return true;
        }
    }
    return false;
}

std::optional<std::uint64_t> CStepPlayer::NextRepeatDue() const {
    std::optional<std::uint64_t> due;
    for (const Control& state : controls_)
        if (state.repeatArmed && state.repeatScheduled && (!due || state.repeatDue < *due))
            due = state.repeatDue;
    return due;
}

void CStepPlayer::StopAll() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        current_.reset();
        queue_.clear();
        waitEnd_ = 0;
        // A button held now comes up later (after Enable, after the unlock): its release then sends
        // nothing, as if its press had been dropped. What was down goes up here.
        for (Control& state : controls_) {
            const bool pressed = state.pressed;
            state = Control();
            state.dropped = pressed;
        }
        held_.ReleaseAll();
    }
    loop_.Wake();
}

std::size_t CStepPlayer::Waiting() const {
    std::lock_guard<std::mutex> hold(lock_);
    return queue_.size();
}

bool CStepPlayer::Playing() const {
    std::lock_guard<std::mutex> hold(lock_);
    return current_.has_value();
}

} // namespace qvl
