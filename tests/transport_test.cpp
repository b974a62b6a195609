#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "device/driver_call.h"
#include "sim_test.h"

namespace quorva {
namespace {

TEST(Transport, CommandWithoutArgumentsFillsAllHundredBytes) {
  const DriverPacket packet = PackNative(765, {});
  EXPECT_EQ(packet.bytes.size(), 100u);
  EXPECT_EQ(packet.Code(), 765u);
  for (std::size_t i = 4; i < packet.bytes.size(); ++i)
    EXPECT_EQ(packet.bytes[i], 0) << i;
}

TEST(Transport, ValuesAndAddressesSitAtEightByteStrides) {
  std::uint32_t out = 0;
  const DriverArg args[] = {DriverArg(-2), DriverArg(&out), DriverArg(0x8151u)};
  const DriverPacket packet = PackNative(630, args);
  EXPECT_EQ(packet.Slot(0), 630u);
  EXPECT_EQ(packet.Slot(1), 0xFFFFFFFEu) << "a 32-bit value keeps a zero upper half";
  EXPECT_EQ(packet.Slot(2), reinterpret_cast<std::uintptr_t>(&out)) << "slot 2 at byte 16";
  EXPECT_EQ(packet.Slot(3), 0x8151u);
  std::uint32_t low = 0;
  std::memcpy(&low, packet.bytes.data() + 8, 4);
  EXPECT_EQ(low, 0xFFFFFFFEu);
}

TEST(Transport, WideningZeroesUpperHalvesAndSendsOnlyTheFirstHundredBytes) {
  std::array<std::uint32_t, 50> items{};
  for (std::uint32_t i = 0; i < items.size(); ++i)
    items[i] = 0xA0000000u + i;
  const auto widened = WidenPackedItems(items);
  ASSERT_EQ(widened.size(), 400u);
  for (std::size_t i = 0; i < items.size(); ++i) {
    std::uint64_t slot = 0;
    std::memcpy(&slot, widened.data() + 8 * i, 8);
    EXPECT_EQ(slot, items[i]) << i;
  }
  const DriverArg args[] = {DriverArg(7u), DriverArg(-1), DriverArg::Wide(0x1122334455667788ull)};
  const DriverPacket packet = PackWidened(80, args);
  EXPECT_EQ(packet.Slot(0), 80u);
  EXPECT_EQ(packet.Slot(1), 7u);
  EXPECT_EQ(packet.Slot(2), 0xFFFFFFFFu);
  // A 32-bit caller passes a 64-bit value as two packed items.
  EXPECT_EQ(packet.Slot(3), 0x55667788u);
  EXPECT_EQ(packet.Slot(4), 0x11223344u);
}

TEST(Transport, NativeAndWidenedLayoutsAgreeForThirtyTwoBitArguments) {
  const DriverArg args[] = {DriverArg(3), DriverArg(29u), DriverArg(0xDEADBEEFu)};
  EXPECT_EQ(PackNative(610, args).bytes, PackWidened(610, args).bytes);
}

class TransportOnSim : public test::SimTest {};

// Requests go only to boards the library opened: a number that was never a handle, or a
// closed one, might name anything else in the process.
TEST_F(TransportOnSim, OnlyOpenBoardsGetRequests) {
  const QUORVA_HANDLE closed = Load(0xA101);
  QUORVA_UnloadDevice(closed);
  test::ClearLog();
  const QUORVA_HANDLE neverOpened = reinterpret_cast<QUORVA_HANDLE>(std::uintptr_t{0x5A5A5A5A});
  for (QUORVA_HANDLE handle : {QUORVA_HANDLE{}, QUORVA_INVALID_HANDLE, closed, neverOpened}) {
    EXPECT_EQ(DriverCall(handle, 610, 0, 1, 2u), 0);
    EXPECT_EQ(QUORVA_DA_Out(handle, 0, 1.0f), 0) << "documented 1 for a board only";
    EXPECT_EQ(QUORVA_US1_ReleaseBuf(handle), 0);
    DevInfo info{};
    info.DeviceId = 0x1234;
    EXPECT_EQ(QUORVA_GetDevInfo(handle, &info), 0);
    EXPECT_EQ(info.DeviceId, 0x1234) << "nothing filled";
    int errors = -1;
    int events = -1;
    QUORVA_MC_GetIntStatus(handle, 0, &errors, &events);
    EXPECT_EQ(errors, 0) << "no board, no status bits";
    EXPECT_EQ(events, 0);
  }
  EXPECT_EQ(test::LoggedRequestCount(), 0);
}

TEST_F(TransportOnSim, ForcedWow64ProbeSendsTheSameRequest) {
  QUORVA_HANDLE board = Load(0xA508);
  OverrideWow64Probe(1);
  EXPECT_EQ(IsWow64Process32(), 1);
  EXPECT_EQ(QUORVA_MC_WriteRegister(board, 2, 9, 0x1234), 1);
  OverrideWow64Probe(-1);
  EXPECT_EQ(IsWow64Process32(), 0) << "a 64-bit process probes as native";
  EXPECT_EQ(QUORVA_MC_ReadRegister(board, 2, 9), 0x1234u);
  EXPECT_REQUESTS({"610(2, 9, 0x1234)", "630(2, 9, *)"});
}

TEST_F(TransportOnSim, UnknownCommandCodesAreRefused) {
  QUORVA_HANDLE board = Load(0xA508);
  EXPECT_EQ(DriverCall(board, 9999), 0);
  EXPECT_EQ(DriverCall(board, 1), 0);
  EXPECT_EQ(DriverCall(board, 765), 1);
}

}  // namespace
}  // namespace quorva
