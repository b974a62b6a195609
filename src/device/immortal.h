// A process-wide object that the C++ runtime never destroys. Static destructors run before the
// library's teardown at exit, so a process-wide object with a destructor is one of these and
// stays usable until the process ends; the teardown (library/library_lifecycle.cpp) gives back
// what it holds on the heap. The object itself lives in static storage.
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
