#include "app/common/ini_section.h"

#include <QDir>

#include "platform/file_system.h"
#include "platform/ini_profile.h"
#include "platform/text.h"
#include "platform/trace.h"
#include "services/text_helpers.h"

IniSection::IniSection(std::wstring path, std::wstring section, bool save)
    : path_(std::move(path)), section_(std::move(section)), save_(save) {
  if (!save_) return;
  scratch_ = std::make_unique<QTemporaryFile>(QDir::tempPath() + "/kelvara-template-XXXXXX.ini");
  ok_ = scratch_->open();
  if (ok_ && platform::fileExists(path_)) {
    const std::optional<std::string> bytes = platform::readFileBytes(path_);
    ok_ = bytes && scratch_->write(bytes->data(), static_cast<qint64>(bytes->size())) ==
                       static_cast<qint64>(bytes->size());
  }
  if (ok_) ok_ = scratch_->flush();
  scratchPath_ = scratch_->fileName().toStdWString();
  if (ok_) scratch_->close();
}

IniSection::~IniSection() = default;

std::wstring IniSection::read(const std::wstring& key, const std::wstring& defaultValue) const {
  return platform::getProfileString(section_, key, defaultValue, path_);
}

int IniSection::readInt(const std::wstring& key, int defaultValue) const {
  return platform::getProfileInt(section_, key, defaultValue, path_);
}

int IniSection::readMarkedInt(const std::wstring& key, int defaultValue) const {
  const std::wstring value = read(key, L"default");
  return value == L"default" ? defaultValue : leadingNumber(value);
}

void IniSection::write(const std::wstring& key, const std::wstring& value) {
  if (ok_) ok_ = platform::writeProfileString(section_, key, value, scratchPath_);
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
  if (!save_ || !ok_) return false;
  const std::optional<std::string> bytes = platform::readFileBytes(scratchPath_);
  if (!bytes || !platform::writeFileAtomically(path_, *bytes)) {
    platform::traceError("ini: cannot write %s\n", platform::toUtf8(path_).c_str());
    return false;
  }
  return true;
}
