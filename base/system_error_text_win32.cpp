#include "base/system_error_text_win32.h"

#include <windows.h>

namespace qvl {

std::string SystemErrorText(unsigned long code) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | 80, nullptr, code,
        MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string result;
    if (length > 0 && text != nullptr)
        result.assign(text, length);
    if (text != nullptr)
        LocalFree(text);
    return result;
}

std::string SystemErrorPhrase(unsigned long code) {
    std::string phrase;
    for (char c : SystemErrorText(code)) {
        if (c == '\r')
            continue;
        if (c == '\n')
            c = ' ';
        if (c != ' ' || (!phrase.empty() && phrase.back() != ' '))
            phrase += c;
    }
    while (!phrase.empty() && (phrase.back() == ' ' || phrase.back() == '.'))
        phrase.pop_back();
    return phrase;
}

} // namespace qvl
