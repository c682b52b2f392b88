#include "app/common/ini_section.h"

#include <cerrno>

#include "platform/text.h"
#include "platform/trace.h"
#include "services/text_helpers.h"

IniSection::IniSection(std::wstring path, std::wstring section, bool save)
    : path_(std::move(path)), section_(std::move(section)), save_(save), file_(path_), ok_(file_.readable()) {}

IniSection::~IniSection() = default;

bool IniSection::readable() const {
  if (file_.readable()) return true;
  errno = file_.readError();
  return false;
}

std::wstring IniSection::read(const std::wstring& key, const std::wstring& defaultValue) const {
  return file_.getString(section_, key, defaultValue);
}

int IniSection::readInt(const std::wstring& key, int defaultValue) const {
  return file_.getInt(section_, key, defaultValue);
}

int IniSection::readMarkedInt(const std::wstring& key, int defaultValue) const {
  const std::wstring value = read(key, L"default");
  return value == L"default" ? defaultValue : leadingNumber(value);
}

void IniSection::write(const std::wstring& key, const std::wstring& value) {
  if (!ok_) return;
  ok_ = file_.writeString(section_, key, value);
  if (!ok_) refusal_ = errno;
}

void IniSection::exchangeText(const std::wstring& key, std::wstring& value) {
  if (save_) write(key, value);
  else value = read(key);
}

void IniSection::exchangeQuoted(const std::wstring& key, std::wstring& value) {
  if (save_) write(key, L"\"" + value + L"\"");
  else value = read(key);
}

void IniSection::exchangeInt(const std::wstring& key, int& value) {
  if (save_) write(key, std::to_wstring(value));
  else value = leadingNumber(read(key));
}

void IniSection::exchangeFlag(const std::wstring& key, bool& value) {
  if (save_) write(key, value ? L"1" : L"0");
  else value = leadingNumber(read(key)) != 0;
}

bool IniSection::commit() {
  if (!save_) return false;
  if (!ok_ && readable()) {
    errno = refusal_;  // why the file refused a value: the value, or its own bytes
    return false;
  }
  if (!file_.commit()) {
    const int cause = errno;
    platform::traceError("ini: cannot write %s\n", platform::toUtf8(path_).c_str());
    errno = cause;
    return false;
  }
  return true;
}
