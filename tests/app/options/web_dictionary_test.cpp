#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "app/options/web_dictionary.h"
#include "platform/files/file_system.h"
#include "platform/settings/ini_profile.h"
#include "scoped_env.h"

namespace {

class WebDictionaries : public ::testing::Test {
 protected:
  std::wstring file() const { return dir.filePath("webdic.ini").toStdWString(); }
  std::wstring value(const wchar_t* key) const {
    return platform::getProfileString(L"WebDic", key, L"<missing>", file());
  }
  void put(const char* text) const {
    QFile out(dir.filePath("webdic.ini"));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(text);
  }
  std::string shellLog() const {
    return platform::readFileBytes(dir.filePath("shell.log").toStdWString()).value_or("");
  }

  QTemporaryDir dir;
};

TEST_F(WebDictionaries, SavedListReadsBackAndEndsWhereItShould) {
  // A longer list first: saving two entries over it must end the list after them.
  WebDictionaryList list;
  for (int i = 0; i < 5; ++i) list.entries.push_back({kWebSearch, true, L"old", L"http://old/", L""});
  ASSERT_TRUE(list.Save(file()));
  list.entries = {{kEnglishJapanese, true, L"英和", L"https://e.example/?q=", L"&x=1"},
                  {kJapaneseEnglish, false, L"和英", L"https://j.example/", L""}};
  ASSERT_TRUE(list.Save(file()));

  EXPECT_EQ(value(L" 0_dictype"), L"ej");
  EXPECT_EQ(value(L" 0_enable"), L"1");
  EXPECT_EQ(value(L" 0_foot"), L"&x=1");
  EXPECT_EQ(value(L" 1_dictype"), L"je");
  EXPECT_EQ(value(L" 1_enable"), L"0");
  for (int i = 2; i < 20; ++i) {
    wchar_t key[16];
    swprintf(key, 16, L"%2d_dictype", i);
    EXPECT_EQ(value(key), L"") << i;
  }
  WebDictionaryList read;
  read.Load(file());
  ASSERT_EQ(read.entries.size(), 2u);
  EXPECT_EQ(read.entries[0].title, L"英和");
  EXPECT_TRUE(read.entries[0].enabled);
  EXPECT_EQ(read.entries[1].type, kJapaneseEnglish);
  EXPECT_FALSE(read.entries[1].enabled);
  EXPECT_EQ(read.entries[1].head, L"https://j.example/");
}

TEST_F(WebDictionaries, LoadingStopsAtAGapAndTakesAMissingFlagAsEnabled) {
  put("[WebDic]\n 0_dictype=find\n 0_title=Search\n 0_head=https://s/?q=\n"
      " 1_dictype=je\n 1_enable=0\n"
      " 2_dictype=ej\n"
      " 3_dictype=\n"
      " 4_dictype=ej\n 4_title=unreachable\n");
  WebDictionaryList list;
  list.entries.push_back({});  // loading replaces what was there
  list.Load(file());
  ASSERT_EQ(list.entries.size(), 3u);
  EXPECT_EQ(list.entries[0].type, kWebSearch);
  EXPECT_TRUE(list.entries[0].enabled);
  EXPECT_FALSE(list.entries[1].enabled);
  EXPECT_TRUE(list.entries[2].enabled);

  put("[WebDic]\n 0_dictype=EJ\n");  // types are compared exactly
  list.Load(file());
  EXPECT_TRUE(list.entries.empty());
}

TEST_F(WebDictionaries, SavingIntoAFolderThatIsNotThereFailsAndWritesNothing) {
  WebDictionaryList list;
  list.entries.push_back({kEnglishJapanese, true, L"t", L"http://h/", L""});
  EXPECT_FALSE(list.Save(dir.filePath("missing/webdic.ini").toStdWString()));
  EXPECT_FALSE(platform::fileExists(dir.filePath("missing").toStdWString()));
}

TEST_F(WebDictionaries, OpensTheEncodedWordOnlyInAWebAddress) {
  testenv::ScopedEnv logging("KELVARA_SHELL_LOG", dir.filePath("shell.log").toUtf8().constData());
  WebDictionaryList list;
  list.entries = {{kEnglishJapanese, true, L"e", L"https://dict.example/search?q=", L""},
                  {kWebSearch, true, L"s", L"HTTP://find.example/?w=", L"&lang=ja"},
                  {kEnglishJapanese, true, L"empty head", L"", L""},
                  {kEnglishJapanese, true, L"file", L"file:///etc/", L""}};
  EXPECT_TRUE(OpenWebDictionary(list, L"run", 0));
  EXPECT_TRUE(OpenWebDictionary(list, L"走る & #1", 1));
  EXPECT_FALSE(OpenWebDictionary(list, L"/usr/bin/xterm", 2));
  EXPECT_FALSE(OpenWebDictionary(list, L"https://elsewhere.example/", 2));
  EXPECT_FALSE(OpenWebDictionary(list, L"passwd", 3));
  EXPECT_FALSE(OpenWebDictionary(list, L"run", 4));
  EXPECT_FALSE(OpenWebDictionary(list, L"run", -1));
  EXPECT_EQ(shellLog(),
            "https://dict.example/search?q=run\n"
            "HTTP://find.example/?w=%E8%B5%B0%E3%82%8B%20%26%20%231&lang=ja\n");
}

// A browser takes an address whose head or foot holds a blank or "|", encoding them; so does the list.
TEST_F(WebDictionaries, AHeadOrFootWithBlanksOrBarsOpensAsABrowserTakesIt) {
  testenv::ScopedEnv logging("KELVARA_SHELL_LOG", dir.filePath("shell.log").toUtf8().constData());
  WebDictionaryList list;
  list.entries = {{kEnglishJapanese, true, L"e", L" https://dict.example/a b/?q=", L"|lang=ja "},
                  {kEnglishJapanese, true, L"ftp", L"ftp://dict.example/a b/?q=", L""}};
  EXPECT_TRUE(OpenWebDictionary(list, L"run", 0));
  EXPECT_FALSE(OpenWebDictionary(list, L"run", 1));
  EXPECT_EQ(shellLog(), "https://dict.example/a%20b/?q=run%7Clang=ja\n");
}

}  // namespace
