// Helical motion: a helix of several turns, run as a list of helical steps by newer controllers
// or, on older ones, by a worker thread that chains plain arcs while the linear axis runs one
// long move.
#pragma once

#include "device/board_watchers.h"
#include "device/driver_call.h"

namespace quorva {

struct MotionContext;

// One helix as the application described it, checked and with its axes resolved. Each worker
// keeps its own copy, so a later helix on another board never changes the one that runs.
struct HelicalBlock {
  Handle handle = nullptr;
  int map = 0;
  int a = 0;  // the arc axes: the two lowest axes of the map
  int b = 0;
  int z = 0;          // the linear axis
  int direction = 1;  // +1 counter-clockwise, -1 clockwise
  int arcs = 0;
  double lastAngle = 0;  // degrees
  double centerX = 0;    // relative to the present position, user units
  double centerY = 0;
  double distance = 0;  // of the linear axis, user units
};

// The helix of the worker thread, run on the calling thread until it ends; clears the board's
// `helicalRunning` as its last action.
void RunHelicalWorker(MotionContext& context, const HelicalBlock& block);

// Starts the worker thread for `block` on the board of `context`, which has none running: sets
// `helicalRunning` and clears `abortRequested` before the thread starts, so that an abort right
// after the start is not lost. False, with the flags as before, when no thread could start.
bool StartHelicalWorker(MotionContext& context, const HelicalBlock& block);
// Asks the board's worker to stop, as QUORVA_MC_AbortHelical does, and waits until it has left
// its helix (at once when none runs). Joins no thread: it also runs where none can end.
void AbortHelicalWorker(MotionContext& context);
// Joins the workers that have ended.
void JoinEndedHelicalWorkers();
// A board is being unloaded: the workers of its handle are stopped and joined before the board's
// context can go.
void StopHelicalWorkers(const BoardEvent& board);
// The library leaves the process: what the worker table holds is given back.
void ReleaseHelicalWorkers();

}  // namespace quorva
