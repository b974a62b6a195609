// List motion: recording, handing the chain to the driver, aborting and watching it.
#include "motion/commands/list_motion.h"

#include <vector>

#include "device/commands.h"
#include "device/trace.h"
#include "motion/core/axis_primitives.h"
#include "motion/core/motion_context.h"
#include "motion/io/counter_values.h"
#include "motion/io/position_counter.h"

namespace quorva {
namespace {

constexpr int kSlotRegisterNumbers[kListSlotRegisters] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 32};

void FillAxisSlots(Handle handle, const MotionContext& context, std::uint32_t mask,
                   ListEntry& entry) {
  int slot = 0;
  for (int axis = 0; axis < context.axisCount && axis < kMaxAxes; ++axis) {
    if ((mask >> axis & 1u) == 0) continue;
    for (int r = 0; r < kListSlotRegisters; ++r) {
      entry.axisSlots[slot][r] = AxisRegRead(handle, axis, kSlotRegisterNumbers[r]);
    }
    ++slot;
  }
}

// Hands linked nodes to the driver; they live only for the request, which is when the driver
// takes its copy.
template <typename Node>
void SendNodes(Handle handle, const std::vector<Node>& nodes, std::uint32_t axisMask) {
  DriverCall(handle, cmd::kListRun, static_cast<const void*>(nodes.data()),
             static_cast<std::uint32_t>(nodes.size()), axisMask);
}

}  // namespace

ListChain& ActiveListChain(MotionContext& context) {
  return IsWow64Process32() == 1 ? context.listItemsWow64 : context.listItems;
}

void ListAppend(Handle handle, MotionContext& context, std::uint32_t mask, int master,
                std::uint32_t command, ListEntryKind kind) {
  ListEntry* entry = ActiveListChain(context).Append();
  if (entry == nullptr) return;
  entry->immediacy = static_cast<std::uint8_t>(context.listImmediacy);
  context.listImmediacy = 0;
  entry->kind = kind;
  entry->master = static_cast<std::uint32_t>(master);
  entry->command = command;
  entry->mask = mask;
  FillAxisSlots(handle, context, mask, *entry);
}

}  // namespace quorva

using namespace quorva;

namespace {

// Appends a digital-output action on the output board `output` to the chain that
// QUORVA_MC_StartListMotion hands over, so that a 32-bit caller's actions are not left behind
// in a chain that is never sent.
void AppendOutputAction(QUORVA_HANDLE handle, QUORVA_HANDLE output, ListOutputAction action,
                        std::initializer_list<std::uint32_t> arguments) {
  MotionContext* context = ContextOf(handle);
  if (context == nullptr) return;
  ListEntry* entry = ActiveListChain(*context).Append();
  if (entry == nullptr) return;
  entry->kind = kListDigitalOutput;
  entry->immediacy = 1;
  if (!IsNoDevice(output) && output != handle) {
    DriverCall(output, cmd::kOutputAddresses, &entry->output.baseAddress,
               &entry->output.firstAddress, &entry->output.secondAddress);
  }
  entry->output.action = action;
  std::size_t i = 0;
  for (std::uint32_t argument : arguments)
    entry->output.arguments[i++] = argument;
}

std::uint32_t Word(int value) {
  return static_cast<std::uint32_t>(value);
}

}  // namespace

extern "C" {

void QUORVA_MC_BeginList(QUORVA_HANDLE handle) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_BeginList(0x%x)", TraceWord(handle));
  MotionContext* context = ContextOf(handle);
  if (context == nullptr) return;
  for (int axis = 0; axis < context->axisCount; ++axis) {
    context->moveTargetPos[axis] = ReadCounter28(handle, axis, reg::kCounterCommand);
  }
  context->listRecording = 1;
}

void QUORVA_MC_EndList(QUORVA_HANDLE handle) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_EndList(0x%x)", TraceWord(handle));
  if (MotionContext* context = ContextOf(handle)) context->listRecording = 0;
}

void QUORVA_MC_StartListMotion(QUORVA_HANDLE handle) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_StartListMotion(0x%x)", TraceWord(handle));
  MotionContext* context = ContextOf(handle);
  if (context == nullptr) return;
  ListChain& chain = ActiveListChain(*context);
  if (chain.Empty()) return;
  context->abortRequested = 0;
  if (&chain == &context->listItemsWow64) {
    SendNodes(handle, LinkWideNodes(chain), context->listMotionAxisMask);
  } else {
    SendNodes(handle, LinkNodes(chain), context->listMotionAxisMask);
  }
  chain.Clear();
}

void QUORVA_MC_AbortListMotion(QUORVA_HANDLE handle) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_AbortListMotion(0x%x)", TraceWord(handle));
  MotionContext* context = ContextOf(handle);
  if (context == nullptr) return;
  context->abortRequested = 1;
  context->stopRequested = 1;
  DriverCall(handle, cmd::kListAbort);
  for (int axis = 0; axis < kMaxAxes; ++axis) {
    if ((context->listMotionAxisMask >> axis & 1u) != 0) {
      AxisCommand(handle, axis, 0, axiscmd::kListStop);
    }
  }
  context->stopRequested = 0;
  context->abortRequested = 0;
}

int QUORVA_MC_CheckListMotionDone(QUORVA_HANDLE handle) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_CheckListMotionDone(0x%x)", TraceWord(handle));
  return static_cast<int>(DriverRead(handle, cmd::kListDone));
}

int QUORVA_MC_LmCurSequence(QUORVA_HANDLE handle) {
  QUORVA_TRACE(kTraceConfigRead, "QUORVA_MC_LmCurSequence(0x%x)", TraceWord(handle));
  return static_cast<int>(DriverRead(handle, cmd::kListSequence));
}

void QUORVA_MC_SetListMotionAxes(QUORVA_HANDLE handle, int mask) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetListMotionAxes(0x%x, 0x%x)", TraceWord(handle),
               static_cast<unsigned>(mask) & 0xFFu);
  if (MotionContext* context = ContextOf(handle)) {
    context->listMotionAxisMask = static_cast<std::uint32_t>(mask) & 0xFFu;
  }
}

void QUORVA_MC_LmSetImmediacy(QUORVA_HANDLE handle) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_LmSetImmediacy(0x%x)", TraceWord(handle));
  if (MotionContext* context = ContextOf(handle)) context->listImmediacy = 1;
}

void QUORVA_MC_LmDoPutOne(QUORVA_HANDLE handle, QUORVA_HANDLE output, int channel, int state) {
  AppendOutputAction(handle, output, kPutOne, {Word(channel), Word(state)});
}

void QUORVA_MC_LmDoPutMulti(QUORVA_HANDLE handle, QUORVA_HANDLE output, int group, int mask,
                            int states) {
  AppendOutputAction(handle, output, kPutMulti, {Word(group), Word(mask), Word(states)});
}

void QUORVA_MC_LmDoPulseOne(QUORVA_HANDLE handle, QUORVA_HANDLE output, int channel, int state,
                            int width) {
  AppendOutputAction(handle, output, kPulseOne, {Word(channel), Word(state), 0, Word(width)});
}

void QUORVA_MC_LmDoPulseMulti(QUORVA_HANDLE handle, QUORVA_HANDLE output, int group, int mask,
                              int states, int width) {
  AppendOutputAction(handle, output, kPulseMulti,
                     {Word(group), Word(mask), Word(states), Word(width)});
}

}  // extern "C"
