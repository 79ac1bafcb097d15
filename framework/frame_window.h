// The main window of a document/view program: caption, menu and accelerators from one resource id,
// the view filling its client area, and the routing of commands.
//
// A command from the menu, an accelerator or the view goes to the view, the document, the frame and
// the application, in that order; the first that handles it runs it. Before a menu opens, every item
// asks the same route whether it is enabled and checked (WM_INITMENUPOPUP); an item that nobody
// handles shows disabled. Closing the frame closes the document, and the main frame's end ends the
// message loop.
#pragma once

#include "framework/application.h"
#include "framework/command_target.h"
#include "framework/window.h"

#include <string>

namespace qvl::framework {

class Document;
class View;

// How the frame window is made; PreCreateWindow may change any of it.
struct FrameCreateParams {
    const char* className = "QvlFrameWindow";
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    int width = CW_USEDEFAULT;
    int height = CW_USEDEFAULT;
};

class FrameWindow : public Window, public CommandTarget {
public:
    // Create the window (hidden) with menu, accelerators and icon `resourceId`; a missing icon or
    // accelerator table is no error.
    bool CreateFrame(HINSTANCE instance, UINT resourceId, const std::string& title, Application* application);

    void SetActiveView(View* view) { view_ = view; }
    View* GetActiveView() const { return view_; }
    Document* GetActiveDocument() const;
    Application* GetApplication() const { return application_; }

    // The route of commands: view, document, frame, application.
    CommandRoute Route();
    // Run command `id` along the route (see CommandRoute::Execute); `control` is the control that sent
    // it, or null.
    bool RouteCommand(UINT id, UINT code, HWND control);
    // Enable, disable and check the items of `menu` (not of its pop-ups) as the route says.
    void UpdateMenuItems(HMENU menu);

    // Accelerators, then the view. Keys typed into a hot-key control are never accelerators: the user
    // is entering a keystroke to assign, and Ctrl+T must reach the control, not open a dialog.
    bool PreTranslateMessage(MSG& message);

protected:
    virtual void PreCreateWindow(FrameCreateParams& params) { (void)params; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    Application* application_ = nullptr;
    View* view_ = nullptr;
    HACCEL accelerators_ = nullptr; // from the resources: released with the module
};

} // namespace qvl::framework
