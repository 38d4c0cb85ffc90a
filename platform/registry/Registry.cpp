#include "registry/Registry.h"

#include "registry/Hive.h"

#include <array>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <unistd.h>
#include <vector>

namespace registry {
namespace {

using detail::Hive;
using detail::HiveLocation;

struct OpenKey {
    Root Under;
    std::int64_t Id;
    Access Right;
    std::uint64_t Generation; // of the hive connection the key was found in
};

struct HiveSlot {
    std::unique_ptr<Hive> Open;
    std::uint64_t Generation = 0;
};

// The process's open keys and hive connections. The hive's location is looked up at every
// call, so that a changed $XDG_CONFIG_HOME, a hive file replaced by another process or one
// moved aside is noticed and the hive opened afresh.
class State {
public:
    std::mutex Lock;

    Key Add(const OpenKey& Record) {
        const Key Handle{NextHandle++};
        Keys.emplace(static_cast<std::uint64_t>(Handle), Record);
        return Handle;
    }
    OpenKey* Find(Key Handle) {
        const auto Found = Keys.find(static_cast<std::uint64_t>(Handle));
        return Found == Keys.end() ? nullptr : &Found->second;
    }
    bool Remove(Key Handle) { return Keys.erase(static_cast<std::uint64_t>(Handle)) == 1; }

    // The hive of the root, opened when needed; null when it cannot be used.
    HiveSlot* Acquire(Root Which) {
        HiveSlot& Slot = Hives[static_cast<std::size_t>(Which)];
        const HiveLocation Location = detail::LocateHive(Which);
        if (Slot.Open == nullptr || !StillCurrent(*Slot.Open, Location) ||
            NowWritable(*Slot.Open)) {
            Slot.Open.reset();
            Slot.Open = Hive::Open(Location);
            Slot.Generation = NextGeneration++;
        }
        return Slot.Open == nullptr ? nullptr : &Slot;
    }

private:
    // A hive opened read-only is opened afresh once its file can be written again, so that
    // a store the user made writable takes the next write.
    static bool NowWritable(const Hive& Open) {
        return Open.ReadOnly() &&
               faccessat(AT_FDCWD, Open.Location().File.c_str(), W_OK, AT_EACCESS) == 0;
    }

    static bool StillCurrent(const Hive& Open, const HiveLocation& Location) {
        detail::FileIdentity Identity;
        return Open.Location().File == Location.File &&
               detail::IdentityOf(Location.File, Identity) && Identity == Open.Identity();
    }

    std::map<std::uint64_t, OpenKey> Keys;
    std::uint64_t NextHandle = 1;
    std::array<HiveSlot, 2> Hives;
    std::uint64_t NextGeneration = 1;
};

State& Global() {
    static State Instance;
    return Instance;
}

bool CanRead(Access Right) {
    return Right != Access::Write;
}
bool CanWrite(Access Right) {
    return Right != Access::Read;
}

bool ValidName(std::string_view Name, std::size_t MaxLength) {
    return Name.size() <= MaxLength && Name.find('\0') == std::string_view::npos;
}

// Splits "Software\Tiv\Calc" into its key names; false for a malformed path.
bool SplitPath(std::string_view Path, std::vector<std::string_view>& Names) {
    if (!Path.empty() && Path.back() == '\\')
        Path.remove_suffix(1);
    while (!Path.empty()) {
        const std::size_t Separator = Path.find('\\');
        const std::string_view Name = Path.substr(0, Separator);
        if (Name.empty() || !ValidName(Name, MaxKeyNameLength) || Names.size() == MaxKeyDepth)
            return false;
        Names.push_back(Name);
        Path =
            Separator == std::string_view::npos ? std::string_view() : Path.substr(Separator + 1);
        if (Separator != std::string_view::npos && Path.empty())
            return false;
    }
    return true;
}

// The open key behind a handle, and its hive; a key whose hive was opened afresh since is
// gone (the root excepted, which every hive has).
Status Resolve(State& S, Key Handle, OpenKey*& Record, HiveSlot*& Slot) {
    Record = S.Find(Handle);
    if (Record == nullptr)
        return Status::InvalidHandle;
    Slot = S.Acquire(Record->Under);
    if (Slot == nullptr)
        return Status::Failed;
    if (Record->Id != Hive::RootKeyId && Record->Generation != Slot->Generation)
        return Status::KeyDeleted;
    return Status::Success;
}

// Resolve, and then whether the key was opened with the right the call needs.
Status ResolveWithRight(State& S, Key Handle, bool (*HasRight)(Access), OpenKey*& Record,
                        HiveSlot*& Slot) {
    const Status Resolved = Resolve(S, Handle, Record, Slot);
    if (Resolved != Status::Success)
        return Resolved;
    return HasRight(Record->Right) ? Status::Success : Status::AccessDenied;
}

// Runs a call under the lock; a failure to allocate is reported, never thrown.
template <typename Call> Status Guarded(Call&& Run) noexcept {
    try {
        const std::lock_guard Hold(Global().Lock);
        return Run(Global());
    } catch (...) {
        return Status::Failed;
    }
}

} // namespace

Status OpenRoot(Root Which, Access Right, Key& Result) noexcept {
    return Guarded([&](State& S) {
        Result = S.Add({Which, Hive::RootKeyId, Right, 0});
        return Status::Success;
    });
}

Status CreateKey(Root Under, std::string_view Path, Access Right, Key& Result) noexcept {
    return Guarded([&](State& S) {
        std::vector<std::string_view> Names;
        if (!SplitPath(Path, Names))
            return Status::InvalidArgument;
        HiveSlot* Slot = S.Acquire(Under);
        if (Slot == nullptr)
            return Status::Failed;
        // Opening with write access takes the hive's write lock, as creating does, so that a
        // hive that cannot be written refuses the key at once. Opening for reading needs no
        // write unless the key is missing.
        std::int64_t Id = 0;
        Status Found = Slot->Open->FindKey(Hive::RootKeyId, Names, CanWrite(Right), Id);
        if (Found == Status::NotFound)
            Found = Slot->Open->FindKey(Hive::RootKeyId, Names, true, Id);
        if (Found == Status::Success)
            Result = S.Add({Under, Id, Right, Slot->Generation});
        return Found;
    });
}

Status SetValue(Key Handle, std::string_view Name, ValueType Type,
                std::span<const std::byte> Data) noexcept {
    return Guarded([&](State& S) {
        if (!ValidName(Name, MaxValueNameLength) || Data.size() > MaxDataLength)
            return Status::InvalidArgument;
        OpenKey* Record = nullptr;
        HiveSlot* Slot = nullptr;
        if (const Status Resolved = ResolveWithRight(S, Handle, CanWrite, Record, Slot);
            Resolved != Status::Success)
            return Resolved;
        return Slot->Open->SetValue(Record->Id, Name, Type, Data);
    });
}

Status QueryValue(Key Handle, std::string_view Name, ValueType& Type, std::span<std::byte> Buffer,
                  std::size_t& Length) noexcept {
    return Guarded([&](State& S) {
        if (!ValidName(Name, MaxValueNameLength))
            return Status::InvalidArgument;
        OpenKey* Record = nullptr;
        HiveSlot* Slot = nullptr;
        if (const Status Resolved = ResolveWithRight(S, Handle, CanRead, Record, Slot);
            Resolved != Status::Success)
            return Resolved;
        return Slot->Open->QueryValue(Record->Id, Name, Type, Buffer, Length);
    });
}

Status CloseKey(Key Handle) noexcept {
    return Guarded(
        [&](State& S) { return S.Remove(Handle) ? Status::Success : Status::InvalidHandle; });
}

} // namespace registry
