// Passes of the waiting loops. When pumping, the calling thread's window messages are
// dispatched, so its windows stay responsive (and may call the library) during the wait.
#include <windows.h>

#include "platform/platform.h"

namespace quorva::platform {

void WaitPass(bool pumpMessages) {
  if (pumpMessages) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  Sleep(0);
}

void WaitPassOneMessage(bool pumpMessages) {
  MSG message;
  if (pumpMessages && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return;
  }
  Sleep(0);
}

}  // namespace quorva::platform
