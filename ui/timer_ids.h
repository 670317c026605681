// Ids of the main window's one-shot timers.
#pragma once

namespace quarnel {

// The pump: one engine step and the serial pumps, re-armed every 1 ms.
constexpr unsigned TIMER_PUMP = 3333;
// Bounds the wait for the console reply in flight.
constexpr unsigned TIMER_REPLY = 1000;
// The deferred close of the link, once received bytes are drained.
constexpr unsigned TIMER_CLOSE = 6;

constexpr unsigned TIMER_PUMP_ELAPSE_MS = 1;
constexpr unsigned TIMER_CLOSE_ELAPSE_MS = 1;

}  // namespace quarnel
