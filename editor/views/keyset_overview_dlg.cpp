#include "editor/views/keyset_overview_dlg.h"

#include "base/text_conversion_win32.h"
#include "editor/app/editor_app.h"
#include "editor/res/resource.h"
#include "model/utf_text.h"

namespace qvl {

namespace {

// The overview's own colours: white text on a mid grey, like the device's labels; the cells a shade
// darker, so that each stands apart without a border taking room from its three lines.
constexpr COLORREF kBackground = RGB(152, 152, 152);
constexpr COLORREF kCellBackground = RGB(118, 118, 122);
constexpr COLORREF kText = RGB(255, 255, 255);

bool IsCell(HWND control) {
    const int id = GetDlgCtrlID(control);
    return (id >= IDC_FIRST_KEY_CELL && id <= IDC_LAST_KEY_CELL) || id == IDC_WHEEL_LED_ON_CELL ||
           id == IDC_WHEEL_LED_OFF_CELL;
}

// The banks of the template's rows from the top, and the controls of its columns from the left.
constexpr int kRowBanks[4] = {kOptionShiftBank, kOptionBank, kShiftBank, kMainBank};
constexpr int kColumnControls[5] = {kRewind, kFastForward, kStop, kPlay, kRecord};

// The cells' text is the program's code page, as the names' in the record.
std::string AnsiFromUtf8(const std::string& text) {
    const std::optional<std::u16string> units = Utf16FromUtf8(text);
    return units ? Utf16ToAnsi(units->data(), units->size()) : std::string();
}

} // namespace

void CKeyCell::Compose() {
    if (const std::optional<std::string> text = KeyCellText::Compose())
        SetText(SplitLines(*text, kTransportLineWidth));
}

LRESULT CKeyCell::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFOCUS:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_CONTEXTMENU:
        case WM_MOUSEMOVE:
            return 0;
        default:
            return Control::HandleMessage(message, wParam, lParam);
    }
}

void CWheelCell::Compose() {
    if (keyset == nullptr)
        return;
    WheelCellText text(keyset, bankIndex, strings_);
    text.steps = steps;
    text.stepsText = stepsText;
    SetText(SplitLines(text.Compose(), kWheelLineWidth));
}

CKeysetOverviewDlg::CKeysetOverviewDlg(CEditorApp& app, CQVLsetView* view, std::function<void()> onGone)
    : Dialog(app.Instance(), IDD_KEYSET_OVERVIEW), app_(app), view_(view), onGone_(std::move(onGone)) {}

CKeysetOverviewDlg::~CKeysetOverviewDlg() {
    // The cells let go of their controls before the window goes.
    ReleaseCells();
}

bool CKeysetOverviewDlg::Create(std::unique_ptr<KeysetRecord> copy, const KeysetSteps& steps) {
    if (copy == nullptr)
        return false;
    keyset = std::move(copy);
    steps_ = steps;
    if (!Dialog::Create(nullptr))
        return false;
    ShowWindow(Handle(), SW_SHOW);
    return true;
}

void CKeysetOverviewDlg::ShowKeyset(std::unique_ptr<KeysetRecord> copy, const KeysetSteps& steps) {
    if (copy == nullptr || keyset == nullptr)
        return;
    *keyset = *copy; // the cells keep pointing at the window's copy
    steps_ = steps;
    for (auto& cell : cells_)
        cell->SetText("");
    ComposeAll();
}

bool CKeysetOverviewDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    pictures_.ScaleForDpi(Handle(), framework::ScreenDpi());
    background_.Reset(CreateSolidBrush(kBackground));
    cellBackground_.Reset(CreateSolidBrush(kCellBackground));
    const auto font = reinterpret_cast<WPARAM>(app_.GetOverviewFont());
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 5; ++column) {
            auto cell = std::make_unique<CKeyCell>(app_.Strings());
            cell->keyset = keyset.get();
            cell->bankIndex = static_cast<std::int16_t>(kRowBanks[row]);
            cell->controlIndex = static_cast<std::int16_t>(kColumnControls[column]);
            cell->AttachItem(Handle(), IDC_FIRST_KEY_CELL + row * 5 + column);
            cells_.push_back(std::move(cell));
        }
    }
    const int wheelCells[2] = {IDC_WHEEL_LED_ON_CELL, IDC_WHEEL_LED_OFF_CELL};
    for (int bank = 0; bank < 2; ++bank) {
        auto cell = std::make_unique<CWheelCell>(app_.Strings());
        cell->keyset = keyset.get();
        cell->bankIndex = static_cast<std::int16_t>(bank);
        cell->AttachItem(Handle(), wheelCells[bank]);
        cells_.push_back(std::move(cell));
    }
    for (auto& cell : cells_) {
        cell->steps = &steps_;
        cell->stepsText = AnsiFromUtf8;
        if (font != 0)
            cell->Send(WM_SETFONT, font, FALSE);
    }
    ComposeAll();
    return true;
}

void CKeysetOverviewDlg::ComposeAll() {
    if (keyset != nullptr)
        SetWindowTextA(Handle(), (title.empty() ? ReadField(keyset->header.appName) : title).c_str());
    for (auto& cell : cells_)
        cell->Compose();
}

bool CKeysetOverviewDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT: {
            const bool cell = message != WM_CTLCOLORDLG && IsCell(reinterpret_cast<HWND>(lParam));
            const GdiObjectHandle& brush = cell ? cellBackground_ : background_;
            auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, kText);
            SetBkColor(dc, cell ? kCellBackground : kBackground);
            result = reinterpret_cast<LRESULT>(brush.Get());
            return brush.Get() != nullptr;
        }
        default:
            return false;
    }
}

void CKeysetOverviewDlg::ReleaseCells() {
    for (auto& cell : cells_)
        cell->Detach();
    cells_.clear();
}

void CKeysetOverviewDlg::OnFinalDestroy() {
    ReleaseCells();
    keyset.reset();
    // Last: the owner may delete this object now.
    const std::function<void()> gone = std::move(onGone_);
    if (gone)
        gone();
}

} // namespace qvl
