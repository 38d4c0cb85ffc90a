// The running program's own file: the full path of its executable, read from the kernel
// (/proc/self/exe), so that it names the real file whatever the program was started as.
#pragma once

#include <string>

namespace os {

// The full path of the running executable; empty when the kernel does not tell.
std::string ModuleFileName();

} // namespace os
