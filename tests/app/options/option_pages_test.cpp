#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "app/options/option_dialog.h"
#include "app/options/option_page_voice.h"
#include "app/options/option_page_webdic.h"
#include "fake_agent_server.h"
#include "fake_audio_player.h"
#include "platform/speech/agent_link.h"
#include "platform/files/file_system.h"
#include "platform/settings/ini_profile.h"
#include "recording_speech_engine.h"
#include "scoped_env.h"
#include "shell_fixture.h"
#include "study/sound/sound_queue.h"
#include "uictl/bars/library_globals.h"
#include "patience.h"

namespace {

class OptionPages : public ShellFixture {
 protected:
  void SetUp() override {
    settings.webdicInifilePath.value = files.filePath("webdic.ini").toStdWString();
    settings.katmodeFilePath.value = files.filePath("katmode.txt").toStdWString();
    settings.correctSound.value = settings.incorrectSound.value = L"";
  }
  template <class T = QWidget>
  T* control(COptionDlg& dialog, int page, int id) {
    T* found = dialog.page(page)->findChild<T*>(QString("id%1").arg(id));
    EXPECT_TRUE(found) << id;
    return found;
  }
  void speechWithRecorder() {
    app.speechVoice = SpeechVoice([this] { return std::make_unique<RecordingSpeechEngine>(spoken); });
    ASSERT_TRUE(app.speechVoice.prepare(settings));
  }

  QTemporaryDir files;
  FakeAudioPlayer player;
  SoundQueue sounds{player};
  std::vector<std::wstring> spoken;
};

TEST_F(OptionPages, AgentEnginesComeInGroupsOfThreeLines) {
  ASSERT_TRUE(platform::writeFileAtomically(settings.katmodeFilePath.value,
                                            "Mary\n{AAA}\n409\nbroken\n{BBB}\nnot hex\nSam\n{CCC}\n40a\nhalf\n{DDD}\n"));
  const std::vector<AgentEngine> engines = readAgentEngines(settings.katmodeFilePath.value);
  ASSERT_EQ(engines.size(), 2u);
  EXPECT_EQ(engines[0].name, L"Mary");
  EXPECT_EQ(engines[1].text, L"{CCC}");
  EXPECT_EQ(engines[1].number, 0x40Au);
  EXPECT_TRUE(readAgentEngines(files.filePath("none.txt").toStdWString()).empty());
}

TEST_F(OptionPages, VoiceAndAgentExcludeEachOtherAndAMissingAgentIsTold) {
  speechWithRecorder();
  settings.useVoice.value = true;
  COptionDlg dialog(app, sounds);
  const int page = COptionDlg::kVoicePage;
  auto* voice = control<QCheckBox>(dialog, page, 1169);
  auto* agent = control<QCheckBox>(dialog, page, 1170);
  EXPECT_TRUE(control(dialog, page, 1179)->isEnabled());
  EXPECT_FALSE(control(dialog, page, 1185)->isEnabled());

  agent->click();  // no agent program here
  EXPECT_EQ(notifier.boxes, std::vector<std::wstring>{L"Kelvara: KlvAgent が利用できません"});
  EXPECT_FALSE(agent->isChecked());
  EXPECT_TRUE(voice->isChecked());

  FakeAgentServer server(platform::agentSocketPath());
  ASSERT_TRUE(server.listening());
  agent->click();
  EXPECT_TRUE(agent->isChecked());
  EXPECT_FALSE(voice->isChecked());
  EXPECT_FALSE(control(dialog, page, 1179)->isEnabled());
  EXPECT_TRUE(control(dialog, page, 1185)->isEnabled());
  voice->click();
  EXPECT_FALSE(agent->isChecked());

  // Without speech the voice cannot be chosen at all.
  app.speechVoice = SpeechVoice([] { return nullptr; });
  COptionDlg mute(app, sounds);
  EXPECT_FALSE(control(mute, page, 1169)->isEnabled());
  EXPECT_FALSE(control(mute, page, 1015)->isEnabled());
  EXPECT_EQ(control(mute, page, 1015)->toolTip(), QString::fromWCharArray(L"音声合成エンジン (espeak-ng) を起動できません。"));
}

TEST_F(OptionPages, TheVoiceListHoldsTheEnginesVoicesAndASilentTestSaysWhy) {
  // The system's synthesiser, heard nowhere.
  app.speechVoice = SpeechVoice([] { return platform::makeSystemSpeechEngine(platform::openNullSink); });
  settings.useVoice.value = true;
  settings.voice5Id.value = L"";  // no voice chosen yet: the engine's default speaks
  ASSERT_TRUE(app.speechVoice.prepare(settings));
  const int page = COptionDlg::kVoicePage;
  const UxLibrary library;  // the dialog is shown
  {
    COptionDlg dialog(app, sounds, page);
    auto* voices = control<QComboBox>(dialog, page, 1196);
    EXPECT_GT(voices->count(), 10);
    EXPECT_EQ(voices->currentText().toStdWString(), app.speechVoice.voiceName());
    EXPECT_FALSE(voices->currentText().isEmpty());
    control<QPushButton>(dialog, page, 1015)->click();
    EXPECT_EQ(notifier.boxes,
              std::vector<std::wstring>{L"Kelvara: サウンドデバイスが見つからないため、音声は聞こえません。"});
    // The labels' mnemonics reach the controls they name.
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog, testwait::kPatienceMs));
    QTest::keyClick(&dialog, Qt::Key_E, Qt::AltModifier);
    EXPECT_TRUE(voices->hasFocus());
    QTest::keyClick(&dialog, Qt::Key_X, Qt::AltModifier);
    EXPECT_TRUE(control(dialog, page, 1176)->hasFocus());
    voices->setCurrentIndex(voices->findText("German"));
    dialog.accept();
  }
  EXPECT_EQ(settings.voice5Id.value, L"German");
  COptionDlg again(app, sounds);
  EXPECT_EQ(control<QComboBox>(again, page, 1196)->currentText(), "German");
}

TEST_F(OptionPages, PitchAndEngineReachTheAgentAndTheTestIsSpoken) {
  speechWithRecorder();
  ASSERT_TRUE(platform::writeFileAtomically(settings.katmodeFilePath.value,
                                            "Mary\n{AAA}\n409\nSam\n{CCC}\n40a\nleft over\n"));
  settings.agentLanguageId.value = L"40a,{CCC}";
  settings.useAgentVoice.value = true;
  settings.useVoice.value = false;
  FakeAgentServer server(platform::agentSocketPath());
  COptionDlg dialog(app, sounds);
  const int page = COptionDlg::kVoicePage;
  auto* engines = control<QComboBox>(dialog, page, 1197);
  ASSERT_EQ(engines->count(), 2);
  EXPECT_EQ(engines->currentIndex(), 1);

  control<QSlider>(dialog, page, 1185)->setValue(150);
  EXPECT_EQ(control<QLineEdit>(dialog, page, 1275)->text(), "150");
  engines->setCurrentIndex(0);
  control<QPushButton>(dialog, page, 1015)->click();
  const auto messages = server.messages();
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_EQ(messages[0].command, platform::AgentEngine);  // the page opening
  EXPECT_EQ(messages[0].text, u"40a,{CCC}");
  EXPECT_EQ(messages[1].command, platform::AgentPitch);
  EXPECT_EQ(messages[1].text, u"150");
  EXPECT_EQ(messages[2].command, platform::AgentEngine);
  EXPECT_EQ(messages[2].text, u"409,{AAA}");
  EXPECT_EQ(messages[3].command, platform::AgentSpeak);
  EXPECT_EQ(messages[3].text, u"Kelvara");
  EXPECT_TRUE(spoken.empty());

  control<QCheckBox>(dialog, page, 1169)->click();
  control<QLineEdit>(dialog, page, 1176)->setText("apple");
  control<QPushButton>(dialog, page, 1015)->click();
  EXPECT_EQ(spoken, std::vector<std::wstring>{L"apple"});

  // The format holds at once; the rest at OK.
  auto* formats = control<QComboBox>(dialog, page, 1180);
  ASSERT_EQ(formats->count(), 36);
  EXPECT_EQ(formats->itemText(0), "8kHz 8 Bit Mono");
  EXPECT_EQ(formats->currentData().toInt(), 27);
  formats->setCurrentIndex(formats->findData(12));
  EXPECT_EQ(settings.voiceFormat.value, 12);
  control<QSlider>(dialog, page, 1179)->setValue(-3);
  EXPECT_EQ(settings.voiceRate.value, 0);
  dialog.accept();
  EXPECT_EQ(settings.voiceRate.value, -3);
  EXPECT_EQ(settings.agentPitch.value, 150);
  EXPECT_EQ(settings.agentLanguageId.value, L"409,{AAA}");
  EXPECT_TRUE(settings.useVoice.value);
  EXPECT_FALSE(settings.useAgentVoice.value);

  settings.agentLanguageId.value = L"999,{ZZZ}";  // an engine the file does not list
  COptionDlg unknown(app, sounds);
  EXPECT_EQ(control<QComboBox>(unknown, page, 1197)->currentIndex(), -1);

  // Agent speech now off: the options command lets the agent go.
  testenv::ScopedEnv unattended("KELVARA_AUTOANSWER", "cancel");
  RunOptionsDialog(app, sounds, nullptr);
  EXPECT_EQ(server.messages().back().command, platform::AgentQuit);
}

TEST_F(OptionPages, WebDictionaryRowsAreEditedAndSavedAtOk) {
  app.webDictionaries.entries = {{kEnglishJapanese, true, L"A", L"http://a/", L""},
                                 {kWebSearch, false, L"B", L"http://b/?q=", L"&x"}};
  COptionDlg dialog(app, sounds);
  const int page = COptionDlg::kWebdicPage;
  auto* rows = control<QTreeWidget>(dialog, page, 1184);
  ASSERT_EQ(rows->topLevelItemCount(), 2);
  EXPECT_EQ(rows->topLevelItem(1)->text(0), QString::fromWCharArray(L"Web検索"));
  EXPECT_EQ(rows->topLevelItem(0)->checkState(0), Qt::Checked);

  rows->setCurrentItem(rows->topLevelItem(1));
  EXPECT_EQ(control<QLineEdit>(dialog, page, 1023)->text(), "http://b/?q=");
  EXPECT_EQ(control<QComboBox>(dialog, page, 1183)->currentIndex(), 2);
  control<QPushButton>(dialog, page, 1015)->click();  // up
  EXPECT_EQ(rows->topLevelItem(0)->text(1), "B");
  EXPECT_EQ(rows->topLevelItem(0)->checkState(0), Qt::Unchecked);
  EXPECT_EQ(rows->currentItem(), rows->topLevelItem(0));
  control<QPushButton>(dialog, page, 1015)->click();  // already first
  control<QPushButton>(dialog, page, 1016)->click();  // down again
  EXPECT_EQ(rows->topLevelItem(1)->text(1), "B");

  control<QLineEdit>(dialog, page, 1271)->setText("B2");
  control<QComboBox>(dialog, page, 1183)->setCurrentIndex(1);
  control<QPushButton>(dialog, page, 1013)->click();  // change
  EXPECT_EQ(rows->topLevelItem(1)->text(1), "B2");
  EXPECT_EQ(rows->topLevelItem(1)->text(0), QString::fromWCharArray(L"和英辞書"));

  for (int i = rows->topLevelItemCount(); i < 20; ++i) control<QPushButton>(dialog, page, 1012)->click();
  EXPECT_TRUE(notifier.boxes.empty());
  control<QPushButton>(dialog, page, 1012)->click();
  EXPECT_EQ(notifier.boxes, std::vector<std::wstring>{L"Kelvara: 登録できるのは 20 個までです。"});
  EXPECT_EQ(rows->topLevelItemCount(), 20);
  rows->setCurrentItem(rows->topLevelItem(19));
  for (int i = 0; i < 18; ++i) control<QPushButton>(dialog, page, 1014)->click();  // delete
  ASSERT_EQ(rows->topLevelItemCount(), 2);

  notifier.boxes.clear();
  dialog.accept();
  EXPECT_TRUE(notifier.boxes.empty());
  ASSERT_EQ(app.webDictionaries.entries.size(), 2u);
  EXPECT_EQ(app.webDictionaries.entries[1].type, kJapaneseEnglish);
  EXPECT_EQ(app.webDictionaries.entries[1].title, L"B2");
  EXPECT_FALSE(app.webDictionaries.entries[1].enabled);
  WebDictionaryList saved;
  saved.Load(settings.webdicInifilePath.value);
  ASSERT_EQ(saved.entries.size(), 2u);
  EXPECT_EQ(saved.entries[0].title, L"A");
  EXPECT_EQ(saved.entries[1].foot, L"&x");
}

}  // namespace
