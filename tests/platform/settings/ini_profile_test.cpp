#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/files/file_system.h"
#include "platform/settings/ini_profile.h"
#include "platform/text.h"

using namespace platform;
using namespace std::string_view_literals;

namespace {

class IniProfile : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  std::wstring file = dir.filePath("t.ini").toStdWString();

  void put(std::string_view bytes) { ASSERT_TRUE(writeFileAtomically(file, bytes)); }
  std::string bytes() { return readFileBytes(file).value_or("<missing>"); }
  std::wstring get(std::wstring_view section, std::wstring_view key, std::wstring_view def = L"-") {
    return getProfileString(section, key, def, file);
  }
};

std::string utf16le(std::wstring_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : toUtf16(text)) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

}  // namespace

TEST_F(IniProfile, ReadsWithTheOriginalPlatformsRules) {
  put("top=before any section\r\n"
      "[Templete]\r\n"
      "  Name  =  \"  quoted keeps inner blanks  \"  \r\n"
      "single='x'\r\n"
      "mixed=\"x'\r\n"
      "twice=\"\"x\"\"\r\n"
      "name=second\r\n"
      "novalue\r\n"
      "empty=\r\n"
      "[templete]\r\n"
      "other=in a later section of the same name\r\n"
      "[WebDic]\r\n"
      " 0_title=辞書\r\n"
      "nul= ab \0x\r\n"
      "[User] after the name\r\n"
      "k=v\r\n"sv);
  EXPECT_EQ(get(L"TEMPLETE", L"name"), L"  quoted keeps inner blanks  ");
  EXPECT_EQ(get(L"Templete", L"single"), L"x");
  EXPECT_EQ(get(L"Templete", L"mixed"), L"\"x'");
  EXPECT_EQ(get(L"Templete", L"twice"), L"\"x\"");
  EXPECT_EQ(get(L"Templete", L"novalue"), L"-");
  EXPECT_EQ(get(L"Templete", L"empty"), L"");
  EXPECT_EQ(get(L"Templete", L"other"), L"-");  // only the first section of a name is searched
  EXPECT_EQ(get(L"WebDic", L"nul"), L"ab") << "the value ends at the NUL and is trimmed there";
  EXPECT_EQ(get(L"User", L"k"), L"v") << "text after the closing bracket is no part of the name";
  EXPECT_EQ(get(L"WebDic", L" 0_title"), L"辞書");
  EXPECT_EQ(get(L"", L"top"), L"before any section");
  EXPECT_EQ(get(L"Nowhere", L"x", L"default  "), L"default");
  EXPECT_EQ(getProfileString(L"a", L"b", L"d", dir.filePath("missing.ini").toStdWString()), L"d");
}

TEST_F(IniProfile, IntegersTakeTheLeadingNumber) {
  put("[s]\nneg=-1\nplus=+1\nmixed=42A9\nletters=B42\nblank=   \nwrap=4294967297\nspaced=  12 \n");
  EXPECT_EQ(getProfileInt(L"s", L"neg", 5, file), -1);
  EXPECT_EQ(getProfileInt(L"s", L"plus", 5, file), 1);
  EXPECT_EQ(getProfileInt(L"s", L"mixed", 5, file), 42);
  EXPECT_EQ(getProfileInt(L"s", L"letters", 5, file), 0);
  EXPECT_EQ(getProfileInt(L"s", L"blank", -1, file), -1);
  EXPECT_EQ(getProfileInt(L"s", L"missing", -1, file), -1);
  EXPECT_EQ(getProfileInt(L"s", L"wrap", 5, file), 1);
  EXPECT_EQ(getProfileInt(L"s", L"spaced", 5, file), 12);
}

TEST_F(IniProfile, WritesChangeOnlyTheirOwnLine) {
  put("; comment\n[User]\nblue.lua_font=12,0,0,0,0,A\n\n[Other]\nk=v\n");
  EXPECT_TRUE(writeProfileString(L"user", L"BLUE.LUA_FONT", L"9,1,0,0,0,B", file));
  EXPECT_TRUE(writeProfileString(L"User", L"blue.lua_bgclr", L"", file));
  EXPECT_TRUE(writeProfileString(L"新しい", L"key", L"値", file));
  EXPECT_EQ(bytes(),
            "; comment\n[User]\nblue.lua_font=9,1,0,0,0,B\nblue.lua_bgclr=\n\n[Other]\nk=v\n\n"
            "[\xE6\x96\xB0\xE3\x81\x97\xE3\x81\x84]\nkey=\xE5\x80\xA4\n");
  EXPECT_EQ(get(L"User", L"blue.lua_bgclr"), L"");

  const std::wstring fresh = dir.filePath("new.ini").toStdWString();
  EXPECT_TRUE(writeProfileString(L"Templete", L"TempleteName", L"\"名前\"", fresh));
  EXPECT_EQ(readFileBytes(fresh), "[Templete]\r\nTempleteName=\"\xE5\x90\x8D\xE5\x89\x8D\"\r\n");
  EXPECT_EQ(getProfileString(L"Templete", L"TempleteName", L"", fresh), L"名前");
}

// A value written as it is already stored leaves the file alone: not rewritten, not touched.
TEST_F(IniProfile, WritingTheStoredValueLeavesTheFileAsItIs) {
  put("[User]\nblue.lua_font = 12,0,0,0,0,A \nk=\"quoted\"\n");
  const std::string path = dir.filePath("t.ini").toStdString();
  const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  EXPECT_TRUE(writeProfileString(L"user", L"BLUE.LUA_FONT", L"12,0,0,0,0,A", file));
  EXPECT_TRUE(writeProfileString(L"User", L"k", L"\"quoted\"", file));
  {
    IniBatch batch(file);
    EXPECT_TRUE(batch.writeString(L"User", L"k", L"\"quoted\""));
    EXPECT_TRUE(batch.commit());
  }
  struct stat after {};
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino) << "the file was replaced";
  EXPECT_EQ(after.st_mtim.tv_sec, 1000000000);
  EXPECT_EQ(bytes(), "[User]\nblue.lua_font = 12,0,0,0,0,A \nk=\"quoted\"\n");

  EXPECT_TRUE(writeProfileString(L"User", L"k", L"other", file));
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_NE(after.st_mtim.tv_sec, 1000000000) << "a changed value is written";
}

TEST_F(IniProfile, WritesRefuseTextThatWouldBreakOtherLines) {
  put("[s]\nk=v\n");
  EXPECT_FALSE(writeProfileString(L"s", L"k", L"a\r\nother=injected", file));
  EXPECT_FALSE(writeProfileString(L"s", L"a=b", L"v", file));
  // A NUL would end a name where a read stops, as it ends a value.
  for (const auto& [section, key, value] : {std::array{L"s\0x"sv, L"k"sv, L"v"sv}, std::array{L"s"sv, L"k\0x"sv, L"v"sv},
                                            std::array{L"s"sv, L"k"sv, L"v\0x"sv}}) {
    errno = 0;
    EXPECT_FALSE(writeProfileString(section, key, value, file)) << toUtf8(section) << toUtf8(key);
    EXPECT_EQ(errno, EILSEQ);
  }
  EXPECT_EQ(bytes(), "[s]\nk=v\n");

  // A section name may hold "]" (a user's name may): it is read to the line's last "]".
  EXPECT_TRUE(writeProfileString(L"s]x", L"k", L"1", file));
  EXPECT_TRUE(writeProfileString(L"S]X", L"k", L"2", file));
  EXPECT_EQ(bytes(), "[s]\nk=v\n\n[s]x]\nk=2\n");
  EXPECT_EQ(get(L"s", L"k"), L"v");
}

TEST_F(IniProfile, Utf16FilesStayUtf16) {
  put(utf16le(L"[WebDic]\r\n 0_dictype=ej\r\n 0_title=英辞郎\r\n"));
  EXPECT_EQ(get(L"webdic", L" 0_title"), L"英辞郎");
  EXPECT_TRUE(writeProfileString(L"WebDic", L" 0_title", L"和英", file));
  EXPECT_EQ(bytes(), utf16le(L"[WebDic]\r\n 0_dictype=ej\r\n0_title=和英\r\n"));  // names lose their blanks
}

TEST_F(IniProfile, AStrayLastByteOfAUtf16FileIsDroppedAndWritesReadBack) {
  put("\xFF\xFE\x41");
  EXPECT_TRUE(writeProfileString(L"Settings", L"Key", L"v1", file));
  EXPECT_EQ(get(L"Settings", L"Key"), L"v1");
  EXPECT_EQ(bytes(), utf16le(L"[Settings]\r\nKey=v1\r\n"));

  // The line the stray byte ends keeps its whole characters.
  put(utf16le(L"[s]\r\nk=v") + "\x41");
  EXPECT_EQ(get(L"s", L"k"), L"v");
  EXPECT_TRUE(writeProfileString(L"s", L"j", L"w", file));
  EXPECT_EQ(get(L"s", L"j"), L"w");
  EXPECT_EQ(bytes(), utf16le(L"[s]\r\nk=v\r\nj=w\r\n"));
}

TEST_F(IniProfile, Utf8WithAMarkIsReadAndKept) {
  put("\xEF\xBB\xBF[s]\r\nk=\xE5\x80\xA4\r\n");
  EXPECT_EQ(get(L"s", L"k"), L"値");
  EXPECT_TRUE(writeProfileString(L"s", L"j", L"x", file));
  EXPECT_EQ(bytes(), "\xEF\xBB\xBF[s]\r\nk=\xE5\x80\xA4\r\nj=x\r\n");
}

TEST_F(IniProfile, Cp932FilesStayCp932UnlessAValueDoesNotFit) {
  put(toCp932(L"[ユーザー]\r\nblue.lua_title=表示\r\n"));
  EXPECT_EQ(get(L"ユーザー", L"blue.lua_title"), L"表示");
  EXPECT_TRUE(writeProfileString(L"ユーザー", L"blue.lua_title", L"ソ", file));
  EXPECT_EQ(bytes(), toCp932(L"[ユーザー]\r\nblue.lua_title=ソ\r\n"));

  // A character outside the code page would be lost as "?": the file moves to UTF-8 instead.
  EXPECT_TRUE(writeProfileString(L"ユーザー", L"emoji", L"\U0001F600", file));
  EXPECT_EQ(bytes(), "\xEF\xBB\xBF" + toUtf8(L"[ユーザー]\r\nblue.lua_title=ソ\r\nemoji=\U0001F600\r\n"));
  EXPECT_EQ(get(L"ユーザー", L"emoji"), L"\U0001F600");
}

// Without a mark the bytes tell the encoding: a write must leave them telling the same, or every
// other line would read as mojibake.
TEST_F(IniProfile, AWriteNeverTurnsACp932FileIntoUtf8) {
  // Each two of these code page 932 bytes make one UTF-8 character as well ("¡").
  const std::wstring katakana = L"ﾂ｡ﾂ｡ﾂ｡ﾂ｡ﾂ｡ﾂ｡ﾂ｡ﾂ｡";
  put(toCp932(L"[s]\r\nk=日\r\n"));
  EXPECT_TRUE(writeProfileString(L"s", L"v", katakana, file));
  EXPECT_EQ(get(L"s", L"v"), katakana);
  EXPECT_EQ(get(L"s", L"k"), L"日");
  EXPECT_EQ(bytes(), "\xEF\xBB\xBF" + toUtf8(L"[s]\r\nk=日\r\nv=" + katakana + L"\r\n"));

  // Moved to UTF-8, bytes that do not decode would be lost: the write is refused for the file's
  // bytes, in a batch too, with a code no system call gives.
  EXPECT_EQ(strerrorname_np(kUndecodableProfile), nullptr) << strerrorname_np(kUndecodableProfile);
  const std::string undecodable = "[s]\r\nbad=\xFF\r\n";
  put(undecodable);
  errno = 0;
  EXPECT_FALSE(writeProfileString(L"s", L"v", katakana, file));
  EXPECT_EQ(errno, kUndecodableProfile);
  IniBatch batch(file);
  errno = 0;
  EXPECT_FALSE(batch.writeString(L"s", L"v", katakana));
  EXPECT_EQ(errno, kUndecodableProfile);
  EXPECT_EQ(batch.getString(L"s", L"v", L"-"), L"-");
  EXPECT_TRUE(batch.commit());
  EXPECT_EQ(bytes(), undecodable);
}

TEST_F(IniProfile, AFileLinkedIntoPlaceIsWrittenWhereItLives) {
  QTemporaryDir elsewhere;
  const std::wstring real = elsewhere.filePath("user.ini").toStdWString();
  ASSERT_TRUE(writeFileAtomically(real, "[s]\nk=v\n"));
  ASSERT_EQ(::symlink(toUtf8(real).c_str(), toUtf8(file).c_str()), 0);
  EXPECT_TRUE(writeProfileString(L"s", L"k", L"changed", file));
  EXPECT_EQ(readFileBytes(real), "[s]\nk=changed\n");
  EXPECT_TRUE(QFileInfo(QString::fromStdWString(file)).isSymLink());
}

TEST_F(IniProfile, BytesThatDoNotDecodeSurviveWritesOfOtherLines) {
  const std::string bad = "bad=\x82\xff\x80\xa0\xfd\r\n";
  const std::string before = toCp932(L"[ユーザー]\r\n名前=山田\r\n") + bad + "tail=1";
  put(before);
  EXPECT_EQ(get(L"ユーザー", L"名前"), L"山田");
  EXPECT_TRUE(writeProfileString(L"ユーザー", L"tail", L"2", file));
  EXPECT_EQ(bytes(), toCp932(L"[ユーザー]\r\n名前=山田\r\n") + bad + "tail=2");
  EXPECT_TRUE(writeProfileString(L"ユーザー", L"added", L"表", file));
  EXPECT_EQ(bytes(), toCp932(L"[ユーザー]\r\n名前=山田\r\n") + bad + "tail=2\r\n" + toCp932(L"added=表\r\n"));

  // Moving this file to UTF-8 for a value outside the code page would lose those bytes.
  const std::string kept = bytes();
  EXPECT_FALSE(writeProfileString(L"ユーザー", L"emoji", L"\U0001F600", file));
  EXPECT_EQ(bytes(), kept);
}

TEST_F(IniProfile, AStrayByteDoesNotTurnAUtf8FileIntoCp932) {
  const std::string stray = "note=caf\xE9\n";
  put("[user]\nname=" + toUtf8(L"山田太郎") + "\n" + stray + "[other]\nk=v\n");
  EXPECT_EQ(get(L"user", L"name"), L"山田太郎");
  EXPECT_EQ(get(L"user", L"note"), L"caf\uFFFD");
  EXPECT_TRUE(writeProfileString(L"user", L"name", L"鈴木", file));
  EXPECT_TRUE(writeProfileString(L"other", L"k", L"w", file));
  // Two characters beside the stray byte no longer tell UTF-8 by themselves: the mark does.
  EXPECT_EQ(bytes(), "\xEF\xBB\xBF[user]\nname=" + toUtf8(L"鈴木") + "\n" + stray + "[other]\nk=w\n");
  EXPECT_EQ(get(L"user", L"name"), L"鈴木");

  // Code page 932 text is mostly stray bytes as UTF-8, even with a chance well-formed sequence.
  put(toCp932(L"[s]\nk=漢字かな交じり文\n") + "x=\xE3\x81\x82\n");
  EXPECT_EQ(get(L"s", L"k"), L"漢字かな交じり文");
}

// A template is saved through one batch; the file must come out as one write per key leaves it,
// whatever its encoding and layout.
TEST_F(IniProfile, ABatchLeavesTheBytesOfOneWritePerKey) {
  const std::wstring other = dir.filePath("per_key.ini").toStdWString();
  const std::vector<std::string> starts = {
      "<missing>",
      "[Templete]\r\nname=old\r\n\r\n[Other]\r\nkeep=1",  // no break after the last line
      "\xEF\xBB\xBF[Templete]\nname=\"old\"\n",
      utf16le(L"[Templete]\r\nname=古い\r\n"),
      "[Templete]\r\nname=\x8C\xC3\x82\xA2\r\n",  // code page 932, moved to UTF-8 by a value it cannot hold
      "[Templete]\nname=" + toUtf8(L"日本語です") + "\nnote=caf\xE9\n",  // UTF-8 that takes the mark
      "[Templete]\rname=old\n\n",  // a lone CR first, a blank line in LF after the entries
  };
  const std::vector<std::array<std::wstring, 3>> writes = {
      {L"Templete", L"name", L"\"新しい\""}, {L"Templete", L" str00_point ", L"(10,20)"},
      {L"templete", L"NAME", L"\"新しい\""}, {L"Templete", L"bad\nkey", L"x"},
      {L"Added", L"region00_x", L"5"},        {L"Templete", L"cp", L"한국어"},
  };
  for (const std::string& start : starts) {
    SCOPED_TRACE(start);
    std::remove(toUtf8(file).c_str());
    std::remove(toUtf8(other).c_str());
    if (start != "<missing>") {
      put(start);
      ASSERT_TRUE(writeFileAtomically(other, start));
    }
    IniBatch batch(file);
    for (const auto& [section, key, value] : writes)
      EXPECT_EQ(batch.writeString(section, key, value), writeProfileString(section, key, value, other)) << toUtf8(key);
    EXPECT_EQ(batch.getString(L"Templete", L"name", L"-"), L"新しい");
    EXPECT_EQ(batch.getInt(L"Added", L"region00_x", 0), 5);
    EXPECT_EQ(bytes(), start) << "nothing is written before the commit";
    ASSERT_TRUE(batch.commit());
    EXPECT_EQ(bytes(), readFileBytes(other).value_or("<missing>"));
  }

  // An added line that ended in the file's lone CR just before a blank line's LF would read back
  // as one CR LF with it: the blank line would be gone.
  put("[s]\rj=1\n\n");
  EXPECT_TRUE(writeProfileString(L"s", L"k", L"1", file));
  EXPECT_EQ(bytes(), "[s]\rj=1\nk=1\r\n\n");

  // A key named by a character code page 932 lacks (the Kelvin sign), which is the file's "k"
  // without regard to case, written back with its own value changes nothing: the file stays in
  // its code page for the writes after it.
  const std::string cp932 = toCp932(L"[Templete]\r\nk=古い\r\n");
  ASSERT_NE(fromCp932(toCp932(L"\u212A")), L"\u212A");
  put(cp932);
  ASSERT_TRUE(writeFileAtomically(other, cp932));
  IniBatch batch(file);
  for (const auto& [key, value] : {std::pair{L"\u212A", L"古い"}, std::pair{L"name", L"新しい"}})
    EXPECT_EQ(batch.writeString(L"Templete", key, value), writeProfileString(L"Templete", key, value, other));
  ASSERT_TRUE(batch.commit());
  EXPECT_EQ(bytes(), readFileBytes(other).value_or("<missing>"));
  EXPECT_EQ(bytes(), toCp932(L"[Templete]\r\nk=古い\r\nname=新しい\r\n"));
}
