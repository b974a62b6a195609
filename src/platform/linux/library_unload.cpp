// The library leaves the process: at dlclose of its last reference, or at exit after the
// program's own exit handlers and static destructors have run. quick_exit and _exit skip it;
// the system then closes the boards.
#include "library/library_lifecycle.h"

namespace {

__attribute__((destructor)) void TearDownOnDetach() {
  quorva::TearDownLibrary();
}

}  // namespace
