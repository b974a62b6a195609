// List motion: the run-list request (the driver copies the chain before the request returns),
// abort, the done and sequence queries, and the output addresses a board reports for the
// output actions of another board's list. The bus brings every list up to the request's time
// before a handler runs.
#include "device/commands.h"
#include "sim/motion/list_runner.h"
#include "sim/sim_handlers.h"

namespace quorva::sim {
namespace {

int RunList(SimBoard& board, const SimRequest& request) {
  return StartList(request.Boards(), board, request.Slot(1), request.U32(2), request.U32(3),
                   request.NowNs())
             ? 1
             : 0;
}

int AbortListRequest(SimBoard& board, const SimRequest& request) {
  AbortList(board, request.NowNs());
  return 1;
}

int ListDoneRequest(SimBoard& board, const SimRequest& request) {
  request.Store(1, std::uint32_t{ListDone(board, request.NowNs()) ? 1u : 0u});
  return 1;
}

int ListSequenceRequest(SimBoard& board, const SimRequest& request) {
  request.Store(1, ListSequence(board));
  return 1;
}

int OutputAddresses(SimBoard& board, const SimRequest& request) {
  const std::uint32_t base =
      OutputBaseAddress(static_cast<std::size_t>(&board - request.Boards().data()));
  request.Store(1, base);
  request.Store(2, base + 4);
  request.Store(3, base + 8);
  return 1;
}

}  // namespace

void AddListHandlers(HandlerTable& table) {
  table.Set(cmd::kListRun, RunList);
  table.Set(cmd::kListAbort, AbortListRequest);
  table.Set(cmd::kListDone, ListDoneRequest);
  table.Set(cmd::kListSequence, ListSequenceRequest);
  table.Set(cmd::kOutputAddresses, OutputAddresses);
}

}  // namespace quorva::sim
