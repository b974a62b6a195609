/*
 * Control interface of the simulated driver built into VarnDasQv.
 *
 * The simulated driver answers the same 100-byte requests as the kernel driver. It is chosen
 * by QUORVA_BACKEND=sim, or by calling QUORVA_SIM_Configure. Boards are addressed here by
 * their enumeration index (0 = the first board of the configured list).
 *
 * All functions return 0 on success and -1 when an address (board, axis, register, offset)
 * does not exist, unless stated otherwise.
 */
#ifndef VARNDASQV_SIM_H
#define VARNDASQV_SIM_H

#include "VarnDasQv.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Board double-word spaces. */
#define QUORVA_SIM_SPACE_MEMORY 0 /* QUORVA_WriteMemPortDW / QUORVA_ReadMemPortDW */
#define QUORVA_SIM_SPACE_IO 1     /* QUORVA_Outpdw / QUORVA_Inpdw and mechanical signals */

/* Per-axis sizes of the simulated register machine. */
#define QUORVA_SIM_AXIS_REGISTERS 64
#define QUORVA_SIM_MAIN_SPACE_WORDS 4

/* One request the simulated driver received. */
typedef struct QUORVA_SIM_REQUEST {
  int board;                    /* enumeration index of the board, -1 for an unknown handle */
  unsigned int code;            /* command code (slot 0) */
  unsigned long long slots[11]; /* argument slots 1..11 as sent */
} QUORVA_SIM_REQUEST;

/* Replaces the simulated boards with `boards`, a comma-separated list of hexadecimal
 * DeviceIds in enumeration order ("A508,A504,A101"); NULL or "" gives the default set.
 * Resets every simulated board, closes every simulated handle, clears the request log and
 * selects the simulated driver. Returns the number of boards, or -1 for a malformed list
 * (nothing changes then). */
QUORVA_API int QUORVA_CALL QUORVA_SIM_Configure(const char* boards);
/* Number of simulated boards. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_BoardCount(void);

/* Axis register file: registers 0 .. QUORVA_SIM_AXIS_REGISTERS-1 of axes 0..7. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_GetAxisRegister(int board, int axis, int reg,
                                                      unsigned int* value);
QUORVA_API int QUORVA_CALL QUORVA_SIM_SetAxisRegister(int board, int axis, int reg,
                                                      unsigned int value);
/* Main-space status words as the driver reports them (0: main status, 1: signal status). */
QUORVA_API int QUORVA_CALL QUORVA_SIM_GetMainStatus(int board, int axis, int offset,
                                                    unsigned int* value);
QUORVA_API int QUORVA_CALL QUORVA_SIM_SetMainStatus(int board, int axis, int offset,
                                                    unsigned int value);
/* The last word written to a main-space offset (offset 0 holds the last axis command). */
QUORVA_API int QUORVA_CALL QUORVA_SIM_GetMainWritten(int board, int axis, int offset,
                                                     unsigned int* value);
/* Board double-word spaces: `space` is QUORVA_SIM_SPACE_MEMORY or QUORVA_SIM_SPACE_IO; any
 * region and offset exist and read 0 until written. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_GetBoardWord(int board, int space, unsigned int region,
                                                   unsigned int offset, unsigned int* value);
QUORVA_API int QUORVA_CALL QUORVA_SIM_SetBoardWord(int board, int space, unsigned int region,
                                                   unsigned int offset, unsigned int value);
/* Configuration EEPROM: addresses 0..255. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_GetEeprom(int board, unsigned int address,
                                                unsigned int* value);
QUORVA_API int QUORVA_CALL QUORVA_SIM_SetEeprom(int board, unsigned int address,
                                                unsigned int value);
/* Controller version word reported by command 780 (default 1). */
QUORVA_API int QUORVA_CALL QUORVA_SIM_SetControllerVersion(int board, int version);
/* Handles that other processes hold open on the board (added to the open count). */
QUORVA_API int QUORVA_CALL QUORVA_SIM_SetForeignOpens(int board, int count);
/* Makes the driver refuse every request with command `code` (success flag 0, nothing
 * written); -1 refuses nothing. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_RefuseCommand(int code);

/* Simulated time. The virtual clock is deterministic: it moves only through
 * QUORVA_SIM_AdvanceTime and by QUORVA_SIM_REQUEST_QUANTUM_NS with every request the driver
 * answers, so polling loops make progress and runs repeat exactly. The real-time clock follows
 * the host clock times a factor. The environment variable QUORVA_SIM_CLOCK chooses at start:
 * "virtual", "realtime" (the default) or "realtime:FACTOR" (e.g. "realtime:10"). */
#define QUORVA_SIM_CLOCK_VIRTUAL 0
#define QUORVA_SIM_CLOCK_REALTIME 1
/* 100 simulated microseconds per answered request: a wait that polls one status word per pass
 * follows a 10-second move in 100000 requests (about a tenth of a real second), and sees the
 * end of a move at most 0.1 ms late. */
#define QUORVA_SIM_REQUEST_QUANTUM_NS 100000
/* Chooses the clock; `factor` (simulated seconds per real second, above 0) applies to the
 * real-time clock. Simulated time continues from its present value. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_SetClock(int mode, double factor);
/* The clock in use and its factor (1 for the virtual clock); NULL pointers are skipped. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_GetClock(int* mode, double* factor);
/* Simulated seconds since the bus was configured. */
QUORVA_API double QUORVA_CALL QUORVA_SIM_GetTime(void);
/* Moves simulated time forward (seconds, at least 0). */
QUORVA_API int QUORVA_CALL QUORVA_SIM_AdvanceTime(double seconds);

/* Fast-forward. While the library itself is blocked waiting for a motion on the virtual clock
 * (the blocking moves, lines and arcs waiting for their axes, and a start waiting for its axes
 * to become idle), each pass of its wait also moves simulated time to the next event the
 * simulated boards know of: the end of a running move (or its stop at a limit or soft limit),
 * which is also when a list's next entry starts, the instant an axis following its hand wheel
 * reaches its target or home (with the turns asked for so far), and the end of a list's output
 * pulse. Moves held for another axis's signal or stop start at that axis's event. A
 * 10-second move then costs a few requests instead of one per quantum. Nothing else jumps:
 * an application that polls (QUORVA_MC_Done, positions, status) sees time advance by one
 * quantum per request, whatever another thread does, unless a thread of the same process is
 * blocked in such a wait meanwhile. The real-time clock never jumps. Which requests are sent,
 * and their order, do not change; only fewer polls are needed, so request logs stay
 * deterministic.
 *
 * Moves simulated time from event to event, as the waits do, until every axis of `axisMask`
 * (bits 0-7) on the board is idle and its list has no entry left to start. Returns 0 then; 1
 * when that cannot happen by itself (an axis runs without end, waits for hand-wheel turns, or
 * is held for a start signal or an event no running axis will give), time standing at the last event reached; -1 for an unknown board. Works on either
 * clock (on the real-time clock the jump adds to the host's time, as QUORVA_SIM_AdvanceTime). */
QUORVA_API int QUORVA_CALL QUORVA_SIM_RunUntilIdle(int board, unsigned int axisMask);

/* Data acquisition.
 *
 * Analog inputs: the converters are 12-bit (digits 0-4095 over the channel's range, by default
 * -10 V to +10 V; command 20 reports digits 0-4095 and the range in whole volts). Each input
 * carries a deterministic signal of simulated time t (seconds), by default a sine of 5 V
 * amplitude at k + 1 Hz on channel k. Input type 0 is single-ended; type 1 is differential:
 * channel k below half the channel count measures signal k minus signal k + half, the others
 * measure 0 V. Other types are refused.
 *
 * US1 scans (QUORVA_US1_Start arguments): channel count (1-32), channel list (physical channels
 * of the board), scan frequency (1-10000000 Hz; the board runs at 10 MHz / round(10 MHz / f)),
 * ring size in scans (1 or more), mode (0 endless, the ring wrapping; 1 stop once the ring is
 * full). Scan s (from 1) converts every channel at t0 + s / frequency, t0 being the time of the
 * start request, and is written into the ring as a request reaches the board at or after that
 * time. Stop arguments are ignored.
 * US2 scans (QUORVA_US2_Start arguments): channel count, channel list, scan frequency
 * (1-20000000 Hz), mode (bit 0: 1 endless, 0 stop once the rings are full), ring size in scans
 * (rounded up to a multiple of 4096). Scans reach the rings in transfers of 4096; a ring word
 * is the digit with the physical channel number in bits 12-15. A maximum scan count is rounded
 * up to a multiple of 4096; 0 removes it. The buffer-full flag is 1 once the rings have been
 * filled. Rings stay valid until the engine's release, across later starts.
 * Start errors (the codes QUORVA_US1_Start returns and QUORVA_US2_Start's error): */
#define QUORVA_SIM_SCAN_ERR_ARGUMENT (-1) /* count, channel, frequency or size out of range */
#define QUORVA_SIM_SCAN_ERR_BUSY (-2)     /* the engine is already scanning */
#define QUORVA_SIM_SCAN_ERR_MEMORY (-3)   /* rings above 64 Mi samples in all */

/* Signal kinds: a constant `offset`; offset + amplitude * sin(2 pi (frequency t + phase)); a
 * ramp rising from offset - amplitude to offset + amplitude in each period, phase in periods. */
#define QUORVA_SIM_SIGNAL_CONSTANT 0
#define QUORVA_SIM_SIGNAL_SINE 1
#define QUORVA_SIM_SIGNAL_RAMP 2
/* Sets the signal of analog input `channel` (0-31). */
QUORVA_API int QUORVA_CALL QUORVA_SIM_SetAnalogSignal(int board, int channel, int kind,
                                                      double amplitude, double frequency,
                                                      double offset, double phase);
/* The digit analog input `channel` converts at `seconds` of simulated time, with its present
 * range and the board's input type. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_GetAnalogDigit(int board, int channel, double seconds,
                                                     unsigned int* digit);
/* The input type last set by QUORVA_AD_SetInputType. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_GetAnalogInputType(int board, int* type);

/* Digital I/O: two groups of 32 channels; a board has as many inputs and outputs as its
 * resource bytes say, the bits of absent channels read 0. Motion boards have their general
 * outputs here too. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_SetDigitalInputs(int board, int group, unsigned int states);
QUORVA_API int QUORVA_CALL QUORVA_SIM_GetDigitalOutputs(int board, int group,
                                                        unsigned int* states);
/* Nonzero: every input reads the output of the same channel instead of its own state. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_SetDigitalLoopback(int board, int enabled);

/* Analog outputs: the 12-bit code a channel outputs now, the running waveform's sample or the
 * last code written. Waveforms (QUORVA_WFM_Start arguments: rate in samples per second, the
 * board running at 10 MHz / (10 MHz / rate) with integer division; loops, 0 endless) hold their
 * last sample when they end or stop; a reload starts the new samples from position 0. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_GetAnalogOutput(int board, int channel, unsigned int* code);

/* Counters: QUORVA_SIM_COUNTERS 32-bit counters on boards whose resource flags include 8;
 * counter k counts 1000 * (k + 1) per second from time 0 until its rate is changed. A read or
 * clear of another channel reports error -1. */
#define QUORVA_SIM_COUNTERS 4
QUORVA_API int QUORVA_CALL QUORVA_SIM_SetCounterRate(int board, int channel,
                                                     double countsPerSecond);

/* Serial I/O modules 0 .. QUORVA_SIM_SERIAL_MODULES-1, each a 16-bit input and a 16-bit output
 * word; by default modules 0 and 1 are present. Modules answer only after
 * QUORVA_SDIO_InitComm; an absent module reads 0 and refuses writes. */
#define QUORVA_SIM_SERIAL_MODULES 32
/* Bit m set: module m present. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_SetSerialModules(int board, unsigned int present);
QUORVA_API int QUORVA_CALL QUORVA_SIM_SetSerialInputs(int board, int module, unsigned int word);
QUORVA_API int QUORVA_CALL QUORVA_SIM_GetSerialOutputs(int board, int module, unsigned int* word);

/* Motion. Every axis of a simulated motion board is a pulse-train controller whose moves run
 * in simulated time: a start command (0x51, 0x52, 0x53 in the low byte of the command word,
 * further axes of the same four-axis chip in bits 8-11) copies pre-registers 0-7 into the
 * registers in force 16-23 and runs the operation code of the mode in force; the counters
 * (registers 35 and 36, 28 bits, wrapping), the remaining pulses (52), the speed in steps (53)
 * and the state (register 49 bits 0-3: 0 stopped, 0xB accelerating, 0xC high speed, 0xD
 * decelerating) follow the motion. Each request computes the motion in closed form from the
 * time elapsed, so its cost does not depend on speed, distance or time.
 *
 * Status bits the simulated controller sets:
 *   main status word (offset 0): bit 1 while the axis runs or waits for the start signal,
 *     bit 4 while an error is reported in register 50 (QUORVA_SIM_SetAxisError);
 *   signal status word (offset 1): bit 0 servo off (commands 16 on, 24 off), bit 1 ERC output
 *     (36 on, 37 off), bit 2 pulse output off (commands 18/26, or the PE board double-word),
 *     bit 3 EL logic (commands 27/19, or the ELL board double-word), bit 11 alarm, bit 12 EL+,
 *     bit 13 EL-, bit 14 home;
 *   register 49: bit 4 in-position, bit 5 latch input active, bits 8-10 why the last move stopped
 *     (QUORVA_SIM_STOP_*), bit 11 soft limit - reached, bit 12 soft limit + reached, bit 20
 *     running, bit 21 waiting for the start signal.
 *
 * Limits: a moving axis stops at an active end limit of its direction, at once, or
 * decelerating when bit 3 of register 28 is set; an alarm stops it at once; comparators 1
 * (register 39, negative side) and 2 (register 40, positive side) configured as soft limits
 * (fields 0, 6, 1 in register 31) stop it at once at their position. A start towards an
 * active limit or with the alarm active starts nothing and records the cause. Positions are
 * command-counter pulses. */
#define QUORVA_SIM_INPUT_EL_PLUS 0
#define QUORVA_SIM_INPUT_EL_MINUS 1
#define QUORVA_SIM_INPUT_ALARM 2
#define QUORVA_SIM_INPUT_INP 3 /* in-position */
#define QUORVA_SIM_INPUT_HOME 4
#define QUORVA_SIM_INPUT_LATCH 5
#define QUORVA_SIM_STOP_END_LIMIT 0x100  /* register 49 bit 8 */
#define QUORVA_SIM_STOP_ALARM 0x200      /* register 49 bit 9 */
#define QUORVA_SIM_STOP_SOFT_LIMIT 0x400 /* register 49 bit 10 */

/* One axis's motion, as the simulated controller sees it. */
typedef struct QUORVA_SIM_AXIS_STATE {
  double position;  /* command position, pulses, with the pulse in progress as a fraction */
  double speed;     /* pulses per second */
  double startTime; /* simulated seconds at which the present or last move began to run */
  double endTime;   /* when it ends or ended; -1 for a move without end or not yet released */
  int busy;         /* 0 idle, 1 running, 2 waiting for the start signal */
  int state;        /* register 49 bits 0-3 */
  unsigned int stopCauses; /* QUORVA_SIM_STOP_* bits of the last move */
  int direction;           /* 1 or -1 */
} QUORVA_SIM_AXIS_STATE;
QUORVA_LAYOUT_CHECK(sizeof(QUORVA_SIM_AXIS_STATE) == 48, "QUORVA_SIM_AXIS_STATE is 48 bytes");
QUORVA_LAYOUT_CHECK(offsetof(QUORVA_SIM_AXIS_STATE, busy) == 32, "QUORVA_SIM_AXIS_STATE layout");
QUORVA_LAYOUT_CHECK(offsetof(QUORVA_SIM_AXIS_STATE, stopCauses) == 40,
                    "QUORVA_SIM_AXIS_STATE layout");

/* Sets (active 1) or clears (0) an input QUORVA_SIM_INPUT_* of an axis at the present
 * simulated time. A running axis stops when its end limit ahead or the alarm becomes active. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_SetAxisInput(int board, int axis, int input, int active);
/* Places the end-limit switch of one direction (1: EL+, -1: EL-) at a command position: the
 * input is active whenever the counter is at or beyond it, and a moving axis trips it itself. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_SetEndLimitPosition(int board, int axis, int direction,
                                                          int position);
/* Removes both end-limit switch positions (inputs set with QUORVA_SIM_SetAxisInput stay). */
QUORVA_API int QUORVA_CALL QUORVA_SIM_ClearEndLimitPositions(int board, int axis);
/* Places the home switch: active while position <= counter < position + width; width 0
 * removes it. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_SetHomePosition(int board, int axis, int position, int width);
/* The actual counter (register 36) lags the command counter by `pulses`; register 37 reads
 * the deviation. Takes effect at once, moving or not. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_SetFollowingError(int board, int axis, int pulses);
/* The axis's motion at the present simulated time. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_GetAxisState(int board, int axis,
                                                   QUORVA_SIM_AXIS_STATE* state);

/* List motion. Command 760 copies the chain it is handed (the 432-byte entries) and runs it
 * in simulated time: each entry of kinds 0-2 loads its axes' register slots into registers
 * 0-10, 11 and 32 and issues its command (kind 0: the command word to the master axis; kind 1:
 * the command to each axis of the mask; kind 2: the start code to each axis of the mask, all
 * started in the same instant) at the instant the axes of the entries before it became idle,
 * or, with the immediacy byte 1, in the instant the entry before it started. A kind-3 entry
 * acts on the digital outputs of the board whose addresses it carries (command 1500 reports
 * QUORVA_SIM_OUTPUT_BASE + board index * QUORVA_SIM_OUTPUT_STRIDE and the two words after it;
 * address 0 means the list's own board) once the motion before it has finished, and takes no
 * time; a pulse reverses the outputs it set after its width in ms. Command 767 reports 1 once
 * every entry has started and their axes are idle (also when no list was ever run, and after
 * an abort), 770 the 1-based number of the last entry started (0 before the first starts).
 * Command 765 drops the entries not started yet and stops the list's axes at once. A new list
 * replaces the previous one; its first entry waits for the axes that list left moving. */
#define QUORVA_SIM_OUTPUT_BASE 0xD0000000u
#define QUORVA_SIM_OUTPUT_STRIDE 0x10000u
#define QUORVA_SIM_LIST_ENTRY_BYTES 432
/* Number of entries the board's last run-list request handed over (0 before any). */
QUORVA_API int QUORVA_CALL QUORVA_SIM_ListEntryCount(int board);
/* Copies entry `index` (0 = first) of that list, QUORVA_SIM_LIST_ENTRY_BYTES bytes, to `entry`. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_GetListEntry(int board, int index, void* entry);

/* -- Interpolation -- */

/* Interpolated paths. A start command (0x51-0x53) whose addressed axis holds mode 97 (linear
 * interpolation) in register 7 starts a line of the named axes of its chip (the addressed axis
 * and those in bits 8-11) that hold mode 97, register 0 holding each one's amount: the axis
 * with the largest amount runs the speed profile of the addressed axis's registers, as a
 * positioning move of that length, and every other axis moves in proportion, so that all
 * arrive at their amounts in the same instant. Mode 100 (clockwise) or 101 (counter-clockwise)
 * starts an arc of the two lowest named axes holding it, X and Y: register 0 holds the end
 * point and register 8 the centre, both relative to the start; the axes travel along the
 * circle at the tangential speed of the addressed axis's profile (constant for start code
 * 0x51) to the angle of the end point; an end point off the circle ends the arc at its angle,
 * and an end at the start's angle makes a full circle. The counters of a path's axes follow it
 * to the nearest pulse; register 53 reads the speed along the path in steps of the addressed
 * axis, register 52 the pulses left along it; busy bits and phases are those of a single move,
 * and QUORVA_SIM_GetAxisState reports each axis's own position and speed. A path starts only
 * when all its axes are idle and none is held by its alarm or an error. A stop, emergency stop
 * or reset of any axis of a running path, its alarm or an error stops all of the path. The
 * path keeps the speed settings in force at its start; end-limit and soft-limit positions are
 * not watched while an axis interpolates.
 * Command 85 (completion) runs an axis whose last move was a path to that path's exact end
 * point (its start plus register 0) in a straight line at the correction speed (register 27,
 * in steps of the magnification in force), without ramps; an axis already there stays idle. */

/* Path record: from the call on, the board samples the command counters (register 35, as
 * signed 28-bit counts) of the axes of `axisMask` (bits 0-7) every `interval` simulated
 * seconds, the first sample at the present instant. Each sample is the motion at its own
 * instant, whatever requests arrive in between, so a path can be checked or plotted point by
 * point after it ran. A new record replaces the previous one; at most
 * QUORVA_SIM_PATH_RECORD_CAPACITY samples are kept, and recording stops when the record is
 * full. A mask of 0, or an interval that is not a positive number, stops recording and keeps
 * the samples taken. */
#define QUORVA_SIM_PATH_RECORD_CAPACITY 1000000
QUORVA_API int QUORVA_CALL QUORVA_SIM_RecordPath(int board, unsigned int axisMask,
                                                 double interval);
/* Number of samples in the board's path record. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_PathSampleCount(int board);
/* Copies samples first .. first + count - 1 of the record (fewer where it ends): the instant
 * of sample i in simulated seconds into times[i] (skipped for NULL times), its counters into
 * counts[i * n + k], the k-th axis of the recorded mask in ascending order, n the number of
 * recorded axes. Returns the number of samples copied, -1 for an unknown board, a negative
 * first or count, or NULL counts. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_GetPathSamples(int board, int first, int count,
                                                     double* times, int* counts);

/* Error status: register 50 of the axis := errorBits. While any of bits 0-7 is set, the main
 * status word sets QUORVA_SIM_MAIN_ERROR, a running or waiting axis stops at once (with every
 * axis of its path) and starts do nothing; command 38 (state reset) clears the register. */
#define QUORVA_SIM_MAIN_ERROR 0x10 /* main status word bit 4 */
QUORVA_API int QUORVA_CALL QUORVA_SIM_SetAxisError(int board, int axis, unsigned int errorBits);

/* -- Homing, soft limits and compare outputs -- */

/* Home searches. Operation codes 16 and 24 (plain search) and 21 and 29 (automatic search) in
 * the mode's low byte make a start run a home search, in the positive direction for 16 and 21,
 * in the negative direction for 24 and 29. The axis runs at the search speed of register 27
 * (steps of the magnification in force), accelerating from the start speed with start code
 * 0x53 and at once at the search speed otherwise, until it reaches the origin of the home mode
 * in register 30 bits 0-3, where it stops at once:
 *
 *   home mode          origin
 *   6, 7, 8, 12        the end-limit switch of the search direction, placed with
 *                      QUORVA_SIM_SetEndLimitPosition (no stop cause is recorded: the search
 *                      found what it looked for; the limit input reads active)
 *   0-5, 9-11, 13-15   the home switch placed with QUORVA_SIM_SetHomePosition: its edge nearest
 *                      the axis (its lower edge in a positive search, its last pulse in a
 *                      negative one), as seen with the hysteresis below; an axis already on the
 *                      switch stops where it is
 *
 * A plain search ends at the origin, the counters unchanged. An automatic search then moves on
 * by the offset in register 16 (pulses, signed: a negative offset turns back) at the search
 * speed, and where it ends counters C and A are set to 0; the home and end-limit switch
 * positions move with them, so the switches stay where they are on the machine (a counter
 * preset through register 35 or 36 does not move them). The start copies pre-registers 1-7
 * only, so register 16 keeps the offset. An end limit, a soft limit, the alarm or a stop
 * command met during a search stops it like any move, with the cause recorded in register 49;
 * the search then leaves the counters alone. A search with no origin ahead runs until a limit
 * or a stop. The home count, flags A, B and C and register 30 bits 20-23 are kept as written
 * and change nothing.
 *
 * The home switch has a hysteresis: a moving axis sees it `pulses` later in its direction of
 * travel (moving positive it reads active from position + pulses to position + width + pulses
 * - 1, moving negative from position - pulses to position + width - pulses - 1); an axis at rest
 * sees the switch where it is placed. So a search finds the switch `pulses` inside its edge,
 * and searches from the two sides find it 2 * pulses apart (plus the width). Default 0. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_SetHomeHysteresis(int board, int axis, int pulses);

/* Comparators. Comparators 1 and 2 are the soft limits described under Motion. Comparator 3
 * (the error compare) keeps its settings and raises nothing: the simulated deviation does not
 * change during a move. Comparators 4 and 5 compare a counter with a value each time the axis
 * passes it:
 *   comparator 4: value register 42; register 31 bits 24-25 the counter (1: actual counter A,
 *     any other value: command counter C), bits 26-28 the condition, bits 30-31 kept;
 *   comparator 5: value register 43; register 32 bits 0-2 the condition, bits 3-5 the counter
 *     (1: A, any other value: C).
 * Conditions: 1 passing the value in either direction, 2 counting up, 3 counting down; 0 and
 * 4-7 compare nothing. "Passing" means the counter changing to the value during a move, so an
 * axis that starts on the value does not pass it there. The comparators watch single-axis
 * moves and home searches, not an axis that runs on an interpolated path, and they see the
 * pulses of the motion whenever a request reaches the axis, so every event carries the counter
 * value and the simulated time at which it happened. Each time comparator 5's condition is
 * met, the axis's compare output gives one pulse (its width and logic are not modelled) and
 * the event is logged; comparator 4 logs events only.
 *
 * Table-driven trigger. Command 720 (axis, table of 32-bit positions, count) copies up to
 * QUORVA_SIM_TABLE_CAPACITY positions (a larger count, or a positive count without a table, is
 * refused: success flag 0) and stops the axis's table; command 730 (axis, flag) starts it at
 * its first entry: the driver writes each entry in turn into register 43 and comparator 5 gives
 * a pulse and moves on to the next entry each time its condition is met there. An entry the
 * axis has already passed waits until the axis passes it again. After the last entry the
 * driver switches comparator 5 off (register 32 bits 0-7 cleared); register 43 keeps the
 * entry. Command 740 stops the table. The flag of 730 repeats what comparator 5's field 2 says
 * and is not used.
 *
 * Indexed compare-trigger. The driver keeps QUORVA_SIM_TRIGGER_MAPS maps. Command 1160 (index,
 * X, Y, channel) stores the three values as 16-bit numbers and marks the map valid; 1162
 * reports them (16-bit stores for X, Y and the channel, 32-bit for the valid flag). Command
 * 1164 (index, tag, positions, second table, count) feeds the positions to comparator 5 of
 * axis X as command 730 does (it takes the place of a table running there, and 730 takes its
 * place in turn); each entry met is an event whose data is its word of the second table. The
 * simulator does not pulse the output channel (nor the compare output) for these entries, and
 * does not use axis Y or the tag. Command 1166 stops the table; 1168 reports the number of
 * entries fired and 1 while entries remain (0 once all fired or the table stopped). Errors
 * (the error word): */
#define QUORVA_SIM_TABLE_CAPACITY 1048576
#define QUORVA_SIM_TRIGGER_MAPS 8
#define QUORVA_SIM_TRIGGER_ERR_INDEX (-5101) /* index outside 0 .. QUORVA_SIM_TRIGGER_MAPS-1 */
#define QUORVA_SIM_TRIGGER_ERR_MAP (-5102)   /* 1164: map not valid, or X not an axis (0-7) */
#define QUORVA_SIM_TRIGGER_ERR_TABLE (-5103) /* 1164: count negative or above the capacity,
                                                or a table missing */

/* The table command 720 last handed to the axis: copies up to `capacity` positions and returns
 * the table's length (-1 for no such axis). */
QUORVA_API int QUORVA_CALL QUORVA_SIM_GetTriggerTable(int board, int axis, int* positions,
                                                      int capacity);

/* The compare output of an axis: pulses given since the board was configured, and the counter
 * value and simulated time of the last. */
typedef struct QUORVA_SIM_COMPARE_OUTPUT {
  int pulses;
  int position;
  double time;
} QUORVA_SIM_COMPARE_OUTPUT;
QUORVA_LAYOUT_CHECK(sizeof(QUORVA_SIM_COMPARE_OUTPUT) == 16, "QUORVA_SIM_COMPARE_OUTPUT is 16 bytes");
QUORVA_API int QUORVA_CALL QUORVA_SIM_GetCompareOutput(int board, int axis,
                                                       QUORVA_SIM_COMPARE_OUTPUT* output);

/* Compare events of an axis, as an interrupt would report them. */
#define QUORVA_SIM_EVENT_TRIGGER 0       /* comparator 5 at register 43, no table feeding it */
#define QUORVA_SIM_EVENT_TRIGGER_TABLE 1 /* comparator 5 at an entry of the 720 table */
#define QUORVA_SIM_EVENT_INDEXED 2       /* comparator 5 at an entry of an indexed table */
#define QUORVA_SIM_EVENT_GENERAL 3       /* comparator 4 */
#define QUORVA_SIM_EVENT_SOFT_LIMIT 4    /* a move stopped at a soft limit */
typedef struct QUORVA_SIM_COMPARE_EVENT {
  double time;  /* simulated seconds */
  int source;   /* QUORVA_SIM_EVENT_* */
  int position; /* the compared counter's value (soft limit: the command counter) */
  int entry;    /* table entry (0 = first) for table events, else -1 */
  int data;     /* indexed table: second[entry]; soft limit: 1 positive side, -1 negative */
} QUORVA_SIM_COMPARE_EVENT;
QUORVA_LAYOUT_CHECK(sizeof(QUORVA_SIM_COMPARE_EVENT) == 24, "QUORVA_SIM_COMPARE_EVENT is 24 bytes");
/* The newest events of each axis are kept, oldest first, at most this many. */
#define QUORVA_SIM_COMPARE_LOG_CAPACITY 1024
/* Number of events kept for the axis (-1 for no such axis). */
QUORVA_API int QUORVA_CALL QUORVA_SIM_CompareEventCount(int board, int axis);
/* Copies event `index` (0 = oldest kept) of the axis. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_GetCompareEvent(int board, int axis, int index,
                                                      QUORVA_SIM_COMPARE_EVENT* event);

/* -- Latches and interrupts -- */
/* Latches. On an edge of its latch input (QUORVA_SIM_INPUT_LATCH becoming active, or becoming
 * inactive when bit 23 of register 28 is set) an axis copies its counters, as they stand at that
 * simulated instant, into registers 45 (C), 46 (A), 47 (the deviation, or with bit 14 of
 * register 32 the speed in steps) and 48 (G), and sets bit 14 of register 51, which stays set
 * until register 51 is written.
 *
 * Latch queue (commands 2120-2127): one per axis, holding at most its size (0-100000 items;
 * after reset size 0, counter C, disabled). While enabled, every latch appends the latched value
 * of the queue's counter with the counter's code; a full queue drops the new item, and a smaller
 * size drops the newest items beyond it. Values: C, A and G as 28-bit signed counts, D as a
 * signed 16-bit count or the speed in steps. Deque and peek report one of these codes (the
 * library returns the code minus 1630): */
#define QUORVA_SIM_LATCH_OK 1630      /* an item was delivered */
#define QUORVA_SIM_LATCH_NO_ITEM 1631 /* the queue is empty, or holds no item at that position */

/* A pulse on the latch input of an axis at `seconds` of simulated time, not before the present:
 * the axis latches in that instant whatever edge it latches on. Pulses take effect in time order
 * when simulated time reaches them (with the real-time clock, also while no request arrives). */
QUORVA_API int QUORVA_CALL QUORVA_SIM_LatchPulseAt(int board, int axis, double seconds);

/* Interrupts. An axis raises an interrupt when a move ends (also a start that cannot start for a
 * limit or the alarm), when it latches, and when a comparator meets its condition. Each
 * interrupt sets cause bits in the axis's two status words, the first for stops by a limit or
 * the alarm, the second for events. Every cause belongs to one source; command 665 masks sources
 * (a set bit: its causes are neither recorded nor signalled), command 670 reports the sources
 * with causes pending, command 680 reports both words and clears them. Sources: */
#define QUORVA_SIM_INT_MOVE_END 0x01   /* the axis became idle, for any reason */
#define QUORVA_SIM_INT_END_LIMIT 0x02  /* stopped by an end limit */
#define QUORVA_SIM_INT_SOFT_LIMIT 0x04 /* stopped by a soft limit */
#define QUORVA_SIM_INT_ALARM 0x08      /* stopped by the alarm */
#define QUORVA_SIM_INT_LATCH 0x10      /* latched */
#define QUORVA_SIM_INT_COMPARE 0x20    /* a comparator met its condition */
/* First status word. */
#define QUORVA_SIM_INT_STOP_EL_PLUS 0x01
#define QUORVA_SIM_INT_STOP_EL_MINUS 0x02
#define QUORVA_SIM_INT_STOP_SOFT_PLUS 0x04
#define QUORVA_SIM_INT_STOP_SOFT_MINUS 0x08
#define QUORVA_SIM_INT_STOP_ALARM 0x10
/* Second status word; comparator n (1-5) is QUORVA_SIM_INT_EVENT_COMPARE1 << (n - 1). */
#define QUORVA_SIM_INT_EVENT_MOVE_END 0x01
#define QUORVA_SIM_INT_EVENT_LATCH 0x02
#define QUORVA_SIM_INT_EVENT_COMPARE1 0x04

/* Notification. Command 650 (QUORVA_MC_EnableInterrupt) registers the application's event for
 * the board: on Linux an eventfd descriptor, to which the driver adds 1 for every interrupt; on
 * Windows an event handle, which it sets. The driver keeps a duplicate, so the application may
 * close its own. The error word is 0, or QUORVA_SIM_INT_ERR_EVENT when the value names no such
 * event (nothing changes then). Command 660, the close of the board's last handle and
 * QUORVA_SIM_Configure end the registration.
 *
 * The event is signalled at the simulated instant of the interrupt. On the real-time clock a
 * thread of the simulated driver, started when an event is registered and the next event of the
 * boards is known, sleeps until the real instant of that event (the end of a move, a stop at a
 * limit, a latch pulse) and signals then, while the application sends no request; a
 * comparator's interrupt, which is not among those instants, is signalled with the next of them
 * or the next request. On the virtual clock the event is signalled when simulated time passes
 * the instant: during the request, the QUORVA_SIM_AdvanceTime or QUORVA_SIM_RunUntilIdle, or the
 * jump of a library wait, that moves time past it. */
#define QUORVA_SIM_INT_ERR_EVENT 1

/* Raises one interrupt on an axis with the given causes of the first and second status words,
 * under the axis's mask (bits that belong to no source above are never masked), and signals the
 * board's event. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_RaiseInterrupt(int board, int axis, unsigned int first,
                                                     unsigned int second);


/* -- Override, pulser and synchronised start -- */

/* Changing a running move. Command 43 copies pre-registers 1-6 into 17-22: the move takes the
 * new speeds, rates and magnification from its present speed, and register 22's ramp-down
 * point. A new end in register 16 (relative moves: counted from where the operation began):
 * - further away or nearer but still reachable: the move runs to it;
 * - no longer reachable (behind the axis, or nearer than its stopping distance): the axis
 *   decelerates to the start speed, stops, and travels back to it with the speed registers in
 *   force, as a move of its own (second leg);
 * - with no positioning move running (idle, continuous, pulser): nothing changes and bit 13 of
 *   the main status word is set until the next start (the library then reports a refusal).
 * Comparator 3 set to start the next operation (register 31 bits 16-17 = 0 command counter,
 * bits 18-20 = 5 reached counting up or 4 counting down, bits 21-22 = 3) while a move runs ends
 * the move at the instant its counter reaches register 41 and starts there the operation the
 * pre-registers hold, with the move's start code. It acts once, for that move, and only if the
 * counter had not reached the position when it was set; otherwise the second leg above brings
 * the axis back.
 *
 * Measured speed (commands 690, 700, 710): every interval (10-5000 ms) from command 690 the
 * driver samples each axis's actual counter; 710 reports the count and time (0.1 ms units)
 * differences of the last two samples, 0 and 0 before the first interval and once stopped.
 * Samples are taken at their exact instants unless the move was changed since.
 *
 * Pulser input: QUORVA_SIM_TurnPulser turns an axis's hand wheel. Operation codes 0x01
 * (continuous), 0x51 (relative: to the position where the operation began plus register 16),
 * 0x52 (absolute: to register 16), 0x54 (towards home, negative direction) and 0x55 (positive)
 * follow it from the instant they start: each input pulse gives 1, 2, 4 or 1 output pulses for
 * the input mode 0-3 in register 29 bits 24-25, in the wheel's direction, reversed with bit 26.
 * A positioning operation ends on its target (a pulse that would pass it ends there); writing
 * register 0 while it runs sets a new target (0x51: the present position plus the amount;
 * 0x52: the amount). A home operation follows only the pulses of its direction and ends on the
 * home switch (QUORVA_SIM_SetHomePosition), or at once while the home input is active. While
 * following, the axis is busy in state 0xC with the speed of the turn under way. Stop commands
 * end it at once; limit switches do not act on it.
 *
 * Start conditions (operation mode bits 18-19 in force when a start command comes): 1 waits
 * for the start signal (command 6); 2 for a signal of the axis of the same chip in register 32
 * bits 20-21, chosen by bits 16-19: 4 it starts, 8 it stops, 9 it reaches its high speed
 * (state 0xC), 10 it begins to decelerate (state 0xD), other codes never come; 3 for the stop
 * of the axis in mode bits 20-23 (0-7 of the board). The held move starts in the same simulated
 * instant as the event; only events from the start command on count. */

/* Turns the hand wheel on the pulser input of an axis by `pulses` (negative: the other way) at
 * `rate` pulses per second (1 or more), from now, or after the turn under way. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_TurnPulser(int board, int axis, int pulses, double rate);

/* -- Helical steps -- */

/* A start command whose addressed axis holds mode 102 (clockwise) or 103 (counter-clockwise)
 * in register 7 starts a helical step of the named axes of its chip: the two lowest holding one
 * of those modes run an arc as modes 100 and 101 do (register 0 the end point, register 8 the
 * centre, both relative to the start), and every other named axis holding mode 65 or 97 moves
 * its register-0 amount in proportion to the way along the arc, so that all arrive in the same
 * instant. The step runs the speed profile of the addressed axis's registers along the arc;
 * register 12 of the addressed axis holds the arc's step count, from which the controller
 * places the deceleration: a step started with 0x52 or 0x53 and 0 there runs to its end
 * without slowing down. A step is a path like any other: it starts only when all its axes are
 * idle, a stop of any of its axes stops all of it, and command 85 completes it.
 * Command 42 releases the named axes (the addressed one and those in bits 8-11) that wait for
 * the start signal: they start in the same instant. */

/* Request log: the newest requests, oldest first; at most QUORVA_SIM_LOG_CAPACITY kept. */
#define QUORVA_SIM_LOG_CAPACITY 65536
QUORVA_API int QUORVA_CALL QUORVA_SIM_RequestCount(void);
/* Copies request `index` (0 = oldest kept). */
QUORVA_API int QUORVA_CALL QUORVA_SIM_GetRequest(int index, QUORVA_SIM_REQUEST* request);
QUORVA_API void QUORVA_CALL QUORVA_SIM_ClearRequests(void);

#ifdef __cplusplus
}
#endif

#endif /* VARNDASQV_SIM_H */
