#include "editor/app/others_changes.h"

#include <string>
#include <vector>

namespace qvl {

namespace {

std::vector<std::string> NamesOf(const CKeysetStore& store) {
    std::vector<std::string> names;
    for (int index = 0; index < store.GetCount(); ++index)
        names.push_back(store.GetName(index));
    return names;
}

} // namespace

bool TakeOthersChanges(KeysetCommands& commands, KeysetUi& ui) {
    CKeysetStore* store = commands.Store();
    if (store == nullptr || commands.LoadPending())
        return true;
    const std::vector<std::string> before = NamesOf(*store);
    // A reload that fails leaves the list as it was.
    if (!commands.ReloadKeysets().Done() || NamesOf(*store) == before)
        return true;
    const int current = store->GetCurrentIndex();
    if (current < 0 || current >= store->GetCount())
        commands.SetCurrent(0);
    commands.RebuildKeysetsMenu();
    ui.UpdateAllViews();
    return false;
}

} // namespace qvl
