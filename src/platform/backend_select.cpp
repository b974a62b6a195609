#include <atomic>
#include <cstdlib>
#include <cstring>

#include "platform/backend.h"

namespace quorva {
namespace {

std::atomic<const DriverBackend*> g_backend{nullptr};

const DriverBackend& BackendFromEnvironment() {
  const char* choice = std::getenv("QUORVA_BACKEND");
  if (choice != nullptr && std::strcmp(choice, "sim") == 0) return SimulatedDriverBackend();
  return SystemDriverBackend();
}

}  // namespace

const DriverBackend& ActiveBackend() {
  const DriverBackend* backend = g_backend.load(std::memory_order_acquire);
  if (backend == nullptr) {
    const DriverBackend* chosen = &BackendFromEnvironment();
    // A racing first caller may have chosen already; both choices are the same.
    g_backend.compare_exchange_strong(backend, chosen, std::memory_order_acq_rel);
    backend = g_backend.load(std::memory_order_acquire);
  }
  return *backend;
}

void SelectBackend(const DriverBackend& backend) {
  g_backend.store(&backend, std::memory_order_release);
}

}  // namespace quorva
