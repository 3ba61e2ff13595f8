// Waiting on the event loop with a deadline, for code that runs its own loop
// on the user-interface thread (the link's exchanges): the port's received
// bytes arrive as events, so waiting for events is waiting for the line.
#pragma once

#include <cstdint>

// Runs the pending events and returns if there were any; otherwise blocks
// until the next event is handled or until untilUs (microseconds of
// std::chrono::steady_clock) has come.
void waitForEventsUntil(std::int64_t untilUs);
