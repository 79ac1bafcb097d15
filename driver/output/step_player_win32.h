// The player's loop: a thread that sleeps on an event until the player has something due (a wait's end, a
// repeat) or is woken (an event handed over, a wait begun on the reader's thread, everything stopped), and
// then lets it play. Its clock is the performance counter, in milliseconds.
#pragma once

#include "base/unique_handle_win32.h"
#include "driver/output/step_player.h"

#include <atomic>
#include <cstdint>
#include <thread>

namespace qvl {

class Win32PlayerLoop final : public PlayerLoop {
public:
    Win32PlayerLoop();
    // Stops the thread.
    ~Win32PlayerLoop();

    // The thread starts playing `player`, which must outlive Stop. False when it could not start.
    bool Start(CStepPlayer& player);
    // Ends the thread, waiting for a Run in progress.
    void Stop();

    std::uint64_t NowMs() override;
    void Wake() override;

private:
    void Loop(CStepPlayer& player);

    KernelHandle wake_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    std::int64_t frequency_ = 1;
};

} // namespace qvl
