#include "Module.h"

#include <filesystem>
#include <system_error>

namespace os {

std::string ModuleFileName() {
    std::error_code Error;
    const std::filesystem::path Path = std::filesystem::read_symlink("/proc/self/exe", Error);
    return Error ? std::string() : Path.string();
}

} // namespace os
