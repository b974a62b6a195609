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
#define QUORVA_SIM_REQUEST_QUANTUM_NS 10000
/* Chooses the clock; `factor` (simulated seconds per real second, above 0) applies to the
 * real-time clock. Simulated time continues from its present value. */
QUORVA_API int QUORVA_CALL QUORVA_SIM_SetClock(int mode, double factor);
/* Simulated seconds since the bus was configured. */
QUORVA_API double QUORVA_CALL QUORVA_SIM_GetTime(void);
/* Moves simulated time forward (seconds, at least 0). */
QUORVA_API int QUORVA_CALL QUORVA_SIM_AdvanceTime(double seconds);

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
