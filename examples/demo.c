/* Runs two moves on a simulated 8-axis motion board, on the real-time clock four times faster
 * than real time, and prints how the axes move: a trapezoidal move of one axis, then two axes
 * of one controller chip started by a single command word. The moves are programmed through
 * the raw register and command functions. */
#include <stdio.h>

#include "VarnDasQv.h"
#include "VarnDasQvSim.h"

#define SPEED_FACTOR 4.0  /* simulated seconds per real second */
#define SAMPLE_EVERY 0.25 /* simulated seconds between rows */
#define PPS_PER_STEP 10.0 /* speed step at magnification 29 */

/* The pre-registers of a relative move: amount, start speed 1000 pps, high speed, ramps of
 * 0.5 s between start and high speed, automatic ramp-down. */
static void program_move(QUORVA_HANDLE board, int axis, int amount, int high_steps) {
  QUORVA_MC_WriteRegister(board, axis, 0, (unsigned int)amount);
  QUORVA_MC_WriteRegister(board, axis, 1, 100); /* start speed, steps */
  QUORVA_MC_WriteRegister(board, axis, 2, (unsigned int)high_steps);
  QUORVA_MC_WriteRegister(board, axis, 3, 2730); /* acceleration rate */
  QUORVA_MC_WriteRegister(board, axis, 4, 2730); /* deceleration rate */
  QUORVA_MC_WriteRegister(board, axis, 5, 29);   /* magnification */
  QUORVA_MC_WriteRegister(board, axis, 6, 0);    /* ramp-down offset */
  QUORVA_MC_WriteRegister(board, axis, 7, 0x41); /* relative positioning */
}

static int command_position(QUORVA_HANDLE board, int axis) {
  const unsigned int field = QUORVA_MC_ReadRegister(board, axis, 35) & 0x0FFFFFFFu;
  return (field & 0x08000000u) ? (int)field - 0x10000000 : (int)field;
}

static const char* state_name(unsigned int state) {
  switch (state) {
    case 0xB:
      return "accel";
    case 0xC:
      return "high ";
    case 0xD:
      return "decel";
    default:
      return "stop ";
  }
}

static void print_axis(QUORVA_HANDLE board, int axis) {
  const double speed = (QUORVA_MC_ReadRegister(board, axis, 53) & 0xFFFF) * PPS_PER_STEP;
  const unsigned int state = QUORVA_MC_ReadRegister(board, axis, 49) & 0xF;
  int bar;
  printf("  axis %d %7d %6.0f pps %s ", axis, command_position(board, axis), speed,
         state_name(state));
  for (bar = 0; bar < (int)(speed / 1000.0 + 0.5); ++bar)
    putchar('#');
  printf("%*s", 10 - bar, "");
}

/* Prints a row every SAMPLE_EVERY simulated seconds until every listed axis is done. */
static void follow(QUORVA_HANDLE board, const int* axes, int count) {
  const double start = QUORVA_SIM_GetTime();
  double next = start;
  int moving = 1;
  int i;
  while (moving) {
    moving = 0;
    for (i = 0; i < count; ++i)
      if (!QUORVA_MC_Done(board, axes[i])) moving = 1;
    if (QUORVA_SIM_GetTime() >= next || !moving) {
      printf("%5.2f s", QUORVA_SIM_GetTime() - start);
      for (i = 0; i < count; ++i)
        print_axis(board, axes[i]);
      putchar('\n');
      next += SAMPLE_EVERY;
    }
  }
}

int main(void) {
  static const int single[] = {0};
  static const int pair[] = {1, 2};
  QUORVA_HANDLE board;

  if (QUORVA_SIM_Configure("A508,A101") < 0) return 1;
  QUORVA_SIM_SetClock(QUORVA_SIM_CLOCK_REALTIME, SPEED_FACTOR);
  board = QUORVA_LoadDevice(0xA508, 0);
  if (board == QUORVA_INVALID_HANDLE) {
    fprintf(stderr, "no 0xA508 board\n");
    return 1;
  }

  printf("Trapezoidal move of axis 0 by 20000 pulses at up to 10000 pps:\n");
  program_move(board, 0, 20000, 1000);
  QUORVA_MC_WriteMainSpace(board, 0, 0, 0x53); /* start with acceleration and deceleration */
  follow(board, single, 1);

  printf("\nAxes 1 (+12000 at up to 8000 pps) and 2 (-6000 at up to 5000 pps), one start:\n");
  program_move(board, 1, 12000, 800);
  program_move(board, 2, -6000, 500);
  QUORVA_MC_WriteMainSpace(board, 1, 0, 0x600 | 0x53); /* bits 9 and 10 add axes 1 and 2 */
  follow(board, pair, 2);

  printf("\n%.2f simulated seconds\n", QUORVA_SIM_GetTime());
  QUORVA_UnloadDevice(board);
  return 0;
}
