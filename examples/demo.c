/* Runs moves on a simulated 8-axis motion board, on the real-time clock four times faster than
 * real time, and prints how the axes move: a home search that makes the home position 0, a
 * trapezoidal move of one axis followed while it runs, a blocking move, a move of three axes on
 * both controller chips started together, a short list of moves that the driver runs one after
 * another, a rectangle with rounded corners made of lines and arcs, drawn from the simulator's
 * path record, and a move whose speed and target are changed while it runs. */
#include <stdio.h>
#include <string.h>

#include "VarnDasQv.h"
#include "VarnDasQvSim.h"

#define SPEED_FACTOR 4.0  /* simulated seconds per real second */
#define SAMPLE_EVERY 0.25 /* simulated seconds between rows */

/* Millimetres of 100 pulses; 1 to 100 mm/s with ramps of 200 mm/s². */
static void configure_axis(QUORVA_HANDLE board, int axis, double work_speed) {
  QUORVA_MC_SetUnitDistance(board, axis, 100);
  QUORVA_MC_SetUnitSpeed(board, axis, 100);
  QUORVA_MC_SetSpeedRange(board, axis, 500);
  QUORVA_MC_SetSpeed(board, axis, 1, work_speed);
  QUORVA_MC_SetAccel(board, axis, 200, 200);
  QUORVA_MC_SetSpeedMode(board, axis, 1);
}

static const char* phase_name(unsigned int state) {
  switch (state) {
    case 0xB:
      return "accel";
    case 0xC:
      return "cruise";
    case 0xD:
      return "decel";
    default:
      return "stop";
  }
}

static void print_axis(QUORVA_HANDLE board, int axis) {
  QUORVA_SIM_AXIS_STATE state;
  int bar;
  QUORVA_SIM_GetAxisState(0, axis, &state);
  printf(" | %d: %6.2f mm %5.1f mm/s %-6s ", axis, QUORVA_MC_GetPosition_C(board, axis),
         state.speed / 100.0, phase_name(QUORVA_MC_ReadRegister(board, axis, 49) & 0xF));
  for (bar = 0; bar < (int)(state.speed / 2000.0 + 0.5); ++bar)
    putchar('#');
  printf("%*s", 8 - bar, "");
}

/* Something done to the moving axes `elapsed` simulated seconds after following began. */
typedef void (*change_fn)(QUORVA_HANDLE board, double elapsed);

/* Prints a row every SAMPLE_EVERY simulated seconds until every listed axis is done; calls
 * `change` (when given) on every pass. */
static void follow(QUORVA_HANDLE board, int count, const int* axes, change_fn change) {
  const double start = QUORVA_SIM_GetTime();
  double next = start;
  int moving = 1;
  int i;
  while (moving) {
    if (change != NULL) change(board, QUORVA_SIM_GetTime() - start);
    moving = !QUORVA_MC_AllDone(board, count, axes);
    if (QUORVA_SIM_GetTime() >= next || !moving) {
      printf("%5.2f s", QUORVA_SIM_GetTime() - start);
      for (i = 0; i < count; ++i)
        print_axis(board, axes[i]);
      putchar('\n');
      next += SAMPLE_EVERY;
    }
  }
}

/* Axis 3 is sped up after 0.5 s and, after 1.5 s, sent back to 100 mm, which it has passed by
 * then: it stops and travels back. */
static void change_axis3(QUORVA_HANDLE board, double elapsed) {
  static int step = 0;
  if (step == 0 && elapsed >= 0.5) {
    QUORVA_MC_SetSpeed(board, 3, 1, 160);
    QUORVA_MC_OverrideSpeedSet(board, 3);
    printf("%5.2f s  QUORVA_MC_OverrideSpeedSet: up to 160 mm/s\n", elapsed);
    ++step;
  } else if (step == 1 && elapsed >= 1.0) {
    printf("%5.2f s  QUORVA_MC_GetCurSpeed: %.1f mm/s\n", elapsed, QUORVA_MC_GetCurSpeed(board, 3));
    ++step;
  } else if (step == 2 && elapsed >= 1.5) {
    printf("%5.2f s  QUORVA_MC_OverrideMove to 100 mm at %.2f mm: %s\n", elapsed,
           QUORVA_MC_GetPosition_C(board, 3),
           QUORVA_MC_OverrideMove(board, 3, 100) ? "it stops and comes back" : "refused");
    ++step;
  }
}

/* The rounded rectangle's drawing: 1 mm per column from x = -8 mm, 2 mm per row from y = 0
 * (relative to where the path starts). */
#define CANVAS_COLUMNS 61
#define CANVAS_ROWS 16
#define MAX_SAMPLES 2000

/* A 60 x 30 mm rectangle with corners of 8 mm radius on axes 0 and 1 (map 0), recorded as a
 * list of four lines and four arcs, run by the driver at 50 mm/s, and drawn from the counters
 * the simulator sampled every 10 ms. */
static void draw_rounded_rectangle(QUORVA_HANDLE board) {
  static const double sides[4][2] = {{44, 0}, {0, 14}, {-44, 0}, {0, -14}};
  static const double centres[4][2] = {{0, 8}, {-8, 0}, {0, -8}, {8, 0}};
  static int counts[2 * MAX_SAMPLES];
  char canvas[CANVAS_ROWS][CANVAS_COLUMNS + 1];
  const int x0 = QUORVA_MC_GetCount_C(board, 0);
  const int y0 = QUORVA_MC_GetCount_C(board, 1);
  double started;
  int k, row, samples;

  QUORVA_MC_SetSpeedModeMx(board, 0, 1);
  QUORVA_MC_SetSpeedMx(board, 0, 50, 500);
  QUORVA_MC_BeginList(board);
  for (k = 0; k < 4; ++k) {
    QUORVA_MC_Line(board, 0, sides[k]); /* recorded: returns at once */
    QUORVA_MC_Arc_a(board, 0, centres[k][0], centres[k][1], 90);
  }
  QUORVA_MC_EndList(board);
  QUORVA_SIM_RecordPath(0, 0x3, 0.01);
  started = QUORVA_SIM_GetTime();
  QUORVA_MC_StartListMotion(board);
  while (!QUORVA_MC_CheckListMotionDone(board)) {
  }
  QUORVA_SIM_RecordPath(0, 0, 0);

  for (row = 0; row < CANVAS_ROWS; ++row) {
    memset(canvas[row], ' ', CANVAS_COLUMNS);
    canvas[row][CANVAS_COLUMNS] = '\0';
  }
  samples = QUORVA_SIM_GetPathSamples(0, 0, MAX_SAMPLES, NULL, counts);
  for (k = 0; k < samples; ++k) {
    const int column = (int)((counts[2 * k] - x0) / 100.0 + 8.5);
    const int line = (int)((counts[2 * k + 1] - y0) / 200.0 + 0.5);
    if (column >= 0 && column < CANVAS_COLUMNS && line >= 0 && line < CANVAS_ROWS)
      canvas[CANVAS_ROWS - 1 - line][column] = '*';
  }
  canvas[CANVAS_ROWS - 1][8] = 'o';
  for (row = 0; row < CANVAS_ROWS; ++row) {
    int end = CANVAS_COLUMNS;
    while (end > 0 && canvas[row][end - 1] == ' ')
      --end;
    canvas[row][end] = '\0';
    printf("  %s\n", canvas[row]);
  }
  printf("%d entries, done after %.2f s, back at (%.2f, %.2f) mm from the start\n",
         QUORVA_SIM_ListEntryCount(0), QUORVA_SIM_GetTime() - started,
         (QUORVA_MC_GetCount_C(board, 0) - x0) / 100.0,
         (QUORVA_MC_GetCount_C(board, 1) - y0) / 100.0);
}

int main(void) {
  static const int single[] = {0};
  static const int changed[] = {3};
  static const int three[] = {1, 2, 6};
  static const double distances[] = {30, -15, 20};
  QUORVA_HANDLE board;
  double started;
  int axis;

  if (QUORVA_SIM_Configure("A508,A101") < 0) return 1;
  QUORVA_SIM_SetClock(QUORVA_SIM_CLOCK_REALTIME, SPEED_FACTOR);
  board = QUORVA_LoadDevice(0xA508, 0);
  if (board == QUORVA_INVALID_HANDLE) {
    fprintf(stderr, "no 0xA508 board\n");
    return 1;
  }
  for (axis = 0; axis < 8; ++axis)
    configure_axis(board, axis, axis == 2 ? 50 : 100);

  /* The home switch of axis 0 covers 5 mm, from 15 mm to 10 mm below where the axis stands at
   * power-up. The automatic search in home mode 1 runs down to the switch at 20 mm/s, moves
   * 2 mm further onto it and makes that position 0. */
  QUORVA_SIM_SetHomePosition(0, 0, -1500, 500);
  QUORVA_MC_SetHomeConfig(board, 0, 1, 0, 0, 0, 0);
  printf("Axis 0 searches its home switch at 20 mm/s (QUORVA_MC_HomeMoveAuto):\n");
  QUORVA_MC_HomeMoveAuto(board, 0, -1, 20, -2);
  follow(board, 1, single, NULL);
  printf("Homed: axis 0 at %.2f mm, %s the home switch\n\n", QUORVA_MC_GetPosition_C(board, 0),
         (QUORVA_MC_GetMioStatus(board, 0) >> 4 & 1) ? "on" : "off");

  printf("Axis 0 moves 40 mm at up to 100 mm/s (QUORVA_MC_StartMove, then polling):\n");
  QUORVA_MC_StartMove(board, 0, 40);
  follow(board, 1, single, NULL);

  started = QUORVA_SIM_GetTime();
  QUORVA_MC_MoveTo(board, 0, 0);
  printf("\nQUORVA_MC_MoveTo(0 mm) returned after %.2f s at %.2f mm\n",
         QUORVA_SIM_GetTime() - started, QUORVA_MC_GetPosition_C(board, 0));

  printf("\nAxes 1, 2 and 6 (both chips) start together (QUORVA_MC_StartMoveAll):\n");
  QUORVA_MC_StartMoveAll(board, 3, three, distances);
  follow(board, 3, three, NULL);

  printf("\nA list of three moves, recorded and then run by the driver:\n");
  QUORVA_MC_BeginList(board);
  QUORVA_MC_Move(board, 0, 10); /* recorded: returns at once */
  QUORVA_MC_MoveAll(board, 3, three, distances);
  QUORVA_MC_Move(board, 0, -10);
  QUORVA_MC_EndList(board);
  started = QUORVA_SIM_GetTime();
  QUORVA_MC_StartListMotion(board);
  {
    int sequence = -1;
    while (!QUORVA_MC_CheckListMotionDone(board)) {
      if (QUORVA_MC_LmCurSequence(board) != sequence) {
        sequence = QUORVA_MC_LmCurSequence(board);
        printf("%5.2f s  entry %d running\n", QUORVA_SIM_GetTime() - started, sequence);
      }
    }
  }
  printf("%5.2f s  list done: axis 0 at %.2f mm, axis 1 at %.2f mm\n",
         QUORVA_SIM_GetTime() - started, QUORVA_MC_GetPosition_C(board, 0),
         QUORVA_MC_GetPosition_C(board, 1));

  printf(
      "\nA rectangle with rounded corners: lines and arcs recorded into a list\n"
      "(QUORVA_MC_Line, QUORVA_MC_Arc_a), run by the driver, drawn from the path record:\n");
  draw_rounded_rectangle(board);

  printf("\nAxis 3 moves 300 mm; its speed and then its target change while it runs:\n");
  QUORVA_MC_StartMove(board, 3, 300);
  follow(board, 1, changed, change_axis3);

  printf("\n%.2f simulated seconds\n", QUORVA_SIM_GetTime());
  QUORVA_UnloadDevice(board);
  return 0;
}
