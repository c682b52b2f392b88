#include <gtest/gtest.h>

#include <QFile>
#include <condition_variable>
#include <mutex>

#include "platform/audio_file_player.h"
#include "recording_sink.h"
#include "sound_fixtures.h"
#include "test_env.h"

using namespace platform;
using namespace std::chrono_literals;

namespace {

// The player's callback is a plain function: the events land here.
struct EndEvents {
  std::mutex mutex;
  std::condition_variable arrived;
  std::vector<unsigned> sounds;

  static void record(int event, unsigned data) {
    if (event != AudioEventEnded) return;
    {
      std::lock_guard lock(instance.mutex);
      instance.sounds.push_back(data);
    }
    instance.arrived.notify_all();
  }
  std::vector<unsigned> waitForCount(size_t count, std::chrono::milliseconds timeout = 10s) {
    std::unique_lock lock(mutex);
    arrived.wait_for(lock, timeout, [&] { return sounds.size() >= count; });
    return sounds;
  }
  static EndEvents instance;
};
EndEvents EndEvents::instance;

class SoundFilePlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::lock_guard lock(EndEvents::instance.mutex);
    EndEvents::instance.sounds.clear();
  }
  std::string writeFile(const std::string& name, int format, int rate, int channels,
                        const std::vector<int16_t>& samples) {
    const std::string path = testenv::processDir() + "/" + name;
    EXPECT_TRUE(testsound::writeSound(path, format, rate, channels, samples)) << path;
    return path;
  }
  std::shared_ptr<SinkRecord> record = std::make_shared<SinkRecord>();
};

}  // namespace

TEST_F(SoundFilePlayerTest, DecodesWavAndMp3IntoTheNullSinkAndReportsEachEnd) {
  const std::string wav = writeFile("tone.wav", testsound::kWav, 22050, 2, testsound::tone(22050, 2, 0.2));
  const std::string mp3 = writeFile("tone.mp3", testsound::kMp3, 44100, 1, testsound::tone(44100, 1, 0.3));
  SoundFilePlayer player(recordingSink(record, true));
  player.setCallback(&EndEvents::record);
  ASSERT_TRUE(player.init());

  SoundFileInfo info;
  ASSERT_TRUE(player.open(wav, info));
  EXPECT_EQ(info.format, (AudioFormat{22050, 2, 16}));
  EXPECT_EQ(info.frameCount, 4410);
  ASSERT_TRUE(player.play());
  EXPECT_EQ(EndEvents::instance.waitForCount(1), std::vector<unsigned>{player.currentSound()});
  EXPECT_EQ(record->samples16(), testsound::tone(22050, 2, 0.2));

  ASSERT_TRUE(player.open(mp3, info));
  EXPECT_EQ(info.format, (AudioFormat{44100, 1, 16}));
  // The encoder's padding is taken off again: the decoded length is the written one.
  EXPECT_NEAR(static_cast<double>(info.frameCount), 13230.0, 1152.0);
  ASSERT_TRUE(player.play());
  EXPECT_EQ(EndEvents::instance.waitForCount(2).size(), 2u);
  EXPECT_EQ(EndEvents::instance.sounds.back(), player.currentSound());
  EXPECT_EQ(record->samples16().size(), 8820u + static_cast<size_t>(info.frameCount));
  std::lock_guard lock(record->mutex);
  EXPECT_EQ(record->opened.size(), 2u);  // a new format opens the output anew
  EXPECT_EQ(record->drains, 2);
}

TEST_F(SoundFilePlayerTest, AppliesTheSoftVolumePerChannel) {
  std::vector<int16_t> stereo;
  for (int i = 0; i < 100; ++i) stereo.insert(stereo.end(), {10000, -8000});
  const std::string stereoPath = writeFile("stereo.wav", testsound::kWav, 8000, 2, stereo);
  const std::string monoPath = writeFile("mono.wav", testsound::kWav, 8000, 1, std::vector<int16_t>(100, 10000));
  SoundFilePlayer player(recordingSink(record, false));
  player.setCallback(&EndEvents::record);
  player.init();

  SoundFileInfo info;
  ASSERT_TRUE(player.open(stereoPath, info));
  player.setSoftVolume(50, 25);
  ASSERT_TRUE(player.play());
  EndEvents::instance.waitForCount(1);
  std::vector<int16_t> expected;
  for (int i = 0; i < 100; ++i) expected.insert(expected.end(), {5000, -2000});
  EXPECT_EQ(record->samples16(), expected);

  record->bytes.clear();
  ASSERT_TRUE(player.open(monoPath, info));
  player.setSoftVolume(100, 500);  // more than full counts as full: the mean of 100 and 100
  ASSERT_TRUE(player.play());
  EndEvents::instance.waitForCount(2);
  EXPECT_EQ(record->samples16(), std::vector<int16_t>(100, 10000));
}

TEST_F(SoundFilePlayerTest, AReplacedOrFreedSoundReportsNoEnd) {
  const std::string longSound = writeFile("long.wav", testsound::kWav, 8000, 1, testsound::tone(8000, 1, 5.0));
  const std::string shortSound = writeFile("short.wav", testsound::kWav, 8000, 1, testsound::tone(8000, 1, 0.05));
  SoundFilePlayer player(recordingSink(record, true));
  player.setCallback(&EndEvents::record);
  player.init();

  SoundFileInfo info;
  ASSERT_TRUE(player.open(longSound, info));
  ASSERT_TRUE(player.play());
  ASSERT_TRUE(record->waitFor([](SinkRecord& r) { return !r.bytes.empty(); }));
  ASSERT_TRUE(player.open(shortSound, info));  // stops the long one at once
  ASSERT_TRUE(player.play());
  const unsigned shortNumber = player.currentSound();
  EXPECT_EQ(EndEvents::instance.waitForCount(1), std::vector<unsigned>{shortNumber});

  ASSERT_TRUE(player.open(longSound, info));
  ASSERT_TRUE(player.play());
  player.free();
  EXPECT_EQ(EndEvents::instance.waitForCount(2, 300ms).size(), 1u);
  EXPECT_FALSE(player.open(shortSound, info));  // freed until initialised again
  player.init();
  EXPECT_TRUE(player.open(shortSound, info));
}

TEST_F(SoundFilePlayerTest, RefusesWhatItCannotDecode) {
  const std::string text = testenv::processDir() + "/notes.wav";
  QFile file(QString::fromStdString(text));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("not a sound at all, only words");
  file.close();
  SoundFilePlayer player(recordingSink(record, false));
  player.init();
  SoundFileInfo info;
  EXPECT_FALSE(player.open(testenv::processDir() + "/missing.mp3", info));
  EXPECT_FALSE(player.open(text, info));
  EXPECT_FALSE(player.play());
}
