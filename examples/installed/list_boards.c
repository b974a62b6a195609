/* Lists the installed boards, one line each. On the simulated driver:
 *   QUORVA_BACKEND=sim ./list_boards */
#include <stdio.h>

#include "VarnDasQv.h"

int main(void) {
  DevList list;
  int i;
  QUORVA_GetAvailDevList(&list);
  printf("%d boards\n", list.count);
  for (i = 0; i < list.count; ++i) {
    const DevInfo* board = &list.boards[i];
    printf("0x%04X:%d  %-19s  %d axes, %d analog in, %d analog out, %d digital in, %d out\n",
           board->DeviceId, board->instance, board->modelName, board->axes, board->analogInputs,
           board->analogOutputs, board->digitalInputs, board->digitalOutputs);
  }
  return list.count > 0 ? 0 : 1;
}
