// The Linux kernel-driver backend, exercised through nodes in a temporary directory.
#ifndef _WIN32
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "device/device_open.h"
#include "device/registry.h"
#include "platform/backend.h"
#include "sim_test.h"

namespace quorva {
namespace {

namespace fs = std::filesystem;

int OpenDescriptors() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd"))
    ++count;
  return count;
}

class DeviceBackend : public ::testing::Test {
 protected:
  void SetUp() override {
    UnloadAllDevices();
    dir_ = test::TempPath("dev");
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    setenv("QUORVA_DEVICE_DIR", dir_.c_str(), 1);
    SelectBackend(SystemDriverBackend());
  }
  void TearDown() override {
    UnloadAllDevices();
    unsetenv("QUORVA_DEVICE_DIR");
  }
  // A regular file as node N: it opens, but no driver answers its requests.
  void AddNode(int index) { std::ofstream(dir_ + "/varndas" + std::to_string(index)) << ""; }

  std::string dir_;
};

TEST_F(DeviceBackend, EnumerationEndsAtTheFirstMissingNode) {
  AddNode(0);
  AddNode(2);
  std::uint32_t error = 0;
  const QUORVA_HANDLE first = OpenDeviceInterface(0, &error);
  EXPECT_NE(first, QUORVA_INVALID_HANDLE);
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(error, 0u);
  EXPECT_EQ(OpenDeviceInterface(1, &error), QUORVA_INVALID_HANDLE);
  EXPECT_EQ(error, static_cast<std::uint32_t>(ENOENT));
  CloseDeviceInterface(first);
  DevList list{};
  ASSERT_EQ(QUORVA_GetAvailDevList(&list), 1);
  EXPECT_EQ(list.count, 1) << "node 2 is past the end of the enumeration";
}

TEST_F(DeviceBackend, ANodeWhoseRequestsFailLoadsNothing) {
  AddNode(0);
  const int before = OpenDescriptors();
  EXPECT_EQ(QUORVA_LoadDevice(0xA508, 0), QUORVA_INVALID_HANDLE);
  EXPECT_EQ(OpenDescriptors(), before) << "the probed node was closed again";
  const QUORVA_HANDLE node = OpenDeviceInterface(0, nullptr);
  EXPECT_EQ(DriverCall(node, 0, static_cast<void*>(&dir_)), 0) << "ioctl on a plain file fails";
  CloseDeviceInterface(node);
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST_F(DeviceBackend, NoNodesNoBoards) {
  EXPECT_EQ(QUORVA_LoadDevice(0xA508, 0), QUORVA_INVALID_HANDLE);
  DevList list{};
  list.count = 9;
  QUORVA_GetAvailDevList(&list);
  EXPECT_EQ(list.count, 0);
}

TEST_F(DeviceBackend, DescriptorZeroStillMakesAValidHandle) {
  AddNode(0);
  const int savedStdin = dup(0);
  ASSERT_GE(savedStdin, 0);
  close(0);
  const QUORVA_HANDLE handle = OpenDeviceInterface(0, nullptr);
  const bool gotDescriptorZero = fcntl(0, F_GETFD) != -1;
  EXPECT_NE(handle, nullptr);
  EXPECT_NE(handle, QUORVA_INVALID_HANDLE);
  CloseDeviceInterface(handle);
  EXPECT_EQ(fcntl(0, F_GETFD), -1) << "closing the handle closed descriptor 0";
  dup2(savedStdin, 0);
  close(savedStdin);
  EXPECT_TRUE(gotDescriptorZero);
}

// A number that the library did not open is no handle: unloading it must not close the
// application's descriptor that the number happens to name.
TEST_F(DeviceBackend, UnloadingANumberThatWasNoHandleClosesNothing) {
  const int descriptor = ::open(dir_.c_str(), O_RDONLY);
  ASSERT_GE(descriptor, 0);
  QUORVA_UnloadDevice(reinterpret_cast<QUORVA_HANDLE>(static_cast<std::uintptr_t>(descriptor) + 1));
  EXPECT_NE(fcntl(descriptor, F_GETFD), -1);
  close(descriptor);
}

// A board whose DeviceId reads 0 (the record stays zeroed when the node refuses requests)
// loads as DeviceId 0; unloading the library closes it.
TEST_F(DeviceBackend, UnloadingTheLibraryClosesEveryBoard) {
  AddNode(0);
  void* library = dlopen(QUORVA_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  using Load = QUORVA_HANDLE (*)(int, int);
  const auto load = reinterpret_cast<Load>(dlsym(library, "QUORVA_LoadDevice"));
  ASSERT_NE(load, nullptr);
  const int before = OpenDescriptors();
  EXPECT_NE(load(0, 0), QUORVA_INVALID_HANDLE);
  EXPECT_EQ(OpenDescriptors(), before + 1);
  dlclose(library);
  EXPECT_EQ(OpenDescriptors(), before);
}

}  // namespace
}  // namespace quorva
#endif
