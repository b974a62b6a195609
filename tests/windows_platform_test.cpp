// The Windows platform layer: the device backend without an installed driver, the message pump
// of the waiting loops, the process-detach unload and the DLL itself.
#ifdef _WIN32

#include <windows.h>
// windows.h first: winternl.h relies on its types.
#include <winternl.h>
// windows.h first: tlhelp32.h relies on its types.
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <thread>
#include <vector>

#include "VarnDasQv.h"
#include "VarnDasQvSim.h"
#include "device/registry.h"
#include "platform/backend.h"
#include "platform/platform.h"
#include "sim_test.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved);

namespace quorva {
namespace {

// Kernel handles this process holds, counted in the system's handle table (where the process
// handle count of GetProcessHandleCount is not kept, as under Wine, this still counts).
int OpenHandleCount() {
  struct Entry {
    ULONG process;
    UCHAR type;
    UCHAR flags;
    USHORT value;
    PVOID object;
    ACCESS_MASK access;
  };
  struct Table {
    ULONG count;
    Entry entries[1];
  };
  constexpr auto kSystemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);
  constexpr auto kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
  std::vector<char> buffer(1 << 20);
  NTSTATUS status;
  while ((status = NtQuerySystemInformation(kSystemHandleInformation, buffer.data(),
                                            static_cast<ULONG>(buffer.size()), nullptr)) ==
         kInfoLengthMismatch) {
    buffer.resize(buffer.size() * 2);
  }
  EXPECT_EQ(status, 0) << "the system handle table cannot be read";
  const auto* table = reinterpret_cast<const Table*>(buffer.data());
  int count = 0;
  for (ULONG i = 0; status == 0 && i < table->count; ++i)
    count += table->entries[i].process == GetCurrentProcessId() ? 1 : 0;
  return count;
}

// Selects the operating system's driver for one test, whatever was active before.
class WindowsDeviceBackend : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = &ActiveBackend();
    SelectBackend(SystemDriverBackend());
  }
  void TearDown() override { SelectBackend(*previous_); }

 private:
  const DriverBackend* previous_ = nullptr;
};

TEST_F(WindowsDeviceBackend, EnumerationWithoutTheDriverFindsNoBoardAndLeavesNothingOpen) {
  std::uint32_t error = 0;
  EXPECT_EQ(SystemDriverBackend().open(0, &error), QUORVA_INVALID_HANDLE);
  EXPECT_EQ(error, static_cast<std::uint32_t>(ERROR_NO_MORE_ITEMS));

  // Measured after the first enumeration, which may load and cache system state.
  const int before = OpenHandleCount();
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(QUORVA_LoadDevice(0xA508, 0), QUORVA_INVALID_HANDLE);
    DevList list{};
    list.count = 77;
    EXPECT_EQ(QUORVA_GetAvailDevList(&list), 1);
    EXPECT_EQ(list.count, 0);
  }
  EXPECT_EQ(OpenHandleCount(), before);
}

TEST_F(WindowsDeviceBackend, HandleCountSeesAnOpenHandle) {
  // Guards the test above: the count it compares really moves with open handles.
  const int before = OpenHandleCount();
  const HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(OpenHandleCount(), before + 1);
  CloseHandle(event);
  EXPECT_EQ(OpenHandleCount(), before);
}

// A message-only window of the test's thread that records the messages dispatched to it.
class RecordingWindow {
 public:
  RecordingWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);  // fails harmlessly when already registered
    window_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              windowClass.hInstance, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~RecordingWindow() {
    DestroyWindow(window_);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  HWND handle() const { return window_; }
  const std::vector<UINT>& received() const { return received_; }
  bool QueueEmpty() const {
    MSG message;
    return !PeekMessageA(&message, window_, 0, 0, PM_NOREMOVE);
  }

 private:
  static constexpr const char* kClassName = "QuorvaRecordingWindow";

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<RecordingWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr && message >= WM_KEYFIRST && message <= WM_APP + 100)
      self->received_.push_back(message);
    return DefWindowProcA(window, message, wParam, lParam);
  }

  HWND window_ = nullptr;
  std::vector<UINT> received_;
};

TEST(WindowsWaitPass, PumpingPassDispatchesEveryQueuedMessage) {
  RecordingWindow window;
  ASSERT_NE(window.handle(), nullptr);
  for (UINT k = 1; k <= 3; ++k)
    ASSERT_TRUE(PostMessageA(window.handle(), WM_APP + k, 0, 0));
  platform::WaitPass(true);
  EXPECT_EQ(window.received(), (std::vector<UINT>{WM_APP + 1, WM_APP + 2, WM_APP + 3}));
  EXPECT_TRUE(window.QueueEmpty());
}

TEST(WindowsWaitPass, PumpingPassDispatchesMessagesPostedFromAnotherThread) {
  RecordingWindow window;
  ASSERT_NE(window.handle(), nullptr);
  std::thread poster([&] { PostMessageA(window.handle(), WM_APP + 7, 0, 0); });
  poster.join();
  platform::WaitPass(true);
  EXPECT_EQ(window.received(), std::vector<UINT>{WM_APP + 7});
}

TEST(WindowsWaitPass, PumpingPassTranslatesKeystrokesIntoCharacters) {
  RecordingWindow window;
  ASSERT_NE(window.handle(), nullptr);
  const UINT scanCode = MapVirtualKeyA('A', MAPVK_VK_TO_VSC);
  ASSERT_TRUE(PostMessageA(window.handle(), WM_KEYDOWN, 'A', 1 | (scanCode << 16)));
  platform::WaitPass(true);
  EXPECT_EQ(window.received(), (std::vector<UINT>{WM_KEYDOWN, WM_CHAR}));
}

TEST(WindowsWaitPass, YieldingPassLeavesMessagesQueued) {
  RecordingWindow window;
  ASSERT_NE(window.handle(), nullptr);
  ASSERT_TRUE(PostMessageA(window.handle(), WM_APP + 1, 0, 0));
  platform::WaitPass(false);
  EXPECT_TRUE(window.received().empty());
  EXPECT_FALSE(window.QueueEmpty());
}

// A blocking move in blocking mode dispatches the waiting thread's messages while the axis
// runs on the simulator; otherwise they stay queued until the application pumps them.
class WindowsBlockingMove : public test::SimTest {};

TEST_F(WindowsBlockingMove, WaitingForAMoveDispatchesPostedMessages) {
  const QUORVA_HANDLE board = Load(0xA508);
  RecordingWindow window;
  ASSERT_NE(window.handle(), nullptr);
  QUORVA_MC_SetBlockingMode(board, 0);
  ASSERT_TRUE(PostMessageA(window.handle(), WM_APP + 9, 0, 0));
  const double start = QUORVA_SIM_GetTime();
  QUORVA_MC_Move(board, 0, 300);  // 0.3 simulated seconds at the default 1000 pulses per second
  EXPECT_GT(QUORVA_SIM_GetTime() - start, 0.29);
  EXPECT_EQ(window.received(), std::vector<UINT>{WM_APP + 9});

  QUORVA_MC_SetBlockingMode(board, 1);
  ASSERT_TRUE(PostMessageA(window.handle(), WM_APP + 10, 0, 0));
  QUORVA_MC_Move(board, 0, 300);
  EXPECT_EQ(window.received(), std::vector<UINT>{WM_APP + 9});
  EXPECT_FALSE(window.QueueEmpty());
}

class WindowsLibraryDetach : public test::SimTest {};

TEST_F(WindowsLibraryDetach, FreeLibraryUnloadsEveryBoardAndOtherNotificationsDoNothing) {
  const QUORVA_HANDLE motion = Load(0xA508);
  const QUORVA_HANDLE analog = Load(0xA101);
  for (const DWORD reason : {DLL_PROCESS_ATTACH, DLL_THREAD_ATTACH, DLL_THREAD_DETACH}) {
    EXPECT_TRUE(DllMain(nullptr, reason, nullptr)) << reason;
    EXPECT_TRUE(FindDevice(motion).has_value()) << reason;
  }
  int processExit = 0;  // a non-null `reserved`: the process is ending
  EXPECT_TRUE(DllMain(nullptr, DLL_PROCESS_DETACH, &processExit));
  EXPECT_TRUE(FindDevice(motion).has_value()) << "left to the system at process exit";
  EXPECT_TRUE(DllMain(nullptr, DLL_PROCESS_DETACH, nullptr));
  EXPECT_FALSE(FindDevice(motion).has_value());
  EXPECT_FALSE(FindDevice(analog).has_value());
}

// The DLL as an application loads it: by name, from beside the program, with no compiler
// runtime DLLs, its functions found under their plain names.
TEST(WindowsLibrary, LoadsByNameAndDetachesWithABoardLoaded) {
  const HMODULE library = LoadLibraryA("VarnDasQv.dll");
  ASSERT_NE(library, nullptr) << GetLastError();
  const auto configure = reinterpret_cast<int(QUORVA_CALL*)(const char*)>(
      reinterpret_cast<void*>(GetProcAddress(library, "QUORVA_SIM_Configure")));
  const auto load = reinterpret_cast<QUORVA_HANDLE(QUORVA_CALL*)(int, int)>(
      reinterpret_cast<void*>(GetProcAddress(library, "QUORVA_LoadDevice")));
  const auto openCount = reinterpret_cast<int(QUORVA_CALL*)(QUORVA_HANDLE)>(
      reinterpret_cast<void*>(GetProcAddress(library, "QUORVA_GetDeviceThreadCount")));
  ASSERT_TRUE(configure && load && openCount);
  ASSERT_EQ(configure("A508"), 1);
  const QUORVA_HANDLE board = load(0xA508, 0);
  ASSERT_NE(board, QUORVA_INVALID_HANDLE);
  EXPECT_EQ(openCount(board), 1);
  EXPECT_TRUE(FreeLibrary(library));
  EXPECT_EQ(GetModuleHandleA("VarnDasQv.dll"), nullptr);
}

int ThreadCount() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    count += entry.th32OwnerProcessID == GetCurrentProcessId() ? 1 : 0;
  CloseHandle(snapshot);
  return count;
}

// Freeing the DLL while a move runs and an event is registered ends the simulated driver's
// scheduler thread before the code goes away.
TEST(ThreadedWindowsLibrary, FreeingTheLibraryEndsTheSchedulerThread) {
  const HMODULE library = LoadLibraryA("VarnDasQv.dll");
  ASSERT_NE(library, nullptr) << GetLastError();
  const auto symbol = [&](const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(library, name));
  };
  const auto configure =
      reinterpret_cast<int(QUORVA_CALL*)(const char*)>(symbol("QUORVA_SIM_Configure"));
  const auto setClock =
      reinterpret_cast<int(QUORVA_CALL*)(int, double)>(symbol("QUORVA_SIM_SetClock"));
  const auto load =
      reinterpret_cast<QUORVA_HANDLE(QUORVA_CALL*)(int, int)>(symbol("QUORVA_LoadDevice"));
  const auto enable = reinterpret_cast<void(QUORVA_CALL*)(QUORVA_HANDLE, uint64_t)>(
      symbol("QUORVA_MC_EnableInterrupt"));
  const auto move = reinterpret_cast<void(QUORVA_CALL*)(QUORVA_HANDLE, int, double)>(
      symbol("QUORVA_MC_StartMove"));
  ASSERT_TRUE(configure && setClock && load && enable && move);
  ASSERT_EQ(configure("A508"), 1);
  setClock(QUORVA_SIM_CLOCK_REALTIME, 1);
  const int before = ThreadCount();
  const QUORVA_HANDLE board = load(0xA508, 0);
  const HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  enable(board, reinterpret_cast<uintptr_t>(event));
  move(board, 0, 100);
  const int running = ThreadCount();
  EXPECT_GT(running, before);
  EXPECT_TRUE(FreeLibrary(library));
  // The thread ends once the unload has released the loader.
  for (int wait = 0; wait < 100 && ThreadCount() >= running; ++wait)
    Sleep(10);
  EXPECT_EQ(ThreadCount(), running - 1);
  EXPECT_EQ(WaitForSingleObject(event, 200), static_cast<DWORD>(WAIT_TIMEOUT));
  CloseHandle(event);
}

TEST(WindowsPlatform, FilesDefaultToTheirWindowsPlaces) {
  EXPECT_EQ(platform::DefaultTracePath(), "C:\\temp\\motion.dbg");
  std::string gantry = platform::DefaultGantryFilePath();
  for (char& c : gantry)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_EQ(gantry.find("\\system32\\varngantrymapping.ini"),
            gantry.size() - std::string("\\system32\\varngantrymapping.ini").size())
      << gantry;
  EXPECT_EQ(gantry[1], ':') << gantry;
}

TEST(WindowsPlatform, SixtyFourBitProcessProbesAsNative) {
  EXPECT_EQ(platform::ProbeWow64(), 0);
}

}  // namespace
}  // namespace quorva

#endif  // _WIN32
