// Where the hives live and how their files are kept: the user's hive private to the user
// (directory 0700, files 0600), the machine's hive in the system configuration directory,
// and a damaged file moved aside instead of overwritten. What is inside a file is left to Hive.
#pragma once

#include "registry/Registry.h"

#include <string>
#include <sys/types.h>

namespace registry::detail {

struct HiveLocation {
    std::string Directory;
    std::string File;
    bool Private = false; // only the owner may read or change it
};

// Which inode a path names; two files are the same file when both fields match.
struct FileIdentity {
    dev_t Device = 0;
    ino_t Inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The user's hive lies under $XDG_CONFIG_HOME (default ~/.config), the machine's under the
// first entry of $XDG_CONFIG_DIRS (default /etc/xdg). An empty File means no home is known.
HiveLocation LocateHive(Root Which);

// Makes sure the hive file exists and may be used: creates the directory and the file when
// missing, tightens the modes of a private hive. ReadOnly tells that the file exists but
// cannot be written. Returns false when the hive cannot be used at all.
bool PrepareHiveFile(const HiveLocation& Location, bool& ReadOnly, FileIdentity& Identity);

// The identity of the file at Path; false when there is none.
bool IdentityOf(const std::string& Path, FileIdentity& Identity);

// Moves the damaged hive file (with its write-ahead log) aside under a dated name that no
// file has yet, and says so once on standard error. Nothing is moved when the file at the
// path is no longer the one judged damaged (another process got there first); that counts
// as success. Returns false when the file could not be moved.
bool MoveAside(const HiveLocation& Location, const FileIdentity& Judged);

} // namespace registry::detail
