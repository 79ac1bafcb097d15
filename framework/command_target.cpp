#include "framework/command_target.h"

namespace qvl::framework {

bool CommandTarget::ExecuteCommand(unsigned id, unsigned code) {
    const Handler* handler = FindHandler(id, code);
    if (handler == nullptr)
        return false;
    // The handler may register or drop handlers; run a copy so it outlives that.
    const std::function<void(unsigned)> run = handler->run;
    run(id);
    return true;
}

bool CommandTarget::HandlesCommand(unsigned id, unsigned code) const {
    return FindHandler(id, code) != nullptr;
}

bool CommandTarget::UpdateCommand(CommandUpdate& update) {
    for (const UpdateHandler& handler : updateHandlers_) {
        if (update.Id() >= handler.first && update.Id() <= handler.last) {
            handler.update(update);
            return true;
        }
    }
    return false;
}

void CommandTarget::OnCommand(unsigned id, std::function<void()> handler) {
    handlers_.push_back({id, id, kCommandCode, [handler = std::move(handler)](unsigned) { handler(); }});
}

void CommandTarget::OnCommandRange(unsigned first, unsigned last, std::function<void(unsigned)> handler) {
    handlers_.push_back({first, last, kCommandCode, std::move(handler)});
}

void CommandTarget::OnNotification(unsigned id, unsigned code, std::function<void()> handler) {
    handlers_.push_back({id, id, code, [handler = std::move(handler)](unsigned) { handler(); }});
}

void CommandTarget::OnUpdateCommand(unsigned id, std::function<void(CommandUpdate&)> handler) {
    updateHandlers_.push_back({id, id, std::move(handler)});
}

void CommandTarget::OnUpdateCommandRange(unsigned first, unsigned last, std::function<void(CommandUpdate&)> handler) {
    updateHandlers_.push_back({first, last, std::move(handler)});
}

const CommandTarget::Handler* CommandTarget::FindHandler(unsigned id, unsigned code) const {
    for (const Handler& handler : handlers_) {
        if (id >= handler.first && id <= handler.last && code == handler.code)
            return &handler;
    }
    return nullptr;
}

CommandState CommandRoute::Query(unsigned id) const {
    CommandState state;
    for (CommandTarget* target : targets_) {
        if (target == nullptr)
            continue;
        CommandUpdate update(id);
        if (target->UpdateCommand(update)) {
            state.checked = update.Checked();
            if (update.Enabled().has_value()) {
                state.enabled = *update.Enabled();
                return state;
            }
            break; // the handler left the enabled state to the default
        }
    }
    for (CommandTarget* target : targets_) {
        if (target != nullptr && target->HandlesCommand(id)) {
            state.enabled = true;
            break;
        }
    }
    return state;
}

bool CommandRoute::Execute(unsigned id, unsigned code, bool fromControl) const {
    if (code == kCommandCode && !fromControl && !Query(id).enabled) {
        // Refused; it still counts as dealt with when someone would have handled it.
        for (CommandTarget* target : targets_)
            if (target != nullptr && target->HandlesCommand(id, code))
                return true;
        return false;
    }
    for (CommandTarget* target : targets_) {
        if (target != nullptr && target->ExecuteCommand(id, code))
            return true;
    }
    return false;
}

} // namespace qvl::framework
