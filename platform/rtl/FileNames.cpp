#include "rtl/FileNames.h"

#include <filesystem>

namespace rtl {

std::string ExtractFileName(const std::string& Path) {
    return std::filesystem::path(Path).filename().string();
}

std::string ChangeFileExt(const std::string& Path, const std::string& Extension) {
    return std::filesystem::path(Path).replace_extension(Extension).string();
}

std::string ExtractFileBaseName(const std::string& Path) {
    return std::filesystem::path(Path).stem().string();
}

} // namespace rtl
