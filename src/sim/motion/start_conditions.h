// Start conditions that hold a started move (operation mode bits 18-19, in force):
// - 1: the start signal (command 6, or a list entry that starts axes together);
// - 2: a signal of another axis of the same four-axis chip: register 32 bits 20-21 give the
//   axis, bits 16-19 the signal: 4 it starts to run, 8 it stops, 9 it reaches its high speed
//   (state 0xC), 10 it begins to decelerate (state 0xD); other codes never come;
// - 3: the stop of the axis in mode bits 20-23 (an axis of the same board, 0-7).
// A held move starts in the simulated instant its event happens; only events from the instant
// it began to wait count. Stop commands end the wait.
#pragma once

#include <cstdint>
#include <span>

namespace quorva::sim {

struct SimAxis;
struct SimBoard;

// The started move of `axis` waits, from `nowNs`, for the condition of its mode in force.
void HoldForStartCondition(SimAxis& axis, std::int64_t nowNs);
// Starts every move whose awaited event has happened by `nowNs`, at the instant it happened.
void CatchUpStartConditions(std::span<SimBoard> boards, std::int64_t nowNs);

}  // namespace quorva::sim
