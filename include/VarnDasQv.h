/*
 * VarnDasQv: user-mode library of the Quorva motion-control and data-acquisition boards.
 *
 * Every hardware action is one request to the board's kernel driver. The library keeps the
 * registry of loaded boards, each motion board's state (units, speeds, modes, software
 * positions) and turns user units into controller register values.
 *
 * Conventions:
 *  - Handles are pointer-sized; QUORVA_INVALID_HANDLE (all bits set) and NULL mean "no board".
 *  - Distances, positions and speeds are doubles in user units; integers and flags are int;
 *    register values and raw words are unsigned int (32 bits).
 *  - A handle without a motion context, or an axis outside the board's axes, makes a motion
 *    function a silent no-op returning 0.
 *  - Getters skip NULL out-pointers.
 */
#ifndef VARNDASQV_H
#define VARNDASQV_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Export and calling-convention macros. QUORVA_CALL is empty on 64-bit targets; a 32-bit
 * Windows build may define it as __stdcall without touching the declarations. */
#if defined(_WIN32)
#if defined(QUORVA_BUILDING_LIBRARY)
#define QUORVA_API __declspec(dllexport)
#else
#define QUORVA_API
#endif
#else
#define QUORVA_API __attribute__((visibility("default")))
#endif
#ifndef QUORVA_CALL
#define QUORVA_CALL
#endif

/* ---------------------------------------------------------------------------------------- */
/* Boards, records and error codes                                                           */
/* ---------------------------------------------------------------------------------------- */

/* An opened board. */
typedef void* QUORVA_HANDLE;
#define QUORVA_INVALID_HANDLE ((QUORVA_HANDLE)(intptr_t)-1)

/* Error codes. */
#define QUORVA_ERR_NOT_SUPPORTED (-200)
#define QUORVA_ERR_MEMORY (-290)
#define QUORVA_ERR_FILE_OPEN (-300)
#define QUORVA_ERR_FILE_CREATE (-301)
#define QUORVA_ERR_INTERRUPT (-310)
#define QUORVA_ERR_MEMORY_ALLOC (-320)

/* Device information record, 36 bytes. */
typedef struct DevInfo {
  uint16_t DeviceId; /* written by the driver */
  uint16_t reserved0;
  int32_t instance;   /* n-th board with this DeviceId, set by QUORVA_GetAvailDevList */
  char modelName[20]; /* zero-terminated, at most 19 characters */
  uint8_t resourceFlags;
  uint8_t analogInputs;
  uint8_t analogOutputs;
  uint8_t digitalInputs;
  uint8_t digitalOutputs;
  uint8_t axes;
  uint8_t reserved1[2];
} DevInfo;

/* Room for this many boards is in every DevList; more installed boards are not listed. */
#define QUORVA_MAX_BOARDS 32

/* The list of installed boards, filled by QUORVA_GetAvailDevList. */
typedef struct DevList {
  uint16_t count;
  uint16_t reserved;
  DevInfo boards[QUORVA_MAX_BOARDS];
} DevList;

/* ---------------------------------------------------------------------------------------- */
/* Board discovery and registry                                                              */
/* ---------------------------------------------------------------------------------------- */

/* Opens instance `instance` (0 = first enumerated) of the board with `deviceId`.
 * Returns its handle, or QUORVA_INVALID_HANDLE when no such board opened. */
QUORVA_API QUORVA_HANDLE QUORVA_CALL QUORVA_LoadDevice(int deviceId, int instance);
/* Closes a handle and forgets it; the last handle on a motion board drops its state. */
QUORVA_API void QUORVA_CALL QUORVA_UnloadDevice(QUORVA_HANDLE handle);
/* Lists every installed board sorted by DeviceId, instances numbered. Returns 1 (0 for NULL). */
QUORVA_API int QUORVA_CALL QUORVA_GetAvailDevList(DevList* list);
/* Fills `info` for an open handle. Returns 1 (0 for NULL). */
QUORVA_API int QUORVA_CALL QUORVA_GetDevInfo(QUORVA_HANDLE handle, DevInfo* info);
/* Number of handles open on the board in the whole system. */
QUORVA_API int QUORVA_CALL QUORVA_GetDeviceThreadCount(QUORVA_HANDLE handle);

/* ---------------------------------------------------------------------------------------- */
/* Trace log and errors                                                                      */
/* ---------------------------------------------------------------------------------------- */

/* Sets the trace level (0 off, 1 commands, 2 configuration reads, 3 polling reads) and, for a
 * level above 0, empties `path` and traces into it. Returns 0, -1 for a handle that is not a
 * loaded board, QUORVA_ERR_FILE_CREATE when the file cannot be created (tracing stays off). */
QUORVA_API int QUORVA_CALL QUORVA_EnableDebugLog(QUORVA_HANDLE handle, const char* path, int level);
/* The process-wide last error code. */
QUORVA_API int QUORVA_CALL QUORVA_LastError(void);
/* Text of the current last error; `code` is not consulted. */
QUORVA_API const char* QUORVA_CALL QUORVA_ErrorString(int code);

/* ---------------------------------------------------------------------------------------- */
/* Board-level raw access                                                                    */
/* ---------------------------------------------------------------------------------------- */

QUORVA_API int QUORVA_CALL QUORVA_GetResources(QUORVA_HANDLE handle, unsigned int* resource1,
                                               unsigned int* resource2, unsigned int value3,
                                               unsigned int* resource4, unsigned int value5);
QUORVA_API int QUORVA_CALL QUORVA_Write8402(QUORVA_HANDLE handle, unsigned int value1,
                                            unsigned int value2, unsigned int value3);
QUORVA_API int QUORVA_CALL QUORVA_WriteEEPR(QUORVA_HANDLE handle, unsigned int address,
                                            unsigned int value);
QUORVA_API unsigned int QUORVA_CALL QUORVA_ReadEEPR(QUORVA_HANDLE handle, unsigned int address);
QUORVA_API int QUORVA_CALL QUORVA_SetVarnBus(QUORVA_HANDLE handle, unsigned int value1,
                                             unsigned int value2);
QUORVA_API int QUORVA_CALL QUORVA_WriteMemPortDW(QUORVA_HANDLE handle, int space,
                                                 unsigned int offset, unsigned int value);
QUORVA_API unsigned int QUORVA_CALL QUORVA_ReadMemPortDW(QUORVA_HANDLE handle, int space,
                                                         unsigned int offset);
QUORVA_API int QUORVA_CALL QUORVA_Outpdw(QUORVA_HANDLE handle, int space, unsigned int offset,
                                         unsigned int value);
QUORVA_API unsigned int QUORVA_CALL QUORVA_Inpdw(QUORVA_HANDLE handle, int space,
                                                 unsigned int offset);

/* ---------------------------------------------------------------------------------------- */
/* Data acquisition                                                                          */
/* ---------------------------------------------------------------------------------------- */

/* Analog input. Channels are physical channel numbers. */

/* Sets a channel's input range; both limits are truncated to whole volts. Returns 1. */
QUORVA_API int QUORVA_CALL QUORVA_AD_SetRange(QUORVA_HANDLE handle, int channel, float lowerVolts,
                                              float upperVolts);
/* Selects the analog input type (driver-defined). Returns the success flag. */
QUORVA_API int QUORVA_CALL QUORVA_AD_SetInputType(QUORVA_HANDLE handle, int inputType);
/* One conversion of a channel, as the raw digit. */
QUORVA_API int QUORVA_CALL QUORVA_AD_GetDigit(QUORVA_HANDLE handle, int channel);
/* One conversion of a channel, in volts with the channel's range. */
QUORVA_API float QUORVA_CALL QUORVA_AD_GetVolt(QUORVA_HANDLE handle, int channel);

/* Buffered scans. Retrieval types: 0 raw 16-bit digits, 1 volts as float, 2 volts as double
 * (low 4 bits of `type`; other values retrieve nothing). Scan numbers count from 1 (a number
 * below 1 is taken as 1); a negative count asks for the |count| scans before `start`. A channel
 * index is a position in the scan's channel list. */
#define QUORVA_RETRIEVE_DIGITS 0
#define QUORVA_RETRIEVE_FLOAT 1
#define QUORVA_RETRIEVE_DOUBLE 2

/* Starts a US1 scan into one interleaved ring; returns 0 or the driver's negative code. */
QUORVA_API int QUORVA_CALL QUORVA_US1_Start(QUORVA_HANDLE handle, int channelCount,
                                            const int* channelList, int scanFrequency,
                                            int arraySize, int mode);
/* Stops the US1 scan; its ring stays readable until QUORVA_US1_ReleaseBuf. */
QUORVA_API int QUORVA_CALL QUORVA_US1_Stop(QUORVA_HANDLE handle, int option);
/* Changes the US1 scan frequency; returns the frequency the driver actually uses. */
QUORVA_API int QUORVA_CALL QUORVA_US1_ChangeScanFreq(QUORVA_HANDLE handle, int scanFrequency);
/* Restarts the US1 scan count at 0. Returns the success flag. */
QUORVA_API int QUORVA_CALL QUORVA_US1_ResetCount(QUORVA_HANDLE handle);
/* Address of the US1 ring (arraySize scans of channelCount digits), NULL when there is none. */
QUORVA_API unsigned short* QUORVA_CALL QUORVA_US1_GetBuffer(QUORVA_HANDLE handle);
/* Releases the US1 ring. Returns 1. */
QUORVA_API int QUORVA_CALL QUORVA_US1_ReleaseBuf(QUORVA_HANDLE handle);
/* Number of US1 scans acquired so far. */
QUORVA_API unsigned int QUORVA_CALL QUORVA_US1_CurCount(QUORVA_HANDLE handle);
/* Digit position of channel index `channelIndex` of scan `scan` in the US1 ring. */
QUORVA_API int QUORVA_CALL QUORVA_US1_SBPos(QUORVA_HANDLE handle, int channelIndex, int scan);
/* Volts of one sample of the US1 ring; 0 when there is no ring or no such channel index. */
QUORVA_API float QUORVA_CALL QUORVA_US1_RetrvOne(QUORVA_HANDLE handle, int channelIndex, int scan);
/* Copies one channel's acquired samples from scan `start` on; returns the values stored. */
QUORVA_API int QUORVA_CALL QUORVA_US1_RetrvChannel(QUORVA_HANDLE handle, int channelIndex,
                                                   int start, int count, void* dest, int type);
/* Copies whole scans the ring still holds (newest arraySize at most); returns the scans stored. */
QUORVA_API int QUORVA_CALL QUORVA_US1_RetrvBlock(QUORVA_HANDLE handle, int start, int count,
                                                 void* dest, int type);

/* Sets the US2 trigger: three driver values, a level in volts and a percentage. */
QUORVA_API int QUORVA_CALL QUORVA_US2_SetTriggerEvent(QUORVA_HANDLE handle, int value1, int value2,
                                                      int value3, float levelVolts,
                                                      float percentage);
/* Starts a US2 scan (one ring per channel index); returns the actual frequency, 0.0 on an error. */
QUORVA_API double QUORVA_CALL QUORVA_US2_Start(QUORVA_HANDLE handle, int channelCount,
                                               const int* channelList, int scanFrequency,
                                               unsigned short mode, int scanCount);
/* Pauses and resumes the US2 scan. Return the success flag. */
QUORVA_API int QUORVA_CALL QUORVA_US2_Pause(QUORVA_HANDLE handle);
QUORVA_API int QUORVA_CALL QUORVA_US2_Resume(QUORVA_HANDLE handle);
/* Changes the US2 scan frequency; returns the actual scan frequency in Hz (0.0 on failure). */
QUORVA_API double QUORVA_CALL QUORVA_US2_ChangeScanFreq(QUORVA_HANDLE handle, int scanFrequency);
/* Sets the number of scans after which the US2 scan stops. Returns the success flag. */
QUORVA_API int QUORVA_CALL QUORVA_US2_ChangeMaxScan(QUORVA_HANDLE handle, int maxScan);
/* Stops the US2 scan; its rings stay readable until QUORVA_US2_ReleaseBuf. */
QUORVA_API int QUORVA_CALL QUORVA_US2_Stop(QUORVA_HANDLE handle, int option);
/* Address of a channel index's US2 ring (conversion in bits 0-11), NULL when there is none. */
QUORVA_API unsigned short* QUORVA_CALL QUORVA_US2_GetBuffer(QUORVA_HANDLE handle, int channelIndex);
/* Releases the US2 rings. Returns 1. */
QUORVA_API int QUORVA_CALL QUORVA_US2_ReleaseBuf(QUORVA_HANDLE handle);
/* Number of US2 transfers of 4096 scans completed. */
QUORVA_API unsigned int QUORVA_CALL QUORVA_US2_DmaCount(QUORVA_HANDLE handle);
/* 1 when the US2 rings are full. */
QUORVA_API int QUORVA_CALL QUORVA_US2_IsBufFull(QUORVA_HANDLE handle);
/* Position of scan `scan` in each US2 ring. */
QUORVA_API int QUORVA_CALL QUORVA_US2_SBPos(QUORVA_HANDLE handle, int scan);
/* Volts of one sample of a US2 ring; 0 when there is no ring or no such channel index. */
QUORVA_API float QUORVA_CALL QUORVA_US2_RetrvOne(QUORVA_HANDLE handle, int channelIndex, int scan);
/* As QUORVA_US1_RetrvChannel, from the channel's US2 ring. */
QUORVA_API int QUORVA_CALL QUORVA_US2_RetrvChannel(QUORVA_HANDLE handle, int channelIndex,
                                                   int start, int count, void* dest, int type);

/* Digital I/O: 32 channels per group, group 0 holds channels 0-31, group 1 channels 32-63. */

/* Sets the digital I/O usage (driver-defined). Returns the success flag. */
QUORVA_API int QUORVA_CALL QUORVA_DIO_SetUsage(QUORVA_HANDLE handle, int usage);
/* The digital I/O usage, low 8 bits. */
QUORVA_API int QUORVA_CALL QUORVA_DIO_GetUsage(QUORVA_HANDLE handle);
/* State of one digital input. */
QUORVA_API int QUORVA_CALL QUORVA_DI_GetOne(QUORVA_HANDLE handle, int channel);
/* States of the digital inputs of group 0, of group `group`. */
QUORVA_API unsigned int QUORVA_CALL QUORVA_DI_GetAll(QUORVA_HANDLE handle);
QUORVA_API unsigned int QUORVA_CALL QUORVA_DI_GetAllEx(QUORVA_HANDLE handle, int group);
/* Sets one digital output. Returns the success flag. */
QUORVA_API int QUORVA_CALL QUORVA_DO_PutOne(QUORVA_HANDLE handle, int channel, int state);
/* Sets the digital outputs of group 0, of group `group`. Return the success flag. */
QUORVA_API int QUORVA_CALL QUORVA_DO_PutAll(QUORVA_HANDLE handle, unsigned int states);
QUORVA_API int QUORVA_CALL QUORVA_DO_PutAllEx(QUORVA_HANDLE handle, int group, unsigned int states);
/* State of one digital output as latched; 0 for a channel outside 0-63. */
QUORVA_API int QUORVA_CALL QUORVA_DO_GetOne(QUORVA_HANDLE handle, int channel);
/* Latched states of the digital outputs of group 0, of group `group`. */
QUORVA_API unsigned int QUORVA_CALL QUORVA_DO_GetAll(QUORVA_HANDLE handle);
QUORVA_API unsigned int QUORVA_CALL QUORVA_DO_GetAllEx(QUORVA_HANDLE handle, int group);

/* Serial I/O modules: remote 16-bit modules addressed by module number. */

/* Opens communication with the modules. Returns the success flag. */
QUORVA_API int QUORVA_CALL QUORVA_SDIO_InitComm(QUORVA_HANDLE handle);
/* 1 when the module answers. */
QUORVA_API int QUORVA_CALL QUORVA_SDIO_CheckModule(QUORVA_HANDLE handle, int module);
/* Sets a module's usage (driver-defined values); returns the driver's success flag. */
QUORVA_API int QUORVA_CALL QUORVA_SDIO_SetDioUsage(QUORVA_HANDLE handle, int value1, int value2);
/* Input bytes of a module: low, high, and both as a 16-bit word. */
QUORVA_API int QUORVA_CALL QUORVA_SDIO_ReadLowByte(QUORVA_HANDLE handle, int module);
QUORVA_API int QUORVA_CALL QUORVA_SDIO_ReadHighByte(QUORVA_HANDLE handle, int module);
QUORVA_API int QUORVA_CALL QUORVA_SDIO_ReadWord(QUORVA_HANDLE handle, int module);
/* Output bytes of a module: low, high, and both (low first); return the driver's success flag. */
QUORVA_API int QUORVA_CALL QUORVA_SDIO_WriteLowByte(QUORVA_HANDLE handle, int module, int value);
QUORVA_API int QUORVA_CALL QUORVA_SDIO_WriteHighByte(QUORVA_HANDLE handle, int module, int value);
QUORVA_API int QUORVA_CALL QUORVA_SDIO_WriteWord(QUORVA_HANDLE handle, int module, int word);

/* Analog output, waveforms and counters. Volts become 12-bit codes: -10 V is 0, +10 V 4095. */

/* Sets an analog output to `volts`. Returns 1. */
QUORVA_API int QUORVA_CALL QUORVA_DA_Out(QUORVA_HANDLE handle, int channel, float volts);
/* Starts a waveform of 2-4096 samples (volts) at a nonzero rate; returns the actual rate or 0. */
QUORVA_API int QUORVA_CALL QUORVA_WFM_Start(QUORVA_HANDLE handle, int channel, const float* samples,
                                            int count, int rate, int loops);
/* Replaces the samples of a waveform (2-4096). Returns 1, 0 when refused. */
QUORVA_API int QUORVA_CALL QUORVA_WFM_Reload(QUORVA_HANDLE handle, int channel,
                                             const float* samples, int count);
/* Changes a waveform's rate (nonzero). Returns the actual rate, 0 when refused. */
QUORVA_API int QUORVA_CALL QUORVA_WFM_RateChange(QUORVA_HANDLE handle, int channel, int rate);
/* Position of the sample being output, and the number of loops completed. */
QUORVA_API int QUORVA_CALL QUORVA_WFM_GetCurPos(QUORVA_HANDLE handle, int channel);
QUORVA_API int QUORVA_CALL QUORVA_WFM_GetCurLoops(QUORVA_HANDLE handle, int channel);
/* Stops a waveform. Returns the success flag. */
QUORVA_API int QUORVA_CALL QUORVA_WFM_Stop(QUORVA_HANDLE handle, int channel);
/* The 32-bit count of a counter channel. */
QUORVA_API unsigned int QUORVA_CALL QUORVA_ReadCounter32(QUORVA_HANDLE handle, int channel);
/* Clears a counter. Returns 1 when the driver accepted, 0 on an error. */
QUORVA_API int QUORVA_CALL QUORVA_ClearCounter32(QUORVA_HANDLE handle, int channel);

/* ---------------------------------------------------------------------------------------- */
/* Motion: registers, controller initialisation and reset                                    */
/* ---------------------------------------------------------------------------------------- */

/* Main-space word `offset` of an axis (0: main status, 1: signal status). */
QUORVA_API unsigned int QUORVA_CALL QUORVA_MC_ReadMainSpace(QUORVA_HANDLE handle, int axis,
                                                            int offset);
/* Writes a main-space word directly (offset 0: axis command). Returns the success flag. */
QUORVA_API int QUORVA_CALL QUORVA_MC_WriteMainSpace(QUORVA_HANDLE handle, int axis, int offset,
                                                    unsigned int value);
/* Reads an axis register from the controller (no cache). */
QUORVA_API unsigned int QUORVA_CALL QUORVA_MC_ReadRegister(QUORVA_HANDLE handle, int axis, int reg);
/* Writes an axis register directly; the library's mode-register copy is not updated. */
QUORVA_API int QUORVA_CALL QUORVA_MC_WriteRegister(QUORVA_HANDLE handle, int axis, int reg,
                                                   unsigned int value);
/* Stores the controller version word at `version`; `second` is passed to the driver. */
QUORVA_API void QUORVA_CALL QUORVA_MC_GetDeviceVer(QUORVA_HANDLE handle, int* version, int* second);
/* Snapshot of every axis: 60 words per axis, axis k at values[60k .. 60k+59]. */
QUORVA_API void QUORVA_CALL QUORVA_MC_ReadAllRegs(QUORVA_HANDLE handle, unsigned int* values);
/* Stops and resets one axis, clears its tracked positions and the general outputs. */
QUORVA_API void QUORVA_CALL QUORVA_MC_ResetAxis(QUORVA_HANDLE handle, int axis);
/* Resets every axis and initialises the controller again. */
QUORVA_API void QUORVA_CALL QUORVA_MC_Reset(QUORVA_HANDLE handle);

/* ---------------------------------------------------------------------------------------- */
/* Motion: units, speeds and profiles                                                        */
/* ---------------------------------------------------------------------------------------- */

/* Pulse-output format 0-4 (5 and above are stored as 7 and read back as 5). */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetOutputMode(QUORVA_HANDLE handle, int axis, int mode);
/* Pulse-output format of the axis (0-5). */
QUORVA_API int QUORVA_CALL QUORVA_MC_GetOutputMode(QUORVA_HANDLE handle, int axis);
/* Encoder-input mode (0-3) and count direction (1: reversed). */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetInputMode(QUORVA_HANDLE handle, int axis, int mode,
                                                   int reverse);
/* Encoder-input mode and direction; either pointer may be NULL. */
QUORVA_API void QUORVA_CALL QUORVA_MC_GetInputMode(QUORVA_HANDLE handle, int axis, int* mode,
                                                   int* reverse);
/* Records the position source of the axis. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetPosSrc(QUORVA_HANDLE handle, int axis, int source);
/* Pulses per user distance unit (0 stands for 1.0). */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetUnitDistance(QUORVA_HANDLE handle, int axis, double value);
/* Pulses per user distance unit; 1.0 without a motion board. */
QUORVA_API double QUORVA_CALL QUORVA_MC_GetUnitDistance(QUORVA_HANDLE handle, int axis);
/* Pulses per second per user speed unit (0 stands for 1.0); also scales rates and ranges. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetUnitSpeed(QUORVA_HANDLE handle, int axis, double value);
/* Pulses per second per user speed unit; 1.0 without a motion board. */
QUORVA_API double QUORVA_CALL QUORVA_MC_GetUnitSpeed(QUORVA_HANDLE handle, int axis);
/* Ratio of feedback pulses to command pulses. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetInOutRatio(QUORVA_HANDLE handle, int axis, double ratio);
/* Ratio of feedback pulses to command pulses; 1.0 without a motion board. */
QUORVA_API double QUORVA_CALL QUORVA_MC_GetInOutRatio(QUORVA_HANDLE handle, int axis);
/* Chooses the speed resolution for speeds up to `maxSpeed` (user units per second); a range
 * that is not a positive finite speed is ignored. Set it before the speeds. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetSpeedRange(QUORVA_HANDLE handle, int axis,
                                                    double maxSpeed);
/* Lowest and highest speed of the present resolution; either pointer may be NULL. */
QUORVA_API void QUORVA_CALL QUORVA_MC_GetSpeedRange(QUORVA_HANDLE handle, int axis,
                                                    double* minSpeed, double* maxSpeed);
/* Start and working speed (user units per second), limited to the speed range. A speed that is
 * negative or not finite in pulses per second is ignored: both speeds stay as they were. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetSpeed(QUORVA_HANDLE handle, int axis, double startSpeed,
                                               double workSpeed);
/* Acceleration and deceleration (user units per second squared); 0 means no ramp. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetAccel(QUORVA_HANDLE handle, int axis, double accel,
                                               double decel);
/* S-curve sections; the sections are held at zero whatever is given. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetScurve(QUORVA_HANDLE handle, int axis,
                                                double accelSection, double decelSection);
/* Profile shape: 0 constant speed, 1 trapezoidal, 2 S-curve. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetSpeedMode(QUORVA_HANDLE handle, int axis, int mode);
/* Axis set of map 0-8 or 10 (bit n = axis n). Returns 1, or 0 for another map or board. */
QUORVA_API int QUORVA_CALL QUORVA_MC_MapAxes(QUORVA_HANDLE handle, int map, int axisMask);
/* Profile shape of a map (map limited to 0-10). */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetSpeedModeMx(QUORVA_HANDLE handle, int map, int mode);
/* Working speed and both rates of a map, in the units of its lowest axis. A speed that is
 * negative or not finite in pulses per second is ignored, with the rates of the same call. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetSpeedMx(QUORVA_HANDLE handle, int map, double speed,
                                                 double accel);
/* Working speed, acceleration and deceleration of a map, in the units of its lowest axis; a
 * negative or non-finite speed is ignored as by QUORVA_MC_SetSpeedMx. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetSpeedMx2(QUORVA_HANDLE handle, int map, double speed,
                                                  double accel, double decel);

/* ---------------------------------------------------------------------------------------- */
/* Motion: moves                                                                             */
/* ---------------------------------------------------------------------------------------- */

/* Runs at constant speed until stopped: direction > 0 positive, otherwise negative. */
QUORVA_API void QUORVA_CALL QUORVA_MC_StartVMove(QUORVA_HANDLE handle, int axis, int direction);
/* Continuous run, extended operation code. */
QUORVA_API void QUORVA_CALL QUORVA_MC_StartVMoveEx(QUORVA_HANDLE handle, int axis);
/* Starts a move by `distance` user units. */
QUORVA_API void QUORVA_CALL QUORVA_MC_StartMove(QUORVA_HANDLE handle, int axis, double distance);
/* Starts a move by `distance`, extended operation code, no gantry correction or recording. */
QUORVA_API void QUORVA_CALL QUORVA_MC_StartMoveEx(QUORVA_HANDLE handle, int axis,
                                                  double distance);
/* Starts a move to `position` user units. */
QUORVA_API void QUORVA_CALL QUORVA_MC_StartMoveTo(QUORVA_HANDLE handle, int axis,
                                                  double position);
/* Moves by `distance` and returns when the axis is done (at once when recorded into a list). */
QUORVA_API void QUORVA_CALL QUORVA_MC_Move(QUORVA_HANDLE handle, int axis, double distance);
/* Moves to `position` and returns when the axis is done (at once when recorded). */
QUORVA_API void QUORVA_CALL QUORVA_MC_MoveTo(QUORVA_HANDLE handle, int axis, double position);
/* 1 when the axis has finished its motion, 0 while it moves. */
QUORVA_API int QUORVA_CALL QUORVA_MC_Done(QUORVA_HANDLE handle, int axis);
/* Decelerating stop. */
QUORVA_API void QUORVA_CALL QUORVA_MC_Stop(QUORVA_HANDLE handle, int axis);
/* Immediate stop. */
QUORVA_API void QUORVA_CALL QUORVA_MC_EmgStop(QUORVA_HANDLE handle, int axis);

/* Multi-axis functions take `count` (0 to 8) axes, each listed once, with one value each; a
 * list that breaks these rules is ignored after the trace line. Axes of one four-axis chip
 * (0-3, 4-7) start with one command; axes on both chips start together on the shared start
 * signal. */
QUORVA_API void QUORVA_CALL QUORVA_MC_StartVMoveAll(QUORVA_HANDLE handle, int count,
                                                    const int* axes, const int* directions);
QUORVA_API void QUORVA_CALL QUORVA_MC_StartMoveAll(QUORVA_HANDLE handle, int count,
                                                   const int* axes, const double* distances);
QUORVA_API void QUORVA_CALL QUORVA_MC_MoveAll(QUORVA_HANDLE handle, int count, const int* axes,
                                              const double* distances);
QUORVA_API void QUORVA_CALL QUORVA_MC_StartMoveToAll(QUORVA_HANDLE handle, int count,
                                                     const int* axes, const double* positions);
QUORVA_API void QUORVA_CALL QUORVA_MC_MoveToAll(QUORVA_HANDLE handle, int count,
                                                const int* axes, const double* positions);
QUORVA_API void QUORVA_CALL QUORVA_MC_StopAll(QUORVA_HANDLE handle, int count, const int* axes);
QUORVA_API void QUORVA_CALL QUORVA_MC_EmgStopAll(QUORVA_HANDLE handle, int count,
                                                 const int* axes);
/* 1 when every listed axis is done (also for no axes), else 0. */
QUORVA_API int QUORVA_CALL QUORVA_MC_AllDone(QUORVA_HANDLE handle, int count, const int* axes);

/* List motion: between BeginList and EndList, moves of the list axes are recorded instead of
 * started; StartListMotion hands the list to the driver, which runs the entries in order. */
QUORVA_API void QUORVA_CALL QUORVA_MC_BeginList(QUORVA_HANDLE handle);
QUORVA_API void QUORVA_CALL QUORVA_MC_EndList(QUORVA_HANDLE handle);
QUORVA_API void QUORVA_CALL QUORVA_MC_StartListMotion(QUORVA_HANDLE handle);
QUORVA_API void QUORVA_CALL QUORVA_MC_AbortListMotion(QUORVA_HANDLE handle);
/* Nonzero once the list has run to its end. */
QUORVA_API int QUORVA_CALL QUORVA_MC_CheckListMotionDone(QUORVA_HANDLE handle);
/* Number of the entry in execution. */
QUORVA_API int QUORVA_CALL QUORVA_MC_LmCurSequence(QUORVA_HANDLE handle);
/* Axes that take part in list motion (bits 0-7). */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetListMotionAxes(QUORVA_HANDLE handle, int mask);
/* The next recorded entry starts without waiting for the previous one. */
QUORVA_API void QUORVA_CALL QUORVA_MC_LmSetImmediacy(QUORVA_HANDLE handle);
/* Digital-output actions of the board `output` in the list. */
QUORVA_API void QUORVA_CALL QUORVA_MC_LmDoPutOne(QUORVA_HANDLE handle, QUORVA_HANDLE output,
                                                 int channel, int state);
QUORVA_API void QUORVA_CALL QUORVA_MC_LmDoPutMulti(QUORVA_HANDLE handle, QUORVA_HANDLE output,
                                                   int group, int mask, int states);
QUORVA_API void QUORVA_CALL QUORVA_MC_LmDoPulseOne(QUORVA_HANDLE handle, QUORVA_HANDLE output,
                                                   int channel, int state, int width);
QUORVA_API void QUORVA_CALL QUORVA_MC_LmDoPulseMulti(QUORVA_HANDLE handle,
                                                     QUORVA_HANDLE output, int group, int mask,
                                                     int states, int width);

/* -- Speed override -- */

/* Re-profiles a running axis with its present speed settings (QUORVA_MC_SetSpeed and
 * QUORVA_MC_SetAccel given while it runs), from the speed it has: a continuous run changes
 * speed, a positioning move changes speed and still ends at its target. A decelerating
 * positioning move takes only a steeper deceleration. */
QUORVA_API void QUORVA_CALL QUORVA_MC_OverrideSpeedSet(QUORVA_HANDLE handle, int axis);
QUORVA_API void QUORVA_CALL QUORVA_MC_OverrideSpeedSetAll(QUORVA_HANDLE handle, int count,
                                                          const int* axes);
/* A new end for a running positioning move: OverrideMove for a move started by a distance (the
 * new distance counts from where that move started), OverrideMoveTo for a move started towards
 * a position. The move is lengthened or shortened as it runs; when the new end can no longer
 * be reached, the axis stops and travels back to it. Property 31 of QUORVA_MC_SetMioProperty
 * chooses who places the deceleration: the controller (1) or the library (0, the default; an
 * axis at rest is then refused). Returns 1 when the change was made, 0 when refused (no motion
 * board, a bad axis, a distance that is not a finite number, or refused by the controller). */
QUORVA_API int QUORVA_CALL QUORVA_MC_OverrideMove(QUORVA_HANDLE handle, int axis, double distance);
QUORVA_API int QUORVA_CALL QUORVA_MC_OverrideMoveTo(QUORVA_HANDLE handle, int axis,
                                                    double position);
/* The speed the axis is commanded to run at now, in user units per second. */
QUORVA_API double QUORVA_CALL QUORVA_MC_GetCurSpeed(QUORVA_HANDLE handle, int axis);
/* The driver's measured-speed check: every `interval` ms (10 to 5000) it takes the difference
 * of each axis's actual (feedback) counter. */
QUORVA_API void QUORVA_CALL QUORVA_MC_EnableActSpdChk(QUORVA_HANDLE handle, int interval);
QUORVA_API void QUORVA_CALL QUORVA_MC_DisableActSpdChk(QUORVA_HANDLE handle);
/* The measured speed over the last interval, in user units per second (times the axis's
 * in/out ratio); 0 while the check has no interval yet. */
QUORVA_API double QUORVA_CALL QUORVA_MC_GetActualSpeed(QUORVA_HANDLE handle, int axis);

/* -- Linear interpolation -- */

/* Lines move the axes of a map (QUORVA_MC_MapAxes; map numbers are limited to 0-10) along a
 * straight line, all starting and arriving together, at the map's path speed
 * (QUORVA_MC_SetSpeedModeMx, QUORVA_MC_SetSpeedMx, QUORVA_MC_SetSpeedMx2; with bit 7 of the
 * map's speed mode set the map's speeds are those of the axis with the longest distance).
 * `distances` (Line) or `positions` (LineTo) hold one value per axis of the map, ascending, in
 * user units; axes the board lacks are left out of the map. The axes of one four-axis chip are
 * interpolated by the controller; a map with axes on both chips, or with bit 31 of its mask
 * set, runs each axis as its own move with speeds in proportion, and stops them all at once
 * when one reports an error (register 50) after the start. With the gantry mapping on, the
 * gantry targets are corrected, and a map that holds one gantry axis gains the other for good.
 * A NULL array, or a map without an axis of the board, does nothing after the trace line.
 * While list recording covers the map's axes the line is recorded instead. */
QUORVA_API void QUORVA_CALL QUORVA_MC_StartLine(QUORVA_HANDLE handle, int map,
                                                const double* distances);
/* As QUORVA_MC_StartLine; returns when the map's lowest axis is done (at once when recorded). */
QUORVA_API void QUORVA_CALL QUORVA_MC_Line(QUORVA_HANDLE handle, int map, const double* distances);
QUORVA_API void QUORVA_CALL QUORVA_MC_StartLineTo(QUORVA_HANDLE handle, int map,
                                                  const double* positions);
QUORVA_API void QUORVA_CALL QUORVA_MC_LineTo(QUORVA_HANDLE handle, int map,
                                             const double* positions);

/* -- Circular interpolation -- */

/* Arcs move the two lowest axes of a map that the board has, A (X) and B (Y), along a circle
 * at the map's working speed, without ramps. Both must lie on one four-axis chip: an arc on a
 * map whose two axes lie on different chips does nothing after its trace line (the blocking
 * forms and QUORVA_MC_CompleteArc too). Centres and end points are relative to the present
 * position (Arc) or absolute (ArcTo), X in A's user units and Y in B's. The _a forms sweep
 * `angle` degrees around the centre (positive counter-clockwise, from +X towards +Y); the _p
 * forms run to (endX, endY), counter-clockwise for a direction above 0, else clockwise. On
 * controllers whose version word (QUORVA_MC_GetDeviceVer) is above 0 the arc sets bit 27 of
 * the mode register. The blocking forms finish like QUORVA_MC_CompleteArc. While list
 * recording covers A and B the arc, and its completion, are recorded instead. */
QUORVA_API void QUORVA_CALL QUORVA_MC_StartArc_a(QUORVA_HANDLE handle, int map, double centerX,
                                                 double centerY, double angle);
QUORVA_API void QUORVA_CALL QUORVA_MC_Arc_a(QUORVA_HANDLE handle, int map, double centerX,
                                            double centerY, double angle);
QUORVA_API void QUORVA_CALL QUORVA_MC_StartArc_p(QUORVA_HANDLE handle, int map, double centerX,
                                                 double centerY, double endX, double endY,
                                                 int direction);
QUORVA_API void QUORVA_CALL QUORVA_MC_Arc_p(QUORVA_HANDLE handle, int map, double centerX,
                                            double centerY, double endX, double endY,
                                            int direction);
QUORVA_API void QUORVA_CALL QUORVA_MC_StartArcTo_a(QUORVA_HANDLE handle, int map, double centerX,
                                                   double centerY, double angle);
QUORVA_API void QUORVA_CALL QUORVA_MC_ArcTo_a(QUORVA_HANDLE handle, int map, double centerX,
                                              double centerY, double angle);
QUORVA_API void QUORVA_CALL QUORVA_MC_StartArcTo_p(QUORVA_HANDLE handle, int map, double centerX,
                                                   double centerY, double endX, double endY,
                                                   int direction);
QUORVA_API void QUORVA_CALL QUORVA_MC_ArcTo_p(QUORVA_HANDLE handle, int map, double centerX,
                                              double centerY, double endX, double endY,
                                              int direction);
/* Completes the arc of a map: both arc axes run to the arc's exact end point and the call
 * returns when they are done (recorded into the list instead while recording covers them). */
QUORVA_API void QUORVA_CALL QUORVA_MC_CompleteArc(QUORVA_HANDLE handle, int map);
/* 1 when every axis of the map is done (also for a map without axes), else 0. */
QUORVA_API int QUORVA_CALL QUORVA_MC_MxDone(QUORVA_HANDLE handle, int map);

/* -- Spline motion -- */

/* Resamples the cubic spline through `values` (count values at evenly spaced knots, the curve
 * flat at the first and the last) at `sampleCount` evenly spaced points from the first value to
 * the last. Returns a new array of sampleCount doubles, to be freed with QUORVA_MC_DeleteSpline;
 * NULL for fewer than 2 values or samples, NULL values, a value that is not finite, or when
 * memory runs out. */
QUORVA_API double* QUORVA_CALL QUORVA_MC_BuildSpline(const double* values, int count,
                                                     int sampleCount);
/* Frees an array returned by QUORVA_MC_BuildSpline (NULL is accepted). */
QUORVA_API void QUORVA_CALL QUORVA_MC_DeleteSpline(double* samples);
/* Builds the process-wide spline path from `pointCount` points of the axes of `axisMask`
 * (interleaved: point f, axis s, the s-th set bit of the mask, at f * axes + s; user units):
 * every axis resampled to `sampleCount` samples `timeStep` seconds apart, then thinned to the
 * samples that move some axis by more than 2 * its unitDistance from the last sample kept (the
 * first is always kept; the last only when it passes the same test). A kept sample's time
 * covers the samples merged into it. Returns 0. Fewer than 2 points or samples, NULL points,
 * a point or time step that is not finite, a time step of 0 or less, or a mask empty or with
 * axes the board lacks leave the path as it was. Every board load empties the path. */
QUORVA_API int QUORVA_CALL QUORVA_MC_LmSplineBuild(QUORVA_HANDLE handle, int axisMask,
                                                   const double* points, int pointCount,
                                                   int sampleCount, double timeStep);
/* Replays the spline path on `map`: the map gets the path's axes, which become the list axes,
 * and the kept samples are recorded as absolute lines at constant speed, each at its length
 * divided by its time smoothed over the last ten segments (weights 1/55 oldest to 10/55
 * newest); the list is then handed to the driver. Returns 0; does nothing without a path or on
 * a board that lacks one of its axes. */
QUORVA_API int QUORVA_CALL QUORVA_MC_LmSplineMoveStart(QUORVA_HANDLE handle, int map);

/* -- Pulser input and synchronised start -- */

/* Format of the axis's pulser input (mode 0 to 3, the controller's input formats) and whether
 * its direction is reversed (reverse 1). */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetPulserInputMode(QUORVA_HANDLE handle, int axis, int mode,
                                                         int reverse);
/* The axis follows its pulser input until stopped. */
QUORVA_API void QUORVA_CALL QUORVA_MC_StartPulserVMove(QUORVA_HANDLE handle, int axis);
/* The axis follows its pulser input up to a target `distance` from where it is, or to
 * `position`. On an axis still moving only the target changes. A value that is not a finite
 * number changes nothing. The blocking forms return when the target is reached. */
QUORVA_API void QUORVA_CALL QUORVA_MC_StartPulserMove(QUORVA_HANDLE handle, int axis,
                                                      double distance);
QUORVA_API void QUORVA_CALL QUORVA_MC_PulserMove(QUORVA_HANDLE handle, int axis, double distance);
QUORVA_API void QUORVA_CALL QUORVA_MC_StartPulserMoveTo(QUORVA_HANDLE handle, int axis,
                                                        double position);
QUORVA_API void QUORVA_CALL QUORVA_MC_PulserMoveTo(QUORVA_HANDLE handle, int axis,
                                                   double position);
/* The axis follows its pulser input towards home, in the search direction the controller gives
 * operation code 0x55 (`direction` non-zero) or 0x54 (`direction` 0). */
QUORVA_API void QUORVA_CALL QUORVA_MC_PulserHomeMove(QUORVA_HANDLE handle, int axis,
                                                     int direction);
/* What the axis's next start waits for. mode 0: nothing, it starts at once. mode 1: a signal of
 * axis `source` (0-3) of the same four-axis chip, chosen by `condition` 0-4 (the controller's
 * signal codes 4, 8, 9, 10, 11; other values are taken as codes themselves, 0-15). mode 2: the
 * stop of axis `source` (0-15). Other modes change nothing. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetSyncMode(QUORVA_HANDLE handle, int axis, int mode,
                                                  int source, int condition);

/* -- Helical motion -- */

/* Speed settings of the helical steps, shared by all boards (the handle is not used): the
 * profile (0 constant, 1 trapezoidal, 2 S-curve), speed, acceleration and deceleration in user
 * units of the step's first axis, and the ratio mode that scales them for a four-axis step of
 * N arc steps and z linear pulses: 0 by max(N, |z|) / sqrt(N * N + z * z); 1 by |z / N| when
 * z > N; 2 (and any other value) by |N / z| when z < N; otherwise, and when z or N is 0, by 1. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetHelOnceSpeed(QUORVA_HANDLE handle, int ratioMode,
                                                      int speedMode, double speed, double accel,
                                                      double decel);
/* One helical step: axes[0] (A) and axes[1] (B) sweep `angle` degrees around the centre
 * (values[0], values[1]) relative to the present position (positive counter-clockwise), in the
 * controller's helical modes, while the linear axis axes[2] moves over the arc's count of steps
 * N: by N pulses in the direction of values[2] (count 3), or by values[2] with the auxiliary
 * axis axes[3] counting N in the direction of values[3] (count 4). Returns N, or 0 when nothing
 * started: a count other than 3 or 4, axes the board lacks, repeated or on both four-axis chips,
 * a value that is not finite, an abort while waiting for the axes, an arc of no steps. While
 * list recording covers every axis the step is recorded instead. */
QUORVA_API double QUORVA_CALL QUORVA_MC_StartHelOnce(QUORVA_HANDLE handle, int count,
                                                     const int* axes, const double* values,
                                                     double angle);
/* As QUORVA_MC_StartHelOnce; returns when A is done (at once when recorded). */
QUORVA_API double QUORVA_CALL QUORVA_MC_HelOnce(QUORVA_HANDLE handle, int count, const int* axes,
                                                const double* values, double angle);

/* A helix, as QUORVA_MC_StartHelical takes it (48 bytes). */
typedef struct HelicalParams {
  int32_t map;        /* arcs on the map's two lowest axes; limited to 0-9 and written back */
  int32_t linearAxis; /* the axis that moves along the helix's axis */
  double centerX;     /* centre relative to the present position, user units */
  double centerY;
  int32_t direction; /* 1 or more counter-clockwise, otherwise clockwise */
  int32_t arcCount;  /* arcs: full turns, the last one `lastAngle` degrees */
  double lastAngle;
  double distance; /* of the linear axis, user units */
} HelicalParams;

/* Runs a helix: arcCount - 1 full turns and a last arc of lastAngle degrees while the linear
 * axis covers `distance`. On controllers whose version word is above 0 it is a list of helical
 * steps the driver runs, the linear axis at its own speed settings and one pitch throughout;
 * on older ones a thread of the library chains arcs at the map's speed while the linear axis
 * runs one move at its own, and the helix ends when either side is done. Returns 1 once the
 * helix is under way (also for arcCount below 1, which runs nothing); 0 when nothing started:
 * no motion board, NULL params, a map without two axes on one chip, a linear axis the board
 * lacks, on another chip or one of the arc axes, a value that is not finite, or a helix already
 * running on the board. Unloading the board stops a helix that runs. */
QUORVA_API int QUORVA_CALL QUORVA_MC_StartHelical(QUORVA_HANDLE handle, HelicalParams* params);
/* Stops the board's helix and returns once it has stopped (at once when none runs). Returns 1,
 * 0 without a motion board. */
QUORVA_API int QUORVA_CALL QUORVA_MC_AbortHelical(QUORVA_HANDLE handle);

/* ---------------------------------------------------------------------------------------- */
/* Motion: status, mechanical signals, positions and events                                  */
/* ---------------------------------------------------------------------------------------- */

/* Operation-state code of the axis (extended status bits 0-3). */
QUORVA_API int QUORVA_CALL QUORVA_MC_GetMotionStatus(QUORVA_HANDLE handle, int axis);
/* Mechanical-signal status bits of the axis. */
QUORVA_API int QUORVA_CALL QUORVA_MC_GetMioStatus(QUORVA_HANDLE handle, int axis);
/* 1 while the servo-on output is active. */
QUORVA_API int QUORVA_CALL QUORVA_MC_GetServoOn(QUORVA_HANDLE handle, int axis);
/* Alarm input flags. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetMioCfgALM(QUORVA_HANDLE handle, int axis, int first,
                                                   int second);
/* Alarm input flags; NULL pointers are skipped. */
QUORVA_API void QUORVA_CALL QUORVA_MC_GetMioCfgALM(QUORVA_HANDLE handle, int axis, int* first,
                                                   int* second);
/* Limit input flag. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetMioCfgEL(QUORVA_HANDLE handle, int axis, int flag);
/* Limit input flag; a NULL pointer is skipped. */
QUORVA_API void QUORVA_CALL QUORVA_MC_GetMioCfgEL(QUORVA_HANDLE handle, int axis, int* flag);
/* In-position input: enable and logic. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetMioCfgINP(QUORVA_HANDLE handle, int axis, int enable,
                                                   int logic);
/* In-position input; NULL pointers are skipped. */
QUORVA_API void QUORVA_CALL QUORVA_MC_GetMioCfgINP(QUORVA_HANDLE handle, int axis, int* enable,
                                                   int* logic);
/* Deviation-clear output: flag and 3-bit code. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetMioCfgERC(QUORVA_HANDLE handle, int axis, int flag,
                                                   int code);
/* Deviation-clear output; NULL pointers are skipped. */
QUORVA_API void QUORVA_CALL QUORVA_MC_GetMioCfgERC(QUORVA_HANDLE handle, int axis, int* flag,
                                                   int* code);
/* Slow-down input: enable and three flags. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetMioCfgSD(QUORVA_HANDLE handle, int axis, int enable,
                                                  int first, int second, int third);
/* Slow-down input; NULL pointers are skipped. */
QUORVA_API void QUORVA_CALL QUORVA_MC_GetMioCfgSD(QUORVA_HANDLE handle, int axis, int* enable,
                                                  int* first, int* second, int* third);
/* Direction flag (set for 1 or more). */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetMioCfgDR(QUORVA_HANDLE handle, int axis, int flag);
/* Direction flag; a NULL pointer is skipped. */
QUORVA_API void QUORVA_CALL QUORVA_MC_GetMioCfgDR(QUORVA_HANDLE handle, int axis, int* flag);
/* Clear input: 4-bit first code and 2-bit second code. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetMioCfgCLR(QUORVA_HANDLE handle, int axis, int first,
                                                   int second);
/* Clear input codes; NULL pointers are skipped. */
QUORVA_API void QUORVA_CALL QUORVA_MC_GetMioCfgCLR(QUORVA_HANDLE handle, int axis, int* first,
                                                   int* second);
/* Start input: mode (0-1) and input type (axis limited to 0-7). */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetMioCfgSTA(QUORVA_HANDLE handle, int axis, int mode,
                                                   int inputType);
/* Start input; NULL pointers are skipped (axis limited to 0-7). */
QUORVA_API void QUORVA_CALL QUORVA_MC_GetMioCfgSTA(QUORVA_HANDLE handle, int axis, int* mode,
                                                   int* inputType);
/* Stop input: 0 off, 1 or 2 the stop kind. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetMioCfgSTP(QUORVA_HANDLE handle, int axis, int kind);
/* Stop input kind (0, 1 or 2); a NULL pointer is skipped. */
QUORVA_API void QUORVA_CALL QUORVA_MC_GetMioCfgSTP(QUORVA_HANDLE handle, int axis, int* kind);
/* Input filter on (non-zero) or off. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetFilterLogic(QUORVA_HANDLE handle, int axis, int on);
/* Input filter setting; a NULL pointer is skipped. */
QUORVA_API void QUORVA_CALL QUORVA_MC_GetFilterLogic(QUORVA_HANDLE handle, int axis, int* on);
/* Output mask bit. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetOutputMask(QUORVA_HANDLE handle, int axis, int mask);
/* Output mask bit. */
QUORVA_API int QUORVA_CALL QUORVA_MC_GetOutputMask(QUORVA_HANDLE handle, int axis);
/* Compare output: pulse width (0: output off) and logic; nothing on the 0xA534. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetMioCfgCMP(QUORVA_HANDLE handle, int axis,
                                                   unsigned int width, int logic);
/* Compare output; NULL pointers are skipped (axis limited to 0-7; nothing on the 0xA534). */
QUORVA_API void QUORVA_CALL QUORVA_MC_GetMioCfgCMP(QUORVA_HANDLE handle, int axis,
                                                   unsigned int* width, int* logic);
/* Second compare-output setting. Returns the success flag of the last write (0 when the
 * board has no such word for the axis). */
QUORVA_API int QUORVA_CALL QUORVA_MC_SetMioCfgCMP2(QUORVA_HANDLE handle, int axis, int a, int b);
/* Limit input logic. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetELL(QUORVA_HANDLE handle, int axis, int on);
/* Limit input logic; a NULL pointer is skipped. */
QUORVA_API void QUORVA_CALL QUORVA_MC_GetELL(QUORVA_HANDLE handle, int axis, int* on);
/* PE on (non-zero) or off. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetPE(QUORVA_HANDLE handle, int axis, int on);
/* PE setting; a NULL pointer is skipped. */
QUORVA_API void QUORVA_CALL QUORVA_MC_GetPE(QUORVA_HANDLE handle, int axis, int* on);
/* Servo-on output on (non-zero) or off. */
QUORVA_API void QUORVA_CALL QUORVA_MC_ServoOn(QUORVA_HANDLE handle, int axis, int on);
/* Pulses the deviation-clear output. Returns the success flag. */
QUORVA_API int QUORVA_CALL QUORVA_MC_ErcOut(QUORVA_HANDLE handle, int axis);
/* Releases the deviation-clear output. Returns the success flag. */
QUORVA_API int QUORVA_CALL QUORVA_MC_ErcReset(QUORVA_HANDLE handle, int axis);
/* Property 31: the controller may find the ramp-down point itself. Returns 1 when set. */
QUORVA_API int QUORVA_CALL QUORVA_MC_SetMioProperty(QUORVA_HANDLE handle, int axis,
                                                    unsigned int property, int value);
/* Reads property 31. Returns 1 when stored through `value`. */
QUORVA_API int QUORVA_CALL QUORVA_MC_GetMioProperty(QUORVA_HANDLE handle, int axis,
                                                    unsigned int property, int* value);
/* Command position (counter C) in user units; on a mapped gantry axis, with the correction
 * removed. */
QUORVA_API double QUORVA_CALL QUORVA_MC_GetPosition_C(QUORVA_HANDLE handle, int axis);
/* Presets counter C to a position in user units; moves started afterwards begin there. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetPosition_C(QUORVA_HANDLE handle, int axis,
                                                    double position);
/* Actual position (counter A, feedback) in user units, scaled by the in/out ratio. */
QUORVA_API double QUORVA_CALL QUORVA_MC_GetPosition_A(QUORVA_HANDLE handle, int axis);
/* Presets counter A to a position in user units. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetPosition_A(QUORVA_HANDLE handle, int axis,
                                                    double position);
/* Counter C in pulses (mapped on the gantry axes). */
QUORVA_API int QUORVA_CALL QUORVA_MC_GetCount_C(QUORVA_HANDLE handle, int axis);
/* Presets counter C in pulses (limited to +-134217727); moves started afterwards begin there. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetCount_C(QUORVA_HANDLE handle, int axis, int count);
/* Counter A in pulses (mapped on the gantry axes). */
QUORVA_API int QUORVA_CALL QUORVA_MC_GetCount_A(QUORVA_HANDLE handle, int axis);
/* Presets counter A in pulses (limited to +-134217727). */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetCount_A(QUORVA_HANDLE handle, int axis, int count);
/* Deviation counter D as a 16-bit signed value. */
QUORVA_API int QUORVA_CALL QUORVA_MC_GetCount_D(QUORVA_HANDLE handle, int axis);
/* Writes counter D with the 32-bit value unchanged. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetCount_D(QUORVA_HANDLE handle, int axis, int count);
/* General-purpose counter G as a 28-bit signed value. */
QUORVA_API int QUORVA_CALL QUORVA_MC_GetCount_G(QUORVA_HANDLE handle, int axis);
/* Presets counter G (limited to +-134217727). */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetCount_G(QUORVA_HANDLE handle, int axis, int count);
/* The R count register, all 32 bits as read (no sign extension). */
QUORVA_API int QUORVA_CALL QUORVA_MC_GetCount_R(QUORVA_HANDLE handle, int axis);
/* Presets the R count register (limited to +-134217727). */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetCount_R(QUORVA_HANDLE handle, int axis, int count);

/* -- Homing -- */

/* Home-search configuration: home mode (0-15) and count (0-15), flags A, B and C (0 or 1);
 * only the low bits of each value are kept. Held in the controller's registers. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetHomeConfig(QUORVA_HANDLE handle, int axis, int mode,
                                                    int flagA, int count, int flagB, int flagC);
/* Home-search configuration; NULL pointers are skipped. */
QUORVA_API void QUORVA_CALL QUORVA_MC_GetHomeConfig(QUORVA_HANDLE handle, int axis, int* mode,
                                                    int* flagA, int* count, int* flagB, int* flagC);
/* Starts a home search in the positive (direction 1) or negative direction (any other value) at
 * `speed` user units per second, limited to the speed registers' range of 1 to 65535 steps.
 * Follow it with QUORVA_MC_Done. */
QUORVA_API void QUORVA_CALL QUORVA_MC_HomeMove(QUORVA_HANDLE handle, int axis, int direction,
                                               double speed);
/* The automatic home search: stops the axis, then starts the search of the configured home mode
 * with `offset` (user units, signed) for the controller. In home modes 6, 7, 8 and 12 the axis is
 * first moved off the end limit of the search direction, by |offset| per pass, for at most
 * QUORVA_HOME_BACKOFF_PASSES passes; when the limit stays active, or |offset| is less than half a
 * pulse, no search starts and QUORVA_LastError reports QUORVA_ERR_HOME_BACKOFF. */
QUORVA_API void QUORVA_CALL QUORVA_MC_HomeMoveAuto(QUORVA_HANDLE handle, int axis, int direction,
                                                   double speed, double offset);
/* Prepares the automatic search of each listed axis in order (backing each off its limit), then
 * starts them one after the other. The list rules of the other multi-axis functions apply (0 to
 * 8 axes, each once, arrays present); a list that breaks them, or an axis whose back-off fails,
 * starts nothing. */
QUORVA_API void QUORVA_CALL QUORVA_MC_HomeMoveAutoAll(QUORVA_HANDLE handle, int count,
                                                      const unsigned int* axes,
                                                      const unsigned int* directions,
                                                      const double* speeds, const double* offsets);
#define QUORVA_HOME_BACKOFF_PASSES 100
/* The automatic search could not move the axis off its end limit. */
#define QUORVA_ERR_HOME_BACKOFF (-330)

/* -- Soft limits, compare and trigger outputs -- */

/* Soft limits: comparator 1 (`limit1`, negative side) and comparator 2 (`limit2`, positive side)
 * in user units, limited to +-134217727 pulses. Setting them does not enable them. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetSoftLimit(QUORVA_HANDLE handle, int axis, double limit1,
                                                   double limit2);
/* The two soft limits in pulses (not in user units); NULL pointers are skipped. */
QUORVA_API void QUORVA_CALL QUORVA_MC_GetSoftLimit(QUORVA_HANDLE handle, int axis, double* limit1,
                                                   double* limit2);
QUORVA_API void QUORVA_CALL QUORVA_MC_EnableSoftLimit(QUORVA_HANDLE handle, int axis);
QUORVA_API void QUORVA_CALL QUORVA_MC_DisableSoftLimit(QUORVA_HANDLE handle, int axis);
/* 1 while the soft limits are enabled, else 0. */
QUORVA_API int QUORVA_CALL QUORVA_MC_GetEnableSoftLimit(QUORVA_HANDLE handle, int axis);
/* Error compare (comparator 3) at `value` pulses, switched on (non-zero) or off. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetErrorCompare(QUORVA_HANDLE handle, int axis, double value,
                                                      int on);
/* General compare (comparator 4): fields f1 (2 bits), f2 (3 bits), f3 (2 bits), value in
 * pulses. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetGeneralCompare(QUORVA_HANDLE handle, int axis, int f1,
                                                        int f2, int f3, double value);
/* Trigger compare (comparator 5): fields f1 and f2 (3 bits each), one position in pulses. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetTriggerCompare(QUORVA_HANDLE handle, int axis, int f1,
                                                        int f2, double value);
/* Hands the driver a table of `count` trigger positions (pulses, limited to +-134217727) for
 * comparator 5. Returns 1; 0, with nothing sent, for a negative count, a NULL table with a
 * positive count, or an axis the board does not have. */
QUORVA_API int QUORVA_CALL QUORVA_MC_RegTableCCMP(QUORVA_HANDLE handle, int axis,
                                                  const double* positions, int count);
/* As QUORVA_MC_RegTableCCMP with the positions start + i * interval, i = 0 .. count - 1. */
QUORVA_API int QUORVA_CALL QUORVA_MC_BuildTableCCMP(QUORVA_HANDLE handle, int axis, double start,
                                                    double interval, int count);
/* Sets comparator 5 to (f1, f2) and lets the driver step it through the table. Returns 1 (0 for
 * an axis the board does not have). */
QUORVA_API int QUORVA_CALL QUORVA_MC_StartCCMP(QUORVA_HANDLE handle, int axis, int f1, int f2);
/* Switches comparator 5 off and stops the table. Returns 1 (0 for an axis the board does not
 * have). */
QUORVA_API int QUORVA_CALL QUORVA_MC_StopCCMP(QUORVA_HANDLE handle, int axis);

/* Indexed compare-trigger: the driver keeps, per index, a map of two axes (X, Y) and a
 * digital-output channel, and runs a table of trigger positions over them. These functions
 * return 1 on success; on failure they return 0 and set QUORVA_LastError to
 * QUORVA_ERR_INVALID_HANDLE, QUORVA_ERR_TRIGGER_MAP, QUORVA_ERR_TRIGGER_TABLE,
 * QUORVA_ERR_NOT_SUPPORTED (the driver refused the request), QUORVA_ERR_MEMORY or the error the
 * driver reported. They write no trace line. */
#define QUORVA_ERR_INVALID_HANDLE (-270) /* the handle is NULL or QUORVA_INVALID_HANDLE */
#define QUORVA_ERR_TRIGGER_MAP (-5182)   /* the map does not name two axes of this board */
#define QUORVA_ERR_TRIGGER_TABLE (-5183) /* a negative count or a missing table: nothing sent */
QUORVA_API int QUORVA_CALL QUORVA_MC_CmpTrgIx_SetMap(QUORVA_HANDLE handle, int index, int axisX,
                                                     int axisY, int channel);
/* The map of an index; NULL pointers are skipped. The values are stored even when the driver
 * reports an error. */
QUORVA_API int QUORVA_CALL QUORVA_MC_CmpTrgIx_GetMap(QUORVA_HANDLE handle, int index, int* axisX,
                                                     int* axisY, int* channel, int* valid);
/* Comparator-5 configuration (low 3 bits) of the map's two axes. */
QUORVA_API int QUORVA_CALL QUORVA_MC_CmpTrgIx_SetCfg(QUORVA_HANDLE handle, int index, int cfgX,
                                                     int cfgY);
/* Comparator-5 configuration of the map's two axes; NULL pointers are skipped. */
QUORVA_API int QUORVA_CALL QUORVA_MC_CmpTrgIx_GetCfg(QUORVA_HANDLE handle, int index, int* cfgX,
                                                     int* cfgY);
/* Starts the table: `count` positions (pulses, truncated toward zero, limited to the 32-bit
 * range) with one word of `second` each, and the caller's `tag`. */
QUORVA_API int QUORVA_CALL QUORVA_MC_CmpTrgIx_Start(QUORVA_HANDLE handle, int index, uint64_t tag,
                                                    const double* positions, const int* second,
                                                    int count);
QUORVA_API int QUORVA_CALL QUORVA_MC_CmpTrgIx_Stop(QUORVA_HANDLE handle, int index);
/* Two state words the driver reports for the index; NULL pointers are skipped. */
QUORVA_API int QUORVA_CALL QUORVA_MC_CmpTrgIx_GetState(QUORVA_HANDLE handle, int index, int* value1,
                                                       int* value2);

/* -- Latches and the latch queue -- */

/* Latch counter codes: command (C), actual (A), deviation (D), general (G) counter. */
#define QUORVA_LATCH_COUNTER_C 0
#define QUORVA_LATCH_COUNTER_A 1
#define QUORVA_LATCH_COUNTER_D 2
#define QUORVA_LATCH_COUNTER_G 3
/* The largest latch queue. */
#define QUORVA_LATCH_QUEUE_MAX 100000
/* QUORVA_MC_LtcQueDeque and QUORVA_MC_LtcQuePeekAt return the driver's code minus this. */
#define QUORVA_LATCH_QUEUE_CODE_BASE 1630

/* Every latch function limits the axis into 0-7. */
/* Latch input: first flag (set for 1 or more) and second flag (0-1: the deviation latch holds
 * the speed in steps instead). */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetMioCfgLTC(QUORVA_HANDLE handle, int axis, int first,
                                                   int second);
/* Latch input flags; NULL pointers are skipped. */
QUORVA_API void QUORVA_CALL QUORVA_MC_GetMioCfgLTC(QUORVA_HANDLE handle, int axis, int* first,
                                                   int* second);
/* The latched value of a counter (code limited to 0-3), in pulses; the deviation latch in
 * pulses per second when it holds the speed. */
QUORVA_API int QUORVA_CALL QUORVA_MC_ReadLatchCounter(QUORVA_HANDLE handle, int axis, int counter);
/* 1 once the axis has latched. */
QUORVA_API int QUORVA_CALL QUORVA_MC_GetLatchState(QUORVA_HANDLE handle, int axis);
/* Latch queue of the axis, kept by the driver: size (0-QUORVA_LATCH_QUEUE_MAX items) and the
 * counter it collects (code 0-3). These return the success flag of the driver request. */
QUORVA_API int QUORVA_CALL QUORVA_MC_LtcQueSetCfg(QUORVA_HANDLE handle, int axis, int size,
                                                  int counter);
/* Size and counter code; NULL pointers are skipped, nothing is stored when the driver does not
 * answer. */
QUORVA_API int QUORVA_CALL QUORVA_MC_LtcQueGetCfg(QUORVA_HANDLE handle, int axis, int* size,
                                                  int* counter);
/* Queueing on (1) or off (0). */
QUORVA_API int QUORVA_CALL QUORVA_MC_LtcQueSetEnable(QUORVA_HANDLE handle, int axis, int enable);
QUORVA_API int QUORVA_CALL QUORVA_MC_LtcQueGetEnable(QUORVA_HANDLE handle, int axis, int* enable);
/* Number of queued items. */
QUORVA_API int QUORVA_CALL QUORVA_MC_LtcQueGetItemCount(QUORVA_HANDLE handle, int axis, int* count);
/* Empties the queue. */
QUORVA_API int QUORVA_CALL QUORVA_MC_LtcQueResetItem(QUORVA_HANDLE handle, int axis);
/* Removes the oldest item and stores its value at `value` (NULL: skipped): counter C in user
 * units, counter A in user units divided by the in/out ratio (in pulses while the ratio is 0),
 * D and G in pulses; pulses on a board without motion. Returns the driver's code minus
 * QUORVA_LATCH_QUEUE_CODE_BASE (0: an item was delivered; -1630 and 0 delivered when the driver
 * did not answer). */
QUORVA_API int QUORVA_CALL QUORVA_MC_LtcQueDeque(QUORVA_HANDLE handle, int axis, double* value);
/* The item at `position` (0 = oldest), left in the queue; as QUORVA_MC_LtcQueDeque. */
QUORVA_API int QUORVA_CALL QUORVA_MC_LtcQuePeekAt(QUORVA_HANDLE handle, int axis,
                                                  unsigned int position, double* value);

/* -- Interrupts and blocking mode -- */

/* Stores a window handle with the board (the library itself does not use it). */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetWindowHandle(QUORVA_HANDLE handle, unsigned int window);
/* Mode 0: the waits of blocking moves dispatch the calling thread's window messages; any other
 * mode: they only yield. Board default: yield. */
QUORVA_API void QUORVA_CALL QUORVA_MC_SetBlockingMode(QUORVA_HANDLE handle, unsigned int mode);
/* Hands the application's event to the driver, which signals it at every unmasked interrupt:
 * an eventfd descriptor on Linux, an event HANDLE on Windows (cast to uint64_t). The meaning of
 * the masks, the state and the status words is the driver's (the simulated driver's:
 * VarnDasQvSim.h). */
QUORVA_API void QUORVA_CALL QUORVA_MC_EnableInterrupt(QUORVA_HANDLE handle, uint64_t notification);
/* The driver stops signalling the event. */
QUORVA_API void QUORVA_CALL QUORVA_MC_DisableInterrupt(QUORVA_HANDLE handle);
/* The axis's interrupt mask. */
QUORVA_API void QUORVA_CALL QUORVA_MC_MaskInterrupt(QUORVA_HANDLE handle, int axis,
                                                    unsigned int mask);
/* The axis's interrupt state as the driver reports it (0 when it does not answer). */
QUORVA_API unsigned int QUORVA_CALL QUORVA_MC_GetAxisIntState(QUORVA_HANDLE handle, int axis);
/* The interrupt status words of an axis from the driver: the error word (18 bits) and the
 * event word (20 bits); NULL pointers are skipped. */
QUORVA_API void QUORVA_CALL QUORVA_MC_GetIntStatus(QUORVA_HANDLE handle, int axis, int* errorWord,
                                                   int* eventWord);
/* Fires the internal start signal for the axes of `mask` in the four-axis group of its lowest
 * axis (bits 0-7). */
QUORVA_API void QUORVA_CALL QUORVA_MC_PutIntSTA(QUORVA_HANDLE handle, int mask);

/* ---------------------------------------------------------------------------------------- */
/* Motion: configuration and correction                                                      */
/* ---------------------------------------------------------------------------------------- */

/* Switches the gantry-mapping correction off. Nonzero for a motion board, else 0. */
QUORVA_API int QUORVA_CALL QUORVA_MC_2DMATRIX_Reset(QUORVA_HANDLE handle);
/* Switches the correction on or off; 0 (nothing changes) while no mapping table is loaded. */
QUORVA_API int QUORVA_CALL QUORVA_MC_2DMATRIX_SetEnable(QUORVA_HANDLE handle, int enable);
/* Stores 1 at `enable` while the correction is on, else 0. Nonzero for a motion board. */
QUORVA_API int QUORVA_CALL QUORVA_MC_2DMATRIX_GetEnable(QUORVA_HANDLE handle, int* enable);
/* Writes the mapping file for this board and loads it: X and Y axis, start points[2] and
 * spacings[2] in user units, counts[2] grid points (at most 1000000 in all), and per point
 * (i, j) at index i * counts[1] + j the X and Y corrections in user units. Invalid arguments
 * or a failed write leave the old file and table as they were. */
QUORVA_API void QUORVA_CALL QUORVA_MC_2DMATRIX_Set(QUORVA_HANDLE handle, int axisX, int axisY,
                                                   const double* startPoints,
                                                   const double* spacings, const int* counts,
                                                   const double* xCorrections,
                                                   const double* yCorrections);
/* Reads the mapping file again while a table is loaded and the file names this board. */
QUORVA_API void QUORVA_CALL QUORVA_MC_2DMATRIX_Reload(QUORVA_HANDLE handle);
/* Returns the loaded table in user units (arrays as for QUORVA_MC_2DMATRIX_Set; NULL
 * pointers are skipped). Returns the X point count, 0 for a board without motion. */
QUORVA_API int QUORVA_CALL QUORVA_MC_2DMATRIX_Get(QUORVA_HANDLE handle, int* axisX, int* axisY,
                                                  double* startPoints, double* spacings,
                                                  int* counts, double* xCorrections,
                                                  double* yCorrections);
/* Backlash correction of `amount` (user units, 0-4095 pulses) at `speed` (user units per
 * second, used from the next move) with method `mode` and control code. Returns 1, or 0 with
 * nothing changed when the amount is out of range, the speed is negative or not finite in
 * pulses per second, or the board has no motion context. */
QUORVA_API int QUORVA_CALL QUORVA_MC_SetCorrection(QUORVA_HANDLE handle, int axis, int mode,
                                                   double amount, double speed, int control);

/* -- Configuration file -- */

/* Results of QUORVA_MC_InitFromFile besides 0, -1 and QUORVA_ERR_FILE_OPEN. */
#define QUORVA_ERR_FILE_NAME (-280)      /* the file name is NULL or empty */
#define QUORVA_ERR_CONFIG_VERSION (-600) /* the file does not start with the word 0x0131C9AC */
#define QUORVA_ERR_CONFIG_SHORT (-601)   /* the file ends before its 1428 bytes */

/* Configures every axis of the board from a board configuration file (1428 bytes, little-
 * endian: the word 0x0131C9AC, then for each of 8 axes the settings that `quorva config show`
 * lists), calling the setters axis by axis. Returns 0; -1 when the board has no motion;
 * QUORVA_ERR_FILE_NAME, QUORVA_ERR_FILE_OPEN, QUORVA_ERR_CONFIG_VERSION or
 * QUORVA_ERR_CONFIG_SHORT with no axis changed. */
QUORVA_API int QUORVA_CALL QUORVA_MC_InitFromFile(QUORVA_HANDLE handle, const char* fileName);

#ifdef __cplusplus
}
#define QUORVA_LAYOUT_CHECK static_assert
#else
#define QUORVA_LAYOUT_CHECK _Static_assert
#endif

/* Records that cross the boundary keep these layouts on every platform. */
QUORVA_LAYOUT_CHECK(sizeof(DevInfo) == 36, "DevInfo is 36 bytes");
QUORVA_LAYOUT_CHECK(offsetof(DevInfo, instance) == 4, "DevInfo layout");
QUORVA_LAYOUT_CHECK(offsetof(DevInfo, modelName) == 8, "DevInfo layout");
QUORVA_LAYOUT_CHECK(offsetof(DevInfo, resourceFlags) == 28, "DevInfo layout");
QUORVA_LAYOUT_CHECK(offsetof(DevInfo, axes) == 33, "DevInfo layout");
QUORVA_LAYOUT_CHECK(offsetof(DevList, boards) == 4, "DevList layout");
QUORVA_LAYOUT_CHECK(sizeof(DevList) == 4 + 36 * QUORVA_MAX_BOARDS, "DevList layout");
QUORVA_LAYOUT_CHECK(sizeof(HelicalParams) == 48, "HelicalParams is 48 bytes");
QUORVA_LAYOUT_CHECK(offsetof(HelicalParams, centerX) == 8, "HelicalParams layout");
QUORVA_LAYOUT_CHECK(offsetof(HelicalParams, direction) == 24, "HelicalParams layout");
QUORVA_LAYOUT_CHECK(offsetof(HelicalParams, lastAngle) == 32, "HelicalParams layout");
QUORVA_LAYOUT_CHECK(offsetof(HelicalParams, distance) == 40, "HelicalParams layout");

#endif /* VARNDASQV_H */
