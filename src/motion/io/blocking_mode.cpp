// Per-board settings of how the application is kept responsive while the library waits: the
// blocking mode read by the waiting loops of the moves, and a window handle kept for the
// application.
#include "device/trace.h"
#include "motion/core/motion_context.h"

using namespace quorva;

extern "C" {

void QUORVA_MC_SetWindowHandle(QUORVA_HANDLE handle, unsigned int window) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetWindowHandle(0x%x, %u)", TraceWord(handle), window);
  if (MotionContext* context = ContextOf(handle)) context->windowHandle = window;
}

// Mode 0 makes the waits dispatch the calling thread's messages; any other mode only yields.
void QUORVA_MC_SetBlockingMode(QUORVA_HANDLE handle, unsigned int mode) {
  QUORVA_TRACE(kTraceCommand, "QUORVA_MC_SetBlockingMode(0x%x, %d)", TraceWord(handle),
               static_cast<int>(mode));
  if (MotionContext* context = ContextOf(handle)) {
    context->pumpMessagesWhileWaiting = mode == 0 ? 1 : 0;
  }
}

}  // extern "C"
