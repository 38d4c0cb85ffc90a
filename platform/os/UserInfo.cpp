#include "UserInfo.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <limits>
#include <pwd.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace os {

namespace {

NameSource& InstalledUserNameSource() {
    static NameSource Source;
    return Source;
}

NameSource& InstalledComputerNameSource() {
    static NameSource Source;
    return Source;
}

// getpwuid_r rather than getpwuid: the answer lands in our own storage, not in a static area
// that another caller of the user database may overwrite.
std::optional<std::string> SystemUserName() {
    const long Suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> Storage(Suggested > 0 ? static_cast<std::size_t>(Suggested) : 1024);
    passwd Entry{};
    passwd* Found = nullptr;
    int Error = 0;
    while ((Error = getpwuid_r(geteuid(), &Entry, Storage.data(), Storage.size(), &Found)) ==
               ERANGE &&
           Storage.size() < 1024 * 1024)
        Storage.resize(Storage.size() * 2);
    if (Error != 0 || Found == nullptr || Found->pw_name == nullptr || *Found->pw_name == '\0')
        return std::nullopt;
    return std::string(Found->pw_name);
}

std::optional<std::string> SystemComputerName() {
    // A name that fills the whole array may have been cut without a NUL; the last byte
    // stays NUL whatever gethostname does.
    char Name[HOST_NAME_MAX + 2] = {};
    if (gethostname(Name, sizeof Name - 1) != 0 || Name[0] == '\0')
        return std::nullopt;
    return std::string(Name);
}

bool CopyName(const std::optional<std::string>& Name, char* Buffer, std::uint32_t& Size) {
    const std::uint32_t Capacity = Buffer != nullptr ? Size : 0;
    if (Capacity > 0)
        Buffer[0] = '\0';
    if (!Name || Name->empty() || Name->find('\0') != std::string::npos) {
        Size = 0;
        return false;
    }
    if (Name->size() >= Capacity) {
        Size = static_cast<std::uint32_t>(
            std::min<std::size_t>(Name->size() + 1, std::numeric_limits<std::uint32_t>::max()));
        return false;
    }
    std::memcpy(Buffer, Name->data(), Name->size());
    Buffer[Name->size()] = '\0';
    Size = static_cast<std::uint32_t>(Name->size());
    return true;
}

} // namespace

bool GetUserName(char* Buffer, std::uint32_t& Size) {
    // A copy, so that a source may replace itself while it runs.
    const NameSource Source = InstalledUserNameSource();
    return CopyName(Source ? Source() : SystemUserName(), Buffer, Size);
}

bool GetComputerName(char* Buffer, std::uint32_t& Size) {
    const NameSource Source = InstalledComputerNameSource();
    return CopyName(Source ? Source() : SystemComputerName(), Buffer, Size);
}

NameSource SetUserNameSource(NameSource Source) {
    return std::exchange(InstalledUserNameSource(), std::move(Source));
}

NameSource SetComputerNameSource(NameSource Source) {
    return std::exchange(InstalledComputerNameSource(), std::move(Source));
}

} // namespace os
