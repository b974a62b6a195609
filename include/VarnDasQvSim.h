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
