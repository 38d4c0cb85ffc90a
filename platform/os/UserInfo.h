// The name of the user the program runs as and the name of the computer, each copied into a
// caller's buffer of a given capacity. Where the names come from is the system's business
// (the user database and the host name); tests may put a source of their own in its place.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace os {

// Copies the login name of the user the program runs as (its effective user id) into Buffer,
// NUL-terminated. Size is the buffer's capacity in bytes; on success it becomes the name's
// length without the NUL. Returns false when the system knows no name, or when the name and
// its NUL do not fit: Size then holds the capacity needed (0 when there is no name) and
// Buffer an empty text. Nothing is ever written at or beyond Buffer[Size].
bool GetUserName(char* Buffer, std::uint32_t& Size);

// The computer's host name, handed over as GetUserName hands over the user's name.
bool GetComputerName(char* Buffer, std::uint32_t& Size);

// Where a name comes from: the name, or nothing when the system cannot supply one.
using NameSource = std::function<std::optional<std::string>()>;

// Let Source answer every GetUserName or GetComputerName call instead of the system; an
// empty source brings the system back. Each returns the source that was in place before.
NameSource SetUserNameSource(NameSource Source);
NameSource SetComputerNameSource(NameSource Source);

} // namespace os
