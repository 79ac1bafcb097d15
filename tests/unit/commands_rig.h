// The keyset commands over the registry's fakes and a scripted user, as the editor's tests of commands
// build them; a test adds what its own commands need beside.
#pragma once

#include "ascii_text_case.h"
#include "fake_registry.h"
#include "keyset_ui_script.h"

#include "editor/app/keyset_commands.h"
#include "model/memory_blocks.h"

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
};

} // namespace qvl
