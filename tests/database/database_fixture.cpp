#include "database_fixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "busy_waits_counted.h"
#include "database/engine/text_conversion.h"
#include "patience.h"
#include "test_env.h"

namespace testdb {

std::wstring thrownText(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::wstring& text) {
    return text;
  }
  return L"<nothing thrown>";
}

std::string resourceText(const std::string& name) {
  const std::string path = testenv::sourceDir() + "/resources/" + name;
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << "cannot read " << path;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TempDatabase::TempDatabase(Content content)
    : dir_(QString::fromStdString(testenv::processDir()) + "/db-XXXXXX"),
      path_(dir_.filePath("test.klvdb7").toStdWString()) {
  // The connection opens files that are there: an empty file is an empty database to the engine.
  std::ofstream(sqliteplus::WStringToUtf8(path_), std::ios::binary);
  connection_.open(path_.c_str());
  if (content == Content::empty) return;
  run(sqliteplus::Utf8ToWString(resourceText("schema.sql")));
  if (content == Content::sampleData) run(sqliteplus::Utf8ToWString(resourceText("sample_data.sql")));
}

std::wstring TempDatabase::folder() const { return dir_.path().toStdWString(); }

void TempDatabase::run(const std::wstring& sql) {
  try {
    accessor().query().execute(sql.c_str());
  } catch (const sqliteplus::SqliteException& e) {
    ADD_FAILURE() << e.what() << " : " << e.message();
  }
}

std::wstring TempDatabase::value(const std::wstring& sql) {
  try {
    auto cursor = accessor().query().query(sql.c_str());
    return cursor->next() ? cursor->getString(0) : std::wstring();
  } catch (const sqliteplus::SqliteException& e) {
    ADD_FAILURE() << e.what() << " : " << e.message();
    return {};
  }
}

BriefLock::BriefLock(const std::wstring& path, std::chrono::milliseconds hold) {
  const unsigned long long givenUpBefore = sqliteplus::busyWaitsGivenUp();
  holder_.open(path.c_str());
  holder_.createQuery()->execute(L"BEGIN EXCLUSIVE");
  release_ = std::thread([this, hold, givenUpBefore] {
    std::this_thread::sleep_for(hold);
    // A statement that never came lets go in the end: its test fails on what it did instead.
    const auto end = std::chrono::steady_clock::now() + testwait::kPatience;
    while (sqliteplus::busyWaitsGivenUp() == givenUpBefore && std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    holder_.createQuery()->execute(L"COMMIT");
  });
}

BriefLock::~BriefLock() { release_.join(); }

LetGoOnceWaitedFor::LetGoOnceWaitedFor(std::function<void()> letGo) {
  const unsigned long long waitsBefore = sqliteplus::busyWaitsBegunAnywhere();
  thread_ = std::thread([this, letGo = std::move(letGo), waitsBefore] {
    const auto end = std::chrono::steady_clock::now() + testwait::kPatience;
    while (sqliteplus::busyWaitsBegunAnywhere() == waitsBefore && !over_ && std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    letGo();
  });
}

LetGoOnceWaitedFor::~LetGoOnceWaitedFor() {
  over_ = true;
  thread_.join();
}

}  // namespace testdb
