#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRawFont>
#include <QTest>
#include <algorithm>
#include <fstream>
#include <map>

#include "app/shell/app_study_host.h"
#include "database/engine/sql_helpers.h"
#include "platform/drawing/gdi_types.h"
#include "platform/drawing/system_metrics.h"
#include "platform/settings/ini_profile.h"
#include "study/study_modes.h"
#include "study/window/trans_dialog.h"
#include "skin_test_support.h"
#include "study_app_fixture.h"
#include "study_window_support.h"
#include "test_env.h"
#include "patience.h"

using namespace study;
using studytest::StudyApp;
using studytest::find;
using studytest::waitForState;
using studytest::typeReply;

namespace {

// A study window of the program on the sample set (je unless another mode is given), drawn by
// the given skin (the default skin when none is given).
struct SkinWindow {
  explicit SkinWindow(std::vector<int> ids, const std::wstring& skin = L"", int incorrectWaitMsec = 0, int mode = ModeJe)
      : app(mode) {
    if (!skin.empty()) app.settings.skin7Path.value = skin;
    app.settings.incorrectWaitMsec.value = incorrectWaitMsec;
    dlg = std::make_unique<CTransDlg>(studytest::setupFor(mode, std::move(ids), L"スキン"), host);
  }
  bool open() {
    dlg->show();
    return QTest::qWaitFor([&] { return dlg->flow().tstate == TurnReply; }, testwait::kPatienceMs);
  }

  StudyApp app;
  SoundQueue sounds;
  AppStudyHost host{app.app, sounds};
  std::unique_ptr<CTransDlg> dlg;
};

// Writes a skin file into a folder of its own and returns its path.
std::wstring writeSkin(const QString& name, const QByteArray& text) {
  const QString folder = QString::fromStdString(testenv::processDir()) + "/" + name;
  QDir().mkpath(folder);
  QFile skin(folder + "/" + name + ".lua");
  EXPECT_TRUE(skin.open(QIODevice::WriteOnly));
  skin.write(text);
  return skin.fileName().toStdWString();
}

std::wstring skinFixture(const char* name) {
  return QString::fromStdString(testenv::sourceDir() + "/tests/study/skins/" + name).toStdWString();
}

QColor rgb(uint32_t rrggbb) { return QColor((rrggbb >> 16) & 0xFF, (rrggbb >> 8) & 0xFF, rrggbb & 0xFF); }

}  // namespace

TEST(DefaultSkin, DrawsTheFrameAndPlacesTheControlsOfTheMode) {
  SkinWindow w({1, 2});
  ASSERT_TRUE(w.open());
  CTransDlg& dlg = *w.dlg;
  EXPECT_EQ(dlg.size(), QSize(640, 480));
  EXPECT_EQ(dlg.windowTitle(), QString::fromStdWString(L"スキン - Kelvara"));
  EXPECT_EQ(dlg.findChild<QWidget*>("id1208")->geometry(), QRect(30, 78, 580, 84));
  EXPECT_EQ(dlg.findChild<QWidget*>("id1026")->geometry(), QRect(30, 270, 460, 30));
  EXPECT_FALSE(dlg.findChild<QWidget*>("id1012")->isVisible());
  // The skin's size holds: the window is neither resized nor maximised.
  EXPECT_EQ(dlg.minimumSize(), QSize(640, 480));
  EXPECT_EQ(dlg.maximumSize(), QSize(640, 480));
  EXPECT_FALSE(dlg.windowFlags() & Qt::WindowMaximizeButtonHint);
  dlg.resize(900, 700);
  EXPECT_EQ(dlg.size(), QSize(640, 480));

  const QImage shot = dlg.grab().toImage();
  EXPECT_EQ(shot.pixelColor(5, 5), rgb(0x2F5D9E));      // the title band
  EXPECT_EQ(shot.pixelColor(5, 200), rgb(0xF4F8FC));    // the skin's background
  EXPECT_EQ(shot.pixelColor(20, 120), rgb(0x2F5D9E));   // the question frame
  EXPECT_EQ(shot.pixelColor(25, 75), rgb(0xFFFFFF));    // inside it
  EXPECT_TRUE(w.app.notifier.boxes.empty());
}

namespace {

// What a person sees of the window now: every visible control inside it, none over another, and
// the skin's drawing under each of them no more than a plain fill (no text, line or image).
void expectControlsApartFromTheDrawing(CTransDlg& dlg, const std::string& when) {
  SCOPED_TRACE(when);
  dlg.repaintWindow();
  dlg.grab();  // draws the skin afresh
  const QImage& drawn = dlg.surfaceImage();
  std::vector<QWidget*> shown;
  for (QWidget* child : dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isVisible()) shown.push_back(child);
  }
  for (size_t i = 0; i < shown.size(); ++i) {
    const QRect place = shown[i]->geometry();
    const std::string name = shown[i]->objectName().toStdString();
    EXPECT_TRUE(dlg.rect().contains(place)) << name;
    for (size_t j = i + 1; j < shown.size(); ++j) {
      EXPECT_FALSE(place.intersects(shown[j]->geometry())) << name << " and " << shown[j]->objectName().toStdString();
    }
    const QRect under = place & drawn.rect();
    bool plain = true;
    for (int y = under.top(); y <= under.bottom() && plain; ++y) {
      for (int x = under.left(); x <= under.right() && plain; ++x) plain = drawn.pixel(x, y) == drawn.pixel(under.topLeft());
    }
    EXPECT_TRUE(plain) << "the skin draws under " << name;
  }
}

std::vector<std::string> readLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string homeFile(const char* name) { return testenv::homeDir() + "/" + name; }

}  // namespace

TEST(DefaultSkin, KeepsItsDrawingAndTheControlsApartInEveryMode) {
  for (int mode = ModeJe; mode <= ModeDictation; ++mode) {
    SCOPED_TRACE(modeName(mode));
    SkinWindow w({1, 2, 3}, L"", 0, mode);
    AppSettings& settings = w.app.settings;
    // Every limit the modes have, on as a new user has them; the answer waits for the user.
    settings.useReplyStartLimitJe.value = true;
    settings.useReplyLimitEj.value = settings.useReplyLimitEj4.value = settings.useReplyLimitJe4.value = true;
    settings.stopAfterAnswer.value = true;
    pdb3::execSqlf(w.app.accessor(), L"UPDATE question SET hint='%ls', pronounce='%ls' WHERE qid IN (1, 2, 3)",
                   L"教える部屋", L"klˈæsɹum");
    ASSERT_TRUE(w.open());
    CTransDlg& dlg = *w.dlg;
    expectControlsApartFromTheDrawing(dlg, "a question");
    QTest::keyClick(&dlg, Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);  // a timed message
    expectControlsApartFromTheDrawing(dlg, "a timed message");

    if (mode == ModeCard) {
      find<QPushButton>(dlg, 1230)->click();  // the answer side
      expectControlsApartFromTheDrawing(dlg, "the card turned");
      find<QPushButton>(dlg, 1231)->click();
      ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.flow().currentId == 2 && dlg.flow().tstate == TurnReply; }, testwait::kPatienceMs));
      expectControlsApartFromTheDrawing(dlg, "the next card");
      continue;
    }
    if (isChoiceMode(mode)) {
      find<QPushButton>(dlg, 1012 + (dlg.rightChoice() + 1) % 4)->click();
    } else {
      typeReply(dlg, "wrong");
    }
    ASSERT_TRUE(waitForState(dlg, TurnReinput));
    expectControlsApartFromTheDrawing(dlg, "a wrong answer");
    if (isChoiceMode(mode)) {
      find<QPushButton>(dlg, 1012 + dlg.rightChoice())->click();
      ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.flow().currentId == 2 && dlg.flow().tstate == TurnReply; }, testwait::kPatienceMs));
      find<QPushButton>(dlg, 1012 + dlg.rightChoice())->click();
    } else {
      typeReply(dlg, QString::fromStdWString(dlg.correctAnswers().text(0)));
      ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.flow().currentId == 2 && dlg.flow().tstate == TurnReply; }, testwait::kPatienceMs));
      typeReply(dlg, QString::fromStdWString(dlg.correctAnswers().text(0)));
    }
    ASSERT_TRUE(waitForState(dlg, TurnWaitNextTrigger));
    expectControlsApartFromTheDrawing(dlg, "a right answer");
  }
}

TEST(DefaultSkin, FourChoicePronunciationHasALineOfItsOwnInAFaceWithTheSymbols) {
  const std::wstring symbols = L"ɪŋˈɡlɪʃ ðə θɔːt";
  for (int mode : {ModeEj4, ModeJe4}) {
    SCOPED_TRACE(modeName(mode));
    SkinWindow w({1, 2, 3}, L"", 0, mode);
    pdb3::execSqlf(w.app.accessor(), L"UPDATE question SET pronounce='%ls' WHERE qid IN (1, 2, 3)", symbols.c_str());
    ASSERT_TRUE(w.open());
    CTransDlg& dlg = *w.dlg;
    find<QPushButton>(dlg, 1012 + (dlg.rightChoice() + 1) % 4)->click();
    ASSERT_TRUE(waitForState(dlg, TurnReinput));
    auto* pronounce = find<QLabel>(dlg, 1103);
    ASSERT_TRUE(pronounce->isVisible());
    EXPECT_EQ(pronounce->text().toStdWString(), symbols);
    EXPECT_GE(pronounce->geometry().top(), 171);  // below the question's frame, whose bottom edge is 169
    EXPECT_LT(pronounce->geometry().bottom(), find<QWidget>(dlg, 1012)->geometry().top());
    const QRawFont face = QRawFont::fromFont(pronounce->font());
    for (const QChar c : pronounce->text()) EXPECT_TRUE(face.supportsCharacter(c)) << std::hex << static_cast<int>(c.unicode());
  }
}

TEST(SkinHostFunctions, RaiseTheirOwnErrorsAndDrawOnTheWindow) {
  SkinWindow w({1}, skinFixture("host_calls.lua"));
  ASSERT_TRUE(w.open());
  CTransDlg& dlg = *w.dlg;
  dlg.repaintWindow();
  dlg.grab();  // the skin's OnUpdate draws and logs its one call

  std::map<std::string, std::string> raised;
  for (const std::string& line : readLines(homeFile("host_calls.log"))) {
    const size_t bar = line.find('|');
    raised[line.substr(0, bar)] = line.substr(bar + 1);
  }
  EXPECT_EQ(raised["FillRect"], "false|DrawBorder : 引数エラー");
  EXPECT_EQ(raised["MoveButton"], "false|MoveButton : 引数エラー");
  EXPECT_EQ(raised["DrawImage"], "false|DrawImage : 画像ファイル 21 が読み込まれていません");
  EXPECT_EQ(raised["DrawImageNegative"], "false|DrawImage : 画像ファイル -1 が読み込まれていません");
  EXPECT_EQ(raised["LoadImageFile"], "false|LoadImageFile : 画像番号(20)が大きすぎます");
  EXPECT_EQ(raised["LoadUserVar"], "false|LoadUserVar : 変数タイプが不正です");
  EXPECT_EQ(raised["CreateFont"], "false|CreateFont : フォント定義が間違っています\\n12,0,0,0");
  EXPECT_EQ(raised["CreateFontNumber"], "false|CreateFont : フォント番号(20)が大きすぎます");
  EXPECT_EQ(raised["GetTickCount"], "false|GetTickCount : 引数エラー");
  EXPECT_EQ(raised["Alert"], "false|nil");
  EXPECT_EQ(raised["UserVar"], "9,0,0,0,0,IPAGothic|back.png");
  EXPECT_EQ(raised["MoveEdit"], "false|MoveEdit : OnUpdate から呼び出してはいけません");

  EXPECT_TRUE(dlg.findChild<QWidget*>("id1219")->isVisible());  // Func03 ignores "Hide"
  auto* cancel = dlg.findChild<QPushButton*>("id2");
  EXPECT_TRUE(cancel->isVisible());
  EXPECT_FALSE(cancel->isEnabled());
  EXPECT_EQ(cancel->text(), QString::fromStdWString(L"やめる"));
  EXPECT_EQ(dlg.findChild<QWidget*>("id1208")->geometry(), QRect(10, 10, 190, 30));
  // The text colours a placed control takes when the call names none, and the colours it names.
  const auto textColour = [&](int id) {
    return dlg.findChild<QWidget*>(QString("id%1").arg(id))->palette().color(QPalette::WindowText).name().toStdString();
  };
  EXPECT_EQ(textColour(1208), "#000088");
  EXPECT_EQ(textColour(1100), "#0000ff");
  EXPECT_EQ(textColour(1102), "#ff2020");
  EXPECT_EQ(textColour(1171), QApplication::palette().color(QPalette::WindowText).name().toStdString());  // none
  EXPECT_EQ(textColour(1101), "#00c000");
  EXPECT_EQ(dlg.findChild<QWidget*>("id1101")->palette().color(QPalette::Window).name().toStdString(), "#ffffe0");

  const QImage& drawn = dlg.surfaceImage();
  for (int x = 0; x < 10; ++x) EXPECT_EQ(drawn.pixelColor(x, 0), QColor(0, 0, 0)) << x;
  EXPECT_EQ(drawn.pixelColor(10, 0), QColor(255, 255, 255));  // a line ends before its end point
  for (QPoint p : {QPoint(20, 25), QPoint(30, 25), QPoint(25, 20), QPoint(25, 30)})
    EXPECT_EQ(drawn.pixelColor(p), QColor(255, 0, 0)) << p.x() << "," << p.y();
  EXPECT_EQ(drawn.pixelColor(25, 25), QColor(255, 255, 255));
  EXPECT_EQ(drawn.pixelColor(45, 45), QColor(0, 0xC0, 0));
  EXPECT_EQ(drawn.pixelColor(50, 50), QColor(255, 255, 255));
  EXPECT_EQ(drawn.pixelColor(79, 59), QColor(0, 0xC0, 0));  // stretched to 20 x 20
}

// The fifth field of a font definition strikes the text out, drawn and on a placed control; a
// missing face falls back on a sans-serif one.
TEST(SkinHostFunctions, CreateFontStrikesOutAndAsksForASansSerifFace) {
  SkinWindow w({1}, writeSkin("struck", "DesignName = \"struck\"\nDlgWidth_n = 300\nDlgHeight_n = 200\n"
                                        "BackgroundColor = \"FFFFFF\"\n"
                                        "function OnInit()\n"
                                        "  KLV.CreateFont(7, \"20,0,0,0,1,IPAGothic\")\n"
                                        "  KLV.CreateFont(8, \"20,0,0,0,0,IPAGothic\")\n"
                                        "  KLV.MoveEdit(10, 10, 280, 40, \"Question\", 7)\n"
                                        "end\n"
                                        "function OnUpdate()\n"
                                        "  KLV.FillRect(0, 60, 300, 200, \"FFFFFF\")\n"
                                        "  KLV.DrawText(10, 70, \"    \", 7, \"000000\")\n"
                                        "  KLV.DrawText(10, 130, \"    \", 8, \"000000\")\n"
                                        "end\n"));
  ASSERT_TRUE(w.open());
  CTransDlg& dlg = *w.dlg;
  ASSERT_TRUE(dlg.fonts[7] && dlg.fonts[8]);
  EXPECT_TRUE(dlg.fonts[7]->qfont().strikeOut());
  EXPECT_FALSE(dlg.fonts[8]->qfont().strikeOut());
  EXPECT_EQ(dlg.fonts[7]->qfont().styleHint(), QFont::SansSerif);
  EXPECT_TRUE(dlg.findChild<QWidget*>("id1208")->font().strikeOut());

  dlg.repaintWindow();
  dlg.grab();
  const QImage& drawn = dlg.surfaceImage();
  const auto inked = [&](int top) {
    int count = 0;
    for (int y = top; y < top + 40; ++y)
      for (int x = 10; x < 150; ++x) count += drawn.pixelColor(x, y) == QColor(0, 0, 0);
    return count;
  };
  EXPECT_GT(inked(70), 0) << "the struck-out blanks show their line";
  EXPECT_EQ(inked(130), 0);
  EXPECT_TRUE(w.app.notifier.boxes.empty());
}

TEST(SkinHostFunctions, AFailingOnUpdateIsReportedOnceAndTheStudyGoesOn) {
  SkinWindow w({1}, skinFixture("plain.lua"));
  ASSERT_TRUE(w.open());
  CTransDlg& dlg = *w.dlg;
  for (int i = 0; i < 5; ++i) {
    dlg.repaintWindow();
    dlg.grab();  // a paint; its failure is said once the paint is over
    QCoreApplication::processEvents();
  }
  const auto reports = [&] {
    return std::count_if(w.app.notifier.boxes.begin(), w.app.notifier.boxes.end(),
                         [](const std::wstring& box) { return box.rfind(L"ScriptError: ", 0) == 0; });
  };
  ASSERT_TRUE(QTest::qWaitFor([&] { return reports() > 0; }, testwait::kPatienceMs));
  EXPECT_EQ(reports(), 1);
  typeReply(dlg, "classroom");
  EXPECT_EQ(dlg.flow().all.corrects, 1);
}

TEST(SkinState, ALoggingSkinSeesEveryTransitionOfAStudy) {
  SkinWindow w({1, 2}, skinFixture("state_log.lua"), 100);  // the flash lasts long enough to be seen
  CTransDlg& dlg = *w.dlg;
  // Each state that waits for the learner is seen by the skin before the learner goes on.
  auto reach = [&](auto condition, const std::string& seenAs) {
    return QTest::qWaitFor(condition, testwait::kPatienceMs) && QTest::qWaitFor([&] {
             const std::vector<std::string> seen = readLines(homeFile("states.log"));
             return std::find(seen.begin(), seen.end(), seenAs) != seen.end();
           }, testwait::kPatienceMs);
  };
  dlg.show();
  ASSERT_TRUE(reach([&] { return dlg.flow().tstate == TurnReply; },
                    "reply firstreply 0/0 first 0/0 remain 1 mistakes 0"));
  typeReply(dlg, "classroom");
  ASSERT_TRUE(reach([&] { return dlg.flow().currentId == 2 && dlg.flow().tstate == TurnReply; },
                    "reply firstreply 1/0 first 1/0 remain 0 mistakes 0"));
  typeReply(dlg, "blackbored");
  ASSERT_TRUE(reach([&] { return dlg.flow().tstate == TurnReinput; },
                    "reinput firstreply 1/1 first 1/1 remain 0 mistakes 1"));
  typeReply(dlg, "blackboard");
  ASSERT_TRUE(reach([&] { return dlg.flow().astate == PassReReply && dlg.flow().tstate == TurnReply; },
                    "reply rereply 1/1 first 1/1 remain 0 mistakes 0"));
  dlg.reject();  // ends in a re-reply pass: straight to the end
  ASSERT_TRUE(QTest::qWaitFor([&] { return !dlg.isVisible(); }, testwait::kPatienceMs));

  const std::vector<std::string> expected = {
      "init init 0/0 first 0/0 remain 2 mistakes 0",
      "reply firstreply 0/0 first 0/0 remain 1 mistakes 0",
      "wait_displayanswer firstreply 1/0 first 1/0 remain 1 mistakes 0",
      "reply firstreply 1/0 first 1/0 remain 0 mistakes 0",
      "wait_flash firstreply 1/1 first 1/1 remain 0 mistakes 1",
      "reinput firstreply 1/1 first 1/1 remain 0 mistakes 1",
      "wait_displayanswer firstreply 1/1 first 1/1 remain 0 mistakes 1",
      "reply rereply 1/1 first 1/1 remain 0 mistakes 0",
      "end end 1/1 first 1/1 remain 0 mistakes 0",
  };
  const std::vector<std::string> seen = readLines(homeFile("states.log"));
  size_t next = 0;
  for (const std::string& line : seen) {
    if (next < expected.size() && line == expected[next]) ++next;
  }
  std::string all;
  for (const std::string& line : seen) all += line + "\n";
  EXPECT_EQ(next, expected.size()) << "missing: " << (next < expected.size() ? expected[next] : "") << "\nseen:\n" << all;
}

TEST(SkinApplication, BackgroundFromTheSkinFolderAndTheConfiguredColourAndTheKeptPlace) {
  const std::wstring bare = writeSkin("bare", "DesignName = \"bare\"\nDlgWidth_n = 200\nDlgHeight_n = 100\n"
                                             "BackgroundImageFile = \"tile.xpm\"\nfunction OnUpdate() end\n");
  QFile::copy(QString::fromStdWString(skinFixture("tile.xpm")), QFileInfo(QString::fromStdWString(bare)).path() + "/tile.xpm");
  SkinWindow w({1}, bare);
  w.app.settings.backgroundColor = 0x3020A0;  // no colour of the skin's or the user's: the setting's
  w.app.settings.keepLastReplyWindowPos.value = true;
  w.app.settings.replyWindowX.value = 40;
  w.app.settings.replyWindowY.value = 30;
  ASSERT_TRUE(w.open());
  EXPECT_EQ(w.dlg->pos(), QPoint(40, 30));
  EXPECT_EQ(w.dlg->size(), QSize(200, 100));
  const QImage& drawn = w.dlg->surfaceImage();
  EXPECT_EQ(drawn.pixelColor(5, 5), QColor(0, 0xC0, 0));
  EXPECT_EQ(drawn.pixelColor(150, 80), QColor(0xA0, 0x20, 0x30));
  w.dlg->move(70, 80);
  w.dlg->done(0);
  EXPECT_EQ(w.app.settings.replyWindowX.value, 70);
  EXPECT_EQ(w.app.settings.replyWindowY.value, 80);
  // The user's image, by the bare name the options page takes, lies beside the skin too.
  QImage mine(8, 8, QImage::Format_RGB32);
  mine.fill(QColor(0xFF, 0, 0));
  ASSERT_TRUE(mine.save(QFileInfo(QString::fromStdWString(bare)).path() + "/mine.png"));
  SkinWindow user({1}, bare);
  ASSERT_TRUE(platform::writeProfileString(L"tester", L"bare.lua_bgimage", L"mine.png", user.app.settings.skinUserfilePath.value));
  ASSERT_TRUE(user.open());
  EXPECT_EQ(user.dlg->surfaceImage().pixelColor(5, 5), QColor(0xFF, 0, 0));

  // The learner's colour goes before the one the skin names.
  const std::wstring named = writeSkin("named", "DesignName = \"named\"\nDlgWidth_n = 200\nDlgHeight_n = 100\n"
                                               "BackgroundColor = \"A02030\"\nfunction OnUpdate() end\n");
  SkinWindow chosen({1}, named);
  ASSERT_TRUE(platform::writeProfileString(L"tester", L"named.lua_bgclr", L"102040", chosen.app.settings.skinUserfilePath.value));
  ASSERT_TRUE(chosen.open());
  EXPECT_EQ(chosen.dlg->surfaceImage().pixelColor(150, 80), QColor(0x10, 0x20, 0x40));
}

// Skins written on Windows name their files with "\": the image, an included script and the user's
// image are found all the same.
TEST(SkinApplication, FilesNamedWithBackslashesAreFoundInTheSkinsSubfolders) {
  const std::wstring skin = writeSkin("backslashed", "DesignName = \"backslashed\"\nDlgWidth_n = 200\nDlgHeight_n = 100\n"
                                                     "BackgroundImageFile = \"img\\\\tile.xpm\"\n"
                                                     "KLV.DoFile(KLV.GetScriptFolderPath() .. \"\\\\parts\\\\colour.lua\")\n"
                                                     "function OnUpdate() end\n");
  const QString folder = QFileInfo(QString::fromStdWString(skin)).path();
  ASSERT_TRUE(QDir(folder).mkpath("img") && QDir(folder).mkpath("parts"));
  QFile::remove(folder + "/img/tile.xpm");
  ASSERT_TRUE(QFile::copy(QString::fromStdWString(skinFixture("tile.xpm")), folder + "/img/tile.xpm"));
  QFile included(folder + "/parts/colour.lua");
  ASSERT_TRUE(included.open(QIODevice::WriteOnly));
  included.write("BackgroundColor = \"A02030\"\n");
  included.close();
  SkinWindow w({1}, skin);
  ASSERT_TRUE(w.open());
  EXPECT_EQ(w.dlg->surfaceImage().pixelColor(5, 5), QColor(0, 0xC0, 0));
  EXPECT_EQ(w.dlg->surfaceImage().pixelColor(150, 80), QColor(0xA0, 0x20, 0x30));

  QImage mine(8, 8, QImage::Format_RGB32);
  mine.fill(QColor(0xFF, 0, 0));
  ASSERT_TRUE(mine.save(folder + "/img/mine.png"));
  SkinWindow user({1}, skin);
  ASSERT_TRUE(platform::writeProfileString(L"tester", L"backslashed.lua_bgimage", L"img\\mine.png",
                                           user.app.settings.skinUserfilePath.value));
  ASSERT_TRUE(user.open());
  EXPECT_EQ(user.dlg->surfaceImage().pixelColor(5, 5), QColor(0xFF, 0, 0));
}

TEST(SkinApplication, TheSystemColourKeepsTheTextsFaceOnlyWhenTheSkinNamesNoColour) {
  const std::wstring bare = writeSkin("plainface", "DesignName = \"plainface\"\nfunction OnUpdate() end\n");
  for (const bool systemColour : {false, true}) {
    SkinWindow w({1}, bare);
    w.app.settings.useOsDefaultBackgroundColor.value = systemColour;
    ASSERT_TRUE(w.open());
    const QWidget* question = w.dlg->findChild<QWidget*>("id1208");
    EXPECT_EQ(question->autoFillBackground(), systemColour);
    if (systemColour) {
      EXPECT_EQ(question->palette().color(QPalette::Window),
                platform::toQColor(platform::getSysColor(platform::ColorBtnFace)));
    }
  }
  SkinWindow coloured({1});  // the default skin names its colour
  coloured.app.settings.useOsDefaultBackgroundColor.value = true;
  ASSERT_TRUE(coloured.open());
  EXPECT_FALSE(coloured.dlg->findChild<QWidget*>("id1208")->autoFillBackground());
}

TEST(SkinHostFunctions, FarCoordinatesAndSizesDrawTheirVisiblePartAndAStateOutlivingItsWindowIsHarmless) {
  SkinWindow w({1}, writeSkin("far", "DesignName = \"far\"\nDlgWidth_n = 1e9\nDlgHeight_n = 100\nBackgroundColor = \"FFFFFF\"\n"
             "function OnInit() KLV.MoveEdit(-2e9, 0, 2e9, 20, \"Question\") end\n"
             "function OnUpdate()\n"
             "  KLV.DrawLine(-2e9, 5, 2e9, 5, \"FF0000\")\n"
             "  KLV.DrawLine(0, 10, 2e9, 1e9 + 10, \"0000FF\")\n"
             "  KLV.FillRect(-1e10, 50, 1e10, 60, \"00FF00\")\n"
             "end\n"
             // A finaliser runs while the state closes, after its window has gone.
             "keep = newproxy(true)\n"
             "getmetatable(keep).__gc = function() KLV.DrawLine(0, 0, 1, 1, \"000000\") end\n"));
  ASSERT_TRUE(w.open());
  w.dlg->repaintWindow();
  w.dlg->grab();  // the skin's OnUpdate draws
  // A window wider than any screen is cut to one that can be drawn.
  EXPECT_EQ(w.dlg->height(), 100);
  EXPECT_LE(w.dlg->width(), 4096);
  const QImage& drawn = w.dlg->surfaceImage();
  for (int x : {0, 100, 199}) EXPECT_EQ(drawn.pixelColor(x, 5), QColor(255, 0, 0)) << x;
  for (int x : {20, 100, 170}) EXPECT_EQ(drawn.pixelColor(x, 10 + x / 2), QColor(0, 0, 255)) << x;
  EXPECT_EQ(drawn.pixelColor(150, 55), QColor(0, 255, 0));
  const QRect question = w.dlg->findChild<QWidget*>("id1208")->geometry();
  EXPECT_TRUE(question.left() <= 0 && question.right() >= 199 && question.height() == 20);
  w.dlg.reset();
  EXPECT_TRUE(w.app.notifier.boxes.empty());
}

TEST(SkinHostFunctions, BoxesOfASkinOpenNeitherInsideAPaintNorWhileItLoads) {
  SkinWindow w({1}, writeSkin("boxes", "DesignName = \"boxes\"\nKLV.Alert('loading')\n"
                                       "function OnUpdate() if not said then said = true KLV.Alert('drawn') end end\n"
                                       "function OnTimer() end\n"));
  // Boxes that run an event loop, as real ones do, and see whether a paint is under way.
  struct Spin : platform::Notifier {
    CTransDlg* dlg = nullptr;
    std::vector<std::wstring> captions;
    int duringPaint = 0;
    int messageBox(QWidget*, const std::wstring&, const std::wstring& caption, unsigned) override {
      captions.push_back(caption);
      duringPaint += dlg->paintDc != nullptr;
      if (caption == L"KLV.Alert") QTest::qWait(100);
      return platform::IdOk;
    }
  } spin;
  spin.dlg = w.dlg.get();
  platform::NotifierOverride use(spin);
  ASSERT_TRUE(w.open());
  w.dlg->repaintWindow();
  w.dlg->ReloadSkin();  // a fresh state: loading and drawn again
  const auto alerts = [&] { return std::count(spin.captions.begin(), spin.captions.end(), L"KLV.Alert"); };
  ASSERT_TRUE(QTest::qWaitFor([&] { return alerts() == 4; }, testwait::kPatienceMs)) << alerts();
  EXPECT_EQ(spin.duringPaint, 0);
  EXPECT_EQ(std::count(spin.captions.begin(), spin.captions.end(), L"ScriptError"), 0);
}

// A study window waiting for an answer wakes the program only for a skin that animates.
TEST(SkinAnimation, TheTimerRunsOnlyWhileTheSkinDefinesOnTimer) {
  const std::wstring skin = writeSkin("still", "DesignName = 's'\nfunction OnUpdate() end\n");
  SkinWindow w({1, 2}, skin);
  ASSERT_TRUE(w.open());
  EXPECT_FALSE(w.dlg->animationTimerActive());

  // The same skin, changed to animate, is loaded again: the ticks start and reach its OnTimer.
  writeSkin("still", "DesignName = 's'\nfunction OnUpdate() end\n"
                     "function OnTimer() if not ticked then ticked = true KLV.Alert('tick') end end\n");
  w.dlg->ReloadSkin();
  EXPECT_TRUE(w.dlg->animationTimerActive());
  const auto ticked = [&] {
    return std::count_if(w.app.notifier.boxes.begin(), w.app.notifier.boxes.end(),
                         [](const std::wstring& box) { return box.find(L"tick") != std::wstring::npos; });
  };
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticked() == 1; }, testwait::kPatienceMs));

  w.dlg->done(0);
  EXPECT_FALSE(w.dlg->animationTimerActive());
}

TEST(SkinLimits, ALoopingSkinIsStoppedReportedOnceAndTheStudyGoesOn) {
  skintest::ShortSkinTimeLimit limit(std::chrono::milliseconds(300), std::chrono::milliseconds(1000));
  const std::map<QString, QByteArray> skins = {
      {"loop_update", "DesignName = 'u'\nfunction OnUpdate() while true do end end\n"},
      {"wait_timer", "DesignName = 'w'\nfunction OnUpdate() end\nfunction OnTimer() while true do os.execute('sleep 0.02') end end\n"},
      {"loop_timer", "DesignName = 't'\nfunction OnUpdate() end\nfunction OnTimer() while true do end end\n"},
      {"loop_chunk", "DesignName = 'c'\nfunction OnUpdate() end\nwhile true do end\n"},
  };
  for (const auto& [name, text] : skins) {
    SCOPED_TRACE(name.toStdString());
    SkinWindow w({1}, writeSkin(name, text));
    ASSERT_TRUE(w.open());
    const auto reports = [&] {
      return std::count_if(w.app.notifier.boxes.begin(), w.app.notifier.boxes.end(),
                           [](const std::wstring& box) { return box.rfind(L"ScriptError: ", 0) == 0; });
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return reports() > 0; }, testwait::kPatienceMs));
    for (int i = 0; i < 3; ++i) {
      w.dlg->repaintWindow();
      w.dlg->grab();
      QCoreApplication::processEvents();
    }
    EXPECT_EQ(reports(), 1);
    EXPECT_EQ(std::count_if(w.app.notifier.boxes.begin(), w.app.notifier.boxes.end(),
                            [](const std::wstring& box) { return box.find(L"止めました") != std::wstring::npos; }),
              1);
    typeReply(*w.dlg, "classroom");
    EXPECT_EQ(w.dlg->flow().all.corrects, 1);
  }
}

TEST(SkinLimits, APrecompiledSkinIsRefusedWithOneMessageAndTheStudyGoesOn) {
  std::string bytecode;
  {
    skintest::ProgramLuaState lua;
    ASSERT_EQ(lua.run("compiled = string.dump(function() DesignName = 'c' function OnUpdate() end end)"), 0);
    bytecode = lua.script().GetGlobalString("compiled");
  }
  SkinWindow w({1}, writeSkin("compiled", QByteArray::fromStdString(bytecode)));
  ASSERT_TRUE(w.open());
  for (int i = 0; i < 3; ++i) {
    w.dlg->repaintWindow();
    w.dlg->grab();
    QCoreApplication::processEvents();
  }
  const std::vector<std::wstring>& boxes = w.app.notifier.boxes;
  ASSERT_EQ(boxes.size(), 1u) << QString::fromStdWString(boxes.empty() ? L"" : boxes.back()).toStdString();
  EXPECT_NE(boxes[0].find(L"コンパイル済みの Lua チャンクは読み込めません"), std::wstring::npos);
  typeReply(*w.dlg, "classroom");
  EXPECT_EQ(w.dlg->flow().all.corrects, 1);
}
