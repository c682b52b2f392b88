#include "database/engine/database_copy.h"

#include <fcntl.h>
#include <signal.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

#include "database/engine/engine_failure.h"
#include "database/engine/sqlite_connection.h"
#include "database/engine/text_conversion.h"
#include "database/engine/unchanging_open.h"
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

// Failures that tell of the file rather than of the engine's reading it: a plain error there is a
// schema the engine cannot take (a format number it does not know, a collation it lacks).
bool isNoDatabase(int resultCode) {
  const int primary = resultCode & 0xff;
  return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB || primary == SQLITE_ERROR;
}

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

// A copy is made under its target's name followed by this and the number of the process making it.
constexpr char kTemporaryMark[] = ".tmp-";

// A rename lasts through a crash only once the folder that holds the name is synced.
bool syncFolderOf(const std::string& file) {
  const std::filesystem::path path(file);
  const std::string folder = path.has_parent_path() ? path.parent_path().string() : ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  const int cause = errno;
  ::close(fd);
  errno = cause;
  return synced;
}

}  // namespace

void removeCopiesLeftBeside(const std::wstring& target) {
  namespace fs = std::filesystem;
  const fs::path path(WStringToAcp(target));
  const std::string prefix = path.filename().string() + kTemporaryMark;
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  std::error_code error;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string number = name.substr(prefix.size());
    if (number.size() > 9 || !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
      continue;
    const auto process = static_cast<pid_t>(std::stol(number));
    if (process == ::getpid() || (::kill(process, 0) != 0 && errno == ESRCH)) {
      std::error_code ignored;
      fs::remove(entry->path(), ignored);
    }
  }
}

DatabaseCopy::DatabaseCopy(SqliteConnection& source, const std::wstring& target, std::vector<RequiredTable> required)
    : source_(source),
      target_(WStringToAcp(target)),
      temporary_(target_ + kTemporaryMark + std::to_string(::getpid())),
      required_(std::move(required)) {}

// Once renamed over the target, the temporary name is no file's: nothing is removed.
DatabaseCopy::~DatabaseCopy() {
  std::error_code ignored;
  std::filesystem::remove(temporary_, ignored);
}

CopyOutcome DatabaseCopy::copy() {
  writeError_ = 0;
  outcome_ = source_.isOpen() ? copyFrom(source_.engineHandle()) : CopyOutcome::failed;
  if (outcome_ == CopyOutcome::made) outcome_ = checked();
  return outcome_;
}

bool DatabaseCopy::replaceTarget() {
  if (outcome_ != CopyOutcome::made) {
    errno = ENOENT;
    return false;
  }
  std::error_code error;
  std::filesystem::rename(temporary_, target_, error);
  if (error) {
    errno = error.value();
    return false;
  }
  return syncFolderOf(target_);
}

CopyOutcome DatabaseCopy::copyFrom(sqlite3* source) {
  sqlite3_file* file = mainFileOf(source);
  if (!file) return CopyOutcome::failed;
  if (noteIfDatabaseAway(source)) return CopyOutcome::moved;
  // Pages kept from before would be taken for the file's whenever another program changed it
  // without moving its change counter on (bytes put back as they were).
  sqlite3_db_release_memory(source);
  // From the first read to the last page: the header the copy gets is the one of the pages it gets.
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
  std::filesystem::remove(temporary_, ignored);  // the engine would take it for a database to copy into
  sqlite3* made = nullptr;
  const int opened = sqlite3_open_v2(temporary_.c_str(), &made, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  const std::unique_ptr<sqlite3, EngineCloser> owned(made);
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

// The program's connection keeps the schema it read and the pages it holds: only a fresh reading of
// the copy finds what another program or the disk damaged in the file meanwhile.
CopyOutcome DatabaseCopy::checked() {
  const int rc = checkDatabase(temporary_, required_);
  if (rc == SQLITE_OK) return CopyOutcome::made;
  if (isNoDatabase(rc)) return CopyOutcome::notWhole;
  return notWritten(nullptr, rc);
}

CopyOutcome DatabaseCopy::notWritten(sqlite3* copy, int resultCode) {
  const int systemError = copy ? sqlite3_system_errno(copy) : 0;
  switch (resultCode & 0xff) {
    case SQLITE_FULL: writeError_ = ENOSPC; break;
    case SQLITE_NOMEM: writeError_ = ENOMEM; break;
    default: writeError_ = systemError ? systemError : EIO;
  }
  return CopyOutcome::notWritten;
}

}  // namespace sqliteplus
