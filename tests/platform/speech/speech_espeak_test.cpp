// The real synthesiser, heard through a recording sink instead of a device.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/speech/speech_engine.h"
#include "recording_sink.h"

using namespace platform;

TEST(SystemSpeechEngine, SpeaksInTheChosenFormatAndPurgeCutsShort) {
  auto record = std::make_shared<SinkRecord>();
  std::unique_ptr<SpeechEngine> engine = makeSystemSpeechEngine(RecordingSink::factory(record, true));
  EXPECT_FALSE(engine->speak(L"not yet", false));
  ASSERT_TRUE(engine->start());
  const std::vector<std::wstring> voices = engine->voiceNames();
  EXPECT_NE(std::find(voices.begin(), voices.end(), engine->defaultVoiceName()), voices.end());
  EXPECT_FALSE(engine->selectVoice(L"no such voice"));
  EXPECT_FALSE(engine->setOutputFormat({96000, 2, 16}));
  ASSERT_TRUE(engine->openDefaultOutput());
  ASSERT_TRUE(engine->setOutputFormat({44100, 2, 16}));
  engine->setRate(-10);  // slow: the long sentence lasts far longer than the test waits

  ASSERT_TRUE(engine->speak(L"This sentence is long enough to take several seconds when it is spoken "
                            L"from its beginning to its very end, word after word after word.", false));
  ASSERT_TRUE(record->waitFor([](SinkRecord& r) { return !r.samples.empty(); }));
  ASSERT_TRUE(engine->speak(L"yes", true));
  ASSERT_TRUE(record->waitFor([](SinkRecord& r) { return r.drains == 1; }));  // only "yes" ran to its end
  std::lock_guard lock(record->mutex);
  EXPECT_EQ(record->opened.back(), (AudioFormat{44100, 2, 16}));
  const double seconds = static_cast<double>(record->samples.size()) / (44100 * 2);
  EXPECT_GT(seconds, 0.1);
  EXPECT_LT(seconds, 4.0);
}
