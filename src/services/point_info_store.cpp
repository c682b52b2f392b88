#include "services/point_info_store.h"

#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <type_traits>

#include "platform/files/file_system.h"
#include "platform/int32_limits.h"
#include "platform/trace.h"
#include "platform/text.h"

namespace {

constexpr uint8_t kMagic[16] = {'K', 'L', 'V', ' ', 'P', 'o', 'i', 'n', 't', 'I', 'n', 'f', 'o', ' ', 0, 0};
constexpr size_t kHeaderSize = sizeof kMagic + 4;
constexpr size_t kCountersSize = 536;

// Byte offsets of the record layout.
constexpr size_t kUserNameAt = 0, kRankingIdAt = 256, kPasswordAt = 512, kCommentAt = 768;
constexpr size_t kAcceptedTotalAt = 1024, kAcceptedMonthlyAt = 1560;
constexpr size_t kPendingTotalAt = 2096, kPendingMonthlyAt = 2632;
constexpr size_t kRankingValuesAt = 3168, kReservedAt = 3192;

// Writes or reads (depending on the byte pointer's constness) one little-endian field at a time.
template <class Byte>
class FieldIo {
 public:
  explicit FieldIo(Byte* bytes) : bytes_(bytes) {}

  template <class Int>
  void int32(size_t at, Int& value) const {
    if constexpr (std::is_const_v<Byte>) {
      value = static_cast<int32_t>(qFromLittleEndian<quint32>(bytes_ + at));
    } else {
      qToLittleEndian<quint32>(static_cast<uint32_t>(value), bytes_ + at);
    }
  }
  template <class Text>
  void text(size_t at, Text& text) const {
    for (size_t i = 0; i < text.size(); ++i) {
      if constexpr (std::is_const_v<Byte>) {
        text[i] = static_cast<char16_t>(bytes_[at + 2 * i] | (bytes_[at + 2 * i + 1] << 8));
      } else {
        bytes_[at + 2 * i] = static_cast<uint8_t>(text[i] & 0xFF);
        bytes_[at + 2 * i + 1] = static_cast<uint8_t>(text[i] >> 8);
      }
    }
  }
  template <class Bytes>
  void raw(size_t at, Bytes& bytes) const {
    if constexpr (std::is_const_v<Byte>)
      std::memcpy(bytes.data(), bytes_ + at, bytes.size());
    else
      std::memcpy(bytes_ + at, bytes.data(), bytes.size());
  }

 private:
  Byte* bytes_;
};

template <class Io, class Counters>
void transferCounters(const Io& io, size_t at, Counters& c) {
  io.int32(at + 0, c.nc);
  io.int32(at + 4, c.ni);
  io.int32(at + 8, c.p);
  io.text(at + 12, c.rq);
  io.text(at + 268, c.ls);
  io.int32(at + 524, c.sec);
  io.int32(at + 528, c.lt);
  io.int32(at + 532, c.spare);
}

// The record layout, walked the same way for writing (const record) and reading.
template <class Io, class Record>
void transferRecord(const Io& io, Record& r) {
  io.text(kUserNameAt, r.userName);
  io.text(kRankingIdAt, r.rankingId);
  io.text(kPasswordAt, r.rankingPassword);
  io.text(kCommentAt, r.comment);
  transferCounters(io, kAcceptedTotalAt, r.acceptedTotal);
  transferCounters(io, kAcceptedMonthlyAt, r.acceptedMonthly);
  transferCounters(io, kPendingTotalAt, r.pendingTotal);
  transferCounters(io, kPendingMonthlyAt, r.pendingMonthly);
  io.int32(kRankingValuesAt + 0, r.totalUpdateTime);
  io.int32(kRankingValuesAt + 4, r.totalRank);
  io.int32(kRankingValuesAt + 8, r.totalUsers);
  io.int32(kRankingValuesAt + 12, r.monthlyUpdateTime);
  io.int32(kRankingValuesAt + 16, r.monthlyRank);
  io.int32(kRankingValuesAt + 20, r.monthlyUsers);
  io.raw(kReservedAt, r.reserved);
}

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

// The name as a record would keep it: the comparison key of the store.
PointText storedName(std::wstring_view name) {
  PointText key{};
  PointInfoRecord::copyText(key, name);
  return key;
}

// Compares up to the terminators: a field read from a file may hold old units behind its end.
bool sameText(const PointText& a, const PointText& b) {
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
    if (a[i] == 0) return true;
  }
  return true;
}

// A record from a damaged file may hold any count: a sum stops at the limits of its field.
void addWithinLimits(int32_t& sum, int32_t value) { sum = platform::addWithinInt32(sum, value); }

// A crash may leave a file padded with zero bytes where records were to be: a user's record is
// never all zero (it holds the user's name).
bool isPadding(const std::vector<uint8_t>& record) {
  return std::all_of(record.begin(), record.end(), [](uint8_t byte) { return byte == 0; });
}

}  // namespace

void PointInfoRecord::Counters::clear() { *this = Counters{}; }

void PointInfoRecord::Counters::add(const Counters& other) {
  lt = other.lt;
  addWithinLimits(sec, other.sec);
  addWithinLimits(nc, other.nc);
  addWithinLimits(ni, other.ni);
  addWithinLimits(p, other.p);
  ls = other.ls;
  if (other.rq[0] != 0) rq = other.rq;
}

void PointInfoRecord::copyText(PointText& field, std::wstring_view text) {
  const std::u16string units = platform::toUtf16(text);
  size_t length = std::min(units.size(), kTextLength);
  if (length == kTextLength && length < units.size() && isHighSurrogate(units[length - 1])) --length;
  field.fill(0);
  std::copy_n(units.begin(), length, field.begin());
}

std::wstring PointInfoRecord::text(const PointText& field) {
  const auto end = std::find(field.begin(), field.end(), u'\0');
  return platform::fromUtf16(std::u16string_view(field.data(), end - field.begin()));
}

void PointInfoRecord::AddRound(const Counters& study) {
  pendingTotal.add(study);
  if (IsSameMonth(study.lt, pendingMonthly.lt)) {
    pendingMonthly.add(study);
  } else {
    acceptedMonthly.clear();
    pendingMonthly = study;
  }
}

void PointInfoRecord::ResetMonthIfChanged(int64_t now) {
  if (IsSameMonth(pendingMonthly.lt, now)) return;
  acceptedMonthly.clear();
  pendingMonthly.clear();
  monthlyUpdateTime = monthlyRank = monthlyUsers = 0;
}

void PointInfoRecord::clearPendingCounts() {
  for (Counters* block : {&pendingTotal, &pendingMonthly}) block->nc = block->ni = block->p = block->sec = 0;
}

void PointInfoRecord::serialize(uint8_t* out) const { transferRecord(FieldIo<uint8_t>(out), *this); }

void PointInfoRecord::deserialize(const uint8_t* in) { transferRecord(FieldIo<const uint8_t>(in), *this); }

static_assert(kReservedAt + sizeof(PointInfoRecord::reserved) == PointInfoRecord::kSize);
static_assert(kPendingMonthlyAt + kCountersSize == kRankingValuesAt);

bool IsSameMonth(int64_t t1, int64_t t2) {
  const time_t a = static_cast<time_t>(t1), b = static_cast<time_t>(t2);
  std::tm first{}, second{};
  if (!localtime_r(&a, &first) || !localtime_r(&b, &second)) return false;
  return first.tm_year == second.tm_year && first.tm_mon == second.tm_mon;
}

PointInfoStore::Read PointInfoStore::readFile(const std::wstring& path, std::vector<PointInfoRecord>& records) const {
  const platform::UniqueFile file = platform::openFile(path, "rb");
  if (!file) return platform::fileExists(path) ? Read::unreadable : Read::missing;
  uint8_t header[kHeaderSize];
  const size_t headerRead = std::fread(header, 1, sizeof header, file.get());
  if (std::ferror(file.get())) return Read::unreadable;
  if (std::memcmp(header, kMagic, std::min(headerRead, sizeof kMagic)) != 0) return Read::unreadable;
  if (headerRead < sizeof header) return Read::cutShort;
  uint32_t count = 0;
  FieldIo<const uint8_t>(header).int32(sizeof kMagic, count);
  // Every whole record the file holds, whatever the count says: a count that disagrees with the
  // length is damage either way, and a record behind a count too small is still a user's record.
  // Zero bytes where the count says a record belongs are a blank record, not padding after the
  // last one.
  std::vector<uint8_t> buffer(PointInfoRecord::kSize);
  size_t lastRead = 0;
  bool padded = false, blank = false;
  for (size_t slot = 0; (lastRead = std::fread(buffer.data(), 1, buffer.size(), file.get())) == buffer.size();
       ++slot) {
    if (isPadding(buffer)) {
      padded = true;
      blank = blank || slot < count;
    } else {
      records.emplace_back().deserialize(buffer.data());
    }
  }
  if (std::ferror(file.get())) return Read::unreadable;
  if (blank) return Read::blankRecords;
  if (records.size() < count) return Read::cutShort;
  if (records.size() > count) return Read::longerThanCount;
  return padded || lastRead != 0 ? Read::extraAfterLast : Read::whole;
}

bool PointInfoStore::load(const std::wstring& path) {
  // Read into a copy: a file shorter than its count promises must not cost the records we hold.
  std::vector<PointInfoRecord> records;
  if (readFile(path, records) != Read::whole) return false;
  records_ = std::move(records);
  return true;
}

namespace {

// A free name beside the file for its damaged copy.
std::wstring damagedCopyPath(const std::wstring& path) {
  std::wstring candidate = path + L".damaged";
  for (int number = 2; platform::fileExists(candidate) && number < 1000; ++number)
    candidate = path + L".damaged-" + std::to_wstring(number);
  return candidate;
}

}  // namespace

const wchar_t* PointInfoStore::damageText(Read read) {
  switch (read) {
    case Read::cutShort:
      return L"途中で切れていました";
    case Read::blankRecords:
      return L"記録のあるべき所がゼロで埋められていました";
    case Read::extraAfterLast:
      return L"最後の記録の後に余分なデータがありました";
    default:
      return L"記録の数が合っていませんでした";
  }
}

bool PointInfoStore::open(const std::wstring& path, const Notify& notify) {
  std::vector<PointInfoRecord> records;
  const Read read = readFile(path, records);
  if (read == Read::whole || read == Read::missing) {
    if (read == Read::whole) records_ = std::move(records);
    return read == Read::whole;
  }
  if (read == Read::cutShort || read == Read::blankRecords || read == Read::longerThanCount ||
      read == Read::extraAfterLast) {
    const std::wstring copy = damagedCopyPath(path);
    if (platform::copyFile(path, copy, false)) {
      records_ = std::move(records);
      notify(platform::format(L"ランキングデータ %ls は%ls。読み取れた %d 人分の記録を使います。"
                              L"元のファイルは %ls に残しました。",
                              path.c_str(), damageText(read),
                              static_cast<int>(records_.size()), copy.c_str()));
      return false;
    }
  }
  // What was not read, or cannot be kept aside, must survive this run as it is.
  unreadPath_ = path;
  lastSaveFailed_ = true;
  notify(platform::format(L"ランキングデータ %ls を読み込めませんでした。このファイルには保存しません。", path.c_str()));
  return false;
}

bool PointInfoStore::save(const std::wstring& path) {
  if (!unreadPath_.empty() && path == unreadPath_) {
    lastSaveFailed_ = true;
    errno = 0;  // no cause of the system's: the start-up said why
    return false;
  }
  std::string bytes(kHeaderSize + records_.size() * PointInfoRecord::kSize, '\0');
  auto* out = reinterpret_cast<uint8_t*>(bytes.data());
  std::memcpy(out, kMagic, sizeof kMagic);
  const auto count = static_cast<uint32_t>(records_.size());
  FieldIo<uint8_t>(out).int32(sizeof kMagic, count);
  for (size_t i = 0; i < records_.size(); ++i) records_[i].serialize(out + kHeaderSize + i * PointInfoRecord::kSize);
  // Written beside the file and renamed over it: a full disk must not cost the counts saved before.
  lastSaveFailed_ = !platform::writeFileAtomically(path, bytes);
  return !lastSaveFailed_;
}

bool PointInfoStore::saveTellingOnce(const std::wstring& path, const Notify& notify) {
  const bool failedBefore = lastSaveFailed_;
  if (save(path)) return true;
  if (!failedBefore) notify(L"ランキングデータを保存できませんでした");
  return false;
}

int PointInfoStore::findIndex(std::wstring_view name) const {
  const PointText key = storedName(name);
  for (size_t i = 0; i < records_.size(); ++i)
    if (sameText(records_[i].userName, key)) return static_cast<int>(i);
  return -1;
}

PointInfoRecord& PointInfoStore::findByUser(std::wstring_view name) {
  const int index = findIndex(name);
  if (index < 0) throw std::wstring(L"Cannot Find the User's Info");
  return records_[index];
}

int PointInfoStore::appendRecord(std::wstring_view name) {
  if (findIndex(name) >= 0) return -1;
  const int index = static_cast<int>(records_.size());
  PointInfoRecord::copyText(records_.emplace_back().userName, name);
  return index;
}

PointInfoRecord& PointInfoStore::recordAt(int index) {
  const auto position = static_cast<unsigned>(index);
  if (position >= records_.size()) throw std::wstring(L"Out of Index");
  return records_[position];
}

bool PointInfoStore::copyRecord(std::wstring_view from, std::wstring_view to) {
  const int index = findIndex(from);
  if (index < 0 || findIndex(to) >= 0) return false;
  PointInfoRecord copy = records_[index];
  PointInfoRecord::copyText(copy.userName, to);
  records_.push_back(copy);
  return true;
}

PointInfoRecord& currentUserPointInfo(PointInfoStore& store, std::wstring_view userName) {
  try {
    return store.findByUser(userName);
  } catch (...) {
    return store.recordAt(store.appendRecord(userName));
  }
}
