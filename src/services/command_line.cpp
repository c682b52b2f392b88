#include "services/command_line.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <optional>

#include "platform/windows/notifier.h"
#include "services/notice_box.h"
#include "services/text_helpers.h"

namespace {

bool is(const std::wstring& argument, const wchar_t* option) { return CompareWStringNoCase(argument, option) == 0; }

std::optional<int> modeSwitch(const std::wstring& argument) {
  static const struct {
    const wchar_t* option;
    int mode;
  } kModes[] = {{L"/je", 0},         {L"/je4", 3}, {L"/ej", 2},       {L"/ej4", 1},
                {L"/speedreply", 4}, {L"/card", 5}, {L"/dictation", 6}};
  for (const auto& candidate : kModes)
    if (is(argument, candidate.option)) return candidate.mode;
  return std::nullopt;
}

}  // namespace

int CompareWStringNoCase(const std::wstring& a, const std::wstring& b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const wint_t x = std::towlower(a[i]), y = std::towlower(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool CommandLineOptions::parseCommandLine() {
  std::vector<std::wstring> arguments;
  for (const QString& argument : QCoreApplication::arguments()) arguments.push_back(argument.toStdWString());
  return parseCommandLine(arguments);
}

bool CommandLineOptions::parseCommandLine(const std::vector<std::wstring>& arguments) {
  count = 0;
  autorun = false;
  const std::vector<std::wstring> switches(arguments.begin() + std::min<size_t>(1, arguments.size()), arguments.end());

  // Only the first argument that begins with the switch decides.
  for (const std::wstring& argument : switches) {
    if (argument.size() < 8 || !is(argument.substr(0, 8), L"/autorun")) continue;
    const wchar_t next = argument.size() > 8 ? argument[8] : L'\0';
    if (next == L'\0' || next == L' ' || next == L'=') autorun = true;
    if (next == L'=') count = leadingNumber(argument.substr(9));
    break;
  }
  if (!autorun) return true;
  // A count that selects nothing (or less) is no count at all.
  if (count <= 0) count = 20;

  for (const std::wstring& argument : switches) {
    if (const std::optional<int> chosen = modeSwitch(argument)) {
      mode = *chosen;
      break;
    }
  }

  valid = std::any_of(switches.begin(), switches.end(), [](const std::wstring& argument) { return is(argument, L"/s"); });
  const auto pathArgument = std::find_if(switches.begin(), switches.end(), [](const std::wstring& argument) {
    return argument.empty() || (argument[0] != L'/' && argument[0] != L'-');
  });
  if (pathArgument != switches.end()) path = *pathArgument;
  return true;
}

bool acceptCommandLine(const std::vector<std::wstring>& arguments, CommandLineOptions& options, CNoticeBox& notice) {
  if (arguments.size() < 2) return true;
  options.parseCommandLine(arguments);
  if (options.autorun && options.path.empty()) {
    platform::messageBox(nullptr, L"Autorun オプションがあるのに、セクションの指定がありません", L"Error",
                         platform::MbIconError | platform::MbTaskModal);
    return false;
  }
  if (!options.valid) {
    notice.ShowText(L"起動オプションが正しくありません。");
    return false;
  }
  return true;
}
