#include "TestSupport.h"

#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sqlite3.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace regtest {

void TempConfig::SetUp() {
    std::string Pattern = (std::filesystem::temp_directory_path() / "zr-registry-XXXXXX").string();
    ASSERT_NE(mkdtemp(Pattern.data()), nullptr);
    Temp = Pattern;
    ConfigHome = Temp + "/config";
    setenv("XDG_CONFIG_HOME", ConfigHome.c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (Temp + "/system").c_str(), 1);
}

void TempConfig::TearDown() {
    // A test may have closed directories to their owner; open them again to remove them.
    std::error_code Ignored;
    for (const auto& Entry : std::filesystem::recursive_directory_iterator(Temp, Ignored))
        if (Entry.is_directory(Ignored))
            chmod(Entry.path().c_str(), 0700);
    chmod(Temp.c_str(), 0700);
    std::filesystem::remove_all(Temp, Ignored);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_CONFIG_DIRS");
}

std::vector<std::string> TempConfig::HiveDirectoryEntries() const {
    std::vector<std::string> Names;
    std::error_code Ignored;
    for (const auto& Entry : std::filesystem::directory_iterator(HiveDirectory(), Ignored))
        Names.push_back(Entry.path().filename().string());
    return Names;
}

std::vector<std::string> TempConfig::MovedAside() const {
    std::vector<std::string> Names;
    for (const std::string& Name : HiveDirectoryEntries())
        if (Name.find(".damaged-") != std::string::npos && !Name.ends_with("-wal"))
            Names.push_back(Name);
    return Names;
}

std::vector<std::string> Column(const std::string& File, const std::string& Sql) {
    std::vector<std::string> Values;
    sqlite3* Db = nullptr;
    if (sqlite3_open_v2(File.c_str(), &Db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(Db);
        ADD_FAILURE() << "cannot open " << File;
        return Values;
    }
    sqlite3_busy_timeout(Db, 10000);
    sqlite3_stmt* Stmt = nullptr;
    if (sqlite3_prepare_v2(Db, Sql.c_str(), -1, &Stmt, nullptr) != SQLITE_OK)
        ADD_FAILURE() << Sql << ": " << sqlite3_errmsg(Db);
    while (Stmt != nullptr && sqlite3_step(Stmt) == SQLITE_ROW) {
        const void* Data = sqlite3_column_blob(Stmt, 0);
        const int Size = sqlite3_column_bytes(Stmt, 0);
        Values.emplace_back(Data == nullptr ? ""
                                            : std::string(static_cast<const char*>(Data),
                                                          static_cast<std::size_t>(Size)));
    }
    sqlite3_finalize(Stmt);
    sqlite3_close(Db);
    return Values;
}

std::string ReadFile(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    std::ostringstream Content;
    Content << In.rdbuf();
    return Content.str();
}

void WriteFile(const std::string& Path, const std::string& Content) {
    std::filesystem::create_directories(std::filesystem::path(Path).parent_path());
    std::ofstream(Path, std::ios::binary) << Content;
}

mode_t ModeOf(const std::string& Path) {
    struct stat Info {};
    return stat(Path.c_str(), &Info) == 0 ? (Info.st_mode & 07777) : 0;
}

namespace {

std::string ReadAll(int Fd) {
    std::string Text;
    char Buffer[4096];
    ssize_t Got = 0;
    while ((Got = read(Fd, Buffer, sizeof Buffer)) > 0)
        Text.append(Buffer, static_cast<std::size_t>(Got));
    return Text;
}

void CloseFd(int& Fd) {
    if (Fd >= 0)
        close(Fd);
    Fd = -1;
}

} // namespace

Child Start(const std::vector<std::string>& Arguments) {
    int In[2], Out[2], Err[2];
    if (pipe2(In, O_CLOEXEC) != 0 || pipe2(Out, O_CLOEXEC) != 0 || pipe2(Err, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t Actions;
    posix_spawn_file_actions_init(&Actions);
    posix_spawn_file_actions_adddup2(&Actions, In[0], 0);
    posix_spawn_file_actions_adddup2(&Actions, Out[1], 1);
    posix_spawn_file_actions_adddup2(&Actions, Err[1], 2);
    std::vector<char*> Argv;
    for (const std::string& Argument : Arguments)
        Argv.push_back(const_cast<char*>(Argument.c_str()));
    Argv.push_back(nullptr);
    Child Process;
    const int Failed = posix_spawn(&Process.Pid, Argv[0], &Actions, nullptr, Argv.data(), environ);
    posix_spawn_file_actions_destroy(&Actions);
    close(In[0]);
    close(Out[1]);
    close(Err[1]);
    if (Failed != 0)
        throw std::runtime_error("cannot start " + Arguments[0]);
    Process.In = In[1];
    Process.Out = Out[0];
    Process.Err = Err[0];
    return Process;
}

std::string ReadLine(const Child& Process) {
    std::string Line;
    char C = 0;
    while (read(Process.Out, &C, 1) == 1 && C != '\n')
        Line += C;
    return Line;
}

Outcome Finish(Child& Process) {
    CloseFd(Process.In);
    Outcome Result;
    Result.Out = ReadAll(Process.Out);
    Result.Err = ReadAll(Process.Err);
    CloseFd(Process.Out);
    CloseFd(Process.Err);
    int Status = 0;
    waitpid(Process.Pid, &Status, 0);
    Result.ExitCode = WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
    return Result;
}

} // namespace regtest
