// Mechanical-signal property bits kept by the library: property 31 allows the controller to
// find the ramp-down point itself.
#include "motion/core/motion_context.h"

using namespace quorva;

namespace {

constexpr unsigned kAutoRampDownProperty = 31;
constexpr std::uint32_t kAutoRampDownBit = 1u;

}  // namespace

extern "C" {

// Returns 1 when the property is known and was set, else 0.
int QUORVA_MC_SetMioProperty(QUORVA_HANDLE handle, int axis, unsigned int property, int value) {
  MotionContext* context = AxisSettingsOf(handle, axis);
  if (context == nullptr || property != kAutoRampDownProperty) return 0;
  std::uint32_t& bits = context->mioProperty[axis];
  bits = value != 0 ? bits | kAutoRampDownBit : bits & ~kAutoRampDownBit;
  return 1;
}

// Returns 1 when the property is known and was stored through `value`, else 0.
int QUORVA_MC_GetMioProperty(QUORVA_HANDLE handle, int axis, unsigned int property, int* value) {
  const MotionContext* context = AxisSettingsOf(handle, axis);
  if (context == nullptr || property != kAutoRampDownProperty || value == nullptr) return 0;
  *value = static_cast<int>(context->mioProperty[axis] & kAutoRampDownBit);
  return 1;
}

}  // extern "C"
