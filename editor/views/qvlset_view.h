// The device panel (form 131): a picture of the device whose controls are picked by a click or by
// pressing them on the device (the driver sends the panel the command of the matching picture while
// the editor is in front), and on the right the controls that edit the selected control's assignment
// in the bank the OPTION and SHIFT latches (or, for the wheel, the LED) give. Every edit is stored at
// once. An assignment may ask for its click target to be captured: the driver then forwards the
// control's first press even while another program is in front, and the panel records the window
// under the mouse and the point in it.
//
// What the panel shows and stores is worked out in panel_tables.h, assignment_form.h and
// steps_fields.h; this class moves the values between those and the controls.
//
// The steps fields are stored when they are left. A field being typed in is never lost nor stored
// elsewhere: whatever shows another assignment (a click on a picture, a press the driver forwards,
// OPTION, SHIFT, the LED, the Keysets menu, the editor coming back to the front with another keyset
// current) first finishes it as leaving it would: a text that reads is stored into the assignment it
// was typed for; one that does not read keeps the panel where it is, and the refusal is shown once the
// message that asked has been handled (a forwarded press never waits for a box). A reload of the same
// assignment keeps what the field holds. A field left while the editor goes to the back stores a text
// that reads; one that does not stays in the field, unstored, until the field is left in the editor.
#pragma once

#include "editor/app/assignment_form.h"
#include "editor/app/steps_fields.h"
#include "editor/views/key_capture_ctrl.h"
#include "editor/views/panel_buttons.h"
#include "editor/views/panel_face.h"
#include "framework/controls.h"
#include "framework/dpi.h"
#include "framework/form_view.h"
#include "base/unique_handle_win32.h"

#include <string>
#include <vector>

namespace qvl {

class CEditorApp;
class CEditorWindows;
class CQVLsetDoc;

class CQVLsetView : public framework::FormView {
public:
    // `windows`: where the panel opens the overview, Test and help windows.
    CQVLsetView(CEditorApp& app, CEditorWindows& windows);

    void OnInitialUpdate() override;
    // Make the controls the first paint does not need (panel_later_controls.h) and show the
    // assignment in them; until then nothing the panel shows is stored. Once, after the first paint;
    // false when they could not be made.
    bool MakeLaterControls();
    void OnUpdate(framework::View* sender) override;

    // Select control `slot` (0 to 6) and show its assignment in the current bank.
    void SelectControl(int slot);
    // OPTION (1008) or SHIFT (1009): toggle the latch and show the selected control in the new bank
    // (a selected wheel gives way to Play).
    void ToggleModifier(unsigned button);
    void SetLedState(int on);
    // Show the selected control again (after a bank change).
    void ReselectControl();
    // Keysets menu command 2000 + i: make keyset i current and show it.
    void SelectKeyset(int index);

    // Fill the editing controls from the stored assignment, or store what they hold.
    void LoadAssignment();
    void SaveAssignment();
    // Record the window under the mouse and the point in it as the click target, unless the editor
    // itself is in front.
    void CaptureTarget();
    void UpdateCaptureLabel();

    CQVLsetDoc* GetDocument() const;

protected:
    void DoDataExchange(framework::DataExchange& exchange) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDraw(HDC dc) override;

private:
    void AttachControls();
    void OnSetFocus();
    void OnClickListChanged();
    void OnEmulationListChanged();
    void OnSpecialKeyChanged();
    void OnCaptureClicked();
    // The Edit menu's commands on the Name field (or the steps field that has the focus), enabled while
    // its caret is before the end.
    void AddEditCommand(unsigned id, UINT message);
    framework::Edit& EditMenuTarget();
    bool CaptureArmed() const;
    // The keyset the panel shows: the current one, or "Default" when the editor does not have it.
    int ShownKeyset() const;
    // The id of the latched control picture, or 0.
    unsigned LatchedControlCommand() const;

    // The steps controls (steps_fields.h).
    void LoadSteps(bool sameAssignment);
    // The note on stored steps that cannot be read, and the fields' colour.
    void ShowStepsState();
    void OnStepsFieldLeft(StepsField field);
    // Carry out what leaving `field` decided (store, show the printed form).
    void ApplyStepsLeft(StepsField field, const StepsFieldLeft& left);
    void OnRepeatClicked();
    // Store what the steps fields hold that reads, into the assignment shown; false when one holds a
    // text that does not read (the refusal is then shown once the current message is handled).
    bool FinishStepsEdits();
    // Whether showing control `slot` in the current bank and keyset shows another assignment, and the
    // steps edits allow it (FinishStepsEdits).
    bool MayShow(int slot);
    void PostStepsRefusal();
    void ShowStepsRefusal();
    framework::Edit& StepsEdit(StepsField field) { return field == StepsField::kPress ? stepsEdit_ : releaseEdit_; }
    std::string& StepsShown(StepsField field) {
        return field == StepsField::kPress ? m_strStepsShown : m_strReleaseShown;
    }
    // Whether the field holds a text it was not filled with.
    bool StepsEdited(StepsField field);
    std::string LoadString(unsigned id) const;
    // The list of the click or of the wheel's emulation, and the wheel's speed when `wheel`.
    void ShowWheelControls(bool wheel);
    void SendCommand(unsigned id);
    void UpdateKeysetCaption();

    // What the panel is doing with its controls. Before the initial update they are not attached:
    // nothing is shown or stored. While it fills them (the initial selection, or a stored assignment
    // being shown) their change notices are not edits, nothing is stored, and Play's first selection
    // runs in full. Between the initial update and MakeLaterControls (kStarting) they are filled for
    // the first paint and nothing is stored. Afterwards every change notice is an edit.
    enum class ControlsState { kDetached, kStarting, kFilling, kShowing };
    // The panel fills its controls for as long as this lives, then returns to the state before.
    class Filling {
    public:
        explicit Filling(ControlsState& state) : state_(state), before_(state) { state_ = ControlsState::kFilling; }
        Filling(const Filling&) = delete;
        Filling& operator=(const Filling&) = delete;
        ~Filling() { state_ = before_; }

    private:
        ControlsState& state_;
        ControlsState before_;
    };

    CEditorApp& app_;
    CEditorWindows& windows_;
    ControlsState state_ = ControlsState::kDetached;

    CLatchButton option_;
    CLatchButton shift_;
    CLatchButton controls_[kControlCount];
    CLedButton led_;
    framework::BitmapButton test_;
    framework::BitmapButton help_;
    CKeyCaptureCtrl hotKey_;
    framework::Edit nameEdit_;
    framework::ComboBox specialKeyList_;
    framework::ComboBox clickList_;
    framework::ComboBox emulationList_;
    framework::Button captureBox_;
    framework::Trackbar speedSlider_;
    framework::Control speedLabel_;
    framework::Control slowerLabel_;
    framework::Control fasterLabel_;
    framework::Edit stepsEdit_;
    framework::Edit releaseEdit_;
    framework::Button repeatBox_;
    framework::Control stepsNote_;
    GdiObjectHandle controlsBrush_;
    CPanelFace face_;
    int dpi_ = framework::kDesignDpi; // the screen's, asked for once: every picture is loaded for it

    int m_nControl = 0;
    int m_nBank = 0;
    int m_nShownKeyset = 0; // the keyset whose assignment the controls hold
    int m_bLedOn = 1;
    int m_bReselect = 0;
    std::string m_strControlCaption;
    std::string m_strKeysetCaption;

    std::string m_strName;
    int m_nSpecialKeyIndex = 0;
    int m_nClickIndex = 0;
    int m_nEmulationIndex = 0;
    int m_bCapture = 0;
    int m_nMouseMode = 0;
    std::string m_strWindowClass;
    std::string m_strWindowTitle;
    int m_nClickX = -1;
    int m_nClickY = -1;
    AssignmentFlags m_flags; // m_bFlagA, m_bFlagB, m_bFlagC
    int m_bCapturePending = 0;

    int stepsControl_ = -1;        // the control whose steps the fields hold (-1: none yet)
    AssignmentSteps m_steps;       // its stored steps
    std::string m_strStepsShown;   // what the Steps field was filled with (UTF-8)
    std::string m_strReleaseShown; // what the On release field was filled with
    bool pressUnreadable_ = false; // the stored texts cannot be read
    bool releaseUnreadable_ = false;
    bool m_bStepsRefusalPosted = false;
};

} // namespace qvl
