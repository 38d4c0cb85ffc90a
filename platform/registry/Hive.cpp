#include "registry/Hive.h"

#include <cstring>
#include <sqlite3.h>
#include <string>

namespace registry::detail {
namespace {

// Marks a database as a hive: "TivR" as the application id, and the layout's version.
constexpr std::int64_t HiveApplicationId = 0x54697652;
constexpr std::int64_t HiveLayoutVersion = 1;
constexpr int BusyTimeoutMs = 10000;
constexpr int WalRetryMs = 5;

constexpr const char* Schema = R"sql(
CREATE TABLE keys (
    id     INTEGER PRIMARY KEY,
    parent INTEGER REFERENCES keys (id),
    name   TEXT NOT NULL COLLATE NOCASE,
    UNIQUE (parent, name)
);
INSERT INTO keys (id, parent, name) VALUES (1, NULL, '');
CREATE TABLE key_values (
    key  INTEGER NOT NULL REFERENCES keys (id),
    name TEXT NOT NULL COLLATE NOCASE,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    PRIMARY KEY (key, name)
) WITHOUT ROWID;
CREATE VIEW key_paths (id, path) AS
    WITH RECURSIVE walk (id, path) AS (
        SELECT id, '' FROM keys WHERE parent IS NULL
        UNION ALL
        SELECT keys.id, CASE walk.path WHEN '' THEN keys.name ELSE walk.path || '\' || keys.name END
        FROM keys JOIN walk ON keys.parent = walk.id)
    SELECT id, path FROM walk;
CREATE VIEW registry (path, name, type, data) AS
    SELECT key_paths.path, key_values.name, key_values.type, key_values.data
    FROM key_values JOIN key_paths ON key_values.key = key_paths.id;
PRAGMA application_id = 1416197714;
PRAGMA user_version = 1;
)sql";
static_assert(HiveApplicationId == 1416197714);

bool IsDamage(int Code) {
    const int Primary = Code & 0xff;
    return Primary == SQLITE_NOTADB || Primary == SQLITE_CORRUPT;
}

// Binds the arguments of one use of a statement and resets it when the use is over, so the
// statement never holds a read transaction or a pointer to the caller's bytes afterwards.
// Texts and blobs are bound without a copy; they outlive the use.
class Use {
public:
    explicit Use(const Statement& S) : FStmt(S.Get()) {}
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;
    ~Use() {
        sqlite3_reset(FStmt);
        sqlite3_clear_bindings(FStmt);
    }
    void Bind(int Index, std::int64_t Value) { sqlite3_bind_int64(FStmt, Index, Value); }
    void Bind(int Index, std::string_view Text) {
        sqlite3_bind_text(FStmt, Index, Text.data(), static_cast<int>(Text.size()), nullptr);
    }
    void Bind(int Index, std::span<const std::byte> Data) {
        // An empty blob must stay a blob: a null pointer would store NULL.
        if (Data.empty())
            sqlite3_bind_zeroblob(FStmt, Index, 0);
        else
            sqlite3_bind_blob(FStmt, Index, Data.data(), static_cast<int>(Data.size()), nullptr);
    }
    int Step() { return sqlite3_step(FStmt); }
    std::int64_t Integer(int Column) const { return sqlite3_column_int64(FStmt, Column); }
    std::span<const std::byte> Bytes(int Column) const {
        const void* Data = sqlite3_column_blob(FStmt, Column);
        const auto Size = static_cast<std::size_t>(sqlite3_column_bytes(FStmt, Column));
        return Data == nullptr ? std::span<const std::byte>()
                               : std::span(static_cast<const std::byte*>(Data), Size);
    }

private:
    sqlite3_stmt* FStmt;
};

} // namespace

Statement::Statement(sqlite3* Db, const char* Sql) {
    if (sqlite3_prepare_v3(Db, Sql, -1, SQLITE_PREPARE_PERSISTENT, &FStmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(FStmt);
        FStmt = nullptr;
    }
}

Statement::~Statement() {
    sqlite3_finalize(FStmt);
}

Hive::Hive(HiveLocation Location, FileIdentity Identity, bool ReadOnly, sqlite3* Db)
    : FLocation(std::move(Location)), FIdentity(Identity), FReadOnly(ReadOnly), FDb(Db) {}

Hive::~Hive() {
    FFindKey.reset();
    FInsertKey.reset();
    FSetValue.reset();
    FQueryValue.reset();
    // SQLite leaves the log as it is when the file was moved or replaced meanwhile, and would
    // replay it into whatever file takes the name next. Empty it into our own file first;
    // a file judged damaged or foreign is left alone.
    if (FUsable && !FReadOnly)
        Execute("PRAGMA wal_checkpoint(TRUNCATE)");
    sqlite3_close(FDb);
}

std::unique_ptr<Hive> Hive::Open(const HiveLocation& Location) {
    // After one move aside the fresh hive must do; a second damaged file is not chased.
    for (int Attempt = 0; Attempt < 2; ++Attempt) {
        std::unique_ptr<Hive> Result;
        const Check Outcome = Attach(Location, Result);
        if (Outcome == Check::Usable)
            return Result;
        if (Outcome == Check::Failed || Result == nullptr)
            return nullptr;
        const FileIdentity Judged = Result->FIdentity;
        Result.reset();
        if (!MoveAside(Location, Judged))
            return nullptr;
    }
    return nullptr;
}

// Opens the file and judges it. On Damaged, Result holds the hive so that the caller knows
// which file was judged; it must not be used otherwise.
Hive::Check Hive::Attach(const HiveLocation& Location, std::unique_ptr<Hive>& Result) {
    bool ReadOnly = false;
    FileIdentity Identity;
    if (!PrepareHiveFile(Location, ReadOnly, Identity))
        return Check::Failed;
    sqlite3* Db = nullptr;
    const int Flags = (ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) |
                      SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_NOFOLLOW;
    const int Code = sqlite3_open_v2(Location.File.c_str(), &Db, Flags, nullptr);
    Result.reset(new Hive(Location, Identity, ReadOnly, Db));
    if (Code != SQLITE_OK)
        return Check::Failed;
    sqlite3_busy_timeout(Db, BusyTimeoutMs);
    // The log files stay when the last connection closes, so that a user who may only read
    // the hive (the machine's, or one in a read-only home) can still read it. The log is
    // emptied then (journal_size_limit 0), so it can never be replayed into another file put
    // in the hive's place.
    int KeepLog = 1;
    sqlite3_file_control(Db, "main", SQLITE_FCNTL_PERSIST_WAL, &KeepLog);
    sqlite3_extended_result_codes(Db, 1);
    if (!Result->Execute("PRAGMA synchronous = FULL; PRAGMA foreign_keys = ON; "
                         "PRAGMA journal_size_limit = 0"))
        return Result->Verdict();
    const Check Outcome = Result->Inspect();
    Result->FUsable = Outcome == Check::Usable;
    return Outcome;
}

// What the last failure says about the file: damaged, or merely not usable now.
Hive::Check Hive::Verdict() const {
    return IsDamage(sqlite3_errcode(FDb)) ? Check::Damaged : Check::Failed;
}

bool Hive::Execute(const char* Sql) {
    return sqlite3_exec(FDb, Sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// Judges the file inside one transaction, so that two processes finding an empty file set
// up the hive only once. The write-ahead log is switched on only for a file that is ours,
// layout included: switching it on rewrites the file's header.
Hive::Check Hive::Inspect() {
    if (!Execute(FReadOnly ? "BEGIN" : "BEGIN IMMEDIATE"))
        return Verdict();
    Check Outcome = JudgeContent();
    if (Outcome == Check::Usable)
        Outcome = Prepare();
    if (Outcome == Check::Usable && !Execute("COMMIT"))
        Outcome = Check::Failed;
    if (sqlite3_get_autocommit(FDb) == 0)
        Execute("ROLLBACK");
    if (Outcome != Check::Usable || FReadOnly)
        return Outcome;
    return SwitchToWal() ? Check::Usable : Check::Failed;
}

// Switching the log on takes an exclusive lock that SQLite does not wait for (another
// process may be setting up the same fresh hive): wait here, up to the busy timeout.
bool Hive::SwitchToWal() {
    const Statement Wal(FDb, "PRAGMA journal_mode = WAL");
    for (int Waited = 0; Wal.Valid() && Waited < BusyTimeoutMs; Waited += WalRetryMs) {
        Use Mode(Wal);
        const int Code = Mode.Step();
        if (Code == SQLITE_ROW) {
            const std::span<const std::byte> Name = Mode.Bytes(0);
            return Name.size() == 3 && std::memcmp(Name.data(), "wal", 3) == 0;
        }
        if ((Code & 0xff) != SQLITE_BUSY && (Code & 0xff) != SQLITE_LOCKED)
            return false;
        sqlite3_sleep(WalRetryMs);
    }
    return false;
}

// Sets up an empty file as a fresh hive, accepts a hive of ours that is whole, and judges
// anything else damaged.
Hive::Check Hive::JudgeContent() {
    const Statement Header(FDb, "SELECT (SELECT application_id FROM pragma_application_id),"
                                " (SELECT user_version FROM pragma_user_version),"
                                " (SELECT count(*) FROM sqlite_schema)");
    if (!Header.Valid())
        return Verdict();
    std::int64_t Application = 0, Version = 0, Objects = 0;
    {
        Use Row(Header);
        const int Code = Row.Step();
        if (Code != SQLITE_ROW)
            return IsDamage(Code) ? Check::Damaged : Check::Failed;
        Application = Row.Integer(0);
        Version = Row.Integer(1);
        Objects = Row.Integer(2);
    }
    if (Application == 0 && Version == 0 && Objects == 0) {
        if (FReadOnly)
            return Check::Failed;
        return Execute(Schema) ? Check::Usable : Check::Failed;
    }
    if (Application != HiveApplicationId || Version != HiveLayoutVersion)
        return Check::Damaged;
    const Statement Whole(FDb, "PRAGMA quick_check(1)");
    Use Result(Whole);
    const int Code = Whole.Valid() ? Result.Step() : sqlite3_errcode(FDb);
    if (Code != SQLITE_ROW)
        return IsDamage(Code) ? Check::Damaged : Check::Failed;
    const std::span<const std::byte> Verdict = Result.Bytes(0);
    return Verdict.size() == 2 && std::memcmp(Verdict.data(), "ok", 2) == 0 ? Check::Usable
                                                                            : Check::Damaged;
}

// A hive of ours whose tables do not take our statements has a layout we do not know.
Hive::Check Hive::Prepare() {
    FFindKey =
        std::make_unique<Statement>(FDb, "SELECT id FROM keys WHERE parent = ?1 AND name = ?2");
    FInsertKey =
        std::make_unique<Statement>(FDb, "INSERT INTO keys (parent, name) VALUES (?1, ?2)");
    FSetValue = std::make_unique<Statement>(
        FDb, "INSERT INTO key_values (key, name, type, data) VALUES (?1, ?2, ?3, ?4)"
             " ON CONFLICT (key, name) DO UPDATE SET type = excluded.type, data = excluded.data");
    FQueryValue = std::make_unique<Statement>(
        FDb, "SELECT type, data FROM key_values WHERE key = ?1 AND name = ?2");
    for (const auto* S : {FFindKey.get(), FInsertKey.get(), FSetValue.get(), FQueryValue.get()})
        if (!S->Valid())
            return IsDamage(sqlite3_errcode(FDb)) || sqlite3_errcode(FDb) == SQLITE_ERROR
                       ? Check::Damaged
                       : Check::Failed;
    return Check::Usable;
}

Status Hive::FindKey(std::int64_t Parent, const std::vector<std::string_view>& Names, bool Create,
                     std::int64_t& Id) {
    if (Create && (FReadOnly || !Execute("BEGIN IMMEDIATE")))
        return FReadOnly ? Status::AccessDenied : Status::Failed;
    Status Result = Status::Success;
    Id = Parent;
    for (const std::string_view Name : Names) {
        Result = FindChild(Id, Name, Create, Id);
        if (Result != Status::Success)
            break;
    }
    if (Create && Result == Status::Success && !Execute("COMMIT"))
        Result = Status::Failed;
    if (sqlite3_get_autocommit(FDb) == 0)
        Execute("ROLLBACK");
    return Result;
}

Status Hive::FindChild(std::int64_t Parent, std::string_view Name, bool Create, std::int64_t& Id) {
    {
        Use Find(*FFindKey);
        Find.Bind(1, Parent);
        Find.Bind(2, Name);
        const int Code = Find.Step();
        if (Code == SQLITE_ROW) {
            Id = Find.Integer(0);
            return Status::Success;
        }
        if (Code != SQLITE_DONE)
            return Status::Failed;
    }
    if (!Create)
        return Status::NotFound;
    Use Insert(*FInsertKey);
    Insert.Bind(1, Parent);
    Insert.Bind(2, Name);
    if (Insert.Step() != SQLITE_DONE)
        return Status::Failed;
    Id = sqlite3_last_insert_rowid(FDb);
    return Status::Success;
}

Status Hive::SetValue(std::int64_t KeyId, std::string_view Name, ValueType Type,
                      std::span<const std::byte> Data) {
    if (FReadOnly)
        return Status::AccessDenied;
    Use Set(*FSetValue);
    Set.Bind(1, KeyId);
    Set.Bind(2, Name);
    Set.Bind(3, static_cast<std::int64_t>(Type));
    Set.Bind(4, Data);
    const int Code = Set.Step();
    if (Code == SQLITE_DONE)
        return Status::Success;
    // The key's row is gone: somebody removed it from the hive behind our back.
    return (Code & 0xff) == SQLITE_CONSTRAINT ? Status::KeyDeleted : Status::Failed;
}

Status Hive::QueryValue(std::int64_t KeyId, std::string_view Name, ValueType& Type,
                        std::span<std::byte> Buffer, std::size_t& Length) {
    Use Query(*FQueryValue);
    Query.Bind(1, KeyId);
    Query.Bind(2, Name);
    const int Code = Query.Step();
    if (Code == SQLITE_DONE)
        return Status::NotFound;
    if (Code != SQLITE_ROW)
        return Status::Failed;
    Type = static_cast<ValueType>(static_cast<std::uint32_t>(Query.Integer(0)));
    const std::span<const std::byte> Data = Query.Bytes(1);
    Length = Data.size();
    if (Data.size() > Buffer.size())
        return Status::MoreData;
    if (!Data.empty())
        std::memcpy(Buffer.data(), Data.data(), Data.size());
    return Status::Success;
}

} // namespace registry::detail
