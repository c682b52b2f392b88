// Event sounds found in the desktop's sound theme as the freedesktop layout has them, and played
// from memory once decoded.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "platform/audio/event_sound_player.h"
#include "platform/audio/sound_theme.h"
#include "recording_sink.h"
#include "scoped_env.h"
#include "sound_fixtures.h"

using namespace platform;

namespace {

class SoundThemeTest : public ::testing::Test {
 protected:
  std::string data(const QTemporaryDir& dir) const { return dir.path().toStdString(); }
  std::string sound(const std::string& folder, const std::string& name, int frames = 441) {
    const std::string path = folder + "/" + name;
    EXPECT_TRUE(testsound::writeSound(path, testsound::kWav, 44100, 2, testsound::tone(44100, 2, frames / 44100.0)));
    return path;
  }

  QTemporaryDir home, system;
  testenv::ScopedEnv dataHome{"XDG_DATA_HOME", home.path().toUtf8().constData()};
  testenv::ScopedEnv dataDirs{"XDG_DATA_DIRS", system.path().toUtf8().constData()};
};

}  // namespace

TEST_F(SoundThemeTest, ASoundComesFromTheThemeItsParentsFreedesktopOrNoTheme) {
  const std::string ocean = testsound::writeSoundTheme(data(home), "ocean", "wave");
  const std::string wave = testsound::writeSoundTheme(data(system), "wave");
  const std::string freedesktop = testsound::writeSoundTheme(data(system), "freedesktop");
  const std::string click = sound(ocean, "menu-click.wav");
  const std::string inherited = sound(wave, "menu-popup.wav");
  const std::string fallback = sound(freedesktop, "dialog-warning.wav");
  std::filesystem::create_directories(data(system) + "/sounds");
  const std::string unthemed = sound(data(system) + "/sounds", "bell.wav");

  EXPECT_EQ(findThemeSound("menu-click", "ocean"), click);
  EXPECT_EQ(findThemeSound("menu-popup", "ocean"), inherited);
  EXPECT_EQ(findThemeSound("dialog-warning", "ocean"), fallback);
  EXPECT_EQ(findThemeSound("bell", "ocean"), unthemed);
  // A more special name falls back on a less special one.
  EXPECT_EQ(findThemeSound("menu-click-twice", "ocean"), click);
  // None at all: nothing stands in.
  EXPECT_EQ(findThemeSound("window-close", "ocean"), "");
  EXPECT_EQ(findThemeSound("menu-click", "freedesktop"), "");
  EXPECT_EQ(findThemeSound("../ocean/stereo/menu-click", "ocean"), "");
  // Names in an index that lead out of the sound folders are not followed.
  const std::string trap = data(home) + "/sounds/trap", loot = data(home) + "/loot";
  for (const std::string& folder : {trap, loot}) std::filesystem::create_directories(folder);
  std::ofstream(trap + "/index.theme") << "[Sound Theme]\nInherits=..\nDirectories=../../loot\n";
  std::ofstream(data(home) + "/index.theme") << "[Sound Theme]\nDirectories=loot\n";
  sound(loot, "menu-click.wav");
  EXPECT_EQ(findThemeSound("menu-click", "trap"), "");
  EXPECT_EQ(findThemeSound("menu-click", ".."), "");
  // A theme that turns a sound off has none, even where a parent has one.
  std::ofstream(ocean + "/menu-popup.disabled").close();
  EXPECT_EQ(findThemeSound("menu-popup", "ocean"), "");
}

TEST_F(SoundThemeTest, TheDesktopsThemeComesFromItsGtkSettings) {
  QTemporaryDir config;
  const testenv::ScopedEnv configHome("XDG_CONFIG_HOME", config.path().toUtf8().constData());
  EXPECT_EQ(desktopSoundTheme(), "freedesktop");
  std::filesystem::create_directories(config.path().toStdString() + "/gtk-3.0");
  std::ofstream(config.path().toStdString() + "/gtk-3.0/settings.ini")
      << "[Settings]\ngtk-theme-name=Adwaita\ngtk-sound-theme-name=ocean\n";
  EXPECT_EQ(desktopSoundTheme(), "ocean");
}

TEST_F(SoundThemeTest, EachSoundIsReadOnceAndPlayedWhole) {
  const std::string freedesktop = testsound::writeSoundTheme(data(system), "freedesktop");
  const std::string click = sound(freedesktop, "menu-click.wav", 441);
  auto record = std::make_shared<SinkRecord>();
  EventSoundPlayer player(RecordingSink::factory(record, false), "freedesktop");

  EXPECT_TRUE(player.play("menu-click"));
  EXPECT_EQ(record->samples.size(), 441u * 2);
  EXPECT_EQ(record->opened, (std::vector<AudioFormat>{{44100, 2, 16}}));
  EXPECT_EQ(record->drains, 1);
  // Once read, the file is no longer needed.
  std::filesystem::remove(click);
  EXPECT_TRUE(player.play("menu-click"));
  EXPECT_EQ(record->samples.size(), 2u * 441 * 2);
  // A sound the theme lacks plays nothing, not a default.
  EXPECT_FALSE(player.play("menu-popup"));
  EXPECT_EQ(record->opened.size(), 2u);
}

// A small file may claim many channels at a high rate: what is kept of it is bounded by samples.
TEST_F(SoundThemeTest, AnEventSoundKeepsNoMoreThanTenSecondsOfStereo) {
  const std::string freedesktop = testsound::writeSoundTheme(data(system), "freedesktop");
  ASSERT_TRUE(testsound::writeSound(freedesktop + "/menu-click.wav", testsound::kWav, 384000, 8,
                                    testsound::tone(384000, 8, 0.4)));
  auto record = std::make_shared<SinkRecord>();
  EXPECT_TRUE(EventSoundPlayer(RecordingSink::factory(record, false), "freedesktop").play("menu-click"));
  EXPECT_EQ(record->samples.size(), 48000u * 2 * 10);
}
