// Named mutexes of the current user: a lock that one process holds until it closes the
// handle or dies, which other processes can ask about by name. Held through flock() on a
// file named after the mutex in the user's runtime folder; the kernel releases it with the
// process, so no stale lock survives a crash.
#pragma once

#include <cstdint>
#include <string>

namespace os {

// A mutex handle; 0 stands for none.
using MutexHandle = std::uint32_t;

// Creates the named mutex and takes it, or opens it when it exists already: then
// AlreadyExists is true and the handle does not own it. Returns 0 on failure (no usable
// runtime folder, a name that is no plain file name), with AlreadyExists false.
MutexHandle CreateNamedMutex(const std::string& Name, bool& AlreadyExists);

// Releases a handle; the mutex is free again once its owner's handle is closed.
void CloseMutex(MutexHandle Handle);

// The folder that holds the lock files: $XDG_RUNTIME_DIR, or else a folder of this user's
// own under $TMPDIR (default /tmp), created with mode 0700 and checked to be a real folder that
// belongs to the user and to nobody else. Empty when no such folder can be had.
std::string RuntimeFolder();

} // namespace os
