#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTextBrowser>
#include <QTextDocument>

#include "app/shell/help_viewer.h"
#include "platform/audio/audio_decoder.h"
#include "platform/files/folders.h"
#include "platform/settings/ini_profile.h"
#include "services/point_info_store.h"
#include "test_env.h"

namespace {

QString inProgramFolder(const char* name) { return QString::fromStdString(testenv::programDir()) + "/" + name; }

}  // namespace

// What a new installation finds beside the program, read the way the program reads it.
TEST(FirstRunFiles, TheProgramFolderHoldsWhatStartUpAsksFor) {
  PointInfoStore ranking;
  EXPECT_TRUE(ranking.load(inProgramFolder("data/irank.dat").toStdWString()));
  EXPECT_EQ(ranking.size(), 0u);
  EXPECT_EQ(platform::getProfileString(L"WebDic", L" 0_dictype", L"none", inProgramFolder("data/webdic.ini").toStdWString()),
            L"none");
  EXPECT_TRUE(QFileInfo(inProgramFolder("data/webdic.ini")).isFile());
  EXPECT_TRUE(QFileInfo(inProgramFolder("katmode.txt")).isFile());
  EXPECT_EQ(QFileInfo(inProgramFolder("katmode.txt")).size(), 0);
  EXPECT_TRUE(QFileInfo(inProgramFolder("data/wavvoice")).isDir());
  for (const char* tone : {"data/Correct.wav", "data/Incorrect.wav"}) {
    const auto sound = platform::SoundFileDecoder::open(inProgramFolder(tone).toStdString());
    ASSERT_NE(sound, nullptr) << tone;
    const double seconds = static_cast<double>(sound->frameCount()) / sound->format().sampleRate;
    EXPECT_GT(seconds, 0.2) << tone;
    EXPECT_LT(seconds, 1.0) << tone;
  }
  EXPECT_EQ(QImage(inProgramFolder("splash.bmp")).size(), QSize(400, 200));
  EXPECT_TRUE(QFileInfo(inProgramFolder("Readme.txt")).size() > 0);
  for (const char* library : {"libKlvLib.so", "libKlvLegacyLib.so"})
    EXPECT_TRUE(QFileInfo(inProgramFolder(library)).isFile()) << library;

  // Every page of the help is reached from the top page and shows a title.
  const platform::ProgramFolderOverride beside(QString::fromStdString(testenv::programDir()).toStdWString());
  QTextBrowser* help = ShowHelp();
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(help->documentTitle(), QString::fromWCharArray(L"Kelvara ヘルプ"));
  ASSERT_TRUE(ShowHelpTopic(L"Klv.chm::/option.html"));
  EXPECT_EQ(help->documentTitle(), QString::fromWCharArray(L"オプションの設定"));
  help->close();
}
