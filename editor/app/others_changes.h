// Another writer's changes to the stored keysets (QVL2.exe /import from a script, a second editor, a
// .reg file) come into this editor's list when its window gains the focus and before each command that
// changes the list, so that the save which follows keeps them instead of writing the list over them;
// the store's lock and watch make that cheap when nobody else wrote (nothing is read). The current index
// is the shared one, which every writer keeps on its keyset; the Keysets menu and the views follow.
#pragma once

#include "editor/app/keyset_commands.h"

namespace qvl {

// False when the keysets in the list changed (one came or went): a command on the current keyset is
// then not carried out, since the user has not seen which keyset is current now.
bool TakeOthersChanges(KeysetCommands& commands, KeysetUi& ui);

} // namespace qvl
