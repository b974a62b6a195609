#include "device/board_table.h"

#include <iterator>

namespace quorva {
namespace {

constexpr BoardDescription kBoards[] = {
    {0xA101, "QV-A101 AIO32", 15, 32, 2, 8, 8, 2}, {0xA102, "QV-A102 AIO32", 15, 32, 2, 8, 8, 2},
    {0xA103, "QV-A103 AIO32", 15, 32, 2, 8, 8, 2}, {0xA201, "QV-A201 AI4", 5, 4, 0, 8, 8, 0},
    {0xA202, "QV-A202 AI4", 5, 4, 0, 8, 8, 0},     {0xA203, "QV-A203 AI4", 5, 4, 0, 8, 8, 0},
    {0xA402, "QV-A402 DIO16", 4, 0, 0, 16, 16, 0}, {0xA501, "QV-A501 MC4", 28, 0, 0, 16, 16, 4},
    {0xA502, "QV-A502 MC2", 28, 0, 0, 3, 3, 2},    {0xA504, "QV-A504 MC4", 28, 0, 0, 6, 6, 4},
    {0xA508, "QV-A508 MC8", 28, 0, 0, 12, 12, 8},  {0xA534, "QV-A534 MC", 28, 0, 0, 0, 0, 0},
    {0xA544, "QV-A544 MC4", 28, 0, 0, 6, 6, 4},    {0xE504, "QV-E504 MC4", 28, 0, 0, 0, 0, 4},
    {0xE508, "QV-E508 MC8", 28, 0, 0, 0, 0, 8},    {0xFE50, "QV-FE50 MC8", 28, 0, 0, 16, 16, 8},
};

}  // namespace

const BoardDescription* FindBoard(std::uint16_t deviceId) {
  for (const BoardDescription& board : kBoards) {
    if (board.deviceId == deviceId) return &board;
  }
  return nullptr;
}

}  // namespace quorva
