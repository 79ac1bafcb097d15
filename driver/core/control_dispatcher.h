// Decides what a decoded control event does.
//
// For every event it first brings the keysets up to date and selects the keyset of the program in
// front (target tracking). With the editor in front the event goes to the editor's device panel as
// the command of the matching button; otherwise the assignment of the current keyset, bank and
// control drives the keystroke object and then the mouse object. Everything runs on the serial reader
// thread, inside the decoder's ProcessByte.
#pragma once

#include "driver/core/dispatch_notes.h"
#include "driver/core/steps_cache.h"
#include "driver/device/device_decoder.h"
#include "driver/output/click_targeting.h"
#include "driver/output/desktop.h"
#include "driver/output/input_synth.h"
#include "driver/output/keystroke_action.h"
#include "driver/output/mouse_action.h"
#include "driver/output/mouse_pointer.h"
#include "driver/output/process_rights.h"
#include "driver/output/process_source.h"
#include "driver/output/step_player.h"
#include "driver/output/user_question.h"
#include "model/keyset_registry.h"
#include "model/keyset_store.h"
#include "model/shared_names.h"
#include "model/text_case.h"
#include "model/window_rule.h"

#include <array>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace qvl {

// Told the outcome of every full run of target tracking, and of a title that chose another keyset: the
// keyset selected and why (`title "Video"`), or that the editor (and perhaps its Test dialog) is in
// front, which leaves the selection as it was; of a program the driver's input cannot reach; of an
// event the editor did not take; and of a reload or save of the keysets that failed. The driver application (its tray
// tip) and its trace listen; the calls come on the device's thread.
class TrackingObserver {
public:
    TrackingObserver() = default;
    TrackingObserver(const TrackingObserver&) = delete;
    TrackingObserver& operator=(const TrackingObserver&) = delete;
    virtual void ForegroundTracked(int keysetIndex, const std::string& name, bool editor, bool testDialog,
                                   const std::string& why) = 0;
    // The program in front runs above the driver: its presses are not sent. Once per program.
    virtual void ProgramUnreachable(const std::string& program) = 0;
    // The editor's panel did not take the command of an event in time; the event is dropped.
    virtual void ForwardDropped(int commandId) = 0;
    // The keysets could not be reloaded (`action` "reload") or saved ("save"): the driver goes on with
    // the ones it has.
    virtual void KeysetsFailed(const char* action, const StoreResult& result) = 0;
    // Steps went to the player: a press's (`which` "press") or a release's ("release"). Only the trace
    // listens; the call comes inside the player's event, so it must not wait for anything.
    virtual void StepsPlayed(int /*bank*/, int /*control*/, const char* /*which*/, const Steps& /*steps*/) {}
    // A stored text is not steps: its assignment sends its keystroke. Once for each text.
    virtual void StepsUnreadable(const StepsProblem& /*problem*/) {}

protected:
    ~TrackingObserver() = default;
};

class CControlDispatcher final : public ControlEventSink, public ClickTargetContext {
public:
    // The dispatcher makes its own mouse object unless it is handed one; either way the mouse object
    // asks it about the window in front and hands it a new click window to keep. Keys go out through the
    // player, in the order of the events; the mouse's input goes straight out past its record of what is
    // held.
    CControlDispatcher(CKeysetStore& store, CKeysetRegistry& keysets, Desktop& desktop, ProcessSource& processes,
                       const TextCase& textCase, CStepPlayer& player, MousePointer& pointer, UserQuestion& question,
                       std::unique_ptr<MouseOutput> mouse = nullptr);

    void HandleControlEvent(CDeviceDecoder& decoder) override;
    void ReleaseControl(CDeviceDecoder& decoder) override;

    // Forward the event to the editor's panel, or, with the Test dialog in front, fire its keystroke.
    int NotifyEditor(CDeviceDecoder& decoder);
    // Drive the output objects with the event's assignment (read once per event: it is a large record).
    void ExecuteAssignment(CDeviceDecoder& decoder, const std::optional<ControlAssignment>& assignment);
    // Make the text of the window in front the click target of the current event's assignment; the
    // caller saves the keysets.
    void StoreTargetWindowTitle();
    // StoreTargetWindowTitle, then save all keysets and tell the editor.
    void AcceptForegroundAsTarget() override;
    // Select the keyset for the window in front and note who that is. Runs in full when the window in
    // front changed or the keysets were reloaded for this event; otherwise it takes no process list and
    // reads at most the window's title, when some keyset has a title condition.
    void TrackForeground();

    bool EditorForeground() const { return editorForeground != 0; }
    bool TestDialogForeground() const { return testDialogForeground != 0; }
    WindowId LastForeground() const override { return lastForeground; }
    std::uint32_t ForegroundThreadId() const override { return foregroundThreadId; }
    int CurrentKeysetIndex() const { return store_.GetCurrentIndex(); }
    CKeystrokeAction& Keystroke() { return *keystroke; }
    // Null: nobody listens.
    void SetTrackingObserver(TrackingObserver* observer) { observer_ = observer; }
    // Null: every program counts as reachable.
    void SetProcessRights(ProcessRights* rights) { rights_ = rights; }
    // The program in front runs above the driver; its events are dropped.
    bool Unreachable() const { return unreachable_; }
    // Null: no on-screen note listens.
    void SetNotes(DispatchNotes* notes) { notes_ = notes; }
    MouseOutput& Mouse() { return *mouse; }

private:
    static constexpr int kTransportCount = 5; // controls 0 to 4; the wheel's keys never stay down

    std::optional<ControlAssignment> EventAssignment() const;
    // The steps of the event's control in the keyset in use (none for most), read once per load.
    const PlayableSteps& EventSteps();
    // The event's keys, through the player: the steps in the keystroke's place, or the keystroke; what
    // the release will play and let go of; the repeat while held.
    void SendKeys(CDeviceDecoder& decoder, const PlayableSteps& steps);
    void SendTransportKeys(CDeviceDecoder& decoder, const PlayableSteps& steps, CStepPlayer::Event& out);
    int KeysetIndexForLookup() const;
    void ReloadKeysets();
    void Report(const char* action, const StoreResult& result);
    // The one place where the keyset in use is set: the observer hears of it, with the reason.
    void SelectKeyset(int index, const std::string& why);
    // Target tracking (target_tracking.cpp): the choice for the program found, and the check that it
    // can be reached at all.
    void ChooseKeyset(WindowId foreground, bool tell);
    void CheckReachable(std::uint32_t processId);

    CKeysetStore& store_;
    CKeysetRegistry& keysets_;
    Desktop& desktop_;
    ProcessSource& processes_;
    const TextCase& textCase_; // a program is a keyset's by the rule of keyset names
    TrackingObserver* observer_ = nullptr;
    ProcessRights* rights_ = nullptr;
    KeysetChooser chooser_;
    CStepPlayer& player_;
    CStepsCache steps_;
    std::string foregroundProgram_; // the program whose window is in front (the hosted app's, in a host)
    std::string foregroundClass_;   // its window's class, read only when some rule asks for it
    bool emptyHost_ = false;        // the window in front is a host's frame with no app inside (yet)
    // The running programs at the last change of window, kept so that the next list reuses their room.
    std::vector<std::string> processNames_;
    std::vector<std::uint32_t> processIds_;
    bool unreachable_ = false;
    std::set<std::string> told_; // programs found unreachable, folded
    DispatchNotes* notes_ = nullptr;

    std::int32_t testDialogForeground = 0;
    std::unique_ptr<CKeystrokeAction> keystroke;
    std::unique_ptr<MouseOutput> mouse;
    std::int32_t editorForeground = 0;
    WindowId lastForeground = kNoWindow;
    std::uint32_t foregroundThreadId = 0;

    // The keysets were reloaded for this event, so the selection is made again. The shared flag itself
    // is cleared before the reload, not after the selection: a save by the editor that lands between
    // the two raises it again and is picked up by the next event instead of being lost.
    bool reselect_ = false;
    // The bank and control of the event being handled, for StoreTargetWindowTitle.
    int eventBank_ = 0;
    int eventControl_ = 0;
    // What each transport button's press sent while it is down (its keystroke, and the modifier keys
    // of a click made without a keystroke), so its release lets go of exactly those keys, whatever
    // keyset or program is current by then.
    std::array<std::optional<SentKeystroke>, kTransportCount> held_;
};

} // namespace qvl
