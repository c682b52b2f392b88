// One section of an INI file (templates, web dictionaries), read key by key or written as a
// whole: the file is read once, writes change it in memory, and commit() puts the result in place
// in one step, so a failed save leaves the user's file as it was. Untouched lines keep their bytes
// (the profile layer's writes do).
#pragma once

#include <string>

#include "platform/settings/ini_profile.h"

class IniSection {
 public:
  IniSection(std::wstring path, std::wstring section, bool save);
  ~IniSection();
  IniSection(const IniSection&) = delete;
  IniSection& operator=(const IniSection&) = delete;

  bool saving() const { return save_; }
  const std::wstring& path() const { return path_; }
  // False, with errno set to the cause, when the file exists but could not be read: it reads as
  // empty and is never written over.
  bool readable() const;

  // The value (up to a NUL) with one pair of quotes dropped, or the default when the key is missing.
  std::wstring read(const std::wstring& key, const std::wstring& defaultValue = L"") const;
  // Leading decimal number; the default when the key is missing or empty.
  int readInt(const std::wstring& key, int defaultValue) const;
  // The leading number, or the default when the value is missing or the marker "default".
  int readMarkedInt(const std::wstring& key, int defaultValue) const;
  void write(const std::wstring& key, const std::wstring& value);

  // Reads into or writes from the value, as saving() says.
  void exchangeText(const std::wstring& key, std::wstring& value);  // unquoted
  void exchangeQuoted(const std::wstring& key, std::wstring& value);
  void exchangeInt(const std::wstring& key, int& value);  // missing reads 0
  void exchangeFlag(const std::wstring& key, bool& value);

  // Saving only: true when every write succeeded and the file now holds them all; else errno
  // tells why (the read's cause for a file that could not be read, else the refused write's: EILSEQ
  // for a value the file cannot hold, platform::kUndecodableProfile for the file's own bytes).
  bool commit();

 private:
  std::wstring path_;
  std::wstring section_;
  bool save_;
  platform::IniBatch file_;
  bool ok_ = true;
  int refusal_ = 0;  // errno of the write refused
};
