// Accelerator tables of frames: whether a key is taken by one, and the key text of a command's
// accelerator that menu items show beside their labels.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum AccelFlags : uint8_t { FVirtKey = 0x1, FNoInvert = 0x2, FShift = 0x4, FControl = 0x8, FAlt = 0x10 };

// One entry: modifier flags, a virtual key (or a character without FVirtKey) and a command.
struct Accel {
  uint8_t fVirt = 0;
  uint16_t key = 0;
  uint16_t cmd = 0;
};
using AccelTable = std::shared_ptr<const std::vector<Accel>>;

// What a frame offers the look-ups: its own default table, or the active document's.
class AcceleratorSource {
 public:
  virtual ~AcceleratorSource() = default;
  // Null when the frame has no such table.
  virtual AccelTable GetDefaultAccelerator(bool document) const = 0;
};

bool IsKeyInFrameAccelTable(unsigned key, uint8_t flags, const AcceleratorSource* frame, bool document);
// The key text of the first accelerator of the command; false (and an empty text) when none.
bool FindAcceleratorText(unsigned command, std::wstring& text, const AcceleratorSource* frame, bool document);
// "Ctrl+Shift+F5" style text of one entry.
std::wstring acceleratorKeyText(const Accel& accel);
// Forgets the tables the look-ups keep; the library's shut-down calls it.
void releaseAcceleratorCaches();
