#include "os/NamedMutex.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Each test gets runtime and temporary folders of its own.
class NamedMutex : public ::testing::Test {
protected:
    void SetUp() override {
        char Template[] = "/tmp/zr-mutex-XXXXXX";
        ASSERT_NE(mkdtemp(Template), nullptr);
        FRoot = Template;
        fs::create_directory(FRoot / "runtime");
        fs::permissions(FRoot / "runtime", fs::perms::owner_all);
        setenv("XDG_RUNTIME_DIR", (FRoot / "runtime").c_str(), 1);
        setenv("TMPDIR", FRoot.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("XDG_RUNTIME_DIR");
        unsetenv("TMPDIR");
        fs::remove_all(FRoot);
    }
    fs::path FallbackFolder() const { return FRoot / ("tiv-runtime-" + std::to_string(geteuid())); }

    fs::path FRoot;
};

TEST_F(NamedMutex, FirstCreatorOwnsItUntilItCloses) {
    bool Exists = true;
    const os::MutexHandle First = os::CreateNamedMutex("Zeitrechner", Exists);
    ASSERT_NE(First, 0u);
    EXPECT_FALSE(Exists);

    const os::MutexHandle Second = os::CreateNamedMutex("Zeitrechner", Exists);
    EXPECT_NE(Second, 0u);
    EXPECT_TRUE(Exists);
    os::CloseMutex(Second);

    const os::MutexHandle Other = os::CreateNamedMutex("Rechner", Exists);
    EXPECT_FALSE(Exists);
    os::CloseMutex(Other);

    os::CloseMutex(First);
    const os::MutexHandle Again = os::CreateNamedMutex("Zeitrechner", Exists);
    EXPECT_NE(Again, 0u);
    EXPECT_FALSE(Exists);
    os::CloseMutex(Again);
    EXPECT_TRUE(fs::exists(FRoot / "runtime" / "Zeitrechner.lock"));
}

TEST_F(NamedMutex, DeathOfTheOwnerReleasesIt) {
    int Ready[2];
    ASSERT_EQ(pipe(Ready), 0);
    const pid_t Child = fork();
    if (Child == 0) {
        bool ChildExists = false;
        const bool Owns = os::CreateNamedMutex("Zeitrechner", ChildExists) != 0 && !ChildExists;
        const char Answer = Owns ? '1' : '0';
        (void)!write(Ready[1], &Answer, 1);
        pause();
        _exit(0);
    }
    char Answer = 0;
    ASSERT_EQ(read(Ready[0], &Answer, 1), 1);
    ASSERT_EQ(Answer, '1');

    bool Exists = false;
    os::CloseMutex(os::CreateNamedMutex("Zeitrechner", Exists));
    EXPECT_TRUE(Exists);

    kill(Child, SIGKILL);
    waitpid(Child, nullptr, 0);
    const os::MutexHandle After = os::CreateNamedMutex("Zeitrechner", Exists);
    EXPECT_NE(After, 0u);
    EXPECT_FALSE(Exists);
    os::CloseMutex(After);
    close(Ready[0]);
    close(Ready[1]);
}

TEST_F(NamedMutex, NamesThatAreNoPlainFileNamesFail) {
    const std::vector<std::string> Names = {
        "", ".", "..", "a/b", "../Zeitrechner", std::string("a\0b", 3)};
    for (const std::string& Name : Names) {
        bool Exists = true;
        EXPECT_EQ(os::CreateNamedMutex(Name, Exists), 0u) << Name;
        EXPECT_FALSE(Exists);
    }
}

TEST_F(NamedMutex, WithoutRuntimeFolderAPrivateOneIsMade) {
    unsetenv("XDG_RUNTIME_DIR");
    bool Exists = true;
    const os::MutexHandle Handle = os::CreateNamedMutex("Zeitrechner", Exists);
    ASSERT_NE(Handle, 0u);
    os::CloseMutex(Handle);
    struct stat Info {};
    ASSERT_EQ(lstat(FallbackFolder().c_str(), &Info), 0);
    EXPECT_TRUE(S_ISDIR(Info.st_mode));
    EXPECT_EQ(Info.st_mode & 0777, 0700u);
    EXPECT_EQ(Info.st_uid, geteuid());
}

// Another user could put a link or an open folder in the private folder's place, to read
// or block the lock: such a folder is refused.
TEST_F(NamedMutex, ForeignFallbackFolderIsRefused) {
    unsetenv("XDG_RUNTIME_DIR");
    fs::create_directory(FRoot / "elsewhere");
    fs::permissions(FRoot / "elsewhere", fs::perms::owner_all);
    fs::create_directory_symlink(FRoot / "elsewhere", FallbackFolder());
    bool Exists = true;
    EXPECT_EQ(os::CreateNamedMutex("Zeitrechner", Exists), 0u);
    EXPECT_EQ(os::RuntimeFolder(), "");

    fs::remove(FallbackFolder());
    fs::create_directory(FallbackFolder());
    fs::permissions(FallbackFolder(), fs::perms::owner_all | fs::perms::group_read |
                                          fs::perms::group_exec | fs::perms::others_read |
                                          fs::perms::others_exec);
    EXPECT_EQ(os::CreateNamedMutex("Zeitrechner", Exists), 0u);
    EXPECT_FALSE(Exists);
}

} // namespace
