/* Lists the boards, opens the simulated 8-axis motion board and shows its controller state. */
#include <stdio.h>

#include "VarnDasQv.h"
#include "VarnDasQvSim.h"

int main(void) {
  DevList list;
  QUORVA_HANDLE board;
  int version = 0;
  int i;

  if (QUORVA_SIM_Configure("A508,A101") < 0) return 1;

  QUORVA_GetAvailDevList(&list);
  printf("%d boards installed\n", list.count);
  for (i = 0; i < list.count; ++i) {
    const DevInfo* b = &list.boards[i];
    printf("  %04X instance %d  %-19s  AI %u AO %u DI %u DO %u axes %u\n", b->DeviceId, b->instance,
           b->modelName, b->analogInputs, b->analogOutputs, b->digitalInputs, b->digitalOutputs,
           b->axes);
  }

  board = QUORVA_LoadDevice(0xA508, 0);
  if (board == QUORVA_INVALID_HANDLE) {
    fprintf(stderr, "no 0xA508 board\n");
    return 1;
  }
  QUORVA_MC_GetDeviceVer(board, &version, NULL);
  printf("controller version %d, %d handle(s) open\n", version, QUORVA_GetDeviceThreadCount(board));
  for (i = 0; i < 8; ++i) {
    printf("  axis %d: signal config 0x%08X  environment 0x%08X  mode 0x%04X  %s\n", i,
           QUORVA_MC_ReadRegister(board, i, 29), QUORVA_MC_ReadRegister(board, i, 28),
           QUORVA_MC_ReadRegister(board, i, 7), QUORVA_MC_Done(board, i) ? "idle" : "busy");
  }
  QUORVA_MC_Reset(board);
  QUORVA_UnloadDevice(board);
  return 0;
}
