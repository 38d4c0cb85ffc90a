// The registry the components keep their settings in: keys and typed values under the
// predefined roots, with the Windows registry's meaning, stored in one SQLite hive per root.
// Every call reports a status and none throws; what a failure means to the user is left to
// the caller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace registry {

// The predefined roots: HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE.
enum class Root { CurrentUser, LocalMachine };

// The access right a key is opened with: KEY_READ, KEY_WRITE, KEY_ALL_ACCESS.
enum class Access { Read, Write, All };

// The type stored with a value; any number may be stored, these are the ones named here.
enum class ValueType : std::uint32_t { None = 0, String = 1 }; // REG_NONE, REG_SZ

// A handle on an open key; Key{} is no key. Handles are never reused, so a closed or
// made-up handle is reported as InvalidHandle, never followed.
enum class Key : std::uint64_t {};

enum class Status {
    Success,
    NotFound,        // the key holds no value of that name
    MoreData,        // the buffer is smaller than the value's data; the length tells its size
    InvalidHandle,   // the handle is not open
    InvalidArgument, // a malformed key path, a name too long, a NUL in a name, data too large
    AccessDenied,    // the handle's right does not allow the call, or the hive is read-only
    KeyDeleted,      // the hive the key lived in was replaced after the key was opened
    Failed,          // the hive cannot be opened or written (no home, full disk, ...)
};

// Limits of the Windows registry: a key name of 255 characters, a value name of 16383,
// 512 levels of keys; data of 1 MiB, the limit of the registry's standard format.
inline constexpr std::size_t MaxKeyNameLength = 255;
inline constexpr std::size_t MaxValueNameLength = 16383;
inline constexpr std::size_t MaxKeyDepth = 512;
inline constexpr std::size_t MaxDataLength = 1024 * 1024;

// Opens a handle on a root itself. It succeeds without touching the hive, so that a root
// whose hive is missing or read-only can still be opened; the calls through it fail then.
Status OpenRoot(Root Which, Access Right, Key& Result) noexcept;

// Creates or opens the key path under a root and opens a handle on it. Key names are
// separated by "\"; missing keys along the path are created; an empty path opens the root.
// Names compare without regard to the case of ASCII letters and keep the case they were
// created with. A leading "\" or an empty name inside the path is invalid; one "\" at the
// end is ignored.
Status CreateKey(Root Under, std::string_view Path, Access Right, Key& Result) noexcept;

// Stores Data under the value name in the key, with its type, replacing the value of that
// name. The bytes are stored as given: a text value is stored without a terminating NUL
// unless the caller passes one. The commit is durable when the call returns Success.
Status SetValue(Key Handle, std::string_view Name, ValueType Type,
                std::span<const std::byte> Data) noexcept;

// Reads the value of that name into Buffer; Type and Length tell its type and the number of
// bytes. When Buffer is too small the result is MoreData, Length tells the size needed and
// Buffer is left alone.
Status QueryValue(Key Handle, std::string_view Name, ValueType& Type, std::span<std::byte> Buffer,
                  std::size_t& Length) noexcept;

// Closes the handle; it is invalid from then on.
Status CloseKey(Key Handle) noexcept;

} // namespace registry
