// The end of the library's life in a process.
#pragma once

namespace quorva {

// Unloads every board and frees every process-wide object the library holds, in the one order
// decided in library_lifecycle.cpp. Called once, when the library leaves the process; the
// library stays usable afterwards (a later call starts from an empty state). On Windows it runs
// inside DllMain under the loader lock, where no thread can start or end: nothing it calls may
// wait for another thread to end (a thread of the library's own is let go once it has left the
// library's loops, see platform::EndLibraryThread).
void TearDownLibrary();

}  // namespace quorva
