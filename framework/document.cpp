#include "framework/document.h"

#include "framework/frame_window.h"
#include "framework/view.h"

#include <algorithm>

namespace qvl::framework {

Document::~Document() {
    for (View* view : views_)
        view->document_ = nullptr;
}

bool Document::OnOpenDocument(const std::string&) {
    return false;
}

bool Document::OnSaveDocument(const std::string&) {
    return false;
}

void Document::OnCloseDocument() {
    // Copy first: destroying a frame may take views off the list.
    const std::vector<View*> views = views_;
    for (View* view : views) {
        if (FrameWindow* frame = view->GetFrame())
            frame->Destroy();
    }
}

void Document::AddView(View& view) {
    if (view.document_ == this)
        return;
    if (view.document_ != nullptr)
        view.document_->RemoveView(view);
    views_.push_back(&view);
    view.document_ = this;
}

void Document::RemoveView(View& view) {
    views_.erase(std::remove(views_.begin(), views_.end(), &view), views_.end());
    if (view.document_ == this)
        view.document_ = nullptr;
}

void Document::UpdateAllViews(View* sender) {
    const std::vector<View*> views = views_;
    for (View* view : views) {
        if (view != sender)
            view->OnUpdate(sender);
    }
}

View::~View() {
    if (document_ != nullptr)
        document_->RemoveView(*this);
}

void View::OnInitialUpdate() {
    OnUpdate(nullptr);
}

} // namespace qvl::framework
