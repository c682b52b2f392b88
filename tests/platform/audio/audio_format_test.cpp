#include <gtest/gtest.h>

#include <cstring>

#include "platform/audio/audio_convert.h"
#include "platform/speech/speech_stream_format.h"

using namespace platform;

// The codes the voice set-up uses are checked with it; here the ends of the range.
TEST(StreamFormat, CodesFourToThirtyNineHaveAFormatAndAName) {
  EXPECT_EQ(streamFormat(38), (AudioFormat{48000, 1, 16}));
  EXPECT_FALSE(streamFormat(3) || streamFormat(40));
  EXPECT_EQ(streamFormatName(9), L"11kHz 8 Bit Stereo");
  EXPECT_EQ(streamFormatName(40), L"");
}

TEST(MonoStreamConverter, ChunksJoinWithoutASeamAtAnyRate) {
  std::vector<int16_t> ramp(2205);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(i * 10);
  for (const AudioFormat format : {AudioFormat{44100, 2, 16}, AudioFormat{8000, 1, 16}, AudioFormat{22050, 1, 16}}) {
    MonoStreamConverter whole(22050, format), pieces(22050, format);
    std::vector<uint8_t> once, chunked;
    whole.convert(ramp.data(), ramp.size(), once);
    for (size_t start = 0; start < ramp.size(); start += 97)
      pieces.convert(ramp.data() + start, std::min<size_t>(97, ramp.size() - start), chunked);
    EXPECT_EQ(once, chunked) << format.sampleRate;
    EXPECT_NEAR(static_cast<double>(once.size() / format.bytesPerFrame()) / format.sampleRate, 0.1, 0.001);
    if (format.sampleRate == 22050) {
      EXPECT_EQ(0, std::memcmp(once.data(), ramp.data(), once.size()));  // the same rate passes unchanged
    }
  }
  // 8-bit samples are unsigned.
  const int16_t extremes[] = {-32768, 0, 32767};
  MonoStreamConverter eightBit(8000, {8000, 2, 8});
  std::vector<uint8_t> out;
  eightBit.convert(extremes, 3, out);
  EXPECT_EQ(out, (std::vector<uint8_t>{0, 0, 128, 128, 255, 255}));
}
