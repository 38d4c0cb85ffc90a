// Fuzz target for the hive path: random key paths, value names, data and damaged hive files
// go through the registry functions. It aborts when a value does not read back as written.
// Each input starts from an empty configuration in a private temporary directory.
#include "registry/Registry.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

namespace {

using namespace registry;

// Hands out the input's bytes; past the end it gives zeros and empty strings.
class Input {
public:
    Input(const std::uint8_t* Data, std::size_t Size) : FData(Data, Size) {}
    bool Empty() const { return FData.empty(); }
    std::uint8_t Byte() {
        if (FData.empty())
            return 0;
        const std::uint8_t B = FData.front();
        FData = FData.subspan(1);
        return B;
    }
    // A string of up to Limit bytes, its length taken from the input; a length byte of 255
    // asks for a long string of repeated bytes, to cross the size limits.
    std::string Text(std::size_t Limit) {
        const std::uint8_t Length = Byte();
        if (Length == 255)
            return std::string(std::size_t{Byte()} * 1024 + 200, static_cast<char>(Byte()));
        const std::size_t Take = std::min({std::size_t{Length}, Limit, FData.size()});
        std::string Result(reinterpret_cast<const char*>(FData.data()), Take);
        FData = FData.subspan(Take);
        return Result;
    }

private:
    std::span<const std::uint8_t> FData;
};

// The private directory of this run, removed when the process ends.
class TempRoot {
public:
    TempRoot() {
        const char* Base = std::getenv("TMPDIR");
        Path = std::string(Base != nullptr ? Base : "/tmp") + "/zr-fuzz-hive-XXXXXX";
        if (mkdtemp(Path.data()) == nullptr)
            std::abort();
        setenv("XDG_CONFIG_HOME", (Path + "/config").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (Path + "/system").c_str(), 1);
    }
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;
    ~TempRoot() {
        std::error_code Ignored;
        std::filesystem::remove_all(Path, Ignored);
    }
    std::string Path;
};

std::string ConfigHome() {
    static const TempRoot Root;
    return Root.Path + "/config";
}

std::span<const std::byte> Bytes(const std::string& Text) {
    return std::as_bytes(std::span(Text.data(), Text.size()));
}

struct Opened {
    Key Handle;
    Access Right;
};

Opened Pick(const std::vector<Opened>& Keys, std::uint8_t Choice) {
    // Now and then a made-up handle, whose right is not known.
    if (Keys.empty() || Choice % 8 == 7)
        return {Key{Choice}, Access::Read};
    return Keys[Choice % Keys.size()];
}

// A value just stored must read back whole, with its type.
void CheckReadBack(Key Handle, const std::string& Name, ValueType Type, const std::string& Data) {
    std::vector<std::byte> Buffer(MaxDataLength);
    ValueType ReadType{};
    std::size_t Length = 0;
    if (QueryValue(Handle, Name, ReadType, Buffer, Length) != Status::Success || ReadType != Type ||
        Length != Data.size() ||
        !std::equal(Data.begin(), Data.end(), Buffer.begin(),
                    [](char C, std::byte B) { return static_cast<std::byte>(C) == B; }))
        std::abort();
}

void Query(Input& In, Key Handle) {
    const std::string Name = In.Text(64);
    std::vector<std::byte> Buffer(In.Byte());
    ValueType Type{};
    std::size_t Length = 0;
    const Status Result = QueryValue(Handle, Name, Type, Buffer, Length);
    if ((Result == Status::Success && Length > Buffer.size()) ||
        (Result == Status::MoreData && Length <= Buffer.size()))
        std::abort();
}

void Damage(Input& In) {
    const std::string Hive = ConfigHome() + "/tiv-registry/HKEY_CURRENT_USER.sqlite";
    std::filesystem::create_directories(ConfigHome() + "/tiv-registry");
    std::ofstream(Hive, std::ios::binary | std::ios::trunc) << In.Text(4096);
}

void Step(Input& In, std::vector<Opened>& Keys) {
    const std::uint8_t Op = In.Byte();
    const Root Which = Op & 0x80 ? Root::LocalMachine : Root::CurrentUser;
    const auto Right = static_cast<Access>((Op >> 5) % 3);
    Key Handle{};
    switch (Op % 6) {
    case 0:
        if (CreateKey(Which, In.Text(300), Right, Handle) == Status::Success)
            Keys.push_back({Handle, Right});
        break;
    case 1: {
        const Opened Target = Pick(Keys, In.Byte());
        const std::string Name = In.Text(64);
        const auto Type = static_cast<ValueType>(In.Byte());
        const std::string Data = In.Text(400);
        if (SetValue(Target.Handle, Name, Type, Bytes(Data)) == Status::Success &&
            Target.Right == Access::All)
            CheckReadBack(Target.Handle, Name, Type, Data);
        break;
    }
    case 2:
        Query(In, Pick(Keys, In.Byte()).Handle);
        break;
    case 3:
        CloseKey(Pick(Keys, In.Byte()).Handle);
        break;
    case 4:
        if (OpenRoot(Which, Right, Handle) == Status::Success)
            Keys.push_back({Handle, Right});
        break;
    default:
        Damage(In);
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    std::error_code Ignored;
    std::filesystem::remove_all(ConfigHome(), Ignored);
    Input In(Data, Size);
    std::vector<Opened> Keys;
    for (int Steps = 0; !In.Empty() && Steps < 64; ++Steps)
        Step(In, Keys);
    for (const Opened& Each : Keys)
        CloseKey(Each.Handle);
    return 0;
}
