#include "registry/Registry.h"

#include "TestSupport.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <span>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace registry;
using regtest::Column;

namespace {

std::span<const std::byte> Bytes(const std::string& Text) {
    return std::as_bytes(std::span(Text.data(), Text.size()));
}

Key Create(const std::string& Path, Access Right = Access::All) {
    Key Result{};
    EXPECT_EQ(CreateKey(Root::CurrentUser, Path, Right, Result), Status::Success) << Path;
    return Result;
}

// Reads a value whole; the status tells whether it could.
Status Read(Key Handle, const std::string& Name, std::string& Data, ValueType& Type) {
    std::vector<std::byte> Buffer(MaxDataLength);
    std::size_t Length = 0;
    const Status Result = QueryValue(Handle, Name, Type, Buffer, Length);
    if (Result == Status::Success)
        Data.assign(reinterpret_cast<const char*>(Buffer.data()), Length);
    return Result;
}

class RegistryTest : public regtest::TempConfig {
protected:
    void TearDown() override {
        for (Key Handle : Opened)
            CloseKey(Handle);
        regtest::TempConfig::TearDown();
    }
    Key Keep(Key Handle) {
        Opened.push_back(Handle);
        return Handle;
    }
    std::vector<Key> Opened;
};

struct PathCase {
    const char* Name;
    std::string Path;
    Status Expected;
};

class KeyPaths : public RegistryTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(KeyPaths, CreateKeyAcceptsWellFormedPathsOnly) {
    Key Handle{};
    EXPECT_EQ(CreateKey(Root::CurrentUser, GetParam().Path, Access::All, Handle),
              GetParam().Expected);
    if (GetParam().Expected == Status::Success) {
        EXPECT_EQ(CloseKey(Handle), Status::Success);
    }
}

std::string Deep(std::size_t Levels) {
    std::string Path = "k";
    for (std::size_t I = 1; I < Levels; ++I)
        Path += "\\k";
    return Path;
}

INSTANTIATE_TEST_SUITE_P(
    Table, KeyPaths,
    ::testing::Values(PathCase{"Empty_IsTheRoot", "", Status::Success},
                      PathCase{"OneName", "Software", Status::Success},
                      PathCase{"ThreeNames", "Software\\Tiv\\Calc", Status::Success},
                      PathCase{"TrailingSeparator", "Software\\Tiv\\", Status::Success},
                      PathCase{"Name255", std::string(255, 'n'), Status::Success},
                      PathCase{"Depth512", Deep(512), Status::Success},
                      PathCase{"LeadingSeparator", "\\Software", Status::InvalidArgument},
                      PathCase{"EmptyNameInside", "Software\\\\Tiv", Status::InvalidArgument},
                      PathCase{"TwoTrailingSeparators", "Software\\\\", Status::InvalidArgument},
                      PathCase{"Name256", std::string(256, 'n'), Status::InvalidArgument},
                      PathCase{"NulInName", std::string("Soft\0ware", 9), Status::InvalidArgument},
                      PathCase{"Depth513", Deep(513), Status::InvalidArgument}),
    [](const auto& Info) { return Info.param.Name; });

struct DataCase {
    const char* Name;
    ValueType Type;
    std::string Data;
};

class ValueData : public RegistryTest, public ::testing::WithParamInterface<DataCase> {};

TEST_P(ValueData, IsStoredAndReadBackByteForByte) {
    const Key Handle = Keep(Create("Software\\Tiv\\Data"));
    ASSERT_EQ(SetValue(Handle, "Value", GetParam().Type, Bytes(GetParam().Data)), Status::Success);
    std::string Data = "untouched";
    ValueType Type = ValueType::None;
    ASSERT_EQ(Read(Handle, "Value", Data, Type), Status::Success);
    EXPECT_EQ(Data, GetParam().Data);
    EXPECT_EQ(Type, GetParam().Type);
    // The hive holds exactly these bytes, with no terminator added.
    EXPECT_EQ(Column(UserHive(), "SELECT data FROM registry WHERE name = 'Value'"),
              std::vector<std::string>{GetParam().Data});
}

std::string AllBytes() {
    std::string Data;
    for (int B = 0; B < 256; ++B)
        Data += static_cast<char>(B);
    return Data;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ValueData,
    ::testing::Values(DataCase{"Empty", ValueType::String, ""},
                      DataCase{"ThreeBytes", ValueType::String, "abc"},
                      DataCase{"NulInside_KeptAsGiven", ValueType::String,
                               std::string("ab\0cd", 5)},
                      DataCase{"EveryByte", static_cast<ValueType>(3), AllBytes()},
                      DataCase{"NoneType", ValueType::None, "x"},
                      DataCase{"Largest", ValueType::String, std::string(MaxDataLength, 'z')}),
    [](const auto& Info) { return Info.param.Name; });

TEST_F(RegistryTest, DataOverTheLimitIsRefusedAndNothingStored) {
    const Key Handle = Keep(Create("Software\\Tiv\\Data"));
    EXPECT_EQ(
        SetValue(Handle, "Value", ValueType::String, Bytes(std::string(MaxDataLength + 1, 'z'))),
        Status::InvalidArgument);
    EXPECT_TRUE(Column(UserHive(), "SELECT name FROM key_values").empty());
}

TEST_F(RegistryTest, ValueNamesAreCheckedForLengthAndNul) {
    const Key Handle = Keep(Create("Software"));
    EXPECT_EQ(SetValue(Handle, std::string(MaxValueNameLength, 'v'), ValueType::String, Bytes("a")),
              Status::Success);
    EXPECT_EQ(
        SetValue(Handle, std::string(MaxValueNameLength + 1, 'v'), ValueType::String, Bytes("a")),
        Status::InvalidArgument);
    EXPECT_EQ(SetValue(Handle, std::string("a\0b", 3), ValueType::String, Bytes("a")),
              Status::InvalidArgument);
    std::string Data;
    ValueType Type{};
    EXPECT_EQ(Read(Handle, std::string("a\0b", 3), Data, Type), Status::InvalidArgument);
}

TEST_F(RegistryTest, TheEmptyValueNameIsAValueOfItsOwn) {
    const Key Handle = Keep(Create("Software"));
    ASSERT_EQ(SetValue(Handle, "", ValueType::String, Bytes("default")), Status::Success);
    std::string Data;
    ValueType Type{};
    EXPECT_EQ(Read(Handle, "", Data, Type), Status::Success);
    EXPECT_EQ(Data, "default");
    EXPECT_EQ(Read(Handle, "other", Data, Type), Status::NotFound);
}

TEST_F(RegistryTest, ASmallBufferGivesMoreDataAndTheSizeAndStaysUntouched) {
    const Key Handle = Keep(Create("Software"));
    ASSERT_EQ(SetValue(Handle, "Value", ValueType::String, Bytes("abcdef")), Status::Success);
    std::vector<std::byte> Buffer(5, std::byte{'#'});
    ValueType Type{};
    std::size_t Length = 0;
    EXPECT_EQ(QueryValue(Handle, "Value", Type, Buffer, Length), Status::MoreData);
    EXPECT_EQ(Length, 6u);
    EXPECT_TRUE(
        std::all_of(Buffer.begin(), Buffer.end(), [](std::byte B) { return B == std::byte{'#'}; }));
    Buffer.resize(6);
    EXPECT_EQ(QueryValue(Handle, "Value", Type, Buffer, Length), Status::Success);
    EXPECT_EQ(Length, 6u);
}

TEST_F(RegistryTest, AMissingValueIsNotFound) {
    const Key Handle = Keep(Create("Software"));
    std::string Data;
    ValueType Type{};
    EXPECT_EQ(Read(Handle, "LastUsed", Data, Type), Status::NotFound);
}

TEST_F(RegistryTest, KeyNamesIgnoreCaseAndKeepTheCaseTheyWereCreatedWith) {
    const Key First = Keep(Create("Software\\Tiv\\Calc"));
    ASSERT_EQ(SetValue(First, "LastUsed", ValueType::String, Bytes("one")), Status::Success);
    const Key Second = Keep(Create("SOFTWARE\\tiv\\cAlC"));
    std::string Data;
    ValueType Type{};
    ASSERT_EQ(Read(Second, "LastUsed", Data, Type), Status::Success);
    EXPECT_EQ(Data, "one");
    EXPECT_EQ(Column(UserHive(), "SELECT path FROM key_paths WHERE path <> '' ORDER BY id"),
              (std::vector<std::string>{"Software", "Software\\Tiv", "Software\\Tiv\\Calc"}));
}

TEST_F(RegistryTest, ValueNamesIgnoreCaseAndKeepTheCaseTheyWereCreatedWith) {
    const Key Handle = Keep(Create("Software"));
    ASSERT_EQ(SetValue(Handle, "LastUsed", ValueType::String, Bytes("one")), Status::Success);
    ASSERT_EQ(SetValue(Handle, "LASTUSED", ValueType::String, Bytes("two")), Status::Success);
    std::string Data;
    ValueType Type{};
    ASSERT_EQ(Read(Handle, "lastused", Data, Type), Status::Success);
    EXPECT_EQ(Data, "two");
    EXPECT_EQ(Column(UserHive(), "SELECT name || '=' || data FROM key_values"),
              std::vector<std::string>{"LastUsed=two"});
}

TEST_F(RegistryTest, SiblingKeysKeepTheirOwnValues) {
    const Key A = Keep(Create("Software\\A"));
    const Key B = Keep(Create("Software\\B"));
    ASSERT_EQ(SetValue(A, "V", ValueType::String, Bytes("a")), Status::Success);
    ASSERT_EQ(SetValue(B, "V", ValueType::String, Bytes("b")), Status::Success);
    std::string Data;
    ValueType Type{};
    ASSERT_EQ(Read(A, "V", Data, Type), Status::Success);
    EXPECT_EQ(Data, "a");
    EXPECT_EQ(
        Column(UserHive(), "SELECT path || ':' || name || '=' || data FROM registry ORDER BY path"),
        (std::vector<std::string>{"Software\\A:V=a", "Software\\B:V=b"}));
}

TEST_F(RegistryTest, HandlesThatAreNotOpenAreRefused) {
    Key Handle = Create("Software");
    ASSERT_EQ(CloseKey(Handle), Status::Success);
    std::string Data;
    ValueType Type{};
    for (const Key Bad : {Handle, Key{}, Key{0xdeadbeef}}) {
        EXPECT_EQ(CloseKey(Bad), Status::InvalidHandle);
        EXPECT_EQ(SetValue(Bad, "V", ValueType::String, Bytes("x")), Status::InvalidHandle);
        EXPECT_EQ(Read(Bad, "V", Data, Type), Status::InvalidHandle);
    }
}

TEST_F(RegistryTest, TheAccessRightDecidesWhatAHandleMayDo) {
    Keep(Create("Software"));
    const Key Reader = Keep(Create("Software", Access::Read));
    const Key Writer = Keep(Create("Software", Access::Write));
    std::string Data;
    ValueType Type{};
    EXPECT_EQ(SetValue(Reader, "V", ValueType::String, Bytes("x")), Status::AccessDenied);
    EXPECT_EQ(SetValue(Writer, "V", ValueType::String, Bytes("x")), Status::Success);
    EXPECT_EQ(Read(Writer, "V", Data, Type), Status::AccessDenied);
    EXPECT_EQ(Read(Reader, "V", Data, Type), Status::Success);
}

TEST_F(RegistryTest, OpeningARootTouchesNoFileAndValuesGoThroughTheRoot) {
    Key RootKey{};
    ASSERT_EQ(OpenRoot(Root::CurrentUser, Access::All, RootKey), Status::Success);
    Keep(RootKey);
    EXPECT_FALSE(std::filesystem::exists(ConfigHome));
    ASSERT_EQ(SetValue(RootKey, "AtRoot", ValueType::String, Bytes("r")), Status::Success);
    EXPECT_EQ(Column(UserHive(), "SELECT path || ':' || name FROM registry"),
              std::vector<std::string>{":AtRoot"});
}

TEST_F(RegistryTest, TheRootsHaveHivesOfTheirOwn) {
    Key Machine{};
    ASSERT_EQ(CreateKey(Root::LocalMachine, "Software\\Tiv", Access::All, Machine),
              Status::Success);
    Keep(Machine);
    ASSERT_EQ(SetValue(Machine, "Where", ValueType::String, Bytes("machine")), Status::Success);
    const std::string MachineHive = Temp + "/system/tiv-registry/HKEY_LOCAL_MACHINE.sqlite";
    EXPECT_EQ(Column(MachineHive, "SELECT data FROM registry"),
              std::vector<std::string>{"machine"});
    std::string Data;
    ValueType Type{};
    EXPECT_EQ(Read(Keep(Create("Software\\Tiv")), "Where", Data, Type), Status::NotFound);
}

TEST_F(RegistryTest, ValuesOutliveTheConnectionThatWroteThem) {
    const std::string Other = Temp + "/elsewhere";
    ASSERT_EQ(SetValue(Keep(Create("Software")), "V", ValueType::String, Bytes("kept")),
              Status::Success);
    // Looking at another configuration closes the hive; coming back opens it afresh.
    setenv("XDG_CONFIG_HOME", Other.c_str(), 1);
    Keep(Create("Software"));
    setenv("XDG_CONFIG_HOME", ConfigHome.c_str(), 1);
    std::string Data;
    ValueType Type{};
    ASSERT_EQ(Read(Keep(Create("Software")), "V", Data, Type), Status::Success);
    EXPECT_EQ(Data, "kept");
}

TEST_F(RegistryTest, AKeyOfAReplacedHiveIsGoneButTheRootStays) {
    Key RootKey{};
    ASSERT_EQ(OpenRoot(Root::CurrentUser, Access::All, RootKey), Status::Success);
    Keep(RootKey);
    const Key Handle = Keep(Create("Software\\Tiv"));
    ASSERT_EQ(SetValue(Handle, "V", ValueType::String, Bytes("old")), Status::Success);
    for (const char* Suffix : {"", "-wal", "-shm"})
        unlink((UserHive() + Suffix).c_str());
    // The fresh hive may number its keys as the old one did; the old handle must not write there.
    Keep(Create("Other\\Keys"));
    EXPECT_EQ(SetValue(Handle, "V", ValueType::String, Bytes("new")), Status::KeyDeleted);
    EXPECT_EQ(SetValue(RootKey, "V", ValueType::String, Bytes("root")), Status::Success);
    EXPECT_EQ(Column(UserHive(), "SELECT path || ':' || data FROM registry"),
              std::vector<std::string>{":root"});
}

TEST_F(RegistryTest, AnUnusableConfigurationDirectoryFailsEveryHiveCall) {
    // A regular file where a directory should be: not even root can create the hive there.
    regtest::WriteFile(Temp + "/file", "x");
    setenv("XDG_CONFIG_HOME", (Temp + "/file/config").c_str(), 1);
    Key RootKey{};
    ASSERT_EQ(OpenRoot(Root::CurrentUser, Access::All, RootKey), Status::Success);
    Keep(RootKey);
    Key Handle{};
    EXPECT_EQ(CreateKey(Root::CurrentUser, "Software", Access::All, Handle), Status::Failed);
    EXPECT_EQ(SetValue(RootKey, "V", ValueType::String, Bytes("x")), Status::Failed);
    std::string Data;
    ValueType Type{};
    EXPECT_EQ(Read(RootKey, "V", Data, Type), Status::Failed);
}

TEST_F(RegistryTest, WithoutXdgConfigHomeTheHiveLiesUnderHomeDotConfig) {
    const char* SavedHome = std::getenv("HOME");
    const std::string Home = SavedHome == nullptr ? std::string() : SavedHome;
    setenv("HOME", Temp.c_str(), 1);
    // A relative $XDG_CONFIG_HOME does not count.
    setenv("XDG_CONFIG_HOME", "relative/config", 1);
    const Status Result = SetValue(Keep(Create("Software")), "V", ValueType::String, Bytes("h"));
    setenv("HOME", Home.c_str(), 1);
    ASSERT_EQ(Result, Status::Success);
    EXPECT_EQ(Column(Temp + "/.config/tiv-registry/HKEY_CURRENT_USER.sqlite",
                     "SELECT data FROM registry"),
              std::vector<std::string>{"h"});
}

// Runs with no umask, so that only the modes the registry chooses count.
class Modes : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        Saved = umask(0);
    }
    void TearDown() override {
        umask(Saved);
        RegistryTest::TearDown();
    }
    void WriteSomething() {
        ASSERT_EQ(SetValue(Keep(Create("Software")), "V", ValueType::String, Bytes("m")),
                  Status::Success);
    }
    mode_t Saved = 0;
};

TEST_F(Modes, AFreshHiveIsPrivate) {
    WriteSomething();
    EXPECT_EQ(regtest::ModeOf(ConfigHome), 0700u);
    EXPECT_EQ(regtest::ModeOf(HiveDirectory()), 0700u);
    for (const char* Suffix : {"", "-wal", "-shm"})
        EXPECT_EQ(regtest::ModeOf(UserHive() + Suffix), 0600u) << Suffix;
}

TEST_F(Modes, LooseModesLeftFromBeforeAreTightened) {
    std::filesystem::create_directories(HiveDirectory());
    chmod(HiveDirectory().c_str(), 0777);
    for (const char* Suffix : {"", "-wal"}) {
        regtest::WriteFile(UserHive() + Suffix, "");
        chmod((UserHive() + Suffix).c_str(), 0666);
    }
    WriteSomething();
    EXPECT_EQ(regtest::ModeOf(HiveDirectory()), 0700u);
    EXPECT_EQ(regtest::ModeOf(UserHive()), 0600u);
    EXPECT_EQ(regtest::ModeOf(UserHive() + "-wal"), 0600u);
}

struct DamageCase {
    const char* Name;
    std::string (*Make)(const std::string& Hive);
};

std::string Garbage(const std::string&) {
    return "This is no database at all.\n" + std::string(5000, 'g');
}

std::string HeaderOnly(const std::string&) {
    return std::string("SQLite format 3\0", 16) + std::string(4080, '\x7f');
}

// A real hive cut short in the middle of its pages.
std::string Truncated(const std::string& Hive) {
    {
        Key Handle{};
        EXPECT_EQ(CreateKey(Root::CurrentUser, "Software\\Tiv\\Calc\\Main", Access::All, Handle),
                  Status::Success);
        for (int I = 0; I < 200; ++I)
            SetValue(Handle, "Value" + std::to_string(I), ValueType::String,
                     Bytes(std::string(300, 'x')));
        CloseKey(Handle);
    }
    Column(Hive, "PRAGMA wal_checkpoint(TRUNCATE)");
    // Going elsewhere closes the hive before it is cut.
    const std::string Home = std::getenv("XDG_CONFIG_HOME");
    setenv("XDG_CONFIG_HOME", (Home + "-elsewhere").c_str(), 1);
    Key Other{};
    CreateKey(Root::CurrentUser, "", Access::All, Other);
    CloseKey(Other);
    setenv("XDG_CONFIG_HOME", Home.c_str(), 1);
    const std::string Whole = regtest::ReadFile(Hive);
    for (const char* Suffix : {"-wal", "-shm"})
        unlink((Hive + Suffix).c_str());
    return Whole.substr(0, Whole.size() / 2);
}

std::string Foreign(const std::string& Hive) {
    regtest::WriteFile(Hive, "");
    Column(Hive, "CREATE TABLE addresses (name TEXT, street TEXT)");
    Column(Hive, "INSERT INTO addresses VALUES ('Tiv', 'Main Street')");
    return regtest::ReadFile(Hive);
}

// Ours by its marks, but with tables of another layout.
std::string WrongLayout(const std::string& Hive) {
    regtest::WriteFile(Hive, "");
    Column(Hive, "CREATE TABLE keys (id INTEGER PRIMARY KEY)");
    Column(Hive, "PRAGMA application_id = 1416197714");
    Column(Hive, "PRAGMA user_version = 1");
    return regtest::ReadFile(Hive);
}

class DamagedHive : public RegistryTest, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedHive, IsMovedAsideUntouchedAndAFreshHiveWorks) {
    std::filesystem::create_directories(HiveDirectory());
    const std::string Content = GetParam().Make(UserHive());
    regtest::WriteFile(UserHive(), Content);
    ::testing::internal::CaptureStderr();
    const Key Handle = Keep(Create("Software\\Tiv"));
    const Status Written = SetValue(Handle, "V", ValueType::String, Bytes("fresh"));
    const std::string Said = ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(Written, Status::Success);
    std::string Data;
    ValueType Type{};
    ASSERT_EQ(Read(Handle, "V", Data, Type), Status::Success);
    EXPECT_EQ(Data, "fresh");
    const std::vector<std::string> Aside = MovedAside();
    ASSERT_EQ(Aside.size(), 1u);
    EXPECT_EQ(regtest::ReadFile(HiveDirectory() + "/" + Aside[0]), Content);
    EXPECT_EQ(std::count(Said.begin(), Said.end(), '\n'), 1) << Said;
    EXPECT_NE(Said.find(Aside[0]), std::string::npos) << Said;
}

INSTANTIATE_TEST_SUITE_P(Table, DamagedHive,
                         ::testing::Values(DamageCase{"NotSqlite", Garbage},
                                           DamageCase{"HeaderOnly", HeaderOnly},
                                           DamageCase{"Truncated", Truncated},
                                           DamageCase{"ForeignDatabase", Foreign},
                                           DamageCase{"WrongLayout", WrongLayout}),
                         [](const auto& Info) { return Info.param.Name; });

TEST_F(RegistryTest, ASecondDamagedFileDoesNotOverwriteTheFirstOneMovedAside) {
    std::filesystem::create_directories(HiveDirectory());
    const std::string Contents[] = {"first garbage", "second garbage"};
    for (const std::string& Content : Contents) {
        // Another file put in the hive's place, as a copy or a restore would.
        regtest::WriteFile(UserHive() + ".new", Content);
        std::filesystem::rename(UserHive() + ".new", UserHive());
        ::testing::internal::CaptureStderr();
        Keep(Create("Software"));
        ::testing::internal::GetCapturedStderr();
    }
    std::vector<std::string> Kept;
    for (const std::string& Name : MovedAside())
        Kept.push_back(regtest::ReadFile(HiveDirectory() + "/" + Name));
    std::sort(Kept.begin(), Kept.end());
    EXPECT_EQ(Kept, (std::vector<std::string>{Contents[0], Contents[1]}));
}

TEST_F(RegistryTest, AnEmptyFileBecomesAHiveWithoutBeingMovedAside) {
    regtest::WriteFile(UserHive(), "");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(SetValue(Keep(Create("Software")), "V", ValueType::String, Bytes("e")),
              Status::Success);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(Column(UserHive(), "SELECT data FROM registry"), std::vector<std::string>{"e"});
}

TEST_F(RegistryTest, TheHiveIsInWalModeAndMarkedAsOurs) {
    Keep(Create("Software"));
    EXPECT_EQ(Column(UserHive(), "PRAGMA journal_mode"), std::vector<std::string>{"wal"});
    EXPECT_EQ(Column(UserHive(), "PRAGMA application_id"), std::vector<std::string>{"1416197714"});
    EXPECT_EQ(Column(UserHive(), "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
}

} // namespace
