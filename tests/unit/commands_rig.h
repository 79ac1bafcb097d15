// The keyset commands over the registry's fakes and a scripted user, as the editor's tests of commands
// build them; a test adds what its own commands need beside.
#pragma once

#include "ascii_text_case.h"
#include "fake_registry.h"
#include "keyset_ui_script.h"

#include "editor/app/keyset_commands.h"
#include "model/memory_blocks.h"

#include <algorithm>
#include <string>
#include <vector>

namespace qvl {

struct CommandsParts {
    NoStrings names;
    MemoryBlocks blocks;
    CSharedInfo shared{blocks};
    fakes::FakeRegistry registry;
    fakes::FakeKeysetLock lock{registry.journal};
    fakes::ScriptedKeysetUi ui;
    AsciiTextCase textCase;
    fakes::FakeKeysetWatch watch{registry};
    KeysetCommands commands{shared, names, KeysetStorage{registry, lock, textCase, watch}, ui, textCase};

    // The names in the list, in its order; and how many saves took the lock since the journal was cleared.
    std::vector<std::string> Names() const {
        std::vector<std::string> list;
        for (int i = 0; i < commands.Store()->GetCount(); ++i)
            list.push_back(commands.Store()->GetName(i));
        return list;
    }
    long Saves() const { return std::count(registry.journal.begin(), registry.journal.end(), "lock"); }
};

} // namespace qvl
