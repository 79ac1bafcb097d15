#include "framework/data_exchange.h"

#include "framework/control.h"

#include <vector>

namespace qvl::framework {

void DataExchange::Text(int id, std::string& value) {
    HWND item = Item(id);
    if (item == nullptr)
        return;
    if (!saving_) {
        SetWindowTextA(item, value.c_str());
        return;
    }
    const int length = GetWindowTextLengthA(item);
    std::vector<char> text(static_cast<std::size_t>(length > 0 ? length : 0) + 1);
    const int copied = GetWindowTextA(item, text.data(), static_cast<int>(text.size()));
    value.assign(text.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

void DataExchange::Check(int id, int& value) {
    HWND item = Item(id);
    if (item == nullptr)
        return;
    if (saving_)
        value = static_cast<int>(SendMessageA(item, BM_GETCHECK, 0, 0));
    else
        SendMessageA(item, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DataExchange::ListIndex(int id, int& value) {
    HWND item = Item(id);
    if (item == nullptr)
        return;
    if (saving_)
        value = static_cast<int>(SendMessageA(item, CB_GETCURSEL, 0, 0));
    else
        SendMessageA(item, CB_SETCURSEL, static_cast<WPARAM>(value), 0);
}

void DataExchange::Attach(int id, Control& control) {
    if (control.Handle() == nullptr)
        control.AttachItem(dialog_, id);
}

} // namespace qvl::framework
