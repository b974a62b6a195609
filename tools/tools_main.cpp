// quorva: command-line access to the installed boards.
//
//   quorva list                                   boards installed, sorted by DeviceId
//   quorva regs  DEVICEID[:INSTANCE] AXIS         snapshot of an axis's registers
//   quorva read  DEVICEID[:INSTANCE] AXIS REG     one axis register
//   quorva write DEVICEID[:INSTANCE] AXIS REG VALUE
//   quorva reset DEVICEID[:INSTANCE]              reset the motion controller
//   quorva move  DEVICEID[:INSTANCE] AXIS PULSES  relative move, waits until it is done
//
// The backend follows QUORVA_BACKEND (device by default, sim for the simulated driver).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "VarnDasQv.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: quorva list\n"
               "       quorva regs  DEVICEID[:INSTANCE] AXIS\n"
               "       quorva read  DEVICEID[:INSTANCE] AXIS REG\n"
               "       quorva write DEVICEID[:INSTANCE] AXIS REG VALUE\n"
               "       quorva reset DEVICEID[:INSTANCE]\n"
               "       quorva move  DEVICEID[:INSTANCE] AXIS PULSES\n");
  return 2;
}

unsigned long Number(const char* text) {
  return std::strtoul(text, nullptr, 0);
}

// "A508" or "A508:1" (hexadecimal DeviceId, decimal instance).
QUORVA_HANDLE Open(const char* board) {
  const unsigned long id = std::strtoul(board, nullptr, 16);
  const char* colon = std::strchr(board, ':');
  const int instance = colon != nullptr ? std::atoi(colon + 1) : 0;
  QUORVA_HANDLE handle = QUORVA_LoadDevice(static_cast<int>(id), instance);
  if (handle == QUORVA_INVALID_HANDLE) {
    std::fprintf(stderr, "quorva: no board %04lX instance %d\n", id, instance);
  }
  return handle;
}

int List() {
  DevList list{};
  QUORVA_GetAvailDevList(&list);
  std::printf("%d board(s)\n", list.count);
  for (int i = 0; i < list.count; ++i) {
    const DevInfo& b = list.boards[i];
    std::printf("%04X:%d  %-19s  flags %3u  AI %2u  AO %u  DI %2u  DO %2u  axes %u\n", b.DeviceId,
                b.instance, b.modelName, b.resourceFlags, b.analogInputs, b.analogOutputs,
                b.digitalInputs, b.digitalOutputs, b.axes);
  }
  return 0;
}

int Registers(QUORVA_HANDLE board, int axis) {
  std::vector<unsigned int> words(60 * 8);
  QUORVA_MC_ReadAllRegs(board, words.data());
  std::printf("main status 0x%08X\n", words[60 * axis]);
  for (int r = 0; r <= 57; ++r) {
    std::printf("R%-2d 0x%08X%s", r, QUORVA_MC_ReadRegister(board, axis, r),
                r % 4 == 3 ? "\n" : "   ");
  }
  std::printf("\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  if (command == "list") return List();
  if (argc < 3) return Usage();
  QUORVA_HANDLE board = Open(argv[2]);
  if (board == QUORVA_INVALID_HANDLE) return 1;
  int status = 0;
  if (command == "regs" && argc == 4) {
    status = Registers(board, std::atoi(argv[3]));
  } else if (command == "read" && argc == 5) {
    std::printf("0x%08X\n", QUORVA_MC_ReadRegister(board, std::atoi(argv[3]), std::atoi(argv[4])));
  } else if (command == "write" && argc == 6) {
    status = QUORVA_MC_WriteRegister(board, std::atoi(argv[3]), std::atoi(argv[4]),
                                     static_cast<unsigned int>(Number(argv[5])))
                 ? 0
                 : 1;
  } else if (command == "reset" && argc == 3) {
    QUORVA_MC_Reset(board);
  } else if (command == "move" && argc == 5) {
    const int axis = std::atoi(argv[3]);
    QUORVA_MC_Move(board, axis, std::atof(argv[4]));
    std::printf("axis %d at %d pulses\n", axis, QUORVA_MC_GetCount_C(board, axis));
  } else {
    status = Usage();
  }
  QUORVA_UnloadDevice(board);
  return status;
}
