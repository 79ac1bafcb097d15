#include "framework/single_doc_template.h"

namespace qvl::framework {

SingleDocTemplate::SingleDocTemplate(UINT resourceId, std::unique_ptr<Document> document,
                                     std::unique_ptr<FrameWindow> frame, std::unique_ptr<View> view)
    : resourceId_(resourceId), document_(std::move(document)), frame_(std::move(frame)), view_(std::move(view)) {}

SingleDocTemplate::~SingleDocTemplate() {
    // The frame's window takes the view's with it; neither may outlive the objects.
    if (frame_ != nullptr)
        frame_->Destroy();
    view_.reset();
    frame_.reset();
    document_.reset();
}

bool SingleDocTemplate::OpenNewDocument(Application& application, const std::string& title) {
    if (!frame_->CreateFrame(application.Instance(), resourceId_, title, &application))
        return false;
    document_->AddView(*view_);
    frame_->SetActiveView(view_.get());
    if (!view_->CreateView(*frame_, application.Instance()) || !document_->OnNewDocument()) {
        frame_->SetActiveView(nullptr);
        frame_->Destroy();
        return false;
    }
    application.SetMainWindow(frame_.get());
    view_->OnInitialUpdate();
    return true;
}

} // namespace qvl::framework
