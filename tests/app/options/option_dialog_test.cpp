#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QGroupBox>
#include <QLabel>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

#include "app/common/number_edit.h"
#include "app/options/option_dialog.h"
#include "app/options/option_page.h"
#include "fake_audio_player.h"
#include "platform/windows/file_dialog.h"
#include "platform/files/file_system.h"
#include "platform/files/folders.h"
#include "shell_fixture.h"
#include "study/sound/sound_queue.h"
#include "test_env.h"
#include "uictl/bars/library_globals.h"
#include "uictl/frames/colour/color_button.h"
#include "patience.h"

namespace {

QWidget* testHelpWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == "helpWindow") return widget;
  }
  return nullptr;
}

// Every file of the registry, by name, with its bytes.
std::map<QString, std::string> registryFiles() {
  std::map<QString, std::string> files;
  const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + "/kelvara";
  for (QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
    const QString path = it.next();
    files[path] = platform::readFileBytes(path.toStdWString()).value_or("");
  }
  return files;
}

class OptionDialog : public ShellFixture {
 protected:
  void SetUp() override {
    settings.installPath.value = files.path().toStdWString();
    settings.webdicInifilePath.value = files.filePath("webdic.ini").toStdWString();
    QDir().mkpath(files.filePath("data"));
    ASSERT_TRUE(platform::writeFileAtomically(files.filePath("data/Correct.wav").toStdWString(), "RIFF"));
    settings.correctSound.value = files.filePath("data/Correct.wav").toStdWString();
    settings.backgroundColor = 0x336699;
  }

  // The page's control named `name` (pages share control ids, so always look inside the page).
  template <class T = QWidget>
  T* control(COptionDlg& dialog, int page, const char* name) {
    T* found = dialog.page(page)->findChild<T*>(name);
    EXPECT_TRUE(found) << name;
    return found;
  }
  void select(COptionDlg& dialog, const wchar_t* text) {
    auto* tree = dialog.findChild<QTreeWidget*>("id1154");
    const auto items = tree->findItems(QString::fromWCharArray(text), Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(items.size(), 1);
    tree->setCurrentItem(items.front());
  }
  static void type(NumberEdit* field, const QString& text) {
    field->selectAll();
    QTest::keyClicks(field, text);
  }
  static QString visiblePage(COptionDlg& dialog) {
    QString shown;
    for (auto* page : dialog.findChildren<OptionPage*>(Qt::FindDirectChildrenOnly))
      if (!page->isHidden()) shown += page->objectName();
    return shown;
  }

  QTemporaryDir files;
  FakeAudioPlayer player;
  SoundQueue sounds{player};
};

TEST_F(OptionDialog, EachTreeItemShowsItsPageUnderItsTitle) {
  const UxLibrary library;  // the dialog is shown and takes keys
  COptionDlg dialog(app, sounds);
  dialog.show();
  EXPECT_EQ(visiblePage(dialog), "id165");
  const std::pair<const wchar_t*, const char*> items[] = {
      {L"学習", "id166"}, {L"タイピングモード", "id200"}, {L"４択モード", "id201"}, {L"カードモード", "id241"},
      {L"画面デザイン", "id168"}, {L"音声再生", "id169"}, {L"Web辞書検索", "id202"}, {L"ファイル", "id167"},
      {L"全般", "id165"}};
  for (const auto& [text, page] : items) {
    select(dialog, text);
    EXPECT_EQ(visiblePage(dialog), page) << page;
  }
  auto* tree = dialog.findChild<QTreeWidget*>("id1154");
  EXPECT_TRUE(tree->topLevelItem(1)->isExpanded());
  // Help shows the options page of the help in the one help window.
  QTemporaryDir programFolder;
  QDir().mkpath(programFolder.path() + "/help");
  QFile page(programFolder.path() + "/help/option.html");
  ASSERT_TRUE(page.open(QIODevice::WriteOnly));
  page.write("<html><body>options</body></html>");
  page.close();
  const platform::ProgramFolderOverride beside(programFolder.path().toStdWString());
  QTest::mouseClick(dialog.findChild<QPushButton*>("id1140"), Qt::LeftButton);
  auto* help = qobject_cast<QTextBrowser*>(testHelpWindow());
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->source().toLocalFile().endsWith("/help/option.html"));
  help->close();
  // F1 is the help button's key; Esc closes the help.
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog, testwait::kPatienceMs));
  QTest::keyClick(dialog.focusWidget() ? dialog.focusWidget() : &dialog, Qt::Key_F1);
  help = qobject_cast<QTextBrowser*>(testHelpWindow());
  ASSERT_NE(help, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowActive(help, testwait::kPatienceMs));
  EXPECT_TRUE(help->source().toLocalFile().endsWith("/help/option.html"));
  QTest::keyClick(help, Qt::Key_Escape);
  EXPECT_TRUE(QTest::qWaitFor([] { return testHelpWindow() == nullptr || !testHelpWindow()->isVisible(); }, testwait::kPatienceMs));

  // The banner: black to white, the title in light grey on its dark side.
  select(dialog, L"カードモード");
  const QRect banner = dialog.bannerRect();
  const QImage shot = dialog.grab(banner).toImage();
  EXPECT_EQ(shot.pixel(0, shot.height() - 1) & 0xFFFFFF, 0x000000u);
  EXPECT_GE(qRed(shot.pixel(shot.width() - 1, shot.height() - 1)), 0xF0);
  int titlePixels = 0;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width() / 3; ++x) titlePixels += (shot.pixel(x, y) & 0xFFFFFF) == 0xE0E0E0;
  EXPECT_GT(titlePixels, 20);
}

TEST_F(OptionDialog, TheHelpPageNamesThePagesOfTheTree) {
  COptionDlg dialog(app, sounds);
  QStringList tree;
  for (QTreeWidgetItemIterator it(dialog.findChild<QTreeWidget*>("id1154")); *it; ++it) tree << (*it)->text(0);
  QFile page(QString::fromStdString(testenv::programDir()) + "/help/option.html");
  ASSERT_TRUE(page.open(QIODevice::ReadOnly));
  const QString html = QString::fromUtf8(page.readAll());
  QStringList named;
  for (const QRegularExpressionMatch& term : QRegularExpression("<dt>([^<]*)</dt>").globalMatch(html)) named << term.captured(1);
  EXPECT_EQ(named, tree);
}

TEST_F(OptionDialog, ARefusedValueStoresNothingEvenAfterCancel) {
  const auto before = registryFiles();
  {
    COptionDlg dialog(app, sounds);
    control<QCheckBox>(dialog, COptionDlg::kReplyCardPage, "show-answer-on-make-exam-card")->click();
    ASSERT_TRUE(platform::deleteFile(settings.correctSound.value));
    dialog.accept();
    EXPECT_EQ(notifier.boxes, (std::vector<std::wstring>{
                                  L"Kelvara: 正解時の効果音ファイルが見つかりません。設定し直してください。",
                                  L"Kelvara: 更新できませんでした"}));
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(visiblePage(dialog), "id166");
    EXPECT_TRUE(settings.showAnswerOnMakeExamCard.value);

    // A typing limit under its range is refused the same way.
    notifier.boxes.clear();
    control<QCheckBox>(dialog, COptionDlg::kReplyPage, "correct-sound-use")->click();
    type(control<NumberEdit>(dialog, COptionDlg::kReplyInputPage, "reply-start-limit-count-je"), "400");
    dialog.accept();
    EXPECT_EQ(notifier.boxes, (std::vector<std::wstring>{L"Kelvara: 500 から 30000 までの整数を入力してください。",
                                                         L"Kelvara: 更新できませんでした"}));
    EXPECT_EQ(visiblePage(dialog), "id200");
    EXPECT_EQ(settings.replyStartLimitCountJe.value, 5000);
    EXPECT_FALSE(settings.correctSound.value.empty());
    dialog.reject();
  }
  EXPECT_TRUE(settings.showAnswerOnMakeExamCard.value);
  EXPECT_EQ(registryFiles(), before);
}

TEST_F(OptionDialog, ValuesTakenAtOkHoldInTheRegistry) {
  settings.opacity.value = 70;
  settings.webdicInifilePath.value = files.filePath("webdic.ini").toStdWString();
  COptionDlg dialog(app, sounds);
  auto* opacity = control<QComboBox>(dialog, COptionDlg::kReplyPage, "opacity");
  EXPECT_EQ(opacity->currentText(), "70%");
  ASSERT_EQ(opacity->count(), 9);
  opacity->setCurrentText("80%");
  control<QCheckBox>(dialog, COptionDlg::kReplyPage, "correct-sound-use")->click();
  type(control<NumberEdit>(dialog, COptionDlg::kReplyInputPage, "reply-limit-ej"), "2500");
  control<QRadioButton>(dialog, COptionDlg::kGeneralPage, "random-reply-off")->click();
  control<QLineEdit>(dialog, COptionDlg::kFilePage, "wav-voice-folder")->setText("/srv/voices");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(notifier.boxes.empty());

  RegistryKey root;
  ASSERT_TRUE(root.open(platform::RegistryRoot::CurrentUser, L"Software\\Tarvo Presents\\KLV7", false));
  IntSetting storedOpacity{L"settings\\1", L"opacity", 0};
  IntSetting storedLimit{L"settings\\1", L"reply-limit-ej", 0};
  BoolSetting storedRandom{L"settings\\1", L"random-reply", true};
  StringSetting storedSound{L"settings\\1", L"correct-sound", L"default", L"no entry"};
  StringSetting storedFolder{L"settings\\1", L"wav-voice-folder", L"", L"no entry"};
  for (Setting* setting : std::initializer_list<Setting*>{&storedOpacity, &storedLimit, &storedRandom, &storedSound,
                                                          &storedFolder})
    setting->load(root);
  EXPECT_EQ(storedOpacity.value, 80);
  EXPECT_EQ(storedLimit.value, 2500);
  EXPECT_FALSE(storedRandom.value);
  EXPECT_EQ(storedSound.value, L"");  // switched off: no sound
  EXPECT_EQ(storedFolder.value, L"/srv/voices");

  COptionDlg again(app, sounds);
  control<QComboBox>(again, COptionDlg::kReplyPage, "opacity")->setCurrentText("100%");
  again.accept();
  EXPECT_EQ(settings.opacity.value, 100);
}

TEST_F(OptionDialog, AWebDictionaryListThatCannotBeSavedSaysWhy) {
  settings.webdicInifilePath.value = files.filePath("missing/webdic.ini").toStdWString();
  COptionDlg dialog(app, sounds);
  dialog.accept();
  EXPECT_EQ(notifier.boxes, std::vector<std::wstring>{L"Kelvara: Web辞書の設定を保存できませんでした。\n"
                                                      L"書き込み先のフォルダが見つかりません。"});
}

TEST_F(OptionDialog, ChecksEnableTheirFieldsAndTheJudgeRulesExcludeEachOther) {
  COptionDlg dialog(app, sounds);
  const int input = COptionDlg::kReplyInputPage;
  auto* useLimit = control<QCheckBox>(dialog, input, "use-reply-limit-ej");
  auto* limit = control<NumberEdit>(dialog, input, "reply-limit-ej");
  ASSERT_TRUE(useLimit->isChecked());
  EXPECT_TRUE(limit->isEnabled());
  useLimit->click();
  EXPECT_FALSE(limit->isEnabled());

  auto* head = control<QCheckBox>(dialog, input, "judge-by-head-reply");
  auto* sub = control<QCheckBox>(dialog, input, "judge-by-sub-reply");
  auto* count = control<NumberEdit>(dialog, input, "judge-sub-count");
  EXPECT_FALSE(count->isEnabled());
  head->click();
  EXPECT_TRUE(count->isEnabled());
  sub->click();
  EXPECT_TRUE(sub->isChecked());
  EXPECT_FALSE(head->isChecked());
  EXPECT_TRUE(count->isEnabled());
  sub->click();
  EXPECT_FALSE(count->isEnabled());

  auto* overCount = control<NumberEdit>(dialog, input, "multi-judge-ok-on-over-count");
  EXPECT_FALSE(overCount->isEnabled());
  control<QRadioButton>(dialog, input, "multi-judge-count-1")->click();
  EXPECT_TRUE(overCount->isEnabled());

  // Spin buttons stay in the range; typed text stays as typed until OK judges it.
  overCount->stepBy(10);
  EXPECT_EQ(overCount->text(), "5");
  type(overCount, "9x");
  EXPECT_EQ(overCount->text(), "9x");
  EXPECT_FALSE(overCount->number());

  auto* sound = control<QCheckBox>(dialog, COptionDlg::kReplyPage, "correct-sound-use");
  sound->click();
  EXPECT_FALSE(control(dialog, COptionDlg::kReplyPage, "correct-sound-play")->isEnabled());
}

TEST_F(OptionDialog, DefaultsFillTheFieldsAndStoreNothing) {
  settings.ignoreCase.value = false;
  settings.replyLimitEj4.value = 9000;
  settings.correctSound.value = L"";
  settings.databasePath.defaultValue = L"/home/u/Documents/Kelvara/database.klvdb7";
  settings.databasePath.value = L"/elsewhere/mine.klvdb7";
  settings.voiceRate.value = 4;
  COptionDlg dialog(app, sounds);
  dialog.findChild<QPushButton*>("id3")->click();
  EXPECT_TRUE(control<QCheckBox>(dialog, COptionDlg::kReplyInputPage, "ignore-case")->isChecked());
  EXPECT_EQ(control<NumberEdit>(dialog, COptionDlg::kReplySelectPage, "reply-limit-ej4")->text(), "15000");
  EXPECT_TRUE(control<QCheckBox>(dialog, COptionDlg::kReplyPage, "correct-sound-use")->isChecked());
  EXPECT_EQ(control<QLineEdit>(dialog, COptionDlg::kReplyPage, "correct-sound")->text(),
            files.filePath("data/Correct.wav"));
  EXPECT_EQ(control<QLineEdit>(dialog, COptionDlg::kFilePage, "database-path")->text(),
            "/home/u/Documents/Kelvara/database.klvdb7");
  EXPECT_EQ(control<QSlider>(dialog, COptionDlg::kVoicePage, "id1179")->value(), 4);  // not a page with defaults
  EXPECT_EQ(control<CUxColorButton>(dialog, COptionDlg::kGeneralPage, "background-color")->GetColor(), 0xFFF1E2u);
  EXPECT_FALSE(settings.ignoreCase.value);
  EXPECT_EQ(settings.replyLimitEj4.value, 9000);
  EXPECT_EQ(settings.databasePath.value, L"/elsewhere/mine.klvdb7");
}

// The Alt letter of a control's text; 0 when it has none.
int mnemonicOf(const QWidget* widget) {
  QString text;
  if (auto* button = qobject_cast<const QAbstractButton*>(widget)) text = button->text();
  if (auto* label = qobject_cast<const QLabel*>(widget)) text = label->text();
  if (auto* group = qobject_cast<const QGroupBox*>(widget)) text = group->title();
  const QKeySequence mnemonic = QKeySequence::mnemonic(text);
  return mnemonic.isEmpty() ? 0 : mnemonic[0].key();
}

TEST_F(OptionDialog, TheDefaultsButtonTakesALetterNoOtherControlUses) {
  const UxLibrary library;
  settings.ignoreCase.value = false;
  COptionDlg dialog(app, sounds);
  auto* defaults = dialog.findChild<QPushButton*>("id3");
  const int letter = mnemonicOf(defaults);
  ASSERT_NE(letter, 0);
  for (const QWidget* widget : dialog.findChildren<QWidget*>()) {
    if (widget != defaults) EXPECT_NE(mnemonicOf(widget), letter) << widget->objectName().toStdString();
  }
  dialog.show();
  select(dialog, L"音声再生");
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog, testwait::kPatienceMs));
  QTest::keyClick(dialog.focusWidget() ? dialog.focusWidget() : &dialog, static_cast<Qt::Key>(letter), Qt::AltModifier);
  auto* ignoreCase = control<QCheckBox>(dialog, COptionDlg::kReplyInputPage, "ignore-case");
  EXPECT_TRUE(QTest::qWaitFor([&] { return ignoreCase->isChecked(); }, testwait::kPatienceMs));  // a pressed look first
  EXPECT_FALSE(settings.ignoreCase.value);
}

TEST_F(OptionDialog, TheChosenBackgroundIsPreviewedAndCancelPutsTheStoredOneBack) {
  {
    COptionDlg dialog(app, sounds);
    auto* button = control<CUxColorButton>(dialog, COptionDlg::kGeneralPage, "background-color");
    EXPECT_EQ(button->GetColor(), 0x336699u);
    EXPECT_EQ(button->AutomaticColor, 0xFFF1E2u);
    button->UpdateColor(0x0000FF);  // what the popup does with a colour chosen in it
    EXPECT_EQ(app.backgroundBrush.color(), QColor(255, 0, 0));
    dialog.reject();
    EXPECT_EQ(app.backgroundBrush.color(), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(settings.backgroundColor, 0x336699);
  }
  // The automatic entry stands for the default colour; the system colour check disables the button.
  COptionDlg dialog(app, sounds);
  auto* button = control<CUxColorButton>(dialog, COptionDlg::kGeneralPage, "background-color");
  button->UpdateColor(platform::kNoColor);
  EXPECT_EQ(app.backgroundBrush.color(), QColor(0xE2, 0xF1, 0xFF));
  auto* system = control<QCheckBox>(dialog, COptionDlg::kGeneralPage, "use-os-default-background-color");
  system->click();
  EXPECT_FALSE(button->isEnabled());
  system->click();
  dialog.accept();
  EXPECT_EQ(settings.backgroundColor, 0xFFF1E2);
}

TEST_F(OptionDialog, AnswerSoundsAreChosenAndTriedOnTheQueue) {
  struct Answers : platform::FileDialogs {
    std::optional<std::wstring> answer;
    std::vector<platform::FileDialogRequest> asked;
    std::optional<std::wstring> chooseFile(QWidget*, const platform::FileDialogRequest& request) override {
      asked.push_back(request);
      return answer;
    }
    std::optional<std::wstring> chooseFolder(QWidget*, const std::wstring&, const std::wstring&) override {
      return answer;
    }
  } dialogs;
  platform::FileDialogOverride useDialogs(dialogs);
  COptionDlg dialog(app, sounds);
  const int reply = COptionDlg::kReplyPage;
  control<QSlider>(dialog, reply, "sound-volume")->setValue(40);
  control<QPushButton>(dialog, reply, "correct-sound-play")->click();
  ASSERT_EQ(player.started.size(), 1u);
  EXPECT_EQ(player.started[0], files.filePath("data/Correct.wav").toStdString() + " 40 40");

  dialogs.answer = files.filePath("data/missing.wav").toStdWString();
  control<QPushButton>(dialog, reply, "correct-sound-browse")->click();
  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].title, L"正解時の再生音");
  EXPECT_EQ(dialogs.asked[0].initialPath, files.path().toStdWString() + L"/data/");
  EXPECT_EQ(notifier.boxes.back(), L"Kelvara: ファイルが見つかりません。");
  EXPECT_EQ(control<QLineEdit>(dialog, reply, "correct-sound")->text(), files.filePath("data/Correct.wav"));

  player.unplayable.insert(files.filePath("data/missing.wav").toStdString());
  control<QLineEdit>(dialog, reply, "correct-sound")->setText(files.filePath("data/missing.wav"));
  control<QPushButton>(dialog, reply, "correct-sound-play")->click();
  EXPECT_EQ(notifier.boxes.back(), L"Kelvara: 正解時の効果音ファイルが存在しません・・・。設定し直してください。");

  // The database is changed only after the warning.
  notifier.answer = platform::IdNo;
  control<QPushButton>(dialog, COptionDlg::kFilePage, "database-path-browse")->click();
  EXPECT_EQ(notifier.boxes.back().rfind(L"CAUTION!: 誤ったデータベースファイル", 0), 0u);
  EXPECT_EQ(dialogs.asked.size(), 1u);
  notifier.answer = platform::IdYes;
  dialogs.answer = settings.correctSound.value;
  control<QPushButton>(dialog, COptionDlg::kFilePage, "database-path-browse")->click();
  ASSERT_EQ(dialogs.asked.size(), 2u);
  EXPECT_EQ(dialogs.asked[1].title, L"KLV DatabaseFile の設定");
  EXPECT_EQ(control<QLineEdit>(dialog, COptionDlg::kFilePage, "database-path")->text(),
            QString::fromStdWString(settings.correctSound.value));
}

}  // namespace
