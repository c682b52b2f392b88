#include <gtest/gtest.h>

#include <QTest>
#include <thread>

#include "fake_audio_player.h"
#include "platform/audio/audio_file_player.h"
#include "sound_fixtures.h"
#include "study/sound/sound_queue.h"
#include "test_env.h"
#include "patience.h"

using Started = std::vector<std::string>;

TEST(SoundQueue, PlaysOneAfterAnotherAndClearStopsNothing) {
  FakeAudioPlayer player;
  SoundQueue queue(player);
  EXPECT_TRUE(queue.enqueue(L"a.wav", 100, 100));
  EXPECT_TRUE(queue.enqueue(L"b.mp3", 30, 40));
  EXPECT_TRUE(queue.enqueue(L"c.wav", 100, 100));
  EXPECT_EQ(player.started, (Started{"a.wav 100 100"}));
  player.finish();
  EXPECT_EQ(player.started, (Started{"a.wav 100 100", "b.mp3 30 40"}));
  player.finish();
  player.finish();
  EXPECT_EQ(player.started.size(), 3u);
  player.finish();  // an end with nothing queued changes nothing
  EXPECT_FALSE(queue.advance());
  EXPECT_EQ(player.started.size(), 3u);
  // Clearing drops what waits but stops nothing; release ends the player.
  queue.enqueue(L"d.wav", 100, 100);
  queue.enqueue(L"e.wav", 100, 100);
  queue.clear();
  player.finish();
  EXPECT_EQ(player.started.size(), 4u);
  EXPECT_EQ(player.frees, 0);
  queue.release();
  EXPECT_EQ(player.frees, 1);
  EXPECT_FALSE(queue.enqueue(L"f.wav", 100, 100));
}

TEST(SoundQueue, PlayNowReplacesEverythingAndTheReplacedSoundsEndIsIgnored) {
  FakeAudioPlayer player;
  SoundQueue queue(player);
  for (const wchar_t* name : {L"a.wav", L"b.wav", L"c.wav"}) queue.enqueue(name, 100, 100);
  const unsigned first = player.currentSound();
  EXPECT_TRUE(queue.playNow(L"d.wav", 80, 80));
  EXPECT_EQ(player.started, (Started{"a.wav 100 100", "d.wav 80 80"}));
  player.finish(first);  // a's end was already under way
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

TEST(SoundQueue, EndsFromThePlayersThreadAdvanceOnTheGuiThreadOnly) {
  FakeAudioPlayer player;
  {
    SoundQueue queue(player);
    EXPECT_EQ(player.callback, &Vbmp3Callback);
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
  QCoreApplication::processEvents();  // the queue has gone: its pending end is dropped
  Vbmp3Callback(platform::AudioEventEnded, player.currentSound());
  EXPECT_EQ(player.started.size(), 2u);
}

TEST(SoundQueue, RealFilesPlayThroughToTheEndOfTheQueue) {
  const std::string folder = testenv::processDir();
  ASSERT_TRUE(testsound::writeSound(folder + "/one.wav", testsound::kWav, 16000, 1, testsound::tone(16000, 1, 0.15)));
  ASSERT_TRUE(testsound::writeSound(folder + "/two.mp3", testsound::kMp3, 44100, 2, testsound::tone(44100, 2, 0.15)));
  platform::SoundFilePlayer player(platform::openNullSink);
  SoundQueue queue(player);
  const std::wstring wideFolder(folder.begin(), folder.end());
  for (const wchar_t* name : {L"/one.wav", L"/two.mp3", L"/one.wav"}) EXPECT_TRUE(queue.enqueue(wideFolder + name, 100, 100));
  EXPECT_TRUE(QTest::qWaitFor([&] { return queue.size() == 0; }, testwait::kPatienceMs));
  EXPECT_EQ(player.currentSound(), 3u);
}
