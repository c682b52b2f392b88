// The local ranking counts of every user, kept in the ranking data file (irank.dat): a 16-byte
// magic, a record count and one fixed-size record of 10,240 bytes per user. Texts are UTF-16LE,
// integers and times little-endian 32-bit, so the file reads the same on every platform.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

using PointText = std::array<char16_t, 128>;

struct PointInfoRecord {
  // The values of one or more finished studies, as the ranking server receives them.
  struct Counters {
    int32_t nc = 0;
    int32_t ni = 0;
    int32_t p = 0;
    PointText rq{};
    PointText ls{};
    int32_t sec = 0;
    int32_t lt = 0;
    int32_t spare = 0;

    void clear();
    // Sums the counts (each stops at the limit of its field); the texts and the time become the
    // other's (rq only when it has one).
    void add(const Counters& other);
  };

  static constexpr size_t kSize = 10240;
  static constexpr size_t kTextLength = 127;

  PointText userName{};
  PointText rankingId{};
  PointText rankingPassword{};
  PointText comment{};
  Counters acceptedTotal;
  Counters acceptedMonthly;
  Counters pendingTotal;
  Counters pendingMonthly;
  int32_t totalUpdateTime = 0;
  int32_t totalRank = 0;
  int32_t totalUsers = 0;
  int32_t monthlyUpdateTime = 0;
  int32_t monthlyRank = 0;
  int32_t monthlyUsers = 0;
  // Kept as read, so that a file written by a later version loses nothing on a round trip.
  std::array<uint8_t, 7048> reserved{};

  // At most 127 UTF-16 units (never half a surrogate pair); the rest of the field is zero.
  static void copyText(PointText& field, std::wstring_view text);
  static std::wstring text(const PointText& field);

  // Adds a finished study to the pending counts; a study in a new month starts the monthly ones.
  void AddRound(const Counters& study);
  // In a month other than that of the last pending study, the monthly counts and ranking start
  // from nothing.
  void ResetMonthIfChanged(int64_t now);
  // The pending counts (not their texts and times) of the total and the month become 0.
  void clearPendingCounts();

  void serialize(uint8_t* out) const;
  void deserialize(const uint8_t* in);
};

bool IsSameMonth(int64_t t1, int64_t t2);

class PointInfoStore {
 public:
  using Notify = std::function<void(const std::wstring&)>;

  // False when the file cannot be opened, has another magic, a length its count does not give or
  // zero bytes where a record belongs; the store then keeps what it had.
  bool load(const std::wstring& path);
  // The start-up read, which never costs another user's records. A missing file is a first start.
  // A file whose length its count does not give (cut short by a crash or a full disk, a count too
  // small, stray bytes or zero padding after the last record), or that holds zero bytes where a
  // record belongs, gives every whole record it holds; the file itself is first copied beside it
  // untouched ("<name>.damaged", numbered when that exists). A file that cannot be read (another
  // magic, a read error, or a damaged file whose copy could not be made) leaves
  // the store as it was, and no save writes to that path in this run. `notify` hears once of a
  // file that was not read whole. False then.
  bool open(const std::wstring& path, const Notify& notify);
  bool save(const std::wstring& path);
  // Saves; when the save fails after one that worked, `notify` hears "ランキングデータを保存できま
  // せんでした" (once, not at every save while the disk stays full: the counts stay in the store
  // and go out with the next save that works).
  bool saveTellingOnce(const std::wstring& path, const Notify& notify);
  // The last save failed: the store holds counts the file lacks until a save works.
  bool lastSaveFailed() const { return lastSaveFailed_; }
  // Whether a save to `path` is owed: the last one failed, and the path is not that of the file
  // open() could not read (never written; the start-up said so).
  bool saveOwed(const std::wstring& path) const { return lastSaveFailed_ && path != unreadPath_; }

  // Names are compared on their first 127 units, which is all a record keeps of them.
  int findIndex(std::wstring_view name) const;
  // Throws std::wstring "Cannot Find the User's Info".
  PointInfoRecord& findByUser(std::wstring_view name);
  // -1 when the name has a record already.
  int appendRecord(std::wstring_view name);
  // Throws std::wstring "Out of Index"; a negative index counts as a huge unsigned one.
  PointInfoRecord& recordAt(int index);
  // A renamed user's account (ranking id, password, unsent points) given to the new name as a copy
  // when that name has none. The old name keeps its record: the file is the program's, and the name
  // may still be a learner's in another database file. False when nothing changed.
  bool copyRecord(std::wstring_view from, std::wstring_view to);

  size_t size() const { return records_.size(); }

 private:
  enum class Read { whole, missing, cutShort, blankRecords, longerThanCount, extraAfterLast, unreadable };
  // Records of nothing but zero bytes are padding, not records.
  Read readFile(const std::wstring& path, std::vector<PointInfoRecord>& records) const;
  // What was wrong with a file that was read in part, in the words of the notice.
  static const wchar_t* damageText(Read read);

  std::vector<PointInfoRecord> records_;
  bool lastSaveFailed_ = false;
  // The file open() could not read: never written over.
  std::wstring unreadPath_;
};

// The record of the current user, made on first use (the body of KlvApp::CurrentUserPointInfo).
PointInfoRecord& currentUserPointInfo(PointInfoStore& store, std::wstring_view userName);
