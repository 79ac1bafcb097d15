#include "driver/core/control_dispatcher.h"

#include <cstring>
#include <utility>

namespace qvl {

namespace {

bool IsScrollMode(std::int16_t mouseMode) {
    return mouseMode == kHorizontalScroll || mouseMode == kVerticalScroll;
}

bool IsTransport(int control) {
    return control >= kPlay && control <= kRecord;
}

} // namespace

CControlDispatcher::CControlDispatcher(CKeysetStore& store, CKeysetRegistry& keysets, Desktop& desktop,
                                       ProcessSource& processes, const TextCase& textCase, CStepPlayer& player,
                                       MousePointer& pointer, UserQuestion& question,
                                       std::unique_ptr<MouseOutput> mouse)
    : store_(store), keysets_(keysets), desktop_(desktop), processes_(processes), textCase_(textCase),
      chooser_(textCase), player_(player), mouse(std::move(mouse)) {
    if (keystroke == nullptr)
        keystroke = std::make_unique<CKeystrokeAction>(player.Keys());
    if (this->mouse == nullptr)
        this->mouse = std::make_unique<CMouseAction>(
            player.Held(), MousePorts{desktop, pointer, question, store.Names(), store.Shared()});
    this->mouse->Attach(*this);
}

void CControlDispatcher::HandleControlEvent(CDeviceDecoder& decoder) {
    eventBank_ = decoder.BankIndex();
    eventControl_ = decoder.ControlIndex();
    CSharedInfo& shared = store_.Shared();
    if (shared.GetKeysetsChanged() != 0) {
        shared.SetKeysetsChanged(0);
        ReloadKeysets();
        reselect_ = true;
        if (notes_ != nullptr)
            notes_->KeysetsReloaded();
    }
    TrackForeground();
    if (editorForeground != 0) {
        NotifyEditor(decoder);
        return;
    }
    if (unreachable_)
        return; // the system would drop the input; the user was told once
    // A click point still to be captured: the editor's panel captures it while this waits, then the
    // assignment is read again with its new target.
    std::optional<ControlAssignment> assignment = EventAssignment();
    if (assignment && assignment->captureOnFirstPress != 0 && assignment->windowTitle[0] == '\0' &&
        assignment->windowClass[0] == '\0') {
        NotifyEditor(decoder);
        ReloadKeysets();
        assignment = EventAssignment();
    }
    ExecuteAssignment(decoder, assignment);
}

int CControlDispatcher::NotifyEditor(CDeviceDecoder& decoder) {
    const WindowId editor = desktop_.FindTopLevelWindow(kEditorWindowTitle);
    char text[kWindowTextSize];
    desktop_.WindowText(desktop_.ForegroundWindow(), text, sizeof text);
    if (std::strcmp(text, kTestDialogTitle) != 0) {
        if (editor != kNoWindow) {
            const WindowId panel = desktop_.FindChildWindow(editor, kEditorPanelClass, "");
            if (panel != kNoWindow && !desktop_.SendCommand(panel, decoder.EditorControlId()) && observer_ != nullptr)
                observer_->ForwardDropped(decoder.EditorControlId());
        }
    } else if (decoder.FireAssignment()) {
        ExecuteAssignment(decoder, EventAssignment()); // the Test dialog shows the keystrokes it receives
    }
    return 0;
}

void CControlDispatcher::ExecuteAssignment(CDeviceDecoder& decoder,
                                           const std::optional<ControlAssignment>& assignment) {
    if (!decoder.FireAssignment())
        return;
    if (!assignment)
        return;
    const int control = decoder.ControlIndex();
    CWheelTracker& wheel = decoder.Wheel();
    keystroke->Load(*assignment, control);
    if (!IsScrollMode(assignment->mouseMode) && mouse->IsScrollActive())
        mouse->EndScroll(wheel);
    const PlayableSteps& steps = EventSteps();
    SendKeys(decoder, steps);
    if (editorForeground != 0)
        return; // the Test dialog only receives keystrokes
    if (decoder.MessageKind() == CDeviceDecoder::kButtonMessage)
        mouse->EndWheelMotion(wheel); // a running scroll is left alone
    if (assignment->mouseMode != kMouseNone) {
        mouse->Load(*assignment, control, foregroundThreadId);
        mouse->Execute(decoder.Magnitude(), wheel);
        // A click pressed modifier keys the keystroke did not (an assignment whose key code names no
        // key): the release lets go of them too.
        if (IsTransport(control)) {
            std::optional<SentKeystroke>& held = held_[static_cast<std::size_t>(control)];
            if (held && held->keyCode == 0)
                held->modifierCode = mouse->ClickModifierCode();
        }
    }
    if (notes_ != nullptr)
        notes_->ActionSent(eventBank_, control, *assignment, decoder.Magnitude(),
                           steps.press ? &*steps.press : nullptr);
}

const PlayableSteps& CControlDispatcher::EventSteps() {
    const PlayableSteps& steps = steps_.Get(store_, KeysetIndexForLookup(), eventBank_, eventControl_);
    if (steps_.HasProblems() && observer_ != nullptr)
        for (const StepsProblem& problem : steps_.TakeProblems())
            observer_->StepsUnreadable(problem);
    return steps;
}

void CControlDispatcher::SendKeys(CDeviceDecoder& decoder, const PlayableSteps& steps) {
    const int control = decoder.ControlIndex();
    int passes = 1;
    {
        // The Test dialog shows what the steps type, without their waits.
        CStepPlayer::Event out(player_, control, CStepPlayer::Event::Kind::kPress, editorForeground == 0);
        if (IsTransport(control))
            SendTransportKeys(decoder, steps, out);
        else if (!steps.press)
            keystroke->Execute(decoder.Magnitude(), decoder.Wheel());
        else if ((passes = keystroke->Passes(decoder.Magnitude())) > 0)
            out.WheelSteps(*steps.press, passes); // where the keystroke would have gone out
    }
    // Told once the steps' first keys are out, not before them.
    if (steps.press && passes > 0 && observer_ != nullptr)
        observer_->StepsPlayed(eventBank_, control, "press", *steps.press);
}

void CControlDispatcher::SendTransportKeys(CDeviceDecoder& decoder, const PlayableSteps& steps,
                                           CStepPlayer::Event& out) {
    // A second press without a release between (the release was lost on the line): the keys the first
    // one sent come up now, as no release would reach them once this press replaces them.
    std::optional<SentKeystroke>& held = held_[static_cast<std::size_t>(decoder.ControlIndex())];
    if (held)
        keystroke->Release(*std::exchange(held, std::nullopt));
    if (steps.press) {
        out.PressSteps(*steps.press);
        held = SentKeystroke{};
        if (steps.repeat)
            out.RepeatSteps(*steps.press);
    } else {
        const bool sent = keystroke->Execute(decoder.Magnitude(), decoder.Wheel());
        held = sent ? keystroke->Loaded() : SentKeystroke{};
        // A key left down repeats; one tapped while the wheel turns has nothing to repeat.
        if (steps.repeat && sent && decoder.Wheel().Running() == 0)
            out.RepeatKey(CKeystrokeAction::VirtualKey(keystroke->KeyCode()));
    }
    if (!steps.release.empty())
        out.ReleaseSteps(steps.release);
}

void CControlDispatcher::ReleaseControl(CDeviceDecoder& decoder) {
    eventBank_ = decoder.BankIndex();
    eventControl_ = decoder.ControlIndex();
    std::optional<SentKeystroke> held;
    if (IsTransport(eventControl_))
        held = std::exchange(held_[static_cast<std::size_t>(eventControl_)], std::nullopt);
    {
        // The repeat stops now; the release steps of the press play, then whatever it holds goes up.
        CStepPlayer::Event out(player_, eventControl_, CStepPlayer::Event::Kind::kRelease,
                               editorForeground == 0 || testDialogForeground == 0);
        if (const Steps* releasing = out.Releasing(); releasing != nullptr && observer_ != nullptr)
            observer_->StepsPlayed(eventBank_, eventControl_, "release", *releasing);
        if (held) {
            // The keys its press sent, even when another keyset, another program or the editor is current
            // now: anything else would leave them down.
            keystroke->Release(*held);
        } else if (!unreachable_ && (editorForeground == 0 || testDialogForeground != 0)) {
            if (const std::optional<ControlAssignment> assignment = EventAssignment()) {
                keystroke->Load(*assignment, eventControl_);
                keystroke->Release();
            }
        }
    }
    if (mouse->IsButtonDown())
        mouse->FinishClick();
}

void CControlDispatcher::AcceptForegroundAsTarget() {
    StoreTargetWindowTitle();
    Report("save", SaveAllKeysets(store_, keysets_));
}

void CControlDispatcher::StoreTargetWindowTitle() {
    char text[kWindowTextSize];
    desktop_.WindowText(lastForeground, text, sizeof text);
    const int index = KeysetIndexForLookup();
    std::optional<ControlAssignment> assignment = store_.GetAssignment(index, eventBank_, eventControl_);
    if (!assignment)
        return;
    CopyToField(assignment->windowTitle, text);
    store_.SetAssignment(index, eventBank_, eventControl_, *assignment);
}

// The shared index may name a keyset of the editor's list that this list does not have (the editor
// sets the index before it saves); the driver then works with keyset 0, "Default", until it reloads.
int CControlDispatcher::KeysetIndexForLookup() const {
    const int current = store_.GetCurrentIndex();
    return current >= 0 && current < store_.GetCount() ? current : 0;
}

std::optional<ControlAssignment> CControlDispatcher::EventAssignment() const {
    return store_.GetAssignment(KeysetIndexForLookup(), eventBank_, eventControl_);
}

// A reload that fails leaves the list as it was.
void CControlDispatcher::ReloadKeysets() {
    Report("reload", ReloadAllKeysets(store_, keysets_));
    steps_.Clear();
}

void CControlDispatcher::Report(const char* action, const StoreResult& result) {
    if (!result.Done() && observer_ != nullptr)
        observer_->KeysetsFailed(action, result);
}

void CControlDispatcher::SelectKeyset(int index, const std::string& why) {
    store_.SetCurrentIndex(index);
    if (observer_ != nullptr)
        observer_->ForegroundTracked(index, store_.GetName(index), false, false, why);
    if (notes_ != nullptr)
        notes_->KeysetChosen(store_.GetName(index));
}

} // namespace qvl
