#include "database/engine/database_copy.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <system_error>

#include "database/engine/engine_failure.h"
#include "database/engine/sqlite_connection.h"
#include "database/engine/text_conversion.h"
#include "database/engine/whole_database.h"

namespace sqliteplus {
namespace {

// Offsets 18 and 19 of the header: 2 asks for a write-ahead log, 1 for none.
constexpr size_t kWriteVersion = 18, kReadVersion = 19;

sqlite3_file* mainFileOf(sqlite3* db) {
  sqlite3_file* file = nullptr;
  return sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) == SQLITE_OK ? file : nullptr;
}

// The header as the file holds it, and the file's size, read through the engine's own handle of
// it (a file shorter than its header reads as zeros). The engine's result code.
int readHeader(sqlite3_file* file, std::string& header, sqlite3_int64& size) {
  header.assign(kDatabaseHeaderSize, '\0');
  if (const int rc = file->pMethods->xFileSize(file, &size); rc != SQLITE_OK) return rc;
  const int rc = file->pMethods->xRead(file, header.data(), static_cast<int>(header.size()), 0);
  return rc == SQLITE_IOERR_SHORT_READ ? SQLITE_OK : rc;
}

bool asksForLog(const std::string& header) { return header[kWriteVersion] == 2 || header[kReadVersion] == 2; }

// Failures that tell of the file rather than of the engine's reading it.
bool isNoDatabase(int resultCode) { return (resultCode & 0xff) == SQLITE_CORRUPT || (resultCode & 0xff) == SQLITE_NOTADB; }

// Failures of writing (the copy's side), as against reading the database.
bool isWriteFailure(int resultCode) {
  return resultCode == SQLITE_FULL || resultCode == SQLITE_CANTOPEN ||
         ((resultCode & 0xff) == SQLITE_IOERR && resultCode != SQLITE_IOERR_READ && resultCode != SQLITE_IOERR_SHORT_READ);
}

// A read transaction on the source while it lives, begun unless one is open already.
class SourceRead {
 public:
  explicit SourceRead(sqlite3* db) : db_(db), begun_(sqlite3_get_autocommit(db) != 0) {
    if (begun_) sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  }
  ~SourceRead() {
    if (begun_) sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
  }
  SourceRead(const SourceRead&) = delete;
  SourceRead& operator=(const SourceRead&) = delete;

 private:
  sqlite3* db_;
  bool begun_;
};

struct EngineCloser {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};

}  // namespace

DatabaseCopy::DatabaseCopy(SqliteConnection& source, const std::wstring& target)
    : target_(WStringToAcp(target)), temporary_(target_ + ".tmp-" + std::to_string(::getpid())) {
  outcome_ = source.isOpen() ? copyFrom(source.engineHandle()) : CopyOutcome::failed;
}

// Once renamed over the target, the temporary name is no file's: nothing is removed.
DatabaseCopy::~DatabaseCopy() {
  std::error_code ignored;
  std::filesystem::remove(temporary_, ignored);
}

bool DatabaseCopy::replaceTarget() {
  if (outcome_ != CopyOutcome::made) {
    errno = ENOENT;
    return false;
  }
  std::error_code error;
  std::filesystem::rename(temporary_, target_, error);
  errno = error.value();
  return !error;
}

CopyOutcome DatabaseCopy::copyFrom(sqlite3* source) {
  sqlite3_file* file = mainFileOf(source);
  int moved = 0;
  if (!file || sqlite3_file_control(source, "main", SQLITE_FCNTL_HAS_MOVED, &moved) != SQLITE_OK || moved) {
    const char* name = sqlite3_db_filename(source, "main");
    std::error_code error;
    if (name && !std::filesystem::exists(name, error) && !error) noteMissingDatabase(AcpToWString(name));
    return CopyOutcome::moved;
  }
  // Pages kept from before would be taken for the file's whenever another program changed it
  // without moving its change counter on (bytes put back as they were).
  sqlite3_db_release_memory(source);
  const SourceRead read(source);
  if (const int rc = sqlite3_exec(source, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
      rc != SQLITE_OK) {
    if (isNoDatabase(rc)) return CopyOutcome::notWhole;
    noteEngineFailure(rc);
    return CopyOutcome::failed;
  }
  std::string header;
  sqlite3_int64 size = 0;
  if (const int rc = readHeader(file, header, size); rc != SQLITE_OK) {
    noteEngineFailure(rc);
    return CopyOutcome::failed;
  }
  if (!hasWholePages(header, size)) return CopyOutcome::notWhole;
  return copyPages(source, header);
}

CopyOutcome DatabaseCopy::copyPages(sqlite3* source, const std::string& sourceHeader) {
  std::error_code ignored;
  std::filesystem::remove(temporary_, ignored);  // left by a run that ended half-way
  sqlite3* made = nullptr;
  const int opened = sqlite3_open_v2(temporary_.c_str(), &made, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  const std::unique_ptr<sqlite3, EngineCloser> copy(made);
  if (opened != SQLITE_OK) return notWritten(made, opened);
  // A copy that fails is removed whole, so it needs no journal, and leaves none.
  sqlite3_exec(made, "PRAGMA journal_mode=OFF", nullptr, nullptr, nullptr);
  sqlite3_backup* backup = sqlite3_backup_init(made, "main", source, "main");
  if (!backup) return notWritten(made, sqlite3_extended_errcode(made));
  sqlite3_backup_step(backup, -1);  // every page in one step: one state of the file
  if (const int rc = sqlite3_backup_finish(backup); rc != SQLITE_OK) {
    const int code = sqlite3_extended_errcode(made);
    if (isWriteFailure(code)) return notWritten(made, code);
    if (isNoDatabase(code)) return CopyOutcome::notWhole;
    noteEngineFailure(rc);
    return CopyOutcome::failed;
  }
  // The engine gives its copy a header of its own (change counters moved on): the source's makes
  // the copy the file's bytes. A log's pages are not all in the file: its header is not the state
  // copied, and the copy only stops asking for a log (which would leave files beside it).
  std::string header = sourceHeader;
  sqlite3_file* file = mainFileOf(made);
  sqlite3_int64 size = 0;
  if (asksForLog(sourceHeader)) {
    if (const int rc = readHeader(file, header, size); rc != SQLITE_OK) return notWritten(made, rc);
    header[kWriteVersion] = header[kReadVersion] = 1;
  }
  if (const int rc = file->pMethods->xWrite(file, header.data(), static_cast<int>(header.size()), 0); rc != SQLITE_OK)
    return notWritten(made, rc);
  if (const int rc = file->pMethods->xSync(file, SQLITE_SYNC_NORMAL); rc != SQLITE_OK) return notWritten(made, rc);
  return CopyOutcome::made;
}

CopyOutcome DatabaseCopy::notWritten(sqlite3* copy, int resultCode) {
  const int systemError = copy ? sqlite3_system_errno(copy) : 0;
  writeError_ = (resultCode & 0xff) == SQLITE_FULL ? ENOSPC : systemError ? systemError : EIO;
  return CopyOutcome::notWritten;
}

}  // namespace sqliteplus
