// A view shows a document inside a frame window. The frame sends it commands first (before the
// document, the frame itself and the application) and gives it the keyboard messages of its
// windows before they are dispatched.
#pragma once

#include "framework/command_target.h"

#include <windows.h>

namespace qvl::framework {

class Document;
class FrameWindow;

class View : public CommandTarget {
public:
    ~View() override;

    // Create the view's window as a child of `frame`'s client area.
    virtual bool CreateView(FrameWindow& frame, HINSTANCE instance) = 0;
    virtual HWND ViewHandle() const = 0;

    // Once, after the document has been made or opened; the default runs OnUpdate.
    virtual void OnInitialUpdate();
    // The document changed; `sender` is the view that changed it, or null.
    virtual void OnUpdate(View* sender) { (void)sender; }
    // A look at each message for the view's windows before it is dispatched; true when dealt with.
    virtual bool PreTranslateMessage(MSG& message) {
        (void)message;
        return false;
    }

    Document* GetDocument() const { return document_; }
    FrameWindow* GetFrame() const { return frame_; }

protected:
    void SetFrame(FrameWindow* frame) { frame_ = frame; }

private:
    friend class Document;
    Document* document_ = nullptr;
    FrameWindow* frame_ = nullptr;
};

} // namespace qvl::framework
