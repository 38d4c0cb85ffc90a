// The user's and the computer's names handed into a caller's buffer: what fits, what does
// not, and what the system says when asked for real.
#include "os/UserInfo.h"

#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <pwd.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Puts a fixed answer in the system's place for as long as it lives.
class TNameSources {
public:
    TNameSources(std::optional<std::string> User, std::optional<std::string> Computer)
        : FPreviousUser(os::SetUserNameSource([User] { return User; })),
          FPreviousComputer(os::SetComputerNameSource([Computer] { return Computer; })) {}
    ~TNameSources() {
        os::SetUserNameSource(FPreviousUser);
        os::SetComputerNameSource(FPreviousComputer);
    }
    TNameSources(const TNameSources&) = delete;
    TNameSources& operator=(const TNameSources&) = delete;

private:
    os::NameSource FPreviousUser;
    os::NameSource FPreviousComputer;
};

struct TCopyCase {
    const char* Name;
    std::optional<std::string> Source;
    std::uint32_t Capacity;
    bool Fetched;
    std::uint32_t Size; // what Size holds afterwards
    std::string Text;   // what the buffer holds up to its NUL, when it has room for one
};

TEST(UserInfo, HandsOverANameOnlyWhenItFitsAndNeverWritesPastTheCapacity) {
    const std::string Long(300, 'x');
    const std::vector<TCopyCase> Cases = {
        {"fits with room to spare", "anna", 255, true, 4, "anna"},
        {"fits exactly with its NUL", "anna", 5, true, 4, "anna"},
        {"one byte short", "anna", 4, false, 5, ""},
        {"room for the NUL only", "anna", 1, false, 5, ""},
        {"no room at all", "anna", 0, false, 5, ""},
        {"longer than the program asks for", Long, 255, false, 301, ""},
        {"254 characters fit into 255", std::string(254, 'y'), 255, true, 254,
         std::string(254, 'y')},
        {"255 characters do not", std::string(255, 'y'), 255, false, 256, ""},
        {"no name", std::nullopt, 255, false, 0, ""},
        {"an empty name is no name", "", 255, false, 0, ""},
        {"bytes above 127 are kept", "J\xc3\xb6rg", 255, true, 5, "J\xc3\xb6rg"},
    };
    using TGet = bool (*)(char*, std::uint32_t&);
    const std::array<std::pair<const char*, TGet>, 2> Calls = {
        {{"GetUserName", &os::GetUserName}, {"GetComputerName", &os::GetComputerName}}};
    for (const TCopyCase& Case : Cases) {
        const TNameSources Sources(Case.Source, Case.Source);
        for (const auto& [CallName, Get] : Calls) {
            SCOPED_TRACE(std::string(Case.Name) + ", " + CallName);
            std::vector<char> Buffer(400, '#');
            std::uint32_t Size = Case.Capacity;
            EXPECT_EQ(Get(Buffer.data(), Size), Case.Fetched);
            EXPECT_EQ(Size, Case.Size);
            if (Case.Capacity > 0) {
                EXPECT_EQ(std::string(Buffer.data()), Case.Text);
            }
            for (std::size_t I = Case.Capacity; I < Buffer.size(); ++I)
                ASSERT_EQ(Buffer[I], '#') << "written at " << I;
        }
    }
}

TEST(UserInfo, WithoutASourceTheSystemAnswers) {
    const passwd* Entry = getpwuid(geteuid());
    ASSERT_NE(Entry, nullptr) << "the test runs as a user the user database knows";
    std::array<char, 256> Buffer{};
    std::uint32_t Size = 255;
    ASSERT_TRUE(os::GetUserName(Buffer.data(), Size));
    EXPECT_EQ(std::string(Buffer.data()), Entry->pw_name);
    EXPECT_EQ(Size, std::string(Entry->pw_name).size());

    char Host[HOST_NAME_MAX + 1] = {};
    ASSERT_EQ(gethostname(Host, sizeof Host - 1), 0);
    Size = 255;
    ASSERT_TRUE(os::GetComputerName(Buffer.data(), Size));
    EXPECT_EQ(std::string(Buffer.data()), Host);
}

TEST(UserInfo, AnEmptySourceBringsTheSystemBack) {
    const os::NameSource Previous = os::SetUserNameSource([] { return std::string("fake"); });
    EXPECT_FALSE(Previous);
    const os::NameSource Fake = os::SetUserNameSource(nullptr);
    ASSERT_TRUE(Fake);
    EXPECT_EQ(Fake(), std::optional<std::string>("fake"));
    std::array<char, 256> Buffer{};
    std::uint32_t Size = 255;
    ASSERT_TRUE(os::GetUserName(Buffer.data(), Size));
    EXPECT_EQ(std::string(Buffer.data()), getpwuid(geteuid())->pw_name);
}

// A user id the user database has no entry for, or 0 when none is free in the range.
uid_t UnknownUserId() {
    for (uid_t Id = 47000; Id < 48000; ++Id)
        if (getpwuid(Id) == nullptr)
            return Id;
    return 0;
}

// Runs in a child process: as a user without an entry, there is no name to hand over.
void AskAsUnknownUser(uid_t Id) {
    if (seteuid(Id) != 0)
        std::_Exit(2);
    std::array<char, 256> Buffer{};
    Buffer.fill('#');
    std::uint32_t Size = 255;
    const bool Fetched = os::GetUserName(Buffer.data(), Size);
    std::_Exit(!Fetched && Size == 0 && Buffer[0] == '\0' ? 0 : 1);
}

TEST(UserInfo, AUserTheUserDatabaseDoesNotKnowHasNoName) {
    if (geteuid() != 0)
        GTEST_SKIP() << "taking on another user id needs root";
    const uid_t Id = UnknownUserId();
    ASSERT_NE(Id, 0u);
    EXPECT_EXIT(AskAsUnknownUser(Id), testing::ExitedWithCode(0), "");
}

} // namespace
