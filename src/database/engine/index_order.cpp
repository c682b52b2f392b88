#include "database/engine/index_order.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>

namespace sqliteplus {
namespace {

// The order's first letter says whether the keys are unique; then two letters for each key
// column: its collation and its direction.
constexpr char kUnique = 'U', kRepeatable = 'N';
constexpr char kBinary = 'B', kNoCase = 'C', kRightTrim = 'R';
constexpr char kRising = '+', kFalling = '-';

// One value of an entry, kept past the step that read it. The bytes keep their room from row to
// row, so that a scan does not allocate for each one.
struct Value {
  int type = SQLITE_NULL;
  sqlite3_int64 integer = 0;
  double real = 0;
  std::string bytes;

  void take(sqlite3_value* value) {
    type = sqlite3_value_type(value);
    if (type == SQLITE_INTEGER) integer = sqlite3_value_int64(value);
    if (type == SQLITE_FLOAT) real = sqlite3_value_double(value);
    if (type == SQLITE_TEXT || type == SQLITE_BLOB) {
      const void* at = type == SQLITE_TEXT ? static_cast<const void*>(sqlite3_value_text(value)) : sqlite3_value_blob(value);
      bytes.assign(static_cast<const char*>(at ? at : ""), static_cast<size_t>(sqlite3_value_bytes(value)));
    }
  }
};

template <typename T>
int sign(T left, T right) {
  return left < right ? -1 : (right < left ? 1 : 0);
}

// The engine puts NULL first, then numbers, then texts, then blobs.
int rank(int type) {
  switch (type) {
    case SQLITE_NULL: return 0;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: return 1;
    case SQLITE_TEXT: return 2;
    default: return 3;
  }
}

int compareBytes(std::string_view left, std::string_view right) {
  const int first = std::memcmp(left.data(), right.data(), std::min(left.size(), right.size()));
  return first != 0 ? sign(first, 0) : sign(left.size(), right.size());
}

char lowered(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

int compareText(std::string_view left, std::string_view right, char collation) {
  if (collation == kRightTrim) {
    const auto trimmed = [](std::string_view text) { return text.substr(0, text.find_last_not_of(' ') + 1); };
    return compareBytes(trimmed(left), trimmed(right));
  }
  if (collation != kNoCase) return compareBytes(left, right);
  for (size_t i = 0; i < std::min(left.size(), right.size()); ++i) {
    const auto a = static_cast<unsigned char>(lowered(left[i])), b = static_cast<unsigned char>(lowered(right[i]));
    if (a != b) return sign(a, b);
  }
  return sign(left.size(), right.size());
}

// A whole number and a real compare by their values, exactly: every 64-bit integer is a long double.
int compareNumbers(const Value& left, const Value& right) {
  if (left.type == SQLITE_INTEGER && right.type == SQLITE_INTEGER) return sign(left.integer, right.integer);
  const auto number = [](const Value& v) {
    return v.type == SQLITE_INTEGER ? static_cast<long double>(v.integer) : static_cast<long double>(v.real);
  };
  return sign(number(left), number(right));
}

int compare(const Value& left, const Value& right, char collation) {
  if (rank(left.type) != rank(right.type)) return sign(rank(left.type), rank(right.type));
  switch (rank(left.type)) {
    case 0: return 0;
    case 1: return compareNumbers(left, right);
    case 2: return compareText(left.bytes, right.bytes, collation);
    default: return compareBytes(left.bytes, right.bytes);
  }
}

struct Scan {
  std::vector<Value> previous;  // the key columns, then the row id
  std::vector<Value> current;
  bool started = false;
  bool holds = true;
};

// Whether `current` comes strictly after `previous` in the index, and, for a unique one, holds
// other keys or a NULL among them.
bool follows(std::string_view order, const std::vector<Value>& previous, const std::vector<Value>& current) {
  const size_t keys = current.size() - 1;
  for (size_t i = 0; i < keys; ++i) {
    const int found = compare(previous[i], current[i], order[1 + 2 * i]);
    if (found != 0) return (order[2 + 2 * i] == kFalling ? -found : found) < 0;
  }
  const bool anyNull = std::any_of(current.begin(), current.end() - 1, [](const Value& v) { return v.type == SQLITE_NULL; });
  if (order[0] == kUnique && !anyNull) return false;
  return compare(previous[keys], current[keys], kBinary) < 0;
}

Scan** slotOf(sqlite3_context* context, int bytes) {
  return static_cast<Scan**>(sqlite3_aggregate_context(context, bytes));
}

void orderStep(sqlite3_context* context, int count, sqlite3_value** values) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(values[0]));
  const std::string_view order = text ? text : "";
  if (count < 2 || order.size() != static_cast<size_t>(2 * (count - 2) + 1)) {
    sqlite3_result_error(context, "keys_in_order: the order does not name each key", -1);
    return;
  }
  Scan** slot = slotOf(context, sizeof(Scan*));
  if (slot && !*slot) *slot = new (std::nothrow) Scan;
  if (!slot || !*slot) {
    sqlite3_result_error_nomem(context);
    return;
  }
  Scan& scan = **slot;
  if (!scan.holds) return;
  scan.current.resize(static_cast<size_t>(count - 1));
  for (int i = 1; i < count; ++i) scan.current[static_cast<size_t>(i - 1)].take(values[i]);
  if (scan.started) scan.holds = follows(order, scan.previous, scan.current);
  scan.started = true;
  std::swap(scan.previous, scan.current);
}

void orderFinal(sqlite3_context* context) {
  Scan** slot = slotOf(context, 0);
  const std::unique_ptr<Scan> scan(slot ? *slot : nullptr);
  sqlite3_result_int(context, !scan || scan->holds ? 1 : 0);
}

}  // namespace

std::string keyOrder(const std::vector<std::string>& collations, const std::vector<bool>& descending, bool unique) {
  std::string order(1, unique ? kUnique : kRepeatable);
  for (size_t i = 0; i < collations.size(); ++i) {
    const char* name = collations[i].c_str();
    if (sqlite3_stricmp(name, "BINARY") == 0) order += kBinary;
    else if (sqlite3_stricmp(name, "NOCASE") == 0) order += kNoCase;
    else if (sqlite3_stricmp(name, "RTRIM") == 0) order += kRightTrim;
    else return {};
    order += i < descending.size() && descending[i] ? kFalling : kRising;
  }
  return order;
}

void addKeysInOrder(sqlite3* db) {
  sqlite3_create_function(db, "keys_in_order", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, nullptr, orderStep,
                          orderFinal);
}

}  // namespace sqliteplus
