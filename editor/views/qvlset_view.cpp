#include "editor/views/qvlset_view.h"

#include "editor/app/editor_app.h"
#include "editor/app/qvlset_doc.h"
#include "editor/res/resource.h"
#include "editor/views/editor_windows.h"
#include "editor/views/panel_face.h"
#include "editor/views/panel_later_controls.h"
#include "editor/app/panel_tables.h"
#include "framework/dialog.h"
#include "framework/dpi.h"
#include "framework/frame_window.h"
#include "framework/string_table.h"
#include "model/utf_text.h"

#include <optional>

namespace qvl {

// The resource compiler cannot read the shared header, so the form's ids repeat the command ids the
// driver forwards; they must stay equal.
static_assert(IDC_OPTION == kEditorOption && IDC_SHIFT == kEditorShift, "modifier ids");
static_assert(IDC_REWIND == kEditorRewind && IDC_FAST_FORWARD == kEditorFastForward && IDC_STOP == kEditorStop &&
                  IDC_PLAY == kEditorPlay && IDC_RECORD == kEditorRecord,
              "transport ids");
static_assert(IDC_CCWHEEL == kEditorWheelCounterClockwise && IDC_CWHEEL == kEditorWheelClockwise, "wheel ids");
static_assert(IDC_LED_ON == kEditorLedOn && IDC_LED_OFF == kEditorLedOff, "LED ids");

namespace {

// The order in which the first latched control picture is looked for.
constexpr unsigned kLatchOrder[] = {kEditorRewind, kEditorFastForward,           kEditorStop,          kEditorPlay,
                                    kEditorRecord, kEditorWheelCounterClockwise, kEditorWheelClockwise};

std::string WindowText(HWND hwnd) {
    char text[256] = {};
    const int length = GetWindowTextA(hwnd, text, static_cast<int>(sizeof text));
    return std::string(text, static_cast<std::size_t>(length > 0 ? length : 0));
}

// Posted to the panel to show why a steps field was refused, once the message that refused it (a
// forwarded press, a lost focus) has been handled.
constexpr UINT kShowStepsRefusal = WM_APP + 1;
// The text of a steps field whose stored text cannot be read.
constexpr COLORREF kUnreadableColour = RGB(176, 0, 0);

std::wstring Wide(const std::string& utf8) {
    const std::optional<std::u16string> units = Utf16FromUtf8(utf8);
    return units ? std::wstring(units->begin(), units->end()) : std::wstring();
}

std::string WideWindowText(HWND hwnd) {
    const int length = hwnd != nullptr ? GetWindowTextLengthW(hwnd) : 0;
    if (length <= 0)
        return std::string();
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return Utf8FromUtf16(std::u16string(text.begin(), text.end()));
}

void SetWideWindowText(HWND hwnd, const std::string& utf8) {
    if (hwnd != nullptr)
        SetWindowTextW(hwnd, Wide(utf8).c_str());
}

std::string WindowClass(HWND hwnd) {
    char name[256] = {};
    const int length = GetClassNameA(hwnd, name, static_cast<int>(sizeof name));
    return std::string(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

} // namespace

CQVLsetView::CQVLsetView(CEditorApp& app, CEditorWindows& windows)
    : FormView(IDD_QVLSET_FORM), app_(app), windows_(windows), hotKey_([&app] { app.SetPendingSave(); }) {
    for (int slot = 0; slot < kControlCount; ++slot)
        OnCommand(kControlButtonIds[slot], [this, slot] { SelectControl(slot); });
    OnCommand(kOptionButtonId, [this] { ToggleModifier(kOptionButtonId); });
    OnCommand(kShiftButtonId, [this] { ToggleModifier(kShiftButtonId); });
    OnCommand(kLedOnCommandId, [this] {
        SetLedState(1);
        ReselectControl();
    });
    OnCommand(kLedOffCommandId, [this] {
        SetLedState(0);
        ReselectControl();
    });
    OnCommandRange(ID_KEYSET_FIRST, ID_KEYSET_LAST,
                   [this](unsigned id) { SelectKeyset(static_cast<int>(id - ID_KEYSET_FIRST)); });
    OnUpdateCommandRange(ID_KEYSET_FIRST, ID_KEYSET_LAST, [this](framework::CommandUpdate& u) {
        u.SetCheck(static_cast<int>(u.Id() - ID_KEYSET_FIRST) == app_.GetCurrentKeysetIndex());
    });
    OnCommand(ID_DISPLAY_KEYSET, [this] { windows_.DisplayKeyset(*this); });
    OnCommand(ID_TEST, [this] { windows_.RunTest(); });
    OnCommand(ID_HELP_FINDER, [this] { windows_.ShowHelp(); });
    AddEditCommand(ID_EDIT_CLEAR, WM_CLEAR);
    AddEditCommand(ID_EDIT_COPY, WM_COPY);
    AddEditCommand(ID_EDIT_CUT, WM_CUT);
    AddEditCommand(ID_EDIT_PASTE, WM_PASTE);

    OnNotification(IDC_NAME, EN_CHANGE, [this] { SaveAssignment(); });
    OnNotification(IDC_MOUSE_CLICK, CBN_SELCHANGE, [this] { OnClickListChanged(); });
    OnNotification(IDC_MOUSE_EMULATION, CBN_SELCHANGE, [this] { OnEmulationListChanged(); });
    OnNotification(IDC_SPECIAL_KEY, CBN_SELCHANGE, [this] { OnSpecialKeyChanged(); });
    OnCommand(IDC_CAPTURE, [this] { OnCaptureClicked(); });
    OnNotification(IDC_STEPS, EN_KILLFOCUS, [this] { OnStepsFieldLeft(StepsField::kPress); });
    OnNotification(IDC_RELEASE_STEPS, EN_KILLFOCUS, [this] { OnStepsFieldLeft(StepsField::kRelease); });
    OnCommand(IDC_REPEAT, [this] { OnRepeatClicked(); });
}

CQVLsetDoc* CQVLsetView::GetDocument() const {
    return static_cast<CQVLsetDoc*>(View::GetDocument());
}

void CQVLsetView::AddEditCommand(unsigned id, UINT message) {
    OnCommand(id, [this, message] { EditMenuTarget().Send(message); });
    OnUpdateCommand(id, [this](framework::CommandUpdate& u) {
        framework::Edit& edit = EditMenuTarget();
        int start = 0;
        int end = 0;
        edit.GetSelection(start, end);
        u.Enable(start < GetWindowTextLengthW(edit.Handle()));
    });
}

framework::Edit& CQVLsetView::EditMenuTarget() {
    // A menu leaves the focus where it was: in a steps field, the commands are for that field.
    HWND focus = GetFocus();
    if (focus != nullptr && focus == stepsEdit_.Handle())
        return stepsEdit_;
    if (focus != nullptr && focus == releaseEdit_.Handle())
        return releaseEdit_;
    return nameEdit_;
}

void CQVLsetView::AttachControls() {
    HWND form = Handle();
    HINSTANCE instance = app_.Instance();
    dpi_ = framework::ScreenDpi();
    option_.AutoLoad(instance, form, kOptionButtonId, dpi_);
    shift_.AutoLoad(instance, form, kShiftButtonId, dpi_);
    for (int slot = 0; slot < kControlCount; ++slot)
        controls_[slot].AutoLoad(instance, form, static_cast<int>(kControlButtonIds[slot]), dpi_);
    // The LED's pictures are the ones of the state the driver last saw, loaded once.
    if (led_.AttachItem(form, kLedOnCommandId)) {
        SetLedState(app_.GetWheelLedOn());
        led_.SizeToContent();
    }
    test_.AutoLoad(instance, form, ID_TEST, dpi_);
    help_.AutoLoad(instance, form, ID_HELP_FINDER, dpi_);

    hotKey_.AttachItem(form, IDC_KEY_PRESS);
    nameEdit_.AttachItem(form, IDC_NAME);
    specialKeyList_.AttachItem(form, IDC_SPECIAL_KEY);
    if (MakeStepsControls(form, instance, specialKeyList_.Handle())) {
        stepsEdit_.AttachItem(form, IDC_STEPS);
        releaseEdit_.AttachItem(form, IDC_RELEASE_STEPS);
        repeatBox_.AttachItem(form, IDC_REPEAT);
        stepsEdit_.LimitText(kMaxStepsFieldLength);
        releaseEdit_.LimitText(kMaxStepsFieldLength);
    }
    clickList_.AttachItem(form, IDC_MOUSE_CLICK);
    for (const char* item : kSpecialKeyItems)
        specialKeyList_.AddString(item);
    for (const char* item : kClickItems)
        clickList_.AddString(item);
    // The record keeps 32 characters of name.
    nameEdit_.LimitText(kMaxControlNameLength);
    face_.LoadPictures(instance, dpi_);
}

bool CQVLsetView::MakeLaterControls() {
    if (state_ != ControlsState::kStarting)
        return true;
    HWND form = Handle();
    if (!MakeLaterPanelControls(form, app_.Instance()))
        return false; // as a form that could not be made: nothing is stored from a panel without them
    emulationList_.AttachItem(form, IDC_MOUSE_EMULATION);
    captureBox_.AttachItem(form, IDC_CAPTURE);
    speedSlider_.AttachItem(form, IDC_WHEEL_SPEED);
    speedLabel_.AttachItem(form, IDC_WHEEL_SPEED_LABEL);
    slowerLabel_.AttachItem(form, IDC_SLOWER);
    fasterLabel_.AttachItem(form, IDC_FASTER);
    stepsNote_.AttachItem(form, IDC_STEPS_NOTE); // wide once attached: the note quotes the stored text
    for (const char* item : kEmulationItems)
        emulationList_.AddString(item);
    speedSlider_.SetRange(kSlowestWheelSpeed, kFastestWheelSpeed);
    state_ = ControlsState::kShowing;
    ShowWheelControls(IsWheelControl(m_nControl));
    LoadAssignment();
    return true;
}

void CQVLsetView::OnInitialUpdate() {
    if (CQVLsetDoc* document = GetDocument())
        document->SetCurrent(app_.GetCurrentKeysetIndex());
    // The driver finds the editor by this exact title.
    if (framework::FrameWindow* frame = GetFrame())
        SetWindowTextA(frame->Handle(), app_.Title().c_str());
    controlsBrush_.Reset(CreateSolidBrush(kPanelControlsColour));
    AttachControls();
    UpdateData(false);
    state_ = ControlsState::kStarting;
    {
        // Play in the main bank, then the LED as the driver last saw it (its pictures were loaded for
        // that state when the controls were attached).
        Filling filling(state_);
        SendCommand(kControlButtonIds[kPlay]);
        SendCommand(app_.GetWheelLedOn() != 0 ? kLedOnCommandId : kLedOffCommandId);
    }

    if (CQVLsetDoc* document = GetDocument())
        document->RebuildKeysetsMenu();
}

void CQVLsetView::OnUpdate(framework::View*) {
    if (state_ != ControlsState::kDetached)
        LoadAssignment();
}

void CQVLsetView::SelectControl(int slot) {
    if (slot < 0 || slot >= kControlCount)
        return;
    // Clicking the selected control again only keeps it drawn pressed, unless a bank change or an
    // armed capture asks for the full selection (and the first selection of Play is always full).
    if (slot == m_nControl && m_bReselect == 0 && !CaptureArmed() &&
        (slot != kPlay || state_ != ControlsState::kFilling)) {
        controls_[slot].SetLatched(1);
        return;
    }
    if (!MayShow(slot)) {
        controls_[m_nControl].SetLatched(1);
        return;
    }
    const bool wheel = IsWheelControl(slot);
    option_.Enable(!wheel);
    shift_.Enable(!wheel);
    for (CLatchButton& button : controls_)
        button.SetLatched(0);
    controls_[slot].SetLatched(1);
    ShowWheelControls(wheel);

    const std::string caption =
        LoadString(CaptionStringId(slot, option_.GetLatched() != 0, shift_.GetLatched() != 0, m_bLedOn != 0));
    m_strName = caption;
    m_strControlCaption = caption;
    m_nControl = slot;
    m_bReselect = 0;
    LoadAssignment();
    // A pending capture takes the window under the cursor at the control's press only: a reload while
    // another program is in front (another writer's change, the driver's) would take whatever the
    // cursor happens to be over then, often this panel's own check box.
    if (m_bCapturePending != 0)
        CaptureTarget();
}

void CQVLsetView::ShowWheelControls(bool wheel) {
    clickList_.Show(!wheel);
    emulationList_.Show(wheel);
    speedSlider_.Show(wheel);
    if (wheel)
        speedLabel_.SetText(LoadString(IDS_WHEEL_SPEED));
    speedLabel_.Show(wheel);
    slowerLabel_.Show(wheel);
    fasterLabel_.Show(wheel);
}

void CQVLsetView::ToggleModifier(unsigned button) {
    const unsigned command = IsWheelControl(m_nControl) ? kControlButtonIds[kPlay] : LatchedControlCommand();
    const bool armed = CaptureArmed();
    // Another bank shows another assignment: a steps edit that does not read keeps the latch.
    if (!armed && !FinishStepsEdits())
        return;
    if (!armed)
        (button == kOptionButtonId ? option_ : shift_).ToggleLatched();
    m_bReselect = 1;
    if (!armed && command != 0)
        SendCommand(command);
}

void CQVLsetView::SetLedState(int on) {
    m_bLedOn = on != 0 ? 1 : 0;
    led_.SetLit(app_.Instance(), m_bLedOn != 0, dpi_);
}

void CQVLsetView::ReselectControl() {
    m_bReselect = 1;
    if (const unsigned command = LatchedControlCommand())
        SendCommand(command);
}

void CQVLsetView::SelectKeyset(int index) {
    CQVLsetDoc* document = GetDocument();
    if (document == nullptr || document->GetStore() == nullptr || index < 0 ||
        index >= document->GetStore()->GetCount())
        return;
    if (index != m_nShownKeyset && !FinishStepsEdits())
        return;
    document->SetCurrent(index);
    LoadAssignment();
}

void CQVLsetView::LoadAssignment() {
    if (state_ == ControlsState::kDetached)
        return;
    const bool wheel = IsWheelControl(m_nControl);
    const int bank = CurrentBank(m_nControl, option_.GetLatched() != 0, shift_.GetLatched() != 0, m_bLedOn != 0);
    const bool sameAssignment = bank == m_nBank && ShownKeyset() == m_nShownKeyset && m_nControl == stepsControl_;
    m_nBank = bank;
    m_nShownKeyset = ShownKeyset();
    stepsControl_ = m_nControl;
    UpdateKeysetCaption();
    ControlAssignment stored;
    InitAssignment(stored);
    if (CQVLsetDoc* document = GetDocument())
        document->FetchAssignment(stored, m_nShownKeyset, m_nBank, m_nControl);

    const AssignmentFields fields = FieldsFromAssignment(stored);
    m_flags = fields.flags;
    m_nMouseMode = fields.mouseMode;
    m_nClickX = fields.clickX;
    m_nClickY = fields.clickY;
    speedSlider_.SetPos(fields.wheelSpeed);
    m_strWindowClass = fields.windowClass;
    m_strWindowTitle = fields.windowTitle;
    m_bCapture = fields.capture ? 1 : 0;
    if (!fields.name.empty())
        m_strName = fields.name;
    if (wheel)
        m_nEmulationIndex = m_nMouseMode;
    else
        m_nClickIndex = m_nMouseMode;
    m_nSpecialKeyIndex = fields.specialKeyIndex;

    {
        // Filling the Name field announces a change like typing would; the record is not half shown then.
        Filling filling(state_);
        UpdateData(false);
        hotKey_.SetHotKey(fields.hotKeyVk, fields.hotKeyMods);
        LoadSteps(sameAssignment);
    }

    UpdateCaptureLabel();
    captureBox_.Show(CaptureBoxShown(m_nControl, m_nMouseMode));
    if (fields.capture && fields.windowTitle.empty() && fields.windowClass.empty())
        m_bCapturePending = 1;
}

void CQVLsetView::SaveAssignment() {
    CQVLsetDoc* document = GetDocument();
    if (state_ != ControlsState::kShowing || document == nullptr)
        return;
    UpdateData(true);

    AssignmentFields fields;
    fields.capture = m_bCapture != 0;
    if (hotKey_.GetHotKey(fields.hotKeyVk, fields.hotKeyMods)) {
        // A keystroke and a special key exclude each other; the key typed last wins.
        specialKeyList_.SetCurSel(0);
        m_nSpecialKeyIndex = 0;
    }
    fields.specialKeyIndex = m_nSpecialKeyIndex;
    fields.mouseMode = m_nMouseMode;
    fields.clickX = m_nClickX;
    fields.clickY = m_nClickY;
    fields.windowClass = m_strWindowClass;
    fields.windowTitle = m_strWindowTitle;
    fields.flags = m_flags;
    // Buttons hold the speed of their record in the hidden trackbar too.
    fields.wheelSpeed = speedSlider_.GetPos();
    fields.name = m_strName;

    // Into the keyset the controls were filled from: the driver may have made another one current
    // since (another program in front), and its values are not what the controls show. A write that
    // fails is told by the commands, once.
    document->Commands().PutAssignment(BuildAssignment(fields), m_nShownKeyset, m_nBank, m_nControl);
}

void CQVLsetView::CaptureTarget() {
    if (app_.IsEditorForeground())
        return; // the capture stays pending until another program is in front
    POINT point = {};
    if (!GetCursorPos(&point))
        return;
    HWND window = WindowFromPoint(point);
    if (window == nullptr)
        return;
    ScreenToClient(window, &point);
    HWND child = ChildWindowFromPoint(window, point);
    if (child != nullptr && child != window) {
        MapWindowPoints(window, child, &point, 1);
        window = child;
    }
    // The target is the nearest window with a text, so that it can be found again by class and text.
    HWND target = window;
    while (target != nullptr && WindowText(target).empty())
        target = GetParent(target);
    if (target != nullptr) {
        m_strWindowTitle = WindowText(target);
        m_strWindowClass = WindowClass(target);
        MapWindowPoints(window, target, &point, 1);
    } else {
        m_strWindowTitle.clear();
        m_strWindowClass.clear();
    }
    m_nClickX = point.x;
    m_nClickY = point.y;
    m_bCapturePending = 0;
    SaveAssignment();
    UpdateCaptureLabel();
}

void CQVLsetView::UpdateCaptureLabel() {
    if (state_ == ControlsState::kDetached)
        return;
    CaptureLabelParts parts;
    parts.wheel = IsWheelControl(m_nControl);
    parts.shownListIndex = parts.wheel ? emulationList_.GetCurSel() : clickList_.GetCurSel();
    parts.mouseMode = m_nMouseMode;
    parts.windowTitle = m_strWindowTitle;
    parts.windowClass = m_strWindowClass;
    parts.clickX = m_nClickX;
    parts.clickY = m_nClickY;
    parts.controlCaption = m_strControlCaption;
    captureBox_.SetText(CaptureLabel(app_.Strings(), parts));
}

void CQVLsetView::OnClickListChanged() {
    UpdateData(true);
    m_nMouseMode = m_nClickIndex;
    captureBox_.Show(CaptureBoxShown(m_nControl, m_nMouseMode));
    SaveAssignment();
    UpdateCaptureLabel();
}

void CQVLsetView::OnEmulationListChanged() {
    UpdateData(true);
    m_nMouseMode = m_nEmulationIndex;
    captureBox_.Show(CaptureBoxShown(m_nControl, m_nMouseMode));
    SaveAssignment();
    UpdateCaptureLabel();
}

void CQVLsetView::OnSpecialKeyChanged() {
    UpdateData(true);
    if (m_nSpecialKeyIndex > 0)
        hotKey_.SetHotKey(0, 0);
    SaveAssignment();
}

void CQVLsetView::OnCaptureClicked() {
    // Ticking discards an earlier target and arms a new capture; clearing discards the target.
    m_strWindowClass.clear();
    m_strWindowTitle.clear();
    UpdateData(true);
    if (m_bCapture == 0)
        m_bCapturePending = 0;
    UpdateCaptureLabel();
    SaveAssignment();
}

void CQVLsetView::OnSetFocus() {
    CQVLsetDoc* document = GetDocument();
    if (state_ == ControlsState::kDetached || document == nullptr)
        return;
    document->ReloadKeysets();
    SetLedState(app_.GetWheelLedOn());
    // The driver makes the keyset of the program last in front current; a steps edit that does not
    // read keeps the panel on the assignment it was typed for.
    if (ShownKeyset() == m_nShownKeyset || FinishStepsEdits()) {
        document->SetCurrent(app_.GetCurrentKeysetIndex());
        LoadAssignment();
    }
    app_.SetKeysetsChanged(1);
    SetCurrentDirectoryA("\\Keysets");
}

void CQVLsetView::LoadSteps(bool sameAssignment) {
    const CQVLsetDoc* document = GetDocument();
    m_steps = document != nullptr ? document->Commands().FetchSteps(m_nShownKeyset, m_nBank, stepsControl_)
                                  : AssignmentSteps();
    const bool transport = ReleaseAndRepeatApply(stepsControl_);
    for (const StepsField field : {StepsField::kPress, StepsField::kRelease}) {
        // A reload of the same assignment keeps what the user has typed and not yet left.
        if (sameAssignment && StepsEdited(field))
            continue;
        StepsShown(field) = field == StepsField::kPress ? m_steps.press : transport ? m_steps.release : "";
        SetWideWindowText(StepsEdit(field).Handle(), StepsShown(field));
    }
    HWND focus = GetFocus();
    if (!transport && focus != nullptr && (focus == releaseEdit_.Handle() || focus == repeatBox_.Handle()))
        SetFocus(stepsEdit_.Handle()); // rather than nowhere, once they are disabled
    releaseEdit_.Enable(transport);
    repeatBox_.SetCheck(transport && m_steps.repeat ? BST_CHECKED : BST_UNCHECKED);
    repeatBox_.Enable(transport);
    ShowStepsState();
}

void CQVLsetView::ShowStepsState() {
    const bool transport = ReleaseAndRepeatApply(stepsControl_);
    pressUnreadable_ = UnreadableSteps(m_steps.press).has_value();
    releaseUnreadable_ = transport && UnreadableSteps(m_steps.release).has_value();
    const std::string note = UnreadableStepsNote(app_.Strings(), stepsControl_, m_strControlCaption, m_steps);
    SetWideWindowText(stepsNote_.Handle(), note);
    stepsNote_.Show(!note.empty());
    for (HWND field : {stepsEdit_.Handle(), releaseEdit_.Handle()})
        if (field != nullptr)
            InvalidateRect(field, nullptr, TRUE);
}

bool CQVLsetView::StepsEdited(StepsField field) {
    HWND edit = StepsEdit(field).Handle();
    return edit != nullptr && WideWindowText(edit) != StepsShown(field);
}

void CQVLsetView::OnStepsFieldLeft(StepsField field) {
    if (state_ != ControlsState::kShowing)
        return;
    const StepsFieldLeft left =
        LeaveStepsField(stepsControl_, field, m_steps, StepsShown(field), WideWindowText(StepsEdit(field).Handle()));
    if (left.outcome == StepsFieldLeft::Outcome::kRefuse)
        PostStepsRefusal();
    else
        ApplyStepsLeft(field, left);
}

void CQVLsetView::ApplyStepsLeft(StepsField field, const StepsFieldLeft& left) {
    CQVLsetDoc* document = GetDocument();
    if (left.outcome == StepsFieldLeft::Outcome::kStore && document != nullptr) {
        // A write that fails is told by the commands, once; the list keeps the steps for the next.
        document->Commands().PutSteps(left.steps, m_nShownKeyset, m_nBank, stepsControl_);
        m_steps = document->Commands().FetchSteps(m_nShownKeyset, m_nBank, stepsControl_);
    }
    StepsShown(field) = left.shown;
    HWND edit = StepsEdit(field).Handle();
    if (WideWindowText(edit) != left.shown)
        SetWideWindowText(edit, left.shown);
    ShowStepsState();
}

void CQVLsetView::OnRepeatClicked() {
    CQVLsetDoc* document = GetDocument();
    if (state_ != ControlsState::kShowing || document == nullptr || !ReleaseAndRepeatApply(stepsControl_))
        return;
    AssignmentSteps steps = m_steps;
    steps.repeat = repeatBox_.GetCheck() == BST_CHECKED;
    if (steps == m_steps)
        return;
    document->Commands().PutSteps(steps, m_nShownKeyset, m_nBank, stepsControl_);
    m_steps = document->Commands().FetchSteps(m_nShownKeyset, m_nBank, stepsControl_);
}

bool CQVLsetView::FinishStepsEdits() {
    if (state_ != ControlsState::kShowing)
        return true;
    bool readable = true;
    for (const StepsField field : {StepsField::kPress, StepsField::kRelease}) {
        if (!StepsEdited(field))
            continue;
        const StepsFieldLeft left = LeaveStepsField(stepsControl_, field, m_steps, StepsShown(field),
                                                    WideWindowText(StepsEdit(field).Handle()));
        if (left.outcome == StepsFieldLeft::Outcome::kRefuse)
            readable = false;
        else
            ApplyStepsLeft(field, left);
    }
    if (!readable)
        PostStepsRefusal();
    return readable;
}

bool CQVLsetView::MayShow(int slot) {
    const int bank = CurrentBank(slot, option_.GetLatched() != 0, shift_.GetLatched() != 0, m_bLedOn != 0);
    if (slot == stepsControl_ && bank == m_nBank && ShownKeyset() == m_nShownKeyset)
        return true;
    return FinishStepsEdits();
}

void CQVLsetView::PostStepsRefusal() {
    if (m_bStepsRefusalPosted)
        return;
    m_bStepsRefusalPosted = PostMessageW(Handle(), kShowStepsRefusal, 0, 0) != FALSE;
}

void CQVLsetView::ShowStepsRefusal() {
    // The editor went to the back meanwhile: the text waits in the field until it is left in the editor.
    if (state_ != ControlsState::kShowing || GetActiveWindow() == nullptr) {
        m_bStepsRefusalPosted = false;
        return;
    }
    for (const StepsField field : {StepsField::kPress, StepsField::kRelease}) {
        if (!StepsEdited(field))
            continue;
        const StepsFieldLeft left = LeaveStepsField(stepsControl_, field, m_steps, StepsShown(field),
                                                    WideWindowText(StepsEdit(field).Handle()));
        if (left.outcome != StepsFieldLeft::Outcome::kRefuse)
            continue;
        // Still posted while the box is up: the field losing the focus to it asks for no second box.
        MessageBoxW(framework::ModalOwner(Handle()), Wide(left.message).c_str(), Wide(app_.Title()).c_str(),
                    MB_OK | MB_ICONWARNING);
        framework::Edit& edit = StepsEdit(field);
        SetFocus(edit.Handle());
        const int end = GetWindowTextLengthW(edit.Handle());
        edit.SetSelection(end, end);
        break;
    }
    m_bStepsRefusalPosted = false;
}

bool CQVLsetView::CaptureArmed() const {
    return m_bCapture != 0 && m_strWindowTitle.empty() && m_strWindowClass.empty();
}

int CQVLsetView::ShownKeyset() const {
    const CQVLsetDoc* document = GetDocument();
    const CKeysetStore* store = document != nullptr ? document->GetStore() : nullptr;
    const int current = app_.GetCurrentKeysetIndex();
    return store != nullptr && current >= 0 && current < store->GetCount() ? current : 0;
}

unsigned CQVLsetView::LatchedControlCommand() const {
    for (unsigned id : kLatchOrder)
        if (controls_[SlotOfButton(id)].GetLatched() != 0)
            return id;
    return 0;
}

std::string CQVLsetView::LoadString(unsigned id) const {
    return framework::LoadResourceString(app_.Instance(), id);
}

void CQVLsetView::SendCommand(unsigned id) {
    SendMessageA(Handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void CQVLsetView::UpdateKeysetCaption() {
    const CQVLsetDoc* document = GetDocument();
    const CKeysetStore* store = document != nullptr ? document->GetStore() : nullptr;
    const std::string name = store != nullptr ? store->GetName(m_nShownKeyset) : std::string();
    m_strKeysetCaption = framework::FormatResourceString(app_.Instance(), IDS_KEYSET_CAPTION, {name});
}

void CQVLsetView::DoDataExchange(framework::DataExchange& exchange) {
    exchange.Attach(IDC_MOUSE_EMULATION, emulationList_);
    exchange.Attach(IDC_MOUSE_CLICK, clickList_);
    exchange.Attach(IDC_NAME, nameEdit_);
    exchange.Attach(IDC_SLOWER, slowerLabel_);
    exchange.Attach(IDC_FASTER, fasterLabel_);
    exchange.Attach(IDC_CAPTURE, captureBox_);
    exchange.Attach(IDC_WHEEL_SPEED_LABEL, speedLabel_);
    exchange.Attach(IDC_WHEEL_SPEED, speedSlider_);
    exchange.Text(IDC_CONTROL_CAPTION, m_strControlCaption);
    exchange.ListIndex(IDC_MOUSE_CLICK, m_nClickIndex);
    exchange.ListIndex(IDC_MOUSE_EMULATION, m_nEmulationIndex);
    exchange.Check(IDC_CAPTURE, m_bCapture);
    exchange.Text(IDC_KEYSET_CAPTION, m_strKeysetCaption);
    exchange.Text(IDC_NAME, m_strName);
    exchange.Attach(IDC_KEY_PRESS, hotKey_);
    exchange.Attach(IDC_SPECIAL_KEY, specialKeyList_);
    exchange.ListIndex(IDC_SPECIAL_KEY, m_nSpecialKeyIndex);
}

bool CQVLsetView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_SETFOCUS:
            OnSetFocus();
            return false; // the dialog's own handling then puts the focus on a control
        case WM_HSCROLL:
            if (reinterpret_cast<HWND>(lParam) == speedSlider_.Handle() && speedSlider_.Handle() != nullptr) {
                SaveAssignment();
                result = 0;
                return true;
            }
            return false;
        case WM_CLOSE:
        case WM_DESTROY:
            // The shown assignment is stored once more on the way out, and what the steps fields hold
            // that reads (a text that does not is not stored, on the way out as ever).
            SaveAssignment();
            if (state_ == ControlsState::kShowing)
                FinishStepsEdits();
            if (message == WM_DESTROY)
                state_ = ControlsState::kDetached; // the fields losing the focus now are not left
            return false;
        case kShowStepsRefusal:
            ShowStepsRefusal();
            result = 0;
            return true;
        case WM_CTLCOLOREDIT:
            if ((reinterpret_cast<HWND>(lParam) == stepsEdit_.Handle() && pressUnreadable_) ||
                (reinterpret_cast<HWND>(lParam) == releaseEdit_.Handle() && releaseUnreadable_)) {
                SetTextColor(reinterpret_cast<HDC>(wParam), kUnreadableColour);
                SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
                result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
                return true;
            }
            return false;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (controlsBrush_.Valid()) {
                SetBkColor(reinterpret_cast<HDC>(wParam), kPanelControlsColour);
                if (reinterpret_cast<HWND>(lParam) == stepsNote_.Handle())
                    SetTextColor(reinterpret_cast<HDC>(wParam), kUnreadableColour);
                result = reinterpret_cast<LRESULT>(controlsBrush_.Get());
                return true;
            }
            return false;
        default:
            return FormView::OnMessage(message, wParam, lParam, result);
    }
}

void CQVLsetView::OnDraw(HDC dc) {
    face_.Paint(app_.Instance(), Handle(), dc);
    if (CEditorTrace* trace = app_.Trace())
        trace->Painted();
}

} // namespace qvl
