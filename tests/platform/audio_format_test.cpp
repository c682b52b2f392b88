#include <gtest/gtest.h>

#include <cstring>

#include "platform/audio_convert.h"
#include "platform/speech_stream_format.h"

using namespace platform;

TEST(StreamFormat, CodesNameRateSizeAndChannels) {
  EXPECT_EQ(streamFormat(4), (AudioFormat{8000, 1, 8}));
  EXPECT_EQ(streamFormat(27), (AudioFormat{24000, 2, 16}));
  EXPECT_EQ(streamFormat(35), (AudioFormat{44100, 2, 16}));
  EXPECT_EQ(streamFormat(38), (AudioFormat{48000, 1, 16}));
  EXPECT_FALSE(streamFormat(3));
  EXPECT_FALSE(streamFormat(40));
  EXPECT_EQ(streamFormatName(4), L"8kHz 8 Bit Mono");
  EXPECT_EQ(streamFormatName(9), L"11kHz 8 Bit Stereo");
  EXPECT_EQ(streamFormatName(39), L"48kHz 16 Bit Stereo");
  EXPECT_EQ(streamFormatName(40), L"");
}

TEST(MonoStreamConverter, ChunksJoinWithoutASeamAtAnyRate) {
  std::vector<int16_t> ramp(2205);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(i * 10);
  for (const AudioFormat format : {AudioFormat{44100, 2, 16}, AudioFormat{8000, 1, 16}, AudioFormat{22050, 1, 16}}) {
    MonoStreamConverter whole(22050, format);
    std::vector<uint8_t> once;
    whole.convert(ramp.data(), ramp.size(), once);
    MonoStreamConverter pieces(22050, format);
    std::vector<uint8_t> chunked;
    for (size_t start = 0; start < ramp.size(); start += 97)
      pieces.convert(ramp.data() + start, std::min<size_t>(97, ramp.size() - start), chunked);
    EXPECT_EQ(once, chunked) << format.sampleRate;
    const double seconds = static_cast<double>(once.size() / format.bytesPerFrame()) / format.sampleRate;
    EXPECT_NEAR(seconds, 0.1, 0.001) << format.sampleRate;
  }
  // Same rate: the samples pass unchanged.
  MonoStreamConverter same(22050, {22050, 1, 16});
  std::vector<uint8_t> out;
  same.convert(ramp.data(), ramp.size(), out);
  EXPECT_EQ(0, std::memcmp(out.data(), ramp.data(), out.size()));
}

TEST(MonoStreamConverter, EightBitIsUnsignedAndStereoRepeatsTheSample) {
  const int16_t samples[] = {-32768, 0, 32767};
  MonoStreamConverter converter(8000, {8000, 2, 8});
  std::vector<uint8_t> out;
  converter.convert(samples, 3, out);
  EXPECT_EQ(out, (std::vector<uint8_t>{0, 0, 128, 128, 255, 255}));
}
