// Menus from resources: load one, take a pop-up out of it, change an item, and show a pop-up that
// hands back the chosen command instead of posting it (the tray menu works this way).
#pragma once

#include "base/unique_handle_win32.h"

#include <windows.h>

#include <string>

namespace qvl::framework {

// Menu `id` of the module's resources; empty when there is none.
MenuHandle LoadMenuResource(HINSTANCE instance, UINT id);

// The pop-up at `position` of `menu`, owned by `menu`; null when that item has no pop-up.
HMENU SubMenu(HMENU menu, int position);

// Replace the item at `position` by a plain text item with `commandId`.
bool ReplaceMenuItem(HMENU menu, UINT position, UINT commandId, const std::string& text);

// The text of the item at `position`; empty for separators and missing items.
std::string MenuItemText(HMENU menu, UINT position);

// Show `popup` at the screen point (x, y) for `owner` and wait for the choice. `alignment` takes the
// TPM_*ALIGN flags. Returns the chosen command, 0 when the menu was dismissed. The owner is brought
// to the foreground first, or a menu opened from the tray would not close when the user clicks
// elsewhere.
UINT TrackPopupCommand(HMENU popup, HWND owner, int x, int y, UINT alignment);

} // namespace qvl::framework
