// The editor's answers to the text commands: the list of the keysets shipped as templates (dialog
// IDD_NEW_FROM_TEMPLATE) and the templates' texts, which QVL2.exe carries as resources.
#pragma once

#include "editor/app/text_commands.h"

#include <windows.h>

namespace qvl {

class CEditorApp;

class CTextDialogs final : public TextUi {
public:
    explicit CTextDialogs(CEditorApp& app) : app_(app) {}

    std::optional<std::size_t> ChooseTemplate(const std::vector<std::string>& titles) override;
    std::string TemplateText(unsigned id) override;

private:
    CEditorApp& app_;
};

} // namespace qvl
