/* An application that loads the library at run time, as Python, C# and plugin hosts do, leaves
 * boards of every kind open with moves, a list, a scan, a waveform, the trace and the simulated
 * driver's scheduler thread (an event registered for interrupts) running, and then ends in the
 * way its second argument names:
 *   exit              exit(0)
 *   return            return 0 from main
 *   unload_then_exit  dlclose / FreeLibrary, then exit(0)
 *   immediate         quick_exit(0) / ExitProcess(0), after flushing its own output
 * Arguments: library path, ending, trace file. Its output is buffered until it ends: "traced
 * NAME" for every call that writes a trace line, in order, then "ending ENDING". Status 0 when
 * it ends as asked; 2 when the library or a board could not be loaded. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "VarnDasQv.h"
#include "VarnDasQvSim.h"

#ifdef _WIN32
#include <windows.h>
typedef HMODULE Library;
static Library OpenLibrary(const char* path) {
  return LoadLibraryA(path);
}
static void* Symbol(Library library, const char* name) {
  return (void*)GetProcAddress(library, name);
}
static void CloseLibrary(Library library) {
  FreeLibrary(library);
}
static void ExitImmediately(void) {
  ExitProcess(0);
}
static uint64_t NewEvent(void) {
  return (uint64_t)(uintptr_t)CreateEventA(NULL, FALSE, FALSE, NULL);
}
#else
#include <dlfcn.h>
typedef void* Library;
static Library OpenLibrary(const char* path) {
  return dlopen(path, RTLD_NOW | RTLD_LOCAL);
}
static void* Symbol(Library library, const char* name) {
  return dlsym(library, name);
}
static void CloseLibrary(Library library) {
  dlclose(library);
}
static void ExitImmediately(void) {
  quick_exit(0);
}
#include <sys/eventfd.h>
static uint64_t NewEvent(void) {
  return (uint64_t)eventfd(0, EFD_CLOEXEC);
}
#endif

/* clang-format off */
#define FUNCTIONS(X)                                                              \
  X(QUORVA_SIM_Configure) X(QUORVA_SIM_SetForeignOpens) X(QUORVA_LoadDevice)      \
  X(QUORVA_EnableDebugLog) X(QUORVA_MC_SetSpeed) X(QUORVA_MC_StartMove)           \
  X(QUORVA_MC_StartVMove) X(QUORVA_MC_BeginList) X(QUORVA_MC_EndList)             \
  X(QUORVA_MC_StartListMotion) X(QUORVA_MC_Done) X(QUORVA_US1_Start)              \
  X(QUORVA_WFM_Start) X(QUORVA_SIM_SetClock) X(QUORVA_MC_EnableInterrupt)
/* clang-format on */

#define DECLARE(name) static __typeof__(&name) p_##name;
FUNCTIONS(DECLARE)

#define FIND(name) \
  if ((p_##name = (__typeof__(&name))Symbol(library, #name)) == NULL) return 0;

static int FindFunctions(Library library) {
  FUNCTIONS(FIND)
  return 1;
}

/* Calls a function that writes a trace line and says so. */
#define TRACED(name, ...) (printf("traced %s\n", #name), p_##name(__VA_ARGS__))

static QUORVA_HANDLE Load(int deviceId, int instance) {
  QUORVA_HANDLE board = p_QUORVA_LoadDevice(deviceId, instance);
  if (board == QUORVA_INVALID_HANDLE) {
    fprintf(stderr, "board %X/%d did not load\n", (unsigned)deviceId, instance);
    exit(2);
  }
  return board;
}

/* Everything left running when the program ends. */
static void StartEverything(const char* tracePath) {
  /* Motion boards of every kind (0xE504 shares the context of 0xA504), the 8-axis board
   * loaded twice and also held by another process (its context outlives the unload), and an
   * analog board. */
  if (p_QUORVA_SIM_Configure("A508,A504,E504,A101") != 4) exit(2);
  p_QUORVA_SIM_SetClock(QUORVA_SIM_CLOCK_REALTIME, 1.0);
  QUORVA_HANDLE motion = Load(0xA508, 0);
  Load(0xA508, 0);
  QUORVA_HANDLE small = Load(0xA504, 0);
  Load(0xE504, 0);
  QUORVA_HANDLE analog = Load(0xA101, 0);
  p_QUORVA_SIM_SetForeignOpens(0, 1); /* another process holds the 8-axis board */
  if (p_QUORVA_EnableDebugLog(motion, tracePath, 1) != 0) exit(2);

  TRACED(QUORVA_MC_EnableInterrupt, motion, NewEvent());
  TRACED(QUORVA_MC_SetSpeed, motion, 0, 100, 5000);
  TRACED(QUORVA_MC_StartMove, motion, 0, 1e6);
  TRACED(QUORVA_MC_StartVMove, small, 1, 1);
  TRACED(QUORVA_MC_BeginList, motion);
  TRACED(QUORVA_MC_StartMove, motion, 2, 1000);
  TRACED(QUORVA_MC_StartMove, motion, 3, -2000);
  TRACED(QUORVA_MC_EndList, motion);
  TRACED(QUORVA_MC_StartListMotion, motion);

  const int channels[] = {0, 1, 2, 3};
  if (p_QUORVA_US1_Start(analog, 4, channels, 1000, 100, 0) != 0) exit(2);
  const float wave[] = {-5.0f, 0.0f, 5.0f, 0.0f};
  p_QUORVA_WFM_Start(analog, 0, wave, 4, 1000, 0);
  if (p_QUORVA_MC_Done(motion, 0) != 0) exit(2); /* still moving; level 2, not traced */
}

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const char* ending = argv[2];
  Library library = OpenLibrary(argv[1]);
  if (library == NULL || !FindFunctions(library)) return 2;
  StartEverything(argv[3]);
  printf("ending %s\n", ending);

  if (strcmp(ending, "exit") == 0) exit(0);
  if (strcmp(ending, "unload_then_exit") == 0) {
    CloseLibrary(library);
    exit(0);
  }
  if (strcmp(ending, "immediate") == 0) {
    fflush(stdout);
    ExitImmediately();
  }
  return strcmp(ending, "return") == 0 ? 0 : 2;
}
