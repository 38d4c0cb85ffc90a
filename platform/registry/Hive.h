// One hive: the SQLite database that holds a root's keys and values. It opens or creates
// the file, checks that it is a hive of ours, moves a damaged or foreign file aside, and
// runs the key and value statements. Handles and access rights are left to Registry.cpp.
#pragma once

#include "registry/HiveFiles.h"
#include "registry/Registry.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace registry::detail {

// A prepared statement, reset and cleared after each use.
class Statement {
public:
    Statement(sqlite3* Db, const char* Sql);
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();
    bool Valid() const { return FStmt != nullptr; }
    sqlite3_stmt* Get() const { return FStmt; }

private:
    sqlite3_stmt* FStmt = nullptr;
};

class Hive {
public:
    static constexpr std::int64_t RootKeyId = 1;

    // Opens the hive at Location, creating it when missing. A damaged or foreign file is moved
    // aside and a fresh hive started in its place. Null when the hive cannot be used.
    static std::unique_ptr<Hive> Open(const HiveLocation& Location);
    Hive(const Hive&) = delete;
    Hive& operator=(const Hive&) = delete;
    ~Hive();

    const HiveLocation& Location() const { return FLocation; }
    const FileIdentity& Identity() const { return FIdentity; }
    bool ReadOnly() const { return FReadOnly; }

    // Finds the key reached from Parent through Names; creates the missing ones when Create
    // is set (in one transaction, so a path is created whole or not at all).
    Status FindKey(std::int64_t Parent, const std::vector<std::string_view>& Names, bool Create,
                   std::int64_t& Id);
    Status SetValue(std::int64_t KeyId, std::string_view Name, ValueType Type,
                    std::span<const std::byte> Data);
    Status QueryValue(std::int64_t KeyId, std::string_view Name, ValueType& Type,
                      std::span<std::byte> Buffer, std::size_t& Length);

private:
    enum class Check { Usable, Damaged, Failed };

    Hive(HiveLocation Location, FileIdentity Identity, bool ReadOnly, sqlite3* Db);
    static Check Attach(const HiveLocation& Location, std::unique_ptr<Hive>& Result);
    Check Inspect();
    Check JudgeContent();
    Check Prepare();
    bool SwitchToWal();
    Check Verdict() const;
    bool Execute(const char* Sql);
    Status FindChild(std::int64_t Parent, std::string_view Name, bool Create, std::int64_t& Id);

    HiveLocation FLocation;
    FileIdentity FIdentity;
    bool FReadOnly;
    bool FUsable = false;
    sqlite3* FDb;
    std::unique_ptr<Statement> FFindKey;
    std::unique_ptr<Statement> FInsertKey;
    std::unique_ptr<Statement> FSetValue;
    std::unique_ptr<Statement> FQueryValue;
};

} // namespace registry::detail
