// The helical worker threads: at most one per board, each with its own copy of its helix. A
// worker ends by itself when its helix is over, or when asked to (an abort, the unload of its
// board, the library leaving the process); the thread is joined afterwards.
#include <atomic>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "device/immortal.h"
#include "motion/commands/helical.h"
#include "motion/core/motion_context.h"
#include "platform/platform.h"

namespace quorva {
namespace {

struct Worker {
  HelicalBlock block;
  MotionContext* context = nullptr;  // lives until the worker is joined
  std::atomic<bool> ended{false};
  std::thread thread;
};

struct WorkerTable {
  std::mutex mutex;
  std::vector<std::unique_ptr<Worker>> workers;
};

WorkerTable& Table() {
  static Immortal<WorkerTable> table;
  return *table;
}

// Takes the workers `select` picks out of the table.
template <typename Select>
std::vector<std::unique_ptr<Worker>> TakeWorkers(Select select) {
  WorkerTable& table = Table();
  std::lock_guard lock(table.mutex);
  std::vector<std::unique_ptr<Worker>> taken;
  for (auto it = table.workers.begin(); it != table.workers.end();) {
    if (select(**it)) {
      taken.push_back(std::move(*it));
      it = table.workers.erase(it);
    } else {
      ++it;
    }
  }
  return taken;
}

// Stops a worker that still runs its helix and waits for its thread.
void EndWorker(Worker& worker) {
  if (!worker.ended) AbortHelicalWorker(*worker.context);
  platform::EndLibraryThread(worker.thread);
}

}  // namespace

bool StartHelicalWorker(MotionContext& context, const HelicalBlock& block) {
  int idle = 0;
  if (!context.helicalRunning.compare_exchange_strong(idle, 1)) return false;
  context.abortRequested = 0;
  WorkerTable& table = Table();
  try {
    auto worker = std::make_unique<Worker>();
    worker->block = block;
    worker->context = &context;
    Worker* w = worker.get();
    std::lock_guard lock(table.mutex);
    table.workers.reserve(table.workers.size() + 1);  // nothing can fail once the thread runs
    w->thread = platform::StartLibraryThread([w] {
      RunHelicalWorker(*w->context, w->block);
      w->ended = true;
    });
    table.workers.push_back(std::move(worker));
    return true;
  } catch (const std::bad_alloc&) {
  } catch (const std::system_error&) {
  }
  context.helicalRunning = 0;
  return false;
}

void AbortHelicalWorker(MotionContext& context) {
  context.abortRequested = 1;
  context.stopRequested = 1;
  while (context.helicalRunning != 0)
    platform::WaitPass(false);
  context.stopRequested = 0;
  context.abortRequested = 0;
}

void JoinEndedHelicalWorkers() {
  for (auto& worker : TakeWorkers([](const Worker& w) { return w.ended.load(); }))
    worker->thread.join();
}

void StopHelicalWorkers(const BoardEvent& board) {
  for (auto& worker : TakeWorkers([&](const Worker& w) { return w.block.handle == board.handle; }))
    EndWorker(*worker);
}

void ReleaseHelicalWorkers() {
  // Every board is unloaded by now, and every worker with it; a worker left over is ended all
  // the same.
  for (auto& worker : TakeWorkers([](const Worker&) { return true; }))
    EndWorker(*worker);
  WorkerTable& table = Table();
  std::lock_guard lock(table.mutex);
  std::vector<std::unique_ptr<Worker>>().swap(table.workers);
}

}  // namespace quorva
