// Plays the keyboard output of the device's events in the order they came, one event after another: the
// keystrokes, the steps with their waits, the release steps and the keys a held button keeps down, and the
// repeats of a held button. The device's reader never waits for a wait: it hands each event's output over
// and goes on reading.
//
// When nothing plays, an event's output goes out at once on the thread that hands it over (the port's
// reader), exactly as a keystroke always has; if it reaches a wait, the rest is left to the player's loop,
// a thread that sleeps until Run says something is due or Wake is called. An event that comes while
// another one plays waits its turn whole, so that no key of one control comes between the keys of another.
// Mouse actions are not queued: they follow the wheel and the pointer as they are when their event comes
// (their input passes the record of what is held all the same).
//
// A press's steps may leave keys down ("Shift down"): the control holds them until its release, which plays
// the release steps and then lets go of whatever the press still holds. A wheel step holds nothing after
// it. A press that repeats while held plays again after the system's keyboard delay and then at its rate,
// each time the press has finished playing; its release stops the repeat the moment it is handed over,
// even while the press still waits its turn.
//
// The queue holds at most kMaxWaiting presses (wheel steps count as presses) behind the one that plays. A
// press beyond that is dropped: none of its keys go down, and its release then sends nothing. Whatever an
// event lets go of first (the keys of an earlier press whose release was lost) still goes; releases are
// never dropped.
//
// The player owns the record of what is held down. StopAll (Disable, Exit, Reload Driver, a lost port, the
// workstation's lock, the session's end) ends a wait at once, drops everything waiting and every repeat,
// and lets go of every key and button still down; the later release of a button held then sends nothing.
//
// One lock keeps the reader, the loop and StopAll apart; output is sent under it, a wait never is.
#pragma once

#include "driver/output/held_input.h"
#include "driver/output/input_synth.h"
#include "driver/output/keyboard_repeat.h"
#include "model/keyset_record.h"
#include "model/steps.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace qvl {

// Where the player runs: a steady clock, and the loop that calls Run.
class PlayerLoop {
public:
    PlayerLoop() = default;
    PlayerLoop(const PlayerLoop&) = delete;
    PlayerLoop& operator=(const PlayerLoop&) = delete;
    virtual std::uint64_t NowMs() = 0;
    // Run has something new to look at: an event waits, a wait or a repeat began, or everything stopped.
    virtual void Wake() = 0;

protected:
    ~PlayerLoop() = default;
};

// One thing to do, decided before it is done.
struct PlayItem {
    enum class Kind : std::uint8_t {
        kKey,     // a keystroke's key event, as keystrokes have always gone out
        kStepKey, // a step's key event, as a keyboard sends it
        kHoldKey, // a step's key-down that stays down: the control holds the key
        kText,    // characters typed
        kWait,    // a pause of `ms`
        kLetGo,   // every key the control still holds goes up
    };
    Kind kind = Kind::kKey;
    std::uint8_t vk = 0;
    bool up = false;
    std::uint16_t ms = 0;
    std::u16string text;
};
using PlayItems = std::vector<PlayItem>;

// What `steps` do, appended to `items`. A key step presses its modifiers (Ctrl, Alt, Shift, Win), then its
// key, then lets go of the key and the modifiers in reverse order; "down" leaves them down, "up" lets go
// of the key and then its modifiers. Without `withWaits` the waits are left out.
void AppendSteps(const Steps& steps, bool withWaits, PlayItems& items);

class CStepPlayer {
public:
    static constexpr std::size_t kMaxWaiting = 32;

    // Everything goes out through `input` (the trace, then the system), past the record of what is held.
    CStepPlayer(InputSynth& input, PlayerLoop& loop, KeyboardRepeat& repeat);
    CStepPlayer(const CStepPlayer&) = delete;
    CStepPlayer& operator=(const CStepPlayer&) = delete;

    // The keyboard output of one device event of `control`, from the reader's thread: what is put into it
    // goes out (or is queued) whole when it ends. It holds the player's lock meanwhile; nothing in it may
    // wait for anything else (the mouse's question, a window).
    class Event {
    public:
        enum class Kind { kPress, kRelease };
        // A press of a transport button that was already pressed (its release was lost) first lets go of
        // what that press held. A release stops the control's repeat now, then plays the release steps the
        // press left, then lets go of what the press still holds. Without `withWaits` (the editor's Test
        // window) steps play without their waits.
        Event(CStepPlayer& player, int control, Kind kind, bool withWaits = true);
        Event(const Event&) = delete;
        Event& operator=(const Event&) = delete;
        ~Event();

        // A transport press's steps: the keys they leave down stay down until the release.
        void PressSteps(const Steps& steps);
        // A wheel step's steps, played `passes` times, nothing held after each.
        void WheelSteps(const Steps& steps, int passes);
        // What the release of this press plays before it lets go.
        void ReleaseSteps(const Steps& steps);
        // While the button is held: the press steps again, or the keystroke's key-down again.
        void RepeatSteps(const Steps& steps);
        void RepeatKey(std::uint8_t vk);
        // At a release: the release steps it plays (null: none).
        const Steps* Releasing() const;

    private:
        std::unique_lock<std::mutex> hold_;
        CStepPlayer& player_;
    };

    // The keystroke object's input: inside an Event its key events join the event (or go out at once while
    // nothing plays); outside one they go straight out.
    InputSynth& Keys() { return keys_; }
    // The mouse's input: straight out, past the record of what is held, under the player's lock. Never
    // used inside an Event (the lock is not taken twice).
    InputSynth& Held() { return mouse_; }

    // From the loop: play what is due. The time the next thing is due, or nothing while nothing waits.
    std::optional<std::uint64_t> Run();
    // Stop playing, drop what waits and every repeat, let go of everything. Any thread.
    void StopAll();

    // For inspection: events waiting behind the one playing, and whether one plays.
    std::size_t Waiting() const;
    bool Playing() const;

private:
    struct Job {
        int control = 0;
        bool press = false;  // counts against the bound; starts the control's repeat when it begins
        bool repeat = false; // a repeat of the control's press
        PlayItems items;
        std::size_t next = 0;
    };
    struct Control {
        bool pressed = false; // a press was handed over and its release has not come
        bool dropped = false; // that press was dropped, or stopped: its release sends nothing
        Steps release;        // what its release plays
        bool repeatArmed = false;
        bool repeatScheduled = false; // the press began: the next repeat is due at repeatDue
        std::uint64_t repeatDue = 0;
        RepeatTiming timing;
        PlayItems repeatItems;
        std::vector<std::uint8_t> held; // keys its steps left down, in the order they went down
    };
    // Input from outside the player's events, one event at a time under its lock.
    class LockedInput : public InputSynth {
    public:
        explicit LockedInput(CStepPlayer& player) : player_(player) {}
        void Key(std::uint8_t vk, bool up) override;
        void StepKey(std::uint8_t vk, bool up) override;
        void Text(std::u16string_view text) override;
        void Mouse(std::uint32_t flags, std::int32_t dx, std::int32_t dy) override;

    protected:
        CStepPlayer& player_;
    };
    // The keystroke's: inside an event, into it.
    class EventKeys final : public LockedInput {
    public:
        using LockedInput::LockedInput;
        void Key(std::uint8_t vk, bool up) override;
    };

    void Open(int control, Event::Kind kind, bool withWaits);
    void OpenRelease(Control& state);
    bool MayHold(const Control& state) const;
    void Close();
    void Enqueue(Job job);
    bool Busy() const { return current_.has_value() || !queue_.empty(); }
    // The job begins: a press schedules its repeat, a repeat the next one.
    void Begin(Job& job);
    // Send the job's items up to its next wait (then true, the wait's end set) or its end (false).
    bool PlayUntilWait(Job& job);
    void Send(int control, const PlayItem& item);
    void LetGo(int control);
    bool HeldByAnother(int control, std::uint8_t vk) const;
    // The next job from the queue, else a repeat that is due; false when there is none.
    bool TakeNext(std::uint64_t now);
    std::optional<std::uint64_t> NextRepeatDue() const;
    Control* Transport(int control);

    CHeldInput held_;
    PlayerLoop& loop_;
    KeyboardRepeat& repeat_;
    EventKeys keys_{*this};
    LockedInput mouse_{*this};
    mutable std::mutex lock_;
    std::array<Control, kControlCount> controls_;
    std::optional<Job> current_; // playing, or in one of its waits
    std::uint64_t waitEnd_ = 0;  // the end of current_'s wait
    std::deque<Job> queue_;
    // The event being handed over, on the reader's thread; its vector keeps its room from event to event,
    // so a plain keystroke costs no allocation.
    bool open_ = false;
    bool direct_ = false; // nothing played when it opened: its keys go out as they come
    bool withWaits_ = true;
    bool discard_ = false; // the release of a dropped press
    Job building_;
    Steps releasing_;
};

} // namespace qvl
