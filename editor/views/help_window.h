// The editor's help: a window with the list of topics at the left and the chosen topic's text at the
// right. The text is carried in QVL2.exe itself (resource IDR_HELP_TEXT), so nothing has to be
// installed beside the program and no help viewer of the system is needed.
#pragma once

#include "editor/app/help_topics.h"
#include "framework/dialog.h"

#include <functional>
#include <vector>

namespace qvl {

class CHelpWindow : public framework::Dialog {
public:
    // `onGone` is called once the window has been destroyed; it may delete this object.
    CHelpWindow(HINSTANCE instance, std::function<void()> onGone);

    // Show the window, without owner, on its first topic.
    bool Open();
    // Bring the window to the front with the focus in it.
    void Activate();

protected:
    bool OnInitDialog() override;
    void OnFinalDestroy() override;

private:
    void ShowTopic(int index);

    std::vector<HelpTopic> topics_;
    std::function<void()> onGone_;
};

// The help's text as the program carries it; empty when the resource is missing.
std::string LoadHelpText(HINSTANCE instance);

} // namespace qvl
