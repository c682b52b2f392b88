#include <gtest/gtest.h>

#include <QTest>
#include <thread>

#include "fake_audio_player.h"
#include "platform/audio_file_player.h"
#include "sound_fixtures.h"
#include "study/sound_queue.h"
#include "test_env.h"

using Started = std::vector<std::string>;

TEST(SoundQueue, PlaysOneAfterAnotherAsEachEnds) {
  FakeAudioPlayer player;
  SoundQueue queue(player);
  EXPECT_EQ(player.callback(), &Vbmp3Callback);
  EXPECT_TRUE(queue.enqueue(L"a.wav", 100, 100));
  EXPECT_TRUE(queue.enqueue(L"b.mp3", 30, 40));
  EXPECT_TRUE(queue.enqueue(L"c.wav", 100, 100));
  EXPECT_EQ(player.started, (Started{"a.wav 100 100"}));
  player.finish();
  EXPECT_EQ(player.started, (Started{"a.wav 100 100", "b.mp3 30 40"}));
  player.finish();
  player.finish();
  EXPECT_EQ(player.started.size(), 3u);
  EXPECT_EQ(queue.size(), 0u);
  // An end with nothing queued changes nothing.
  player.finish();
  EXPECT_FALSE(queue.advance());
  EXPECT_EQ(player.started.size(), 3u);
}

TEST(SoundQueue, PlayNowReplacesEverythingAndTheReplacedSoundsEndIsIgnored) {
  FakeAudioPlayer player;
  SoundQueue queue(player);
  queue.enqueue(L"a.wav", 100, 100);
  const unsigned first = player.currentSound();
  queue.enqueue(L"b.wav", 100, 100);
  queue.enqueue(L"c.wav", 100, 100);
  EXPECT_TRUE(queue.playNow(L"d.wav", 80, 80));
  EXPECT_EQ(player.started, (Started{"a.wav 100 100", "d.wav 80 80"}));
  EXPECT_EQ(queue.size(), 1u);
  player.reportEnd(first);  // a's end was already under way
  EXPECT_EQ(queue.size(), 1u);
  queue.enqueue(L"e.wav", 100, 100);
  EXPECT_EQ(player.started.size(), 2u);  // d still plays
  player.finish();
  EXPECT_EQ(player.started.back(), "e.wav 100 100");
}

TEST(SoundQueue, AnUnplayableRequestIsDroppedAndLaterSoundsStillPlay) {
  FakeAudioPlayer player;
  player.unplayable = {"missing.wav"};
  SoundQueue queue(player);
  EXPECT_FALSE(queue.enqueue(L"missing.wav", 100, 100));
  EXPECT_EQ(queue.size(), 0u);
  EXPECT_TRUE(queue.enqueue(L"a.wav", 100, 100));
  queue.enqueue(L"missing.wav", 100, 100);
  queue.enqueue(L"b.wav", 100, 100);
  player.finish();
  EXPECT_EQ(player.started, (Started{"a.wav 100 100", "b.wav 100 100"}));
  EXPECT_FALSE(queue.playNow(L"missing.wav", 100, 100));
  EXPECT_EQ(queue.size(), 0u);
}

TEST(SoundQueue, ClearStopsNothingAndReleaseEndsThePlayer) {
  FakeAudioPlayer player;
  SoundQueue queue(player);
  queue.enqueue(L"a.wav", 100, 100);
  queue.enqueue(L"b.wav", 100, 100);
  queue.clear();
  EXPECT_EQ(queue.size(), 0u);
  EXPECT_EQ(player.frees, 0);
  player.finish();
  EXPECT_EQ(player.started.size(), 1u);
  queue.release();
  EXPECT_EQ(player.frees, 1);
  EXPECT_FALSE(queue.enqueue(L"c.wav", 100, 100));
}

TEST(SoundQueue, EndsFromThePlayersThreadAdvanceOnTheGuiThreadOnly) {
  FakeAudioPlayer player;
  {
    SoundQueue queue(player);
    queue.enqueue(L"a.wav", 100, 100);
    queue.enqueue(L"b.wav", 100, 100);
    std::thread([&] {
      Vbmp3Callback(3, player.currentSound());  // not an end
      Vbmp3Callback(platform::AudioEventEnded, player.currentSound());
    }).join();
    EXPECT_EQ(player.started.size(), 1u);
    QCoreApplication::processEvents();
    EXPECT_EQ(player.started.size(), 2u);
    Vbmp3Callback(platform::AudioEventEnded, player.currentSound());
  }
  QCoreApplication::processEvents();  // the queue has gone: the pending end is dropped
  Vbmp3Callback(platform::AudioEventEnded, player.currentSound());
  EXPECT_EQ(player.started.size(), 2u);
}

TEST(SoundQueue, RealFilesPlayThroughToTheEndOfTheQueue) {
  const std::string folder = testenv::processDir();
  ASSERT_TRUE(testsound::writeSound(folder + "/one.wav", testsound::kWav, 16000, 1, testsound::tone(16000, 1, 0.15)));
  ASSERT_TRUE(testsound::writeSound(folder + "/two.mp3", testsound::kMp3, 44100, 2, testsound::tone(44100, 2, 0.15)));
  platform::SoundFilePlayer player(platform::openNullSink);
  SoundQueue queue(player);
  const std::wstring wfolder(folder.begin(), folder.end());
  EXPECT_TRUE(queue.enqueue(wfolder + L"/one.wav", 100, 100));
  EXPECT_TRUE(queue.enqueue(wfolder + L"/two.mp3", 100, 100));
  EXPECT_TRUE(queue.enqueue(wfolder + L"/one.wav", 50, 50));
  EXPECT_TRUE(QTest::qWaitFor([&] { return queue.size() == 0; }, 5000));
  EXPECT_EQ(player.currentSound(), 3u);
}
