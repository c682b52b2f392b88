#include "uictl/bars/commands/accelerators.h"

#include "platform/trace.h"

#include <array>

namespace {

// The last table of each kind that was asked for, kept until another one is.
std::array<AccelTable, 2> g_cache;

const std::vector<Accel>* frameTable(const AcceleratorSource* frame, bool document) {
  if (!frame) return nullptr;
  AccelTable table = frame->GetDefaultAccelerator(document);
  if (!table) return nullptr;
  AccelTable& cached = g_cache[document ? 1 : 0];
  if (cached != table) cached = std::move(table);
  return cached.get();
}

std::wstring virtualKeyName(unsigned vk) {
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return std::wstring(1, static_cast<wchar_t>(vk));
  if (vk >= 0x70 && vk <= 0x87) return platform::format(L"F%u", vk - 0x6F);
  if (vk >= 0x60 && vk <= 0x69) return platform::format(L"Num %u", vk - 0x60);
  switch (vk) {
    case 0x08: return L"Backspace";
    case 0x09: return L"Tab";
    case 0x0D: return L"Enter";
    case 0x13: return L"Pause";
    case 0x1B: return L"Esc";
    case 0x20: return L"Space";
    case 0x21: return L"Page Up";
    case 0x22: return L"Page Down";
    case 0x23: return L"End";
    case 0x24: return L"Home";
    case 0x25: return L"Left";
    case 0x26: return L"Up";
    case 0x27: return L"Right";
    case 0x28: return L"Down";
    case 0x2D: return L"Insert";
    case 0x2E: return L"Delete";
    case 0x6A: return L"Num *";
    case 0x6B: return L"Num +";
    case 0x6D: return L"Num -";
    case 0x6E: return L"Num .";
    case 0x6F: return L"Num /";
    default: return platform::format(L"0x%02X", vk);
  }
}

}  // namespace

bool IsKeyInFrameAccelTable(unsigned key, uint8_t flags, const AcceleratorSource* frame, bool document) {
  const std::vector<Accel>* table = frameTable(frame, document);
  if (!table) return false;
  for (const Accel& a : *table)
    if (a.key == key && a.fVirt == flags) return true;
  return false;
}

bool FindAcceleratorText(unsigned command, std::wstring& text, const AcceleratorSource* frame, bool document) {
  text.clear();
  const std::vector<Accel>* table = frameTable(frame, document);
  if (!table) return false;
  for (const Accel& a : *table)
    if (a.cmd == command) {
      text = acceleratorKeyText(a);
      return true;
    }
  return false;
}

std::wstring acceleratorKeyText(const Accel& accel) {
  std::wstring text;
  auto add = [&text](const std::wstring& part) {
    if (part.empty()) return;
    if (!text.empty()) text += L'+';
    text += part;
  };
  if (accel.fVirt & FControl) add(L"Ctrl");
  if (accel.fVirt & FShift) add(L"Shift");
  if (accel.fVirt & FAlt) add(L"Alt");
  if (accel.fVirt & FVirtKey) add(virtualKeyName(accel.key));
  else if (accel.key != 0x1B) add(std::wstring(1, static_cast<wchar_t>(accel.key)));
  return text;
}

void releaseAcceleratorCaches() {
  for (AccelTable& table : g_cache) table.reset();
}
