// A single-document program's one document, its frame and its view, made and wired together.
//
// OpenNewDocument creates the frame (hidden) and the view in it, runs the document's OnNewDocument
// and then the view's initial update, and makes the frame the application's main window; the
// application shows it. The template owns the three objects; the windows end when the document is
// closed, the objects with the template.
#pragma once

#include "framework/application.h"
#include "framework/document.h"
#include "framework/frame_window.h"
#include "framework/view.h"

#include <memory>
#include <string>

namespace qvl::framework {

class SingleDocTemplate {
public:
    SingleDocTemplate(UINT resourceId, std::unique_ptr<Document> document, std::unique_ptr<FrameWindow> frame,
                      std::unique_ptr<View> view);
    SingleDocTemplate(const SingleDocTemplate&) = delete;
    SingleDocTemplate& operator=(const SingleDocTemplate&) = delete;
    ~SingleDocTemplate();

    // False, with no window left, when the frame or the view could not be made or the document
    // refused to start.
    bool OpenNewDocument(Application& application, const std::string& title);

    Document& GetDocument() const { return *document_; }
    FrameWindow& GetFrame() const { return *frame_; }
    View& GetView() const { return *view_; }

private:
    UINT resourceId_;
    // Declared in the order of destruction backwards: the view goes first, then the frame, then the
    // document it shows.
    std::unique_ptr<Document> document_;
    std::unique_ptr<FrameWindow> frame_;
    std::unique_ptr<View> view_;
};

} // namespace qvl::framework
