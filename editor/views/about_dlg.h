// The About box (template 175): the product's picture and its version.
#pragma once

#include "framework/dialog.h"
#include "framework/dpi.h"

namespace qvl {

class CAboutDlg : public framework::Dialog {
public:
    explicit CAboutDlg(HINSTANCE instance);

protected:
    bool OnInitDialog() override;

private:
    framework::StaticPictures pictures_;
};

// Run the About box modally, owned by `owner`'s window (the editor's main window).
void RunAboutDialog(HINSTANCE instance, HWND owner);

} // namespace qvl
