#include "os/NamedMutex.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace os {
namespace {

// A folder that only this user can enter: no symbolic link, owned by the user, mode 0700.
bool IsPrivateFolder(const std::string& Path) {
    struct stat Info {};
    return lstat(Path.c_str(), &Info) == 0 && S_ISDIR(Info.st_mode) && Info.st_uid == geteuid() &&
           (Info.st_mode & 0777) == 0700;
}

bool IsPlainFileName(const std::string& Name) {
    return !Name.empty() && Name != "." && Name != ".." && Name.find('/') == std::string::npos &&
           Name.find('\0') == std::string::npos;
}

// Handles are file descriptors shifted by one, so that 0 stays free for "none".
MutexHandle HandleOf(int Descriptor) {
    return static_cast<MutexHandle>(Descriptor) + 1;
}
int DescriptorOf(MutexHandle Handle) {
    return static_cast<int>(Handle - 1);
}

} // namespace

std::string RuntimeFolder() {
    const char* Runtime = std::getenv("XDG_RUNTIME_DIR");
    if (Runtime != nullptr && Runtime[0] == '/')
        return Runtime;
    const char* Temp = std::getenv("TMPDIR");
    const std::string Base = Temp != nullptr && Temp[0] == '/' ? Temp : "/tmp";
    const std::string Folder = Base + "/tiv-runtime-" + std::to_string(geteuid());
    if (mkdir(Folder.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    return IsPrivateFolder(Folder) ? Folder : std::string();
}

MutexHandle CreateNamedMutex(const std::string& Name, bool& AlreadyExists) {
    AlreadyExists = false;
    const std::string Folder = RuntimeFolder();
    if (Folder.empty() || !IsPlainFileName(Name))
        return 0;
    const std::string Path = Folder + "/" + Name + ".lock";
    const int Descriptor = open(Path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (Descriptor < 0)
        return 0;
    if (flock(Descriptor, LOCK_EX | LOCK_NB) == 0)
        return HandleOf(Descriptor);
    if (errno == EWOULDBLOCK) {
        AlreadyExists = true;
        return HandleOf(Descriptor);
    }
    close(Descriptor);
    return 0;
}

void CloseMutex(MutexHandle Handle) {
    if (Handle != 0)
        close(DescriptorOf(Handle));
}

} // namespace os
