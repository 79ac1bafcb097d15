#include "framework/bitmap_button.h"
#include "framework/controls.h"
#include "framework/dialog.h"
#include "res/framework_test_resource.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace qvl::framework {
namespace {

HINSTANCE Module() {
    return GetModuleHandleA(nullptr);
}

constexpr UINT kPlay = WM_APP + 10;

// The exchange dialog: its members go into the controls when it opens; then it plays a user who
// types, ticks and chooses, and presses the button `press`.
class ExchangeDialog : public Dialog {
public:
    ExchangeDialog() : Dialog(Module(), IDD_TEST_DIALOG) {}

    std::string name = "before";
    int checked = 1;
    int port = 2;
    UINT press = IDOK;
    // What the controls showed when the dialog opened.
    std::string shownName;
    int shownCheck = -1;
    int shownPort = -2;

protected:
    bool OnInitDialog() override {
        ComboBox ports;
        ports.AttachItem(Handle(), IDC_DIALOG_COMBO);
        for (const char* item : {"COM1", "COM2", "COM3", "COM4"})
            ports.AddString(item);
        const bool result = Dialog::OnInitDialog();
        PostMessageA(Handle(), kPlay, 0, 0);
        return result;
    }
    void DoDataExchange(DataExchange& exchange) override {
        exchange.Check(IDC_DIALOG_CHECK, checked);
        exchange.ListIndex(IDC_DIALOG_COMBO, port);
        exchange.Text(IDC_DIALOG_EDIT, name);
    }
    bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT&) override {
        if (message != kPlay)
            return false;
        char text[64] = {};
        GetDlgItemTextA(Handle(), IDC_DIALOG_EDIT, text, sizeof text);
        shownName = text;
        shownCheck = static_cast<int>(IsDlgButtonChecked(Handle(), IDC_DIALOG_CHECK));
        shownPort = static_cast<int>(SendDlgItemMessageA(Handle(), IDC_DIALOG_COMBO, CB_GETCURSEL, 0, 0));
        SetDlgItemTextA(Handle(), IDC_DIALOG_EDIT, "typed");
        SendDlgItemMessageA(Handle(), IDC_DIALOG_CHECK, BM_CLICK, 0, 0);
        SendDlgItemMessageA(Handle(), IDC_DIALOG_COMBO, CB_SETCURSEL, 0, 0);
        PostMessageA(Handle(), WM_COMMAND, press, 0);
        return true;
    }
};

TEST(FrameworkDialogs, OkReadsTheControlsIntoTheMembers) {
    ExchangeDialog dialog;
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_EQ(dialog.shownName, "before");
    EXPECT_EQ(dialog.shownCheck, 1);
    EXPECT_EQ(dialog.shownPort, 2);
    EXPECT_EQ(dialog.name, "typed");
    EXPECT_EQ(dialog.checked, 0);
    EXPECT_EQ(dialog.port, 0);
    EXPECT_EQ(dialog.Handle(), nullptr);
}

TEST(FrameworkDialogs, CancelLeavesTheMembersAsTheyWere) {
    ExchangeDialog dialog;
    dialog.press = IDCANCEL;
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_EQ(dialog.name, "before");
    EXPECT_EQ(dialog.checked, 1);
    EXPECT_EQ(dialog.port, 2);
}

// A modeless dialog that notes its end.
class ModelessDialog : public Dialog {
public:
    ModelessDialog() : Dialog(Module(), IDD_TEST_DIALOG) {}
    bool ended = false;

protected:
    void OnFinalDestroy() override { ended = true; }
};

TEST(FrameworkDialogs, AModelessDialogTakesItsKeysFromTheLoopAndEndsByDestroyingItself) {
    ModelessDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    EXPECT_TRUE(dialog.IsModeless());
    ShowWindow(dialog.Handle(), SW_SHOW);
    HWND edit = dialog.Item(IDC_DIALOG_EDIT);
    SetFocus(edit);
    MSG tab = {edit, WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {0, 0}};
    EXPECT_TRUE(Dialog::PreTranslateModeless(tab));
    EXPECT_EQ(GetFocus(), dialog.Item(IDC_DIALOG_CHECK));

    // A modal dialog's and another window's messages are not the modeless dialog's.
    HWND other = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, Module(), nullptr);
    MSG elsewhere = {other, WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {0, 0}};
    EXPECT_FALSE(Dialog::PreTranslateModeless(elsewhere));
    DestroyWindow(other);

    HWND hwnd = dialog.Handle();
    SendMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(dialog.ended);
}

// The form as a plain child dialog, for the control tests.
class Form : public DialogWindow {
public:
    bool Open() { return CreateFromTemplate(Module(), IDD_TEST_FORM, host_); }
    Form() { host_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, Module(), nullptr); }
    ~Form() override { DestroyWindow(host_); }

private:
    HWND host_ = nullptr;
};

// A hot-key control that notes key releases and ignores the right button, as the editor's does.
class KeyCapture : public HotKey {
public:
    int keyUps = 0;
    int rightButtons = 0;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_KEYUP)
            ++keyUps;
        if (message == WM_RBUTTONDOWN) {
            ++rightButtons;
            return 0; // swallowed
        }
        return Default(message, wParam, lParam);
    }
};

// Another program part's subclass, put above a wrapper's: counts the key releases it passes on.
WNDPROC foreignPrevious = nullptr;
int foreignKeyUps = 0;
LRESULT CALLBACK ForeignSubclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYUP)
        ++foreignKeyUps;
    return CallWindowProcW(foreignPrevious, hwnd, message, wParam, lParam);
}

TEST(FrameworkControls, ASubclassedControlSeesItsMessagesUntilItGoes) {
    Form form;
    ASSERT_TRUE(form.Open());
    HWND hwnd = form.Item(IDC_FORM_HOTKEY);
    KeyCapture capture;
    ASSERT_TRUE(capture.Attach(hwnd));
    EXPECT_EQ(Control::FromHandle(hwnd), &capture);
    EXPECT_EQ(capture.Id(), IDC_FORM_HOTKEY);
    KeyCapture second;
    EXPECT_FALSE(second.Attach(hwnd)) << "one wrapper per control";

    SendMessageA(hwnd, WM_KEYUP, 'A', 0xC01E0001);
    SendMessageA(hwnd, WM_RBUTTONDOWN, 0, 0);
    EXPECT_EQ(capture.keyUps, 1);
    EXPECT_EQ(capture.rightButtons, 1);

    capture.Detach();
    SendMessageA(hwnd, WM_KEYUP, 'A', 0xC01E0001);
    EXPECT_EQ(capture.keyUps, 1);
    EXPECT_EQ(Control::FromHandle(hwnd), nullptr);

    // A subclass put above the wrapper's keeps working when the wrapper lets go under it: the
    // messages still pass through to the control, which still answers; a wrapper attached again
    // serves from the place its procedure kept in the chain.
    ASSERT_TRUE(capture.Attach(hwnd));
    foreignPrevious =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignSubclass)));
    capture.Detach();
    SendMessageA(hwnd, HKM_SETHOTKEY, MAKEWORD('K', HOTKEYF_CONTROL), 0);
    SendMessageA(hwnd, WM_KEYUP, 'A', 0xC01E0001);
    EXPECT_EQ(capture.keyUps, 1);
    EXPECT_EQ(foreignKeyUps, 1);
    EXPECT_EQ(LOWORD(SendMessageA(hwnd, HKM_GETHOTKEY, 0, 0)), MAKEWORD('K', HOTKEYF_CONTROL));
    ASSERT_TRUE(capture.Attach(hwnd));
    SendMessageA(hwnd, WM_KEYUP, 'A', 0xC01E0001);
    EXPECT_EQ(capture.keyUps, 2);
    EXPECT_EQ(foreignKeyUps, 2);

    // The wrapper lets go when the control is destroyed.
    DestroyWindow(hwnd);
    EXPECT_EQ(capture.Handle(), nullptr);
}

TEST(FrameworkControls, TheWrappersSpeakTheirControlsMessages) {
    Form form;
    ASSERT_TRUE(form.Open());

    HotKey hotKey;
    ASSERT_TRUE(hotKey.AttachItem(form.Handle(), IDC_FORM_HOTKEY));
    std::uint16_t vk = 1, mods = 1;
    EXPECT_FALSE(hotKey.GetHotKey(vk, mods));
    EXPECT_EQ(vk, 0);
    hotKey.SetHotKey('A', HOTKEYF_CONTROL | HOTKEYF_ALT);
    EXPECT_TRUE(hotKey.GetHotKey(vk, mods));
    EXPECT_EQ(vk, 'A');
    EXPECT_EQ(mods, HOTKEYF_CONTROL | HOTKEYF_ALT);
    EXPECT_EQ(hotKey.Send(HKM_GETHOTKEY), ((HOTKEYF_CONTROL | HOTKEYF_ALT) << 8) | 'A');

    Trackbar speed;
    ASSERT_TRUE(speed.AttachItem(form.Handle(), IDC_FORM_TRACKBAR));
    speed.SetRange(1, 128);
    EXPECT_EQ(speed.GetRangeMin(), 1);
    EXPECT_EQ(speed.GetRangeMax(), 128);
    for (const auto& [set, read] : {std::pair{64, 64}, {300, 128}, {0, 1}}) {
        speed.SetPos(set);
        EXPECT_EQ(speed.GetPos(), read) << set;
    }

    ComboBox list;
    ASSERT_TRUE(list.AttachItem(form.Handle(), IDC_FORM_COMBO));
    EXPECT_EQ(list.GetCurSel(), -1);
    EXPECT_EQ(list.AddString("None"), 0);
    EXPECT_EQ(list.AddString("Left Mouse Click"), 1);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_TRUE(list.SetCurSel(1));
    EXPECT_EQ(list.GetCurSel(), 1);
    EXPECT_EQ(list.GetItemText(1), "Left Mouse Click");
    EXPECT_FALSE(list.SetCurSel(5));
    EXPECT_TRUE(list.SetCurSel(-1));
    EXPECT_EQ(list.GetCurSel(), -1);

    Edit name;
    ASSERT_TRUE(name.AttachItem(form.Handle(), IDC_FORM_EDIT));
    name.SetText("Option+Play");
    EXPECT_EQ(name.GetText(), "Option+Play");
    name.SetSelection(3, 5);
    int start = 0, end = 0;
    name.GetSelection(start, end);
    EXPECT_EQ(start, 3);
    EXPECT_EQ(end, 5);
    name.Clear();
    EXPECT_EQ(name.GetText(), "Optn+Play");

    Button check;
    ASSERT_TRUE(check.AttachItem(form.Handle(), IDC_FORM_CHECK));
    check.SetCheck(BST_CHECKED);
    EXPECT_EQ(check.GetCheck(), BST_CHECKED);
    check.SetState(true);
    EXPECT_TRUE(check.GetState());
    check.Show(false);
    EXPECT_FALSE(check.IsVisible());
    check.Enable(false);
    EXPECT_FALSE(check.IsEnabled());
}

// The colour the button draws at its top-left pixel, for an item state.
COLORREF DrawnColour(HWND parent, HWND button, UINT state) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 40, 40);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, canvas);
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(GetDlgCtrlID(button));
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = button;
    item.hDC = dc;
    item.rcItem = {0, 0, 12, 8};
    // The parent gets WM_DRAWITEM and passes it back to the button's wrapper.
    SendMessageA(parent, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
    const COLORREF colour = GetPixel(dc, 0, 0);
    SelectObject(dc, old);
    DeleteObject(canvas);
    DeleteDC(dc);
    return colour;
}

TEST(FrameworkControls, ABitmapButtonLoadsItsPicturesByItsTextAndDrawsThePushedOne) {
    Form form;
    ASSERT_TRUE(form.Open());
    BitmapButton picture;
    ASSERT_TRUE(picture.AutoLoad(Module(), form.Handle(), IDC_FORM_PICTURE));
    EXPECT_NE(picture.NormalPicture(), nullptr);
    EXPECT_NE(picture.PushedPicture(), nullptr);
    EXPECT_EQ(GetWindowLongPtrA(picture.Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    RECT size = {};
    GetWindowRect(picture.Handle(), &size);
    EXPECT_EQ(size.right - size.left, 12);
    EXPECT_EQ(size.bottom - size.top, 8);

    EXPECT_EQ(DrawnColour(form.Handle(), picture.Handle(), 0), RGB(255, 0, 0));
    EXPECT_EQ(DrawnColour(form.Handle(), picture.Handle(), ODS_SELECTED), RGB(0, 0, 255));

    // A button whose pictures are missing is refused.
    BitmapButton missing;
    ASSERT_TRUE(missing.AttachItem(form.Handle(), IDC_FORM_CHECK));
    EXPECT_FALSE(missing.LoadBitmaps(Module(), "NOSUCHU", "NOSUCHD"));
}

} // namespace
} // namespace qvl::framework
