#include "database/engine/check_passes.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <system_error>
#include <thread>

#include "database/engine/index_order.h"
#include "database/engine/unchanging_open.h"

namespace sqliteplus {
namespace {

uint64_t spread(uint64_t value) {
  value += 0x9E3779B97F4A7C15ull;
  value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
  value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
  return value ^ (value >> 31);
}

uint64_t mixed(uint64_t hash, uint64_t value) { return spread(hash ^ spread(value)); }

uint64_t mixedBytes(uint64_t hash, const void* bytes, int size) {
  const auto* at = static_cast<const unsigned char*>(bytes);
  uint64_t word = 0;
  int filled = 0;
  for (int i = 0; i < size; ++i) {
    word = word << 8 | at[i];
    if (++filled == 8) {
      hash = mixed(hash, word);
      word = 0;
      filled = 0;
    }
  }
  return mixed(mixed(hash, word), static_cast<uint64_t>(size));
}

// A real that holds a whole number is the integer: a table may keep 3.0 as 3 where its index keeps 3.0.
bool asInteger(double value, sqlite3_int64& integer) {
  if (!(value >= -9.2e18 && value <= 9.2e18) || std::trunc(value) != value) return false;
  integer = static_cast<sqlite3_int64>(value);
  return true;
}

uint64_t valueHash(uint64_t hash, sqlite3_value* value) {
  switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
      return mixed(mixed(hash, 1), static_cast<uint64_t>(sqlite3_value_int64(value)));
    case SQLITE_FLOAT: {
      const double real = sqlite3_value_double(value);
      sqlite3_int64 integer = 0;
      if (asInteger(real, integer)) return mixed(mixed(hash, 1), static_cast<uint64_t>(integer));
      uint64_t bits = 0;
      std::memcpy(&bits, &real, sizeof bits);
      return mixed(mixed(hash, 2), bits);
    }
    case SQLITE_TEXT: {
      const unsigned char* text = sqlite3_value_text(value);
      return mixedBytes(mixed(hash, 3), text, sqlite3_value_bytes(value));
    }
    case SQLITE_BLOB:
      return mixedBytes(mixed(hash, 4), sqlite3_value_blob(value), sqlite3_value_bytes(value));
    default:
      return mixed(hash, 5);
  }
}

void digestStep(sqlite3_context* context, int count, sqlite3_value** values) {
  auto* sum = static_cast<uint64_t*>(sqlite3_aggregate_context(context, sizeof(uint64_t)));
  if (!sum) {
    sqlite3_result_error_nomem(context);
    return;
  }
  uint64_t hash = static_cast<uint64_t>(count);
  for (int i = 0; i < count; ++i) hash = valueHash(hash, values[i]);
  *sum += spread(hash);
}

void digestFinal(sqlite3_context* context) {
  const auto* sum = static_cast<uint64_t*>(sqlite3_aggregate_context(context, 0));
  sqlite3_result_int64(context, sum ? static_cast<sqlite3_int64>(*sum) : 0);
}

// How often a pass looks at how far it has read: a few microseconds' work.
constexpr int kStepsBetweenLooks = 1000;

// The pages the connection has fetched so far, from its cache or from the file.
sqlite3_int64 pagesFetched(sqlite3* db) {
  sqlite3_int64 fetched = 0;
  for (const int status : {SQLITE_DBSTATUS_CACHE_HIT, SQLITE_DBSTATUS_CACHE_MISS}) {
    int current = 0, highest = 0;
    sqlite3_db_status(db, status, &current, &highest, 0);
    fetched += current;
  }
  return fetched;
}

// A reading stops once it has fetched more pages than a sound file can make it fetch: each page of
// a tree once, and an overflow page once for each value read from it, besides a page to start
// from. A file whose pages are shared (a leaf that every cell of an interior page points to, a tree
// below it the same) is read over and over, for days, long before its pages run out.
class ReadingBound {
 public:
  ReadingBound(sqlite3* db, const CheckPass& pass) : db_(db), start_(pagesFetched(db)) {
    int rc = SQLITE_OK;
    const PreparedStatement count = prepare(db, "PRAGMA page_count", rc);
    const bool counted = rc == SQLITE_OK && sqlite3_step(count.get()) == SQLITE_ROW;
    const sqlite3_int64 pages = counted ? sqlite3_column_int64(count.get(), 0) : 0;
    limit_ = (pages + 1) * (2 + pass.valuesReadPerRow);
    sqlite3_progress_handler(db, kStepsBetweenLooks, &ReadingBound::exceeded, this);
  }
  ~ReadingBound() { sqlite3_progress_handler(db_, 0, nullptr, nullptr); }
  ReadingBound(const ReadingBound&) = delete;
  ReadingBound& operator=(const ReadingBound&) = delete;

  bool reached() const { return reached_; }

 private:
  static int exceeded(void* self) {
    auto* bound = static_cast<ReadingBound*>(self);
    bound->reached_ = pagesFetched(bound->db_) - bound->start_ > bound->limit_;
    return bound->reached_ ? 1 : 0;
  }

  sqlite3* db_;
  sqlite3_int64 start_;
  sqlite3_int64 limit_ = 0;
  bool reached_ = false;
};

void run(sqlite3* db, CheckPass& pass) {
  int rc = SQLITE_OK;
  const PreparedStatement statement = prepare(db, pass.sql, rc);
  if (rc != SQLITE_OK) {
    pass.resultCode = rc;
    return;
  }
  // The engine's own checks visit each page once however the pages point.
  const std::optional<ReadingBound> bound =
      pass.engineCheck ? std::nullopt : std::make_optional<ReadingBound>(db, pass);
  const auto failure = [&](int code) {
    return (bound && bound->reached()) || code == SQLITE_DONE ? SQLITE_CORRUPT : sqlite3_extended_errcode(db);
  };
  rc = sqlite3_step(statement.get());
  if (rc != SQLITE_ROW) {
    pass.resultCode = failure(rc);
    return;
  }
  if (pass.engineCheck) {
    const auto* found = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0));
    pass.resultCode = found && std::strcmp(found, "ok") == 0 ? SQLITE_OK : SQLITE_CORRUPT;
    return;
  }
  for (int column = 0; column < sqlite3_column_count(statement.get()); ++column)
    pass.values.push_back(sqlite3_column_int64(statement.get(), column));
  // An aggregate's row is the only one; reading on finds a fault met after it, if any.
  rc = sqlite3_step(statement.get());
  pass.resultCode = rc == SQLITE_DONE ? SQLITE_OK : failure(rc);
}

}  // namespace

void addRowsDigest(sqlite3* db) {
  sqlite3_create_function(db, "rows_digest", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, nullptr, digestStep,
                          digestFinal);
}

void runPasses(const std::string& path, std::vector<CheckPass>& passes) {
  std::atomic<size_t> next{0};
  const auto work = [&] {
    int rc = SQLITE_OK;
    const EngineHandle db = openUnchanging(path, rc);
    if (rc == SQLITE_OK) {
      addRowsDigest(db.get());
      addKeysInOrder(db.get());
    }
    for (size_t at = next++; at < passes.size(); at = next++) {
      if (rc == SQLITE_OK) {
        run(db.get(), passes[at]);
      } else {
        passes[at].resultCode = rc;
      }
    }
  };
  const size_t workers = std::min<size_t>({passes.size(), 4, std::max(1u, std::thread::hardware_concurrency())});
  std::vector<std::thread> helpers;
  // A system that gives no more threads leaves the passes to those there are.
  try {
    for (size_t i = 1; i < workers; ++i) helpers.emplace_back(work);
  } catch (const std::system_error&) {
  }
  work();
  for (std::thread& helper : helpers) helper.join();
}

}  // namespace sqliteplus
