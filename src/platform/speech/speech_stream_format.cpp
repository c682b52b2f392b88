#include "platform/speech/speech_stream_format.h"

namespace platform {
namespace {

struct Rate {
  int hertz;
  const wchar_t* label;
};
constexpr Rate kRates[] = {{8000, L"8"},   {11025, L"11"}, {12000, L"12"}, {16000, L"16"}, {22050, L"22"},
                           {24000, L"24"}, {32000, L"32"}, {44100, L"44"}, {48000, L"48"}};

bool inRange(int code) { return code >= kFirstStreamFormat && code <= kLastStreamFormat; }

}  // namespace

std::optional<AudioFormat> streamFormat(int code) {
  if (!inRange(code)) return std::nullopt;
  const int offset = code - kFirstStreamFormat;
  return AudioFormat{kRates[offset / 4].hertz, (offset & 1) ? 2 : 1, (offset & 2) ? 16 : 8};
}

std::wstring streamFormatName(int code) {
  if (!inRange(code)) return {};
  const int offset = code - kFirstStreamFormat;
  return std::wstring(kRates[offset / 4].label) + L"kHz " + ((offset & 2) ? L"16" : L"8") + L" Bit " +
         ((offset & 1) ? L"Stereo" : L"Mono");
}

}  // namespace platform
