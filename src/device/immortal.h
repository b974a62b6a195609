// A process-wide object that is never destroyed: it outlives every static destructor, including
// the unload of all boards that runs when the library leaves the process. It lives in static
// storage, so nothing of it is left on the heap once the library is unloaded.
#pragma once

#include <new>
#include <utility>

namespace quorva {

template <typename T>
class Immortal {
 public:
  template <typename... Args>
  explicit Immortal(Args&&... args) {
    ::new (static_cast<void*>(storage_)) T(std::forward<Args>(args)...);
  }
  Immortal(const Immortal&) = delete;
  Immortal& operator=(const Immortal&) = delete;

  T& operator*() { return *std::launder(reinterpret_cast<T*>(storage_)); }
  T* operator->() { return &**this; }

 private:
  alignas(T) unsigned char storage_[sizeof(T)];
};

}  // namespace quorva
