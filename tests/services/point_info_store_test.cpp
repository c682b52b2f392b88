#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "services/point_info_store.h"
#include "database_fixture.h"
#include "platform/text.h"
#include "test_env.h"

namespace {

// Mid-month times, so that no time zone moves them into another month.
constexpr int32_t kMarch15 = 1710504000;  // 2024-03-15 12:00 UTC
constexpr int32_t kMarch20 = 1710936000;
constexpr int32_t kApril15 = 1713182400;

std::wstring filePath(const char* name) { return platform::fromUtf8(testenv::processDir() + "/" + name); }

std::vector<uint8_t> readBytes(const std::wstring& path) {
  std::ifstream in(platform::toUtf8(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(platform::toUtf8(path), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

int32_t int32At(const std::vector<uint8_t>& bytes, size_t at) {
  return static_cast<int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                              static_cast<uint32_t>(bytes[at + 3]) << 24);
}

std::u16string textAt(const std::vector<uint8_t>& bytes, size_t at) {
  std::u16string text;
  for (size_t i = at; bytes[i] | bytes[i + 1]; i += 2) text += static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
  return text;
}

// The bytes of a file saved from a store with one record per name.
std::vector<uint8_t> fileOfUsers(std::initializer_list<const wchar_t*> names, const std::wstring& path) {
  PointInfoStore store;
  for (const wchar_t* name : names) store.appendRecord(name);
  EXPECT_TRUE(store.save(path));
  return readBytes(path);
}

PointInfoRecord::Counters study(int nc, int ni, int p, const wchar_t* rq, const wchar_t* ls, int sec, int32_t lt) {
  PointInfoRecord::Counters block;
  block.nc = nc;
  block.ni = ni;
  block.p = p;
  PointInfoRecord::copyText(block.rq, rq);
  PointInfoRecord::copyText(block.ls, ls);
  block.sec = sec;
  block.lt = lt;
  return block;
}

}  // namespace

TEST(PointInfoStore, FileLayoutIsByteExactAndRoundTrips) {
  PointInfoStore store;
  ASSERT_EQ(store.appendRecord(L"花子"), 0);
  ASSERT_EQ(store.appendRecord(L"taro"), 1);
  PointInfoRecord& taro = store.recordAt(1);
  PointInfoRecord::copyText(taro.rankingId, L"id-7");
  taro.pendingMonthly = study(5, -2, 300, L"apple / りんご", L"中学/単語", 61, kMarch15);
  taro.totalRank = 12;
  taro.monthlyUsers = 345;
  taro.reserved[7047] = 0xAB;
  const std::wstring path = filePath("irank.dat");
  ASSERT_TRUE(store.save(path));

  const std::vector<uint8_t> bytes = readBytes(path);
  ASSERT_EQ(bytes.size(), 20u + 2 * 10240u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 16), std::string("KLV PointInfo \0\0", 16));
  EXPECT_EQ(int32At(bytes, 16), 2);
  EXPECT_EQ(textAt(bytes, 20), u"花子");
  const size_t second = 20 + 10240;
  EXPECT_EQ(textAt(bytes, second), u"taro");
  EXPECT_EQ(textAt(bytes, second + 256), u"id-7");
  EXPECT_EQ(int32At(bytes, second + 2632), 5);
  EXPECT_EQ(int32At(bytes, second + 2632 + 4), -2);
  EXPECT_EQ(int32At(bytes, second + 2632 + 8), 300);
  EXPECT_EQ(textAt(bytes, second + 2632 + 12), u"apple / りんご");
  EXPECT_EQ(textAt(bytes, second + 2632 + 268), u"中学/単語");
  EXPECT_EQ(int32At(bytes, second + 2632 + 524), 61);
  EXPECT_EQ(int32At(bytes, second + 2632 + 528), kMarch15);
  EXPECT_EQ(int32At(bytes, second + 3172), 12);
  EXPECT_EQ(int32At(bytes, second + 3188), 345);
  EXPECT_EQ(bytes.back(), 0xAB);

  PointInfoStore loaded;
  ASSERT_TRUE(loaded.load(path));
  ASSERT_EQ(loaded.size(), 2u);
  ASSERT_TRUE(loaded.save(filePath("copy.dat")));
  EXPECT_EQ(readBytes(filePath("copy.dat")), bytes);
  EXPECT_EQ(PointInfoRecord::text(loaded.findByUser(L"taro").pendingMonthly.rq), L"apple / りんご");
}

TEST(PointInfoStore, ForeignOrShortFilesAreRefusedAndTheStoreKeepsItsRecords) {
  const std::wstring path = filePath("two.dat");
  const std::vector<uint8_t> good = fileOfUsers({L"a", L"b"}, path);

  PointInfoStore store;
  store.appendRecord(L"kept");
  std::vector<uint8_t> foreign = good;
  foreign[15] = 1;  // the last byte of the magic
  writeBytes(path, foreign);
  EXPECT_FALSE(store.load(path));
  writeBytes(path, std::vector<uint8_t>(good.begin(), good.end() - 1));
  EXPECT_FALSE(store.load(path));
  writeBytes(path, std::vector<uint8_t>(good.begin(), good.begin() + 18));
  EXPECT_FALSE(store.load(path));
  EXPECT_FALSE(store.load(filePath("missing.dat")));
  ASSERT_EQ(store.size(), 1u);
  EXPECT_EQ(store.findIndex(L"kept"), 0);

  std::vector<uint8_t> empty(good.begin(), good.begin() + 20);
  empty[16] = 0;
  writeBytes(path, empty);
  EXPECT_TRUE(store.load(path));
  EXPECT_EQ(store.size(), 0u);
}

// A save cut short by a crash or a full disk must not cost the other users their records at the
// next save; a file that cannot be read at all is never written over.
TEST(PointInfoStore, StartUpKeepsTheWholeRecordsOfACutFileAndNeverWritesOverAnUnreadOne) {
  const std::wstring path = filePath("cut.dat");
  for (int copy = 1; copy <= 8; ++copy)
    std::remove(platform::toUtf8(path + (copy == 1 ? L".damaged" : L".damaged-" + std::to_wstring(copy))).c_str());
  const std::vector<uint8_t> good = fileOfUsers({L"a", L"b", L"c"}, path);
  std::vector<std::wstring> said;
  const auto notify = [&said](const std::wstring& text) { said.push_back(text); };

  const std::wstring cut = L"途中で切れていました", miscounted = L"記録の数が合っていませんでした",
                     extra = L"最後の記録の後に余分なデータがありました",
                     blank = L"記録のあるべき所がゼロで埋められていました";
  std::vector<uint8_t> countTooSmall = good;
  countTooSmall[16] = 1;
  std::vector<uint8_t> strayBytes = good;
  strayBytes.insert(strayBytes.end(), {'x', 'y', 'z'});
  // Zero bytes where a crash left room for records: padding, whether the count took it in or not.
  std::vector<uint8_t> zeroPadded = good;
  zeroPadded.resize(good.size() + 2 * PointInfoRecord::kSize);
  std::vector<uint8_t> paddingCounted = zeroPadded;
  paddingCounted[16] = 5;
  // A record left as zero bytes between two others, within the count or beyond it.
  std::vector<uint8_t> blankBetween = good;
  blankBetween.insert(blankBetween.begin() + 20 + PointInfoRecord::kSize, PointInfoRecord::kSize, 0);
  std::vector<uint8_t> blankCounted = blankBetween;
  blankCounted[16] = 4;
  const std::vector<std::tuple<std::vector<uint8_t>, size_t, std::wstring>> damaged{
      {{good.begin(), good.end() - 1}, 2, cut},
      {{good.begin(), good.end() - static_cast<std::ptrdiff_t>(PointInfoRecord::kSize - 3)}, 2, cut},
      {countTooSmall, 3, miscounted},
      {strayBytes, 3, extra},
      {zeroPadded, 3, extra},
      {paddingCounted, 3, blank},
      {blankBetween, 3, blank},
      {blankCounted, 3, blank}};
  for (size_t i = 0; i < damaged.size(); ++i) {
    const auto& [damagedFile, wholeRecords, damage] = damaged[i];
    writeBytes(path, damagedFile);
    said.clear();
    PointInfoStore store;
    EXPECT_FALSE(store.open(path, notify));
    ASSERT_EQ(store.size(), wholeRecords) << "every whole record";
    EXPECT_EQ(store.findIndex(L"b"), 1);
    ASSERT_EQ(said.size(), 1u);
    const std::wstring copy = path + (i == 0 ? L".damaged" : L".damaged-" + std::to_wstring(i + 1));
    EXPECT_NE(said[0].find(copy), std::wstring::npos) << platform::toUtf8(said[0]);
    EXPECT_NE(said[0].find(L"は" + damage + L"。"), std::wstring::npos) << platform::toUtf8(said[0]);
    EXPECT_EQ(readBytes(copy), damagedFile) << "the damaged file is kept as it was";
    store.appendRecord(L"d");
    ASSERT_TRUE(store.saveTellingOnce(path, notify));
    PointInfoStore reread;
    ASSERT_TRUE(reread.load(path));
    EXPECT_EQ(reread.size(), wholeRecords + 1);
    EXPECT_EQ(reread.findIndex(L"d"), static_cast<int>(wholeRecords));
  }

  // Another magic, and a header that ends inside the magic's own bytes.
  std::vector<uint8_t> foreign = good;
  foreign[3] = 'X';
  for (const std::vector<uint8_t>& unread : {foreign, std::vector<uint8_t>(good.begin(), good.begin() + 8)}) {
    writeBytes(path, unread);
    said.clear();
    PointInfoStore store;
    EXPECT_FALSE(store.open(path, notify));
    if (unread.size() == 8) {
      EXPECT_EQ(store.size(), 0u) << "a file cut inside its header holds no record";
      continue;
    }
    EXPECT_EQ(said.size(), 1u);
    currentUserPointInfo(store, L"taro").pendingTotal.nc = 3;
    EXPECT_FALSE(store.saveTellingOnce(path, notify));
    EXPECT_FALSE(store.save(path));
    EXPECT_EQ(said.size(), 1u) << "told once";
    EXPECT_EQ(readBytes(path), unread);
    EXPECT_TRUE(store.save(filePath("elsewhere.dat"))) << "only the unread file is spared";
  }

  said.clear();
  PointInfoStore first;
  EXPECT_FALSE(first.open(filePath("never-made.dat"), notify));
  EXPECT_TRUE(said.empty()) << "a first start has no file yet";
  EXPECT_TRUE(first.save(filePath("never-made.dat")));
  std::remove(platform::toUtf8(filePath("never-made.dat")).c_str());
}

TEST(PointInfoStore, ASaveThatCannotBeWrittenInFullKeepsTheFileSavedBefore) {
  const std::wstring path = filePath("full-disk.dat");
  const std::vector<uint8_t> before = fileOfUsers({L"a"}, path);
  PointInfoStore bigger;
  for (const wchar_t* name : {L"a", L"b", L"c"}) bigger.appendRecord(name);
  {
    // A disk that fills up halfway through the write.
    testenv::FileSizeLimit limit(before.size() + PointInfoRecord::kSize / 2);
    EXPECT_FALSE(bigger.save(path));
  }
  EXPECT_EQ(readBytes(path), before);
}

TEST(PointInfoStore, RoundsAddUpWithinAMonthAndRestartTheMonthlyCountsInANewOne) {
  PointInfoRecord record;
  record.acceptedMonthly = study(9, 9, 9, L"old", L"old", 9, kMarch15);
  record.AddRound(study(3, 1, 40, L"q1", L"set/A", 30, kMarch15));
  EXPECT_EQ(record.acceptedMonthly.nc, 0) << "the first study starts a month";
  record.AddRound(study(2, 2, 10, L"", L"set/B", 5, kMarch20));
  EXPECT_EQ(record.pendingMonthly.p, 50);
  EXPECT_EQ(record.pendingMonthly.lt, kMarch20);
  EXPECT_EQ(PointInfoRecord::text(record.pendingMonthly.rq), L"q1") << "an empty rq keeps the last one";
  EXPECT_EQ(PointInfoRecord::text(record.pendingMonthly.ls), L"set/B");

  record.acceptedMonthly.nc = 7;
  record.AddRound(study(1, 0, 8, L"q3", L"set/C", 2, kApril15));
  EXPECT_EQ(record.acceptedMonthly.nc, 0);
  EXPECT_EQ(record.pendingMonthly.p, 8);
  EXPECT_EQ(record.pendingTotal.p, 58);
  EXPECT_EQ(record.pendingTotal.lt, kApril15);

  // As a damaged file may hold them: every count stops at its field's limits, above and below.
  record.pendingTotal = study(INT32_MAX - 1, INT32_MIN + 1, INT32_MAX - 2, L"", L"", INT32_MIN + 2, kApril15);
  record.AddRound(study(3, -2, 5, L"", L"set/D", -7, kApril15));
  EXPECT_EQ(record.pendingTotal.nc, INT32_MAX);
  EXPECT_EQ(record.pendingTotal.ni, INT32_MIN);
  EXPECT_EQ(record.pendingTotal.p, INT32_MAX);
  EXPECT_EQ(record.pendingTotal.sec, INT32_MIN);
}

TEST(PointInfoStore, RecordsAreKeyedByTheFirst127UnitsOfTheUserName) {
  PointInfoStore store;
  EXPECT_EQ(store.findIndex(L"x"), -1);
  EXPECT_EQ(testdb::thrownText([&] { store.findByUser(L"x"); }), L"Cannot Find the User's Info");
  EXPECT_EQ(store.appendRecord(L"x"), 0);
  EXPECT_EQ(store.appendRecord(L"x"), -1);
  EXPECT_EQ(store.size(), 1u);
  EXPECT_EQ(store.findIndex(L"X"), -1);

  const std::wstring longName(200, L'名');
  PointInfoRecord& made = currentUserPointInfo(store, longName);
  EXPECT_EQ(PointInfoRecord::text(made.userName), longName.substr(0, 127));
  EXPECT_EQ(made.userName[127], 0);
  currentUserPointInfo(store, longName);
  EXPECT_EQ(store.size(), 2u) << "a long name must find its record again";

  // Two records of one name (written by hand, stale units behind the terminator): the first counts.
  const std::wstring path = filePath("dup.dat");
  std::vector<uint8_t> bytes = fileOfUsers({L"first", L"second"}, path);
  for (size_t i = 0; i < 6; ++i) bytes[20 + 10240 + 2 * i] = static_cast<uint8_t>("first"[i]);
  writeBytes(path, bytes);
  PointInfoStore loaded;
  ASSERT_TRUE(loaded.load(path));
  EXPECT_EQ(loaded.findIndex(L"first"), 0);
  EXPECT_EQ(loaded.findIndex(L"second"), -1);

  // A surrogate pair that would be cut in half is left out entirely.
  const std::wstring astral = std::wstring(126, L'a') + L"\U0001F600";
  PointText field{};
  PointInfoRecord::copyText(field, astral);
  EXPECT_EQ(PointInfoRecord::text(field), std::wstring(126, L'a'));

  EXPECT_EQ(testdb::thrownText([&] { store.recordAt(2); }), L"Out of Index");
  EXPECT_EQ(testdb::thrownText([&] { store.recordAt(-1); }), L"Out of Index");
}

// A renamed user's account is copied to the new name and stays under the old one, which may still
// be a learner's in another database file; a name that has an account of its own keeps it.
TEST(PointInfoStore, ARenamedUsersAccountIsCopiedAndTheOldNameKeepsIts) {
  PointInfoStore store;
  for (const wchar_t* name : {L"hanako", L"jiro", L"taken"}) store.appendRecord(name);
  PointInfoRecord::copyText(store.findByUser(L"hanako").rankingId, L"hana-id");
  store.findByUser(L"hanako").pendingTotal.p = 120;

  EXPECT_TRUE(store.copyRecord(L"hanako", L"花子"));
  EXPECT_EQ(store.findIndex(L"花子"), 3);
  for (const wchar_t* name : {L"hanako", L"花子"}) {
    EXPECT_EQ(PointInfoRecord::text(store.findByUser(name).rankingId), L"hana-id");
    EXPECT_EQ(store.findByUser(name).pendingTotal.p, 120);
  }
  EXPECT_EQ(store.findIndex(L"hanako"), 0);
  // A name that has an account of its own keeps it; nothing is made for a name without one.
  EXPECT_FALSE(store.copyRecord(L"jiro", L"taken"));
  EXPECT_FALSE(store.copyRecord(L"nobody", L"someone"));
  EXPECT_EQ(std::pair(store.findIndex(L"jiro"), store.findIndex(L"taken")), std::pair(1, 2));
  EXPECT_EQ(store.size(), 4u);
}
