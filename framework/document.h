// The document of a document/view program: the data the program edits, shown by its views.
//
// The framework calls OnNewDocument when the program starts (or a new document is made),
// OnOpenDocument and OnSaveDocument with a file chosen by the user or given on the command line, and
// OnCloseDocument when the document's frame is closed. UpdateAllViews tells every view to show the
// document again.
#pragma once

#include "framework/command_target.h"

#include <string>
#include <vector>

namespace qvl::framework {

class View;

class Document : public CommandTarget {
public:
    ~Document() override;

    virtual bool OnNewDocument() { return true; }
    virtual bool OnOpenDocument(const std::string& path);
    virtual bool OnSaveDocument(const std::string& path);
    // The default closes the frames that show the document.
    virtual void OnCloseDocument();

    void AddView(View& view);
    void RemoveView(View& view);
    const std::vector<View*>& Views() const { return views_; }
    // Every view but `sender` runs OnUpdate.
    void UpdateAllViews(View* sender);

private:
    std::vector<View*> views_;
};

} // namespace qvl::framework
