// Command codes of the driver protocol, named where the library's own logic sends them.
#pragma once

#include <cstdint>

namespace quorva::cmd {

inline constexpr std::uint32_t kDeviceInfo = 0;
inline constexpr std::uint32_t kGetResources = 2;
inline constexpr std::uint32_t kWriteEeprom = 3;
inline constexpr std::uint32_t kWrite8402 = 4;
inline constexpr std::uint32_t kReadEeprom = 5;
inline constexpr std::uint32_t kWriteMemory = 6;
inline constexpr std::uint32_t kReadMemory = 7;
inline constexpr std::uint32_t kOpenCount = 8;
inline constexpr std::uint32_t kDeviceDetail = 11;
inline constexpr std::uint32_t kWriteIo = 16;
inline constexpr std::uint32_t kReadIo = 17;
inline constexpr std::uint32_t kDoPutAll = 330;
inline constexpr std::uint32_t kAxisRegWrite = 610;
inline constexpr std::uint32_t kAxisMainWrite = 620;
inline constexpr std::uint32_t kAxisRegRead = 630;
inline constexpr std::uint32_t kAxisMainRead = 640;
inline constexpr std::uint32_t kEnableInterrupt = 650;
inline constexpr std::uint32_t kDisableInterrupt = 660;
inline constexpr std::uint32_t kMaskInterrupt = 665;
inline constexpr std::uint32_t kAxisIntState = 670;
inline constexpr std::uint32_t kIntStatus = 680;
inline constexpr std::uint32_t kCompareTableLoad = 720;
inline constexpr std::uint32_t kCompareTableStart = 730;
inline constexpr std::uint32_t kCompareTableStop = 740;
inline constexpr std::uint32_t kSpeedCheckStart = 690;
inline constexpr std::uint32_t kSpeedCheckStop = 700;
inline constexpr std::uint32_t kSpeedCheckRead = 710;
inline constexpr std::uint32_t kListRun = 760;
inline constexpr std::uint32_t kListAbort = 765;
inline constexpr std::uint32_t kListDone = 767;
inline constexpr std::uint32_t kListSequence = 770;
inline constexpr std::uint32_t kControllerVersion = 780;
inline constexpr std::uint32_t kSetBus = 1000;
inline constexpr std::uint32_t kTriggerSetMap = 1160;
inline constexpr std::uint32_t kTriggerGetMap = 1162;
inline constexpr std::uint32_t kTriggerStart = 1164;
inline constexpr std::uint32_t kTriggerStop = 1166;
inline constexpr std::uint32_t kTriggerState = 1168;
inline constexpr std::uint32_t kOutputAddresses = 1500;
inline constexpr std::uint32_t kLatchQueueSetConfig = 2120;
inline constexpr std::uint32_t kLatchQueueGetConfig = 2121;
inline constexpr std::uint32_t kLatchQueueSetEnable = 2122;
inline constexpr std::uint32_t kLatchQueueGetEnable = 2123;
inline constexpr std::uint32_t kLatchQueueItemCount = 2124;
inline constexpr std::uint32_t kLatchQueueReset = 2125;
inline constexpr std::uint32_t kLatchQueueDeque = 2126;
inline constexpr std::uint32_t kLatchQueuePeek = 2127;

// Data acquisition.
inline constexpr std::uint32_t kAdSetInputType = 10;
inline constexpr std::uint32_t kAdSetRange = 15;
inline constexpr std::uint32_t kAdRange = 20;
inline constexpr std::uint32_t kAdConvert = 30;
inline constexpr std::uint32_t kUs1Start = 80;
inline constexpr std::uint32_t kUs1Stop = 82;
inline constexpr std::uint32_t kUs1ChangeFrequency = 83;
inline constexpr std::uint32_t kUs1ResetCount = 84;
inline constexpr std::uint32_t kUs1Buffer = 86;
inline constexpr std::uint32_t kUs1Release = 90;
inline constexpr std::uint32_t kUs1Count = 95;
inline constexpr std::uint32_t kUs1Geometry = 100;
inline constexpr std::uint32_t kUs2Trigger = 108;
inline constexpr std::uint32_t kUs2Start = 110;
inline constexpr std::uint32_t kUs2Pause = 111;
inline constexpr std::uint32_t kUs2Resume = 112;
inline constexpr std::uint32_t kUs2ChangeFrequency = 113;
inline constexpr std::uint32_t kUs2ChangeMaxScan = 114;
inline constexpr std::uint32_t kUs2BufferFull = 116;
inline constexpr std::uint32_t kUs2Buffer = 120;
inline constexpr std::uint32_t kUs2Stop = 130;
inline constexpr std::uint32_t kUs2Release = 140;
inline constexpr std::uint32_t kUs2TransferCount = 150;
inline constexpr std::uint32_t kUs2Geometry = 160;
inline constexpr std::uint32_t kDiGetOne = 300;
inline constexpr std::uint32_t kDiGetAll = 310;
inline constexpr std::uint32_t kDiGetAllEx = 315;
inline constexpr std::uint32_t kDoPutOne = 320;
inline constexpr std::uint32_t kDoPutAllEx = 332;
inline constexpr std::uint32_t kDoGetGroup = 334;
inline constexpr std::uint32_t kDioSetUsage = 340;
inline constexpr std::uint32_t kDioGetUsage = 341;
inline constexpr std::uint32_t kSdioInit = 349;
inline constexpr std::uint32_t kSdioCheckModule = 350;
inline constexpr std::uint32_t kSdioSetUsage = 352;
inline constexpr std::uint32_t kSdioReadLow = 354;
inline constexpr std::uint32_t kSdioReadHigh = 356;
inline constexpr std::uint32_t kSdioWriteLow = 358;
inline constexpr std::uint32_t kSdioWriteHigh = 360;
inline constexpr std::uint32_t kDaOut = 400;
inline constexpr std::uint32_t kWfmStart = 410;
inline constexpr std::uint32_t kWfmReload = 420;
inline constexpr std::uint32_t kWfmRateChange = 430;
inline constexpr std::uint32_t kWfmPosition = 440;
inline constexpr std::uint32_t kWfmLoops = 450;
inline constexpr std::uint32_t kWfmStop = 460;
inline constexpr std::uint32_t kCounterRead = 500;
inline constexpr std::uint32_t kCounterClear = 510;

}  // namespace quorva::cmd
