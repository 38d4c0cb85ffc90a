#include "Regstry.h"

#include "TestSupport.h"
#include "rtl/DateUtils.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using regtest::Column;

namespace {

const std::string MainKey = "Software\\Tiv\\Calc\\Main";

class RegstryTest : public regtest::TempConfig {
protected:
    // The value rows of the hive as path:name=data, in the order of their paths.
    std::vector<std::string> Values() const {
        return Column(
            UserHive(),
            "SELECT path || ':' || name || '=' || data FROM registry ORDER BY path, name");
    }
    std::vector<std::string> KeyPaths() const {
        return Column(UserHive(), "SELECT path FROM key_paths WHERE path <> '' ORDER BY path");
    }
    // Expects Run to raise ERegistryException with exactly Message.
    template <typename Call> void ExpectRaises(Call&& Run, const std::string& Message) {
        try {
            Run();
            ADD_FAILURE() << "no exception, expected: " << Message;
        } catch (const ERegistryException& E) {
            EXPECT_EQ(E.Message(), Message);
        }
    }
    TRegstry Reg{nullptr};
};

TEST_F(RegstryTest, TheConstructorSetsTheDefaultsAndOpensTheRoots) {
    const std::string Before = rtl::DateToStr(rtl::Now());
    const TRegstry Fresh(nullptr);
    const std::string After = rtl::DateToStr(rtl::Now());
    EXPECT_EQ(Fresh.Category(), "Main");
    EXPECT_EQ(Fresh.KeyName(), "LastUsed");
    EXPECT_EQ(Fresh.IniFileName(), "Software\\Tiv\\MyTask");
    EXPECT_EQ(Fresh.Action(), paReadCurrentUser);
    EXPECT_EQ(Fresh.DataString(), "");
    // Construction may straddle midnight.
    EXPECT_TRUE(Fresh.DefaultValue() == Before || Fresh.DefaultValue() == After)
        << Fresh.DefaultValue();
    EXPECT_NE(Fresh.CurrentUserKey(), registry::Key{});
    // Opening the roots creates no file.
    EXPECT_FALSE(std::filesystem::exists(ConfigHome));
}

TEST_F(RegstryTest, TheDefaultValueFollowsTheShortDateFormatInForceAtConstruction) {
    rtl::TFormatSettings& Settings = rtl::FormatSettings();
    const std::string Saved = Settings.ShortDateFormat;
    Settings.ShortDateFormat = "yyyy-mm-dd";
    const TRegstry Fresh(nullptr);
    const std::string Expected = rtl::DateToStr(rtl::Now());
    Settings.ShortDateFormat = Saved;
    EXPECT_EQ(Fresh.DefaultValue().size(), 10u);
    EXPECT_EQ(Fresh.DefaultValue()[4], '-');
    EXPECT_EQ(Fresh.DefaultValue().substr(0, 4), Expected.substr(0, 4));
}

TEST_F(RegstryTest, TheActionOrdinalsAreFixed) {
    static_assert(sizeof(TProfileAction) == 1);
    EXPECT_EQ(static_cast<int>(paReadLocalMachine), 0);
    EXPECT_EQ(static_cast<int>(paWriteLocalMachine), 1);
    EXPECT_EQ(static_cast<int>(paReadCurrentUser), 2);
    EXPECT_EQ(static_cast<int>(paWriteCurrentUser), 3);
}

TEST_F(RegstryTest, WriteValueCreatesTheKeyAndStoresTheTextWithoutNul) {
    Reg.WriteValue(MainKey, "LastUsed", "abc");
    EXPECT_EQ(
        Column(UserHive(), "SELECT type || ':' || length(data) || ':' || hex(data) FROM registry"),
        std::vector<std::string>{"1:3:616263"});
    EXPECT_EQ(KeyPaths(), (std::vector<std::string>{"Software", "Software\\Tiv",
                                                    "Software\\Tiv\\Calc", MainKey}));
    EXPECT_EQ(Reg.ReadValue(MainKey, "LastUsed"), "abc");
}

TEST_F(RegstryTest, ReadValueDefOnAMissingKeyCreatesItEmptyAndGivesTheDefault) {
    EXPECT_EQ(Reg.ReadValueDef(MainKey, "LastUsed", "26.11.2002"), "26.11.2002");
    EXPECT_EQ(KeyPaths().back(), MainKey);
    EXPECT_TRUE(Values().empty());
}

TEST_F(RegstryTest, ReadValueDefOnAKeyWithoutTheValueGivesTheDefaultAndChangesNothing) {
    Reg.WriteValue(MainKey, "Other", "o");
    const std::vector<std::string> Keys = KeyPaths();
    EXPECT_EQ(Reg.ReadValueDef(MainKey, "LastUsed", "def"), "def");
    EXPECT_EQ(KeyPaths(), Keys);
    EXPECT_EQ(Values(), std::vector<std::string>{MainKey + ":Other=o"});
}

struct TextCase {
    const char* Name;
    std::string Written;
    std::string Stored;
};

class StoredText : public RegstryTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(StoredText, IsTheTextUpToItsFirstNul) {
    Reg.WriteValue(MainKey, "LastUsed", GetParam().Written);
    EXPECT_EQ(Column(UserHive(), "SELECT data FROM registry"),
              std::vector<std::string>{GetParam().Stored});
    EXPECT_EQ(Reg.ReadValue(MainKey, "LastUsed"), GetParam().Stored);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StoredText,
    ::testing::Values(TextCase{"Plain", "05.03.2025 14:07:09", "05.03.2025 14:07:09"},
                      TextCase{"Empty", "", ""},
                      TextCase{"NulInside", std::string("ab\0cd", 5), "ab"},
                      TextCase{"NulFirst", std::string("\0cd", 3), ""},
                      TextCase{"Bytes255", std::string(255, 'x'), std::string(255, 'x')}),
    [](const auto& Info) { return Info.param.Name; });

TEST_F(RegstryTest, DataLongerThan255BytesIsStoredButCannotBeRead) {
    Reg.WriteValue(MainKey, "LastUsed", std::string(256, 'x'));
    EXPECT_EQ(Column(UserHive(), "SELECT length(data) FROM registry"),
              std::vector<std::string>{"256"});
    ExpectRaises([&] { Reg.ReadValue(MainKey, "LastUsed"); },
                 "RegQueryValue failed: " + MainKey + "LastUsed");
    EXPECT_EQ(Reg.ReadValueDef(MainKey, "LastUsed", "def"), "def");
}

TEST_F(RegstryTest, QueryValueReadsAValueOfAnotherTypeAsItsBytes) {
    Reg.OpenKey(MainKey);
    const std::string Raw("\x04\x00\x00\x00", 4);
    ASSERT_EQ(registry::SetValue(Reg.CurrentUserKey(), "Dword", static_cast<registry::ValueType>(4),
                                 std::as_bytes(std::span(Raw.data(), Raw.size()))),
              registry::Status::Success);
    EXPECT_EQ(Reg.QueryValue(Reg.CurrentUserKey(), "Dword", MainKey), "\x04");
}

TEST_F(RegstryTest, FailuresNameTheKeyPathAndValueNameRunTogether) {
    ExpectRaises([&] { Reg.SetValue(registry::Key{}, "LastUsed", MainKey, "abc"); },
                 "RegSetValue failed: Software\\Tiv\\Calc\\MainLastUsed set to abc");
    ExpectRaises([&] { Reg.QueryValue(registry::Key{}, "LastUsed", MainKey); },
                 "RegQueryValue failed: Software\\Tiv\\Calc\\MainLastUsed");
    ExpectRaises([&] { Reg.ReadValue(MainKey, "Missing"); },
                 "RegQueryValue failed: Software\\Tiv\\Calc\\MainMissing");
    ExpectRaises([&] { Reg.WriteValue("\\Bad", "LastUsed", "abc"); }, "RegOpenKey failed!");
}

TEST_F(RegstryTest, AFailedOpenKeyHoldsNoKeyAndTheNextCallsFailWithTheirOwnMessages) {
    Reg.OpenKey(MainKey);
    const registry::Key Held = Reg.CurrentUserKey();
    ExpectRaises([&] { Reg.OpenKey("Bad\\\\Path"); }, "RegOpenKey failed!");
    EXPECT_EQ(Reg.CurrentUserKey(), registry::Key{});
    EXPECT_EQ(registry::CloseKey(Held), registry::Status::InvalidHandle);
    ExpectRaises([&] { Reg.SetValue(Reg.CurrentUserKey(), "V", "K", "x"); },
                 "RegSetValue failed: KV set to x");
    ExpectRaises([&] { Reg.QueryValue(Reg.CurrentUserKey(), "V", "K"); },
                 "RegQueryValue failed: KV");
}

TEST_F(RegstryTest, TwoWritesLeaveOnlyTheSecondKeyHeld) {
    Reg.WriteValue("Software\\Tiv\\First", "V", "1");
    const registry::Key First = Reg.CurrentUserKey();
    Reg.WriteValue("Software\\Tiv\\Second", "V", "2");
    EXPECT_NE(Reg.CurrentUserKey(), First);
    EXPECT_EQ(registry::CloseKey(First), registry::Status::InvalidHandle);
    EXPECT_EQ(Reg.QueryValue(Reg.CurrentUserKey(), "V", ""), "2");
    EXPECT_EQ(Values(),
              (std::vector<std::string>{"Software\\Tiv\\First:V=1", "Software\\Tiv\\Second:V=2"}));
}

TEST_F(RegstryTest, KeyPathsAndValueNamesIgnoreCase) {
    Reg.WriteValue(MainKey, "LastUsed", "abc");
    EXPECT_EQ(Reg.ReadValue("SOFTWARE\\tiv\\CALC\\main", "LASTUSED"), "abc");
    Reg.WriteValue("software\\TIV\\calc\\MAIN", "lastused", "xyz");
    EXPECT_EQ(Values(), std::vector<std::string>{MainKey + ":LastUsed=xyz"});
}

TEST_F(RegstryTest, ThePublishedSettingsChangeNoAccess) {
    Reg.SetCategory("Other");
    Reg.SetKeyName("Else");
    Reg.SetDefaultValue("dv");
    Reg.SetDataString("ds");
    Reg.SetIniFileName("Software\\Elsewhere");
    Reg.SetAction(paWriteLocalMachine);
    EXPECT_FALSE(std::filesystem::exists(ConfigHome));
    Reg.WriteValue(MainKey, "LastUsed", "abc");
    EXPECT_EQ(Reg.ReadValueDef(MainKey, "LastUsed", "x"), "abc");
    EXPECT_EQ(Values(), std::vector<std::string>{MainKey + ":LastUsed=abc"});
    EXPECT_EQ(KeyPaths().size(), 4u);
    EXPECT_EQ(Reg.Category(), "Other");
    EXPECT_EQ(Reg.KeyName(), "Else");
    EXPECT_EQ(Reg.DefaultValue(), "dv");
    EXPECT_EQ(Reg.DataString(), "ds");
    EXPECT_EQ(Reg.IniFileName(), "Software\\Elsewhere");
    EXPECT_EQ(Reg.Action(), paWriteLocalMachine);
}

// Texts longer than the 256-character buffers are refused with the operation's message,
// and nothing is stored; 256 characters still fit.
struct LengthCase {
    const char* Name;
    std::size_t KeyLength;
    std::size_t NameLength;
    std::size_t TextLength;
    bool Fits;
};

class BufferLengths : public RegstryTest, public ::testing::WithParamInterface<LengthCase> {};

// A key path of Length characters: "Software\" followed by names of at most 200 characters.
std::string PathOf(std::size_t Length) {
    std::string Path = "Software";
    while (Path.size() < Length)
        Path += "\\" + std::string(std::min<std::size_t>(200, Length - Path.size() - 1), 'k');
    return Path;
}

TEST_P(BufferLengths, AreCheckedBeforeAnythingIsStored) {
    const LengthCase& C = GetParam();
    const std::string Path = PathOf(C.KeyLength);
    const std::string Name(C.NameLength, 'n');
    const std::string Text(C.TextLength, 't');
    ASSERT_EQ(Path.size(), C.KeyLength);
    if (C.Fits) {
        Reg.WriteValue(Path, Name, Text);
        EXPECT_EQ(
            Column(
                UserHive(),
                "SELECT length(path) || ':' || length(name) || ':' || length(data) FROM registry"),
            std::vector<std::string>{std::to_string(C.KeyLength) + ":" +
                                     std::to_string(C.NameLength) + ":" +
                                     std::to_string(C.TextLength)});
        return;
    }
    const std::string Message = C.KeyLength > 256
                                    ? "RegOpenKey failed!"
                                    : "RegSetValue failed: " + Path + Name + " set to " + Text;
    ExpectRaises([&] { Reg.WriteValue(Path, Name, Text); }, Message);
    // A refused key path never reaches the hive; a refused value leaves its key empty.
    if (C.KeyLength > 256) {
        EXPECT_FALSE(std::filesystem::exists(UserHive()));
    } else {
        EXPECT_TRUE(Values().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Table, BufferLengths,
                         ::testing::Values(LengthCase{"AllAt256", 256, 256, 256, true},
                                           LengthCase{"KeyPath257", 257, 8, 3, false},
                                           LengthCase{"ValueName257", 20, 257, 3, false},
                                           LengthCase{"ValueText257", 20, 8, 257, false}),
                         [](const auto& Info) { return Info.param.Name; });

TEST_F(RegstryTest, AValueNameOver256IsRefusedOnReading) {
    const std::string Name(257, 'n');
    ExpectRaises([&] { Reg.ReadValue(MainKey, Name); }, "RegQueryValue failed: " + MainKey + Name);
    EXPECT_EQ(Reg.ReadValueDef(MainKey, Name, "def"), "def");
}

TEST_F(RegstryTest, AnUnusableHiveMakesWritesFailAndReadsGiveTheDefault) {
    regtest::WriteFile(Temp + "/file", "x");
    setenv("XDG_CONFIG_HOME", (Temp + "/file/config").c_str(), 1);
    TRegstry Fresh(nullptr);
    ExpectRaises([&] { Fresh.WriteValue(MainKey, "LastUsed", "abc"); }, "RegOpenKey failed!");
    EXPECT_EQ(Fresh.ReadValueDef(MainKey, "LastUsed", "def"), "def");
}

TEST_F(RegstryTest, TheDestructorClosesTheHeldKeys) {
    auto Owner = std::make_unique<TComponent>(nullptr);
    auto* Owned = new TRegstry(Owner.get());
    Owned->OpenKey(MainKey);
    const registry::Key Held = Owned->CurrentUserKey();
    Owner.reset();
    EXPECT_EQ(registry::CloseKey(Held), registry::Status::InvalidHandle);
}

} // namespace
