#include <gtest/gtest.h>

#include "platform/audio/audio_file_player.h"
#include "recording_sink.h"
#include "sound_fixtures.h"
#include "test_env.h"

using namespace platform;

namespace {

// The player's callback is a plain function: its end events land here.
SinkRecord gEnds;
std::vector<unsigned> gEndedSounds;
void noteEnd(int event, unsigned sound) {
  std::lock_guard lock(gEnds.mutex);
  if (event == AudioEventEnded) gEndedSounds.push_back(sound);
  gEnds.changed.notify_all();
}
size_t waitForEnds(size_t count) {
  gEnds.waitFor([&](SinkRecord&) { return gEndedSounds.size() >= count; });
  return gEndedSounds.size();
}

class SoundFilePlayerTest : public ::testing::Test {
 protected:
  void SetUp() override { gEndedSounds.clear(); }
  void usePlayer(bool realTime) {
    player = std::make_unique<SoundFilePlayer>(RecordingSink::factory(record, realTime));
    player->setCallback(&noteEnd);
    player->init();
  }
  std::string file(const std::string& name, int format, int rate, int channels, const std::vector<int16_t>& samples) {
    const std::string path = testenv::processDir() + "/" + name;
    EXPECT_TRUE(testsound::writeSound(path, format, rate, channels, samples));
    return path;
  }
  bool play(const std::string& path, unsigned left = 100, unsigned right = 100) {
    if (!player->open(path, info)) return false;
    player->setSoftVolume(left, right);
    return player->play();
  }
  std::shared_ptr<SinkRecord> record = std::make_shared<SinkRecord>();
  std::unique_ptr<SoundFilePlayer> player;
  SoundFileInfo info;
};

}  // namespace

TEST_F(SoundFilePlayerTest, DecodesWavAndMp3IntoTheNullSinkAndReportsEachEnd) {
  usePlayer(true);
  ASSERT_TRUE(play(file("tone.wav", testsound::kWav, 22050, 2, testsound::tone(22050, 2, 0.2))));
  EXPECT_EQ(info.format, (AudioFormat{22050, 2, 16}));
  EXPECT_EQ(info.frameCount, 4410);
  ASSERT_EQ(waitForEnds(1), 1u);
  EXPECT_EQ(gEndedSounds.back(), player->currentSound());
  EXPECT_EQ(record->samples, testsound::tone(22050, 2, 0.2));

  ASSERT_TRUE(play(file("tone.mp3", testsound::kMp3, 44100, 1, testsound::tone(44100, 1, 0.3))));
  EXPECT_EQ(info.format, (AudioFormat{44100, 1, 16}));
  EXPECT_NEAR(static_cast<double>(info.frameCount), 13230.0, 1152.0);  // within one MP3 frame
  ASSERT_EQ(waitForEnds(2), 2u);
  EXPECT_EQ(record->samples.size(), 8820u + static_cast<size_t>(info.frameCount));
  EXPECT_EQ(record->opened.size(), 2u);  // a new format opens the output anew
  EXPECT_EQ(record->drains, 2);
}

TEST_F(SoundFilePlayerTest, AppliesTheSoftVolumePerChannel) {
  usePlayer(false);
  std::vector<int16_t> stereo, halved;
  for (int i = 0; i < 100; ++i) stereo.insert(stereo.end(), {10000, -8000}), halved.insert(halved.end(), {5000, -2000});
  ASSERT_TRUE(play(file("stereo.wav", testsound::kWav, 8000, 2, stereo), 50, 25));
  waitForEnds(1);
  EXPECT_EQ(record->samples, halved);
  record->samples.clear();
  // A mono sound takes the mean of both; more than full counts as full.
  ASSERT_TRUE(play(file("mono.wav", testsound::kWav, 8000, 1, std::vector<int16_t>(100, 10000)), 100, 500));
  waitForEnds(2);
  EXPECT_EQ(record->samples, std::vector<int16_t>(100, 10000));
}

TEST_F(SoundFilePlayerTest, AReplacedFreedOrMissingSoundReportsNoEnd) {
  usePlayer(true);
  const std::string longSound = file("long.wav", testsound::kWav, 8000, 1, testsound::tone(8000, 1, 5.0));
  const std::string shortSound = file("short.wav", testsound::kWav, 8000, 1, testsound::tone(8000, 1, 0.05));
  ASSERT_TRUE(play(longSound));
  ASSERT_TRUE(record->waitFor([](SinkRecord& r) { return !r.samples.empty(); }));
  ASSERT_TRUE(play(shortSound));  // stops the long one at once
  ASSERT_EQ(waitForEnds(1), 1u);
  EXPECT_EQ(gEndedSounds.back(), player->currentSound());

  EXPECT_FALSE(play(testenv::processDir() + "/missing.mp3"));
  EXPECT_FALSE(play(testenv::processDir()));  // not a sound file
  ASSERT_TRUE(play(longSound));
  player->free();
  EXPECT_FALSE(player->open(shortSound, info));  // freed until initialised again
  EXPECT_FALSE(player->play());
  EXPECT_EQ(gEndedSounds.size(), 1u);
  player->init();
  EXPECT_TRUE(player->open(shortSound, info));
}

// ALSA's own null device stands in for a card: the device path runs without one.
TEST_F(SoundFilePlayerTest, PlaysThroughTheAlsaDefaultDeviceElseTheNullSink) {
  const std::string config = testenv::processDir() + "/asound.conf";
  std::FILE* out = std::fopen(config.c_str(), "w");
  std::fputs("pcm.!default { type null }\n", out);
  std::fclose(out);
  setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
  ASSERT_TRUE(openAlsaSink({44100, 2, 16}));
  EXPECT_FALSE(openAlsaSink({44100, 2, 24}));
  player = std::make_unique<SoundFilePlayer>(openAlsaSink);
  player->setCallback(&noteEnd);
  player->init();
  ASSERT_TRUE(play(file("device.wav", testsound::kWav, 44100, 2, testsound::tone(44100, 2, 0.2))));
  EXPECT_EQ(waitForEnds(1), 1u);

  const std::string empty = testenv::processDir() + "/no-devices.conf";
  std::fclose(std::fopen(empty.c_str(), "w"));
  setenv("ALSA_CONFIG_PATH", empty.c_str(), 1);
  EXPECT_FALSE(openAlsaSink({44100, 2, 16}));
  EXPECT_TRUE(openSystemSink({44100, 2, 16}));
  unsetenv("ALSA_CONFIG_PATH");
}
