// Commands from menus, accelerators and controls, and the routing that finds who handles them.
//
// A window, document or application that handles commands derives from CommandTarget and registers
// its handlers in its constructor: one per command id (or a range of ids), and optionally an update
// handler that says, before a menu opens, whether the command is enabled and whether its item is
// checked. A frame asks its route (view, document, frame, application) in order: the first target
// with a handler runs it. A command that no target handles shows disabled and is not run.
//
// Plain C++: the routing is the same on every system, and the host tests drive it directly.
#pragma once

#include <functional>
#include <optional>
#include <vector>

namespace qvl::framework {

// The notification code of menu commands, accelerators and button clicks (BN_CLICKED is 0 too, so a
// click and a WM_COMMAND without a control reach the same handler).
constexpr unsigned kCommandCode = 0;

// What an update handler decides for one command. Unset parts keep their default: enabled when some
// target handles the command, check mark left as it is.
class CommandUpdate {
public:
    explicit CommandUpdate(unsigned id) : id_(id) {}
    unsigned Id() const { return id_; }
    void Enable(bool enabled = true) { enabled_ = enabled; }
    void SetCheck(bool checked = true) { checked_ = checked; }
    const std::optional<bool>& Enabled() const { return enabled_; }
    const std::optional<bool>& Checked() const { return checked_; }

private:
    unsigned id_;
    std::optional<bool> enabled_;
    std::optional<bool> checked_;
};

class CommandTarget {
public:
    CommandTarget() = default;
    CommandTarget(const CommandTarget&) = delete;
    CommandTarget& operator=(const CommandTarget&) = delete;
    virtual ~CommandTarget() = default;

    // Run the handler of command `id` with notification `code`; false when this target has none.
    virtual bool ExecuteCommand(unsigned id, unsigned code);
    bool HandlesCommand(unsigned id, unsigned code = kCommandCode) const;
    // Run the update handler of the command; false when this target has none.
    virtual bool UpdateCommand(CommandUpdate& update);

protected:
    void OnCommand(unsigned id, std::function<void()> handler);
    // One handler for the ids first to last; it receives the id.
    void OnCommandRange(unsigned first, unsigned last, std::function<void(unsigned)> handler);
    // A control's notification other than a click (EN_CHANGE, CBN_SELCHANGE, ...).
    void OnNotification(unsigned id, unsigned code, std::function<void()> handler);
    void OnUpdateCommand(unsigned id, std::function<void(CommandUpdate&)> handler);
    void OnUpdateCommandRange(unsigned first, unsigned last, std::function<void(CommandUpdate&)> handler);

private:
    struct Handler {
        unsigned first;
        unsigned last;
        unsigned code;
        std::function<void(unsigned)> run;
    };
    struct UpdateHandler {
        unsigned first;
        unsigned last;
        std::function<void(CommandUpdate&)> update;
    };
    const Handler* FindHandler(unsigned id, unsigned code) const;

    std::vector<Handler> handlers_;
    std::vector<UpdateHandler> updateHandlers_;
};

// The state a command shows in its menu item.
struct CommandState {
    bool enabled = false;
    std::optional<bool> checked; // nothing: leave the check mark alone
};

// Targets asked in order; null entries are skipped (a frame without a view, say).
class CommandRoute {
public:
    explicit CommandRoute(std::vector<CommandTarget*> targets) : targets_(std::move(targets)) {}

    // The first target with an update handler decides; without one, a command is enabled when some
    // target handles it.
    CommandState Query(unsigned id) const;
    // Run the command at the first target that handles it. A menu command or accelerator (code 0,
    // no control) that shows disabled is not run: a command posted by another program cannot do what
    // the menu would not let the user do. True when the command was dealt with (run or refused).
    bool Execute(unsigned id, unsigned code, bool fromControl) const;

private:
    std::vector<CommandTarget*> targets_;
};

} // namespace qvl::framework
