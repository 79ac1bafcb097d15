// Click targeting: the mouse object finds the window of a click again, or asks for a new one.
#include "driver/output/click_targeting.h"

#include "base/format_string.h"
#include "driver/output/mouse_action.h"
#include "model/string_text.h"

#include <cstring>

namespace qvl {

namespace {

// One search: its keys and its result travel through the enumeration's context value, so searches
// share nothing.
struct TargetSearch {
    Desktop& desktop;
    char searchClass[kWindowTextSize];
    char searchTitle[kWindowTextSize];
    WindowId foundWindow;
};

void CopyKey(char (&key)[kWindowTextSize], const char* text) {
    std::strncpy(key, text, sizeof key - 1);
    key[sizeof key - 1] = '\0';
}

// Byte-wise equality: a multibyte character matches only itself, so this is what a
// multibyte-aware comparison answers too.
bool SameText(const char* a, const char* b) {
    return std::strcmp(a, b) == 0;
}

bool ChildTest(WindowId window, void* context) {
    TargetSearch& search = *static_cast<TargetSearch*>(context);
    char className[kWindowTextSize];
    char text[kWindowTextSize];
    search.desktop.WindowClass(window, className, sizeof className);
    search.desktop.WindowText(window, text, sizeof text);
    if (SameText(className, search.searchClass) && SameText(text, search.searchTitle)) {
        search.foundWindow = window;
        return false; // done with this window's descendants; the next top-level window is searched too
    }
    return true;
}

bool TopLevelTest(WindowId window, void* context) {
    TargetSearch& search = *static_cast<TargetSearch*>(context);
    char text[kWindowTextSize];
    search.desktop.WindowText(window, text, sizeof text);
    if (SameText(text, search.searchTitle)) {
        search.foundWindow = window; // a top-level window is known by its text alone
        return false;
    }
    search.desktop.EnumChildWindows(window, &ChildTest, &search);
    return true;
}

} // namespace

WindowId FindTargetWindow(Desktop& desktop, std::uint32_t threadId, const char* className, const char* title) {
    TargetSearch search{desktop, {}, {}, kNoWindow};
    CopyKey(search.searchClass, className);
    CopyKey(search.searchTitle, title);
    if (search.searchClass[0] == '\0' && search.searchTitle[0] == '\0')
        return kNoWindow;
    desktop.EnumThreadWindows(threadId, &TopLevelTest, &search);
    return search.foundWindow;
}

WindowId CMouseAction::FindTargetWindow() {
    return qvl::FindTargetWindow(ports_.desktop, targetThreadId, targetClass, targetTitle);
}

void CMouseAction::OfferNewTarget() {
    if (context_ == nullptr)
        return;
    const WindowId front = context_->LastForeground();
    char frontText[kWindowTextSize];
    ports_.desktop.WindowText(front, frontText, sizeof frontText);
    const std::string question = LoadText(ports_.strings, kMissingTargetQuestionId);
    if (question.empty())
        return;
    const std::string text = FormatString(question, {targetTitle, frontText});

    // The box is shown from the device's thread over the program in front: sharing that program's
    // input lets the box take the foreground, and the program gets it back afterwards.
    const std::uint32_t frontThread = context_->ForegroundThreadId();
    ports_.question.AttachInput(frontThread, true);
    if (ports_.question.AskOkCancel(text.c_str()))
        context_->AcceptForegroundAsTarget();
    ports_.question.AttachInput(frontThread, false);
    ports_.question.SetForeground(front);
}

} // namespace qvl
