// The numbered stream formats that settings and the voice options speak of:
// code = 4 + 4 x rate index + 2 x (16 bit) + (stereo), rates 8, 11, 12, 16, 22, 24, 32, 44, 48 kHz.
#pragma once

#include <optional>
#include <string>

#include "platform/audio/audio_format.h"

namespace platform {

constexpr int kFirstStreamFormat = 4;
constexpr int kLastStreamFormat = 39;

// Nothing for a code outside kFirstStreamFormat..kLastStreamFormat.
std::optional<AudioFormat> streamFormat(int code);
// "8kHz 8 Bit Mono" ... "48kHz 16 Bit Stereo"; empty for a code outside the range.
std::wstring streamFormatName(int code);

}  // namespace platform
