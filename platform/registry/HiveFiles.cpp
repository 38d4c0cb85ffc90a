#include "registry/HiveFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace registry::detail {
namespace {

constexpr mode_t PrivateDirectoryMode = 0700;
constexpr mode_t PrivateFileMode = 0600;
constexpr mode_t SharedDirectoryMode = 0755;
constexpr mode_t SharedFileMode = 0644;
constexpr const char* HiveDirectoryName = "/tiv-registry";

// A file descriptor that is closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int Fd) : FFd(Fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (FFd >= 0)
            close(FFd);
    }
    int Get() const { return FFd; }
    bool Valid() const { return FFd >= 0; }

private:
    int FFd;
};

bool IsAbsolute(const char* Path) {
    return Path != nullptr && Path[0] == '/';
}

std::string HomeDirectory() {
    const char* Home = std::getenv("HOME");
    if (IsAbsolute(Home))
        return Home;
    std::vector<char> Buffer(16384);
    passwd Entry{};
    passwd* Found = nullptr;
    if (getpwuid_r(geteuid(), &Entry, Buffer.data(), Buffer.size(), &Found) == 0 &&
        Found != nullptr && IsAbsolute(Found->pw_dir))
        return Found->pw_dir;
    return {};
}

// A relative $XDG_CONFIG_HOME is ignored, as the XDG base directory rules demand.
std::string UserConfigDirectory() {
    const char* Configured = std::getenv("XDG_CONFIG_HOME");
    if (IsAbsolute(Configured))
        return Configured;
    const std::string Home = HomeDirectory();
    return Home.empty() ? std::string() : Home + "/.config";
}

std::string SystemConfigDirectory() {
    const char* Configured = std::getenv("XDG_CONFIG_DIRS");
    if (IsAbsolute(Configured)) {
        const std::string Dirs = Configured;
        return Dirs.substr(0, Dirs.find(':'));
    }
    return "/etc/xdg";
}

std::string ParentOf(const std::string& Path) {
    const std::size_t Slash = Path.find_last_of('/');
    return Slash == 0 || Slash == std::string::npos ? "/" : Path.substr(0, Slash);
}

// Flushes a directory so that a file created or renamed in it survives a power cut.
void SyncDirectory(const std::string& Directory) {
    const Descriptor Fd(open(Directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (Fd.Valid())
        fsync(Fd.Get());
}

// Creates Path and its missing ancestors with Mode; true when Path is a directory afterwards.
bool MakeDirectories(const std::string& Path, mode_t Mode) {
    struct stat Info {};
    if (stat(Path.c_str(), &Info) == 0)
        return S_ISDIR(Info.st_mode);
    if (errno != ENOENT || Path == "/")
        return false;
    const std::string Parent = ParentOf(Path);
    if (!MakeDirectories(Parent, Mode))
        return false;
    if (mkdir(Path.c_str(), Mode) != 0 && errno != EEXIST)
        return false;
    SyncDirectory(Parent);
    return true;
}

// A private file or directory must belong to the user and be closed to everybody else.
bool MakePrivate(int Fd, mode_t Mode) {
    struct stat Info {};
    if (fstat(Fd, &Info) != 0 || Info.st_uid != geteuid())
        return false;
    return (Info.st_mode & 077) == 0 || fchmod(Fd, Mode) == 0;
}

bool PrepareDirectory(const HiveLocation& Location) {
    const mode_t Mode = Location.Private ? PrivateDirectoryMode : SharedDirectoryMode;
    if (!MakeDirectories(Location.Directory, Mode))
        return false;
    if (!Location.Private)
        return true;
    const Descriptor Fd(open(Location.Directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return Fd.Valid() && MakePrivate(Fd.Get(), PrivateDirectoryMode);
}

// The log files SQLite keeps next to the hive take the hive's mode when SQLite creates them;
// ones left from before are tightened here.
void MakeCompanionsPrivate(const std::string& File) {
    for (const char* Suffix : {"-wal", "-shm"}) {
        const Descriptor Fd(open((File + Suffix).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        if (Fd.Valid())
            MakePrivate(Fd.Get(), PrivateFileMode);
    }
}

bool IsReadOnlyError(int Error) {
    return Error == EACCES || Error == EROFS || Error == EPERM;
}

std::string DatedAsideName(const std::string& File, int Attempt) {
    const std::time_t Now = std::time(nullptr);
    std::tm Local{};
    localtime_r(&Now, &Local);
    char Stamp[32];
    std::strftime(Stamp, sizeof Stamp, "%Y%m%d-%H%M%S", &Local);
    std::string Name = File + ".damaged-" + Stamp;
    return Attempt == 0 ? Name : Name + "-" + std::to_string(Attempt);
}

// Renames without replacing: the target name is one no file has.
bool RenameAside(const std::string& From, std::string& To) {
    for (int Attempt = 0; Attempt < 100; ++Attempt) {
        To = DatedAsideName(From, Attempt);
        if (renameat2(AT_FDCWD, From.c_str(), AT_FDCWD, To.c_str(), RENAME_NOREPLACE) == 0)
            return true;
        if (errno != EEXIST)
            return false;
    }
    return false;
}

} // namespace

HiveLocation LocateHive(Root Which) {
    const bool User = Which == Root::CurrentUser;
    const std::string Base = User ? UserConfigDirectory() : SystemConfigDirectory();
    if (Base.empty())
        return {};
    const std::string Directory = Base + HiveDirectoryName;
    const char* Name = User ? "/HKEY_CURRENT_USER.sqlite" : "/HKEY_LOCAL_MACHINE.sqlite";
    return {Directory, Directory + Name, User};
}

bool IdentityOf(const std::string& Path, FileIdentity& Identity) {
    struct stat Info {};
    if (stat(Path.c_str(), &Info) != 0)
        return false;
    Identity = {Info.st_dev, Info.st_ino};
    return true;
}

bool PrepareHiveFile(const HiveLocation& Location, bool& ReadOnly, FileIdentity& Identity) {
    if (Location.File.empty() || !PrepareDirectory(Location))
        return false;
    const mode_t Mode = Location.Private ? PrivateFileMode : SharedFileMode;
    const int Flags = O_NOFOLLOW | O_CLOEXEC;
    int Fd = open(Location.File.c_str(), O_RDWR | O_CREAT | O_EXCL | Flags, Mode);
    const bool Created = Fd >= 0;
    if (!Created)
        Fd = open(Location.File.c_str(), O_RDWR | Flags);
    ReadOnly = Fd < 0 && IsReadOnlyError(errno);
    if (ReadOnly)
        Fd = open(Location.File.c_str(), O_RDONLY | Flags);
    const Descriptor File(Fd);
    if (!File.Valid())
        return false;
    if (Created)
        SyncDirectory(Location.Directory);
    struct stat Info {};
    if (fstat(File.Get(), &Info) != 0 || !S_ISREG(Info.st_mode))
        return false;
    if (Location.Private) {
        if (!MakePrivate(File.Get(), PrivateFileMode))
            return false;
        MakeCompanionsPrivate(Location.File);
    }
    Identity = {Info.st_dev, Info.st_ino};
    return true;
}

bool MoveAside(const HiveLocation& Location, const FileIdentity& Judged) {
    // The directory lock keeps two processes from judging and moving the same file at once.
    const Descriptor Directory(
        open(Location.Directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!Directory.Valid() || flock(Directory.Get(), LOCK_EX) != 0)
        return false;
    FileIdentity Current;
    if (!IdentityOf(Location.File, Current) || !(Current == Judged))
        return true;
    std::string Aside;
    if (!RenameAside(Location.File, Aside))
        return false;
    // A log left by the damaged file must not be replayed into the fresh one: it goes with
    // the file, or away when it cannot.
    const std::string Log = Location.File + "-wal";
    if (renameat2(AT_FDCWD, Log.c_str(), AT_FDCWD, (Aside + "-wal").c_str(), RENAME_NOREPLACE) !=
            0 &&
        errno != ENOENT)
        unlink(Log.c_str());
    unlink((Location.File + "-shm").c_str());
    SyncDirectory(Location.Directory);
    std::fprintf(stderr,
                 "registry: %s is damaged or not a registry hive; moved it aside to %s and "
                 "started a fresh hive\n",
                 Location.File.c_str(), Aside.c_str());
    return true;
}

} // namespace registry::detail
