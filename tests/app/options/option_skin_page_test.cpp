#include <QCheckBox>
#include <QImage>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include "app/options/option_dialog.h"
#include "app/options/option_page_skin.h"
#include "fake_audio_player.h"
#include "platform/files/file_system.h"
#include "platform/windows/file_dialog.h"
#include "platform/settings/ini_profile.h"
#include "platform/drawing/system_metrics.h"
#include "shell_fixture.h"
#include "study/sound/sound_queue.h"
#include "platform/text.h"
#include "test_env.h"
#include "uictl/bars/combos/font_combo_box.h"
#include "uictl/bars/library_globals.h"
#include "uictl/frames/colour/color_button.h"
#include "patience.h"

namespace {

class SkinPage : public ShellFixture {
 protected:
  void SetUp() override {
    settings.correctSound.value = settings.incorrectSound.value = L"";
    settings.webdicInifilePath.value = path("webdic.ini");
    settings.skinUserfilePath.value = path("skinuser.ini");
    settings.userName.value = L"taro";
    writeSkin("blue.lua", "DesignName = 'Blue'\nDlgWidth_n = 480\nDlgHeight_n = 320\nBackgroundColor = 'FFFFFF'\n"
                          "KLV.LoadUserVar('TitleFont', 'font', '10, 0, 0, 0, 0, IPAGothic')\n"
                          "KLV.LoadUserVar('TextColor', 'color', '112233')\n");
    writeSkin("plain.lua", "DlgWidth_n = 100\n");
    writeSkin("red.lua", "DesignName = 'Red'\nKLV.LoadUserVar('Answer', 'color', '0000FF')\n");
    settings.skin7Path.value = path("blue.lua");
  }
  std::wstring path(const char* name) const { return files.filePath(name).toStdWString(); }
  void writeSkin(const char* name, const char* text) {
    ASSERT_TRUE(platform::writeFileAtomically(path(name), text));
  }
  std::wstring userValue(const wchar_t* key) const {
    return platform::getProfileString(L"taro", key, L"<none>", settings.skinUserfilePath.value);
  }
  template <class T = QWidget>
  T* control(int id) {
    T* found = dialog->page(COptionDlg::kSkinPage)->findChild<T*>(QString("id%1").arg(id));
    EXPECT_TRUE(found) << id;
    return found;
  }
  void selectVariable(const char* name) {
    auto* list = control<QListWidget>(1250);
    const auto items = list->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << name;
    list->setCurrentItem(items.front());
  }
  // Opens the dialog, gives the user a text colour of their own and saves it with OK.
  void saveOwnTextColour(COLORREF colour) {
    open();
    selectVariable("TextColor");
    control<QCheckBox>(1174)->click();
    control<CUxColorButton>(1251)->UpdateColor(colour);
    dialog->accept();
  }
  // Opens the dialog on the user's value of the first skin's font variable.
  void showTitleFont(const wchar_t* value) {
    ASSERT_TRUE(platform::writeProfileString(L"taro", L"blue.lua_TitleFont", value, settings.skinUserfilePath.value));
    open();
    selectVariable("TitleFont");
  }
  void open() {
    dialog = std::make_unique<COptionDlg>(app, sounds, COptionDlg::kSkinPage);
  }

  QTemporaryDir files;
  FakeAudioPlayer player;
  SoundQueue sounds{player};
  std::unique_ptr<COptionDlg> dialog;
};

TEST_F(SkinPage, SkinsAreListedByDesignNameAndChangingSkinSavesTheValuesOfThePreviousOne) {
  const UxLibrary library;  // the dialog is shown
  open();
  auto* skins = control<QComboBox>(1155);
  ASSERT_EQ(skins->count(), 2);  // the skin without a design name is not offered
  EXPECT_EQ(skins->currentText(), "Blue");
  EXPECT_EQ(control<QLineEdit>(1156)->text(), "480");
  EXPECT_EQ(control<QLineEdit>(1157)->text(), "320");
  dialog->show();  // the label's mnemonic reaches the skin list
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get(), testwait::kPatienceMs));
  QTest::keyClick(dialog.get(), Qt::Key_S, Qt::AltModifier);
  EXPECT_TRUE(skins->hasFocus());
  auto* list = control<QListWidget>(1250);
  QStringList names;
  for (int i = 0; i < list->count(); ++i) names << list->item(i)->text();
  EXPECT_EQ(names, QStringList({QString::fromWCharArray(L"背景色"), QString::fromWCharArray(L"背景画像"), "TitleFont",
                                "TextColor"}));
  EXPECT_EQ(list->currentRow(), 0);
  EXPECT_FALSE(control<QCheckBox>(1174)->isChecked());
  EXPECT_FALSE(control<CUxColorButton>(1251)->isEnabled());

  // A colour of the user's: kept in the page until the skin changes.
  selectVariable("TextColor");
  EXPECT_EQ(control<CUxColorButton>(1251)->GetColor(), 0x332211u);
  control<QCheckBox>(1174)->click();
  EXPECT_TRUE(control<CUxColorButton>(1251)->isEnabled());
  control<CUxColorButton>(1251)->UpdateColor(0x0A0B0C);
  EXPECT_EQ(userValue(L"blue.lua_TextColor"), L"<none>");
  skins->setCurrentIndex(skins->findText("Red"));
  EXPECT_EQ(userValue(L"blue.lua_TextColor"), L"0C0B0A");
  EXPECT_EQ(userValue(L"blue.lua_bgclr"), L"");
  EXPECT_EQ(control<QLineEdit>(1095)->text(), files.filePath("red.lua"));
  EXPECT_EQ(list->count(), 3);

  // Back on the first skin, the user's value is shown; unchecking writes an empty value at OK.
  skins->setCurrentIndex(skins->findText("Blue"));
  selectVariable("TextColor");
  EXPECT_TRUE(control<QCheckBox>(1174)->isChecked());
  EXPECT_EQ(control<CUxColorButton>(1251)->GetColor(), 0x0A0B0Cu);
  control<QCheckBox>(1174)->click();
  EXPECT_EQ(control<CUxColorButton>(1251)->GetColor(), 0x0A0B0Cu);
  EXPECT_FALSE(control<CUxColorButton>(1251)->isEnabled());
  skins->setCurrentIndex(skins->findText("Red"));
  dialog->accept();
  EXPECT_EQ(userValue(L"blue.lua_TextColor"), L"");
  EXPECT_EQ(settings.skin7Path.value, path("red.lua"));
}

// A skin chosen with 参照 shows in the list, from another folder too; a file that is no skin is refused.
TEST_F(SkinPage, ASkinChosenByBrowsingShowsInTheListEvenFromAnotherFolder) {
  struct ChosenFile : platform::FileDialogs {
    std::wstring file;
    std::optional<std::wstring> chooseFile(QWidget*, const platform::FileDialogRequest&) override { return file; }
    std::optional<std::wstring> chooseFolder(QWidget*, const std::wstring&, const std::wstring&) override { return {}; }
  } dialogs;
  const platform::FileDialogOverride useDialogs(dialogs);
  ASSERT_TRUE(QDir(files.path()).mkpath("other"));
  ASSERT_TRUE(platform::writeFileAtomically(path("other/green.lua"), "DesignName = 'Green'\nDlgWidth_n = 222\n"));
  open();
  auto* skins = control<QComboBox>(1155);
  dialogs.file = path("other/green.lua");
  control<QPushButton>(1018)->click();
  EXPECT_EQ(skins->currentText(), "Green");
  EXPECT_EQ(control<QLineEdit>(1095)->text(), files.filePath("other/green.lua"));
  EXPECT_EQ(control<QLineEdit>(1156)->text(), "222");

  dialogs.file = path("plain.lua");  // no design name
  control<QPushButton>(1018)->click();
  ASSERT_EQ(notifier.boxes.size(), 1u);
  EXPECT_NE(notifier.boxes[0].find(L"スキンファイルではありません"), std::wstring::npos);
  EXPECT_EQ(skins->currentText(), "Green");
  dialog->accept();
  EXPECT_EQ(settings.skin7Path.value, path("other/green.lua"));
}

TEST_F(SkinPage, TheDefaultSkinListsJapaneseNamesAndShowsAColourSavedUnderItsFormerName) {
  const std::string ours = testenv::sourceDir() + "/resources/skin7/default.lua";
  ASSERT_TRUE(platform::writeFileAtomically(path("default.lua"), platform::readFileBytes(platform::fromUtf8(ours)).value()));
  settings.skin7Path.value = path("default.lua");
  ASSERT_TRUE(platform::writeProfileString(L"taro", L"default.lua_FrameColor", L"112233", settings.skinUserfilePath.value));
  open();
  auto* list = control<QListWidget>(1250);
  QStringList names;
  for (int i = 2; i < list->count(); ++i) names << list->item(i)->text();
  EXPECT_EQ(names.join(" ").toStdWString(), L"問題のフォント 文字のフォント コメントの色 文字の色 枠の色");
  selectVariable("枠の色");
  EXPECT_TRUE(control<QCheckBox>(1174)->isChecked());
  EXPECT_EQ(control<CUxColorButton>(1251)->GetColor(), 0x332211u);
  // A change is saved under the new name; the former key stays as the user left it.
  control<CUxColorButton>(1251)->UpdateColor(0x0A0B0C);
  dialog->accept();
  EXPECT_EQ(userValue(L"default.lua_枠の色"), L"0C0B0A");
  EXPECT_EQ(userValue(L"default.lua_FrameColor"), L"112233");
}

TEST_F(SkinPage, FontsAreShownAndStoredInTheSkinFontForm) {
  platform::systemMetrics();  // the desktop faces and their substitutes
  showTitleFont(L"12, 1, 0, 0, 0, IPAGothic");
  EXPECT_TRUE(control<QCheckBox>(1174)->isChecked());
  EXPECT_EQ(control<FontComboBox>(1196)->currentText(), "IPAGothic");
  EXPECT_EQ(control<QComboBox>(1197)->currentText(), "12");
  EXPECT_EQ(control<QComboBox>(1197)->count(), 16);
  EXPECT_TRUE(control<QCheckBox>(1175)->isChecked());
  EXPECT_FALSE(control<QCheckBox>(1177)->isChecked());
  control<QCheckBox>(1178)->click();
  control<QComboBox>(1197)->setCurrentIndex(control<QComboBox>(1197)->findText("72"));
  dialog->accept();
  EXPECT_EQ(userValue(L"blue.lua_TitleFont"), L"72, 1, 0, 0, 1, IPAGothic");

  // A face the font system substitutes counts as installed and keeps its name; an unknown face is told.
  showTitleFont(L"9, 0, 1, 1, 0, ＭＳ ゴシック");
  EXPECT_TRUE(notifier.boxes.empty());
  control<QCheckBox>(1175)->click();
  dialog->accept();
  EXPECT_EQ(userValue(L"blue.lua_TitleFont"), L"9, 1, 1, 1, 0, ＭＳ ゴシック");
  showTitleFont(L"9, 0, 0, 0, 0, No Such Face");
  ASSERT_EQ(notifier.boxes.size(), 1u);
  EXPECT_NE(notifier.boxes[0].find(L"フォントが見つかりません: No Such Face"), std::wstring::npos);
}

TEST_F(SkinPage, ValuesThatCannotBeSavedAreSaidWithTheirCause) {
  settings.skinUserfilePath.value = path("missing/skinuser.ini");
  open();
  selectVariable("TextColor");
  control<QCheckBox>(1174)->click();
  dialog->accept();
  EXPECT_EQ(notifier.boxes, std::vector<std::wstring>{L"Kelvara: スキンの設定を保存できませんでした: " +
                                                      settings.skinUserfilePath.value +
                                                      L"\n書き込み先のフォルダが見つかりません。"});

  // A skin's variable whose name the file cannot hold.
  writeSkin("equals.lua", "DesignName = 'Equals'\nKLV.LoadUserVar('A=B', 'color', '112233')\n");
  settings.skinUserfilePath.value = path("skinuser.ini");
  settings.skin7Path.value = path("equals.lua");
  open();
  selectVariable("A=B");
  control<QCheckBox>(1174)->click();
  dialog->accept();
  EXPECT_EQ(notifier.boxes.back(), L"Kelvara: スキンの設定を保存できませんでした: " + settings.skinUserfilePath.value +
                                       L"\nファイルに保存できない文字が含まれています。");

  // A code page 932 file whose own bytes do not decode, and a user's name the code page lacks:
  // moved to UTF-8 the file would lose those bytes. The file is the cause, not the value.
  const std::string undecodable = platform::toCp932(L"[太郎]\r\nblue.lua_TextColor=112233\r\n") + "bad=\xFF\r\n";
  ASSERT_TRUE(platform::writeFileAtomically(settings.skinUserfilePath.value, undecodable));
  settings.userName.value = L"Zoë";
  settings.skin7Path.value = path("blue.lua");
  open();
  selectVariable("TextColor");
  control<QCheckBox>(1174)->click();
  dialog->accept();
  EXPECT_EQ(notifier.boxes.back(), L"Kelvara: スキンの設定を保存できませんでした: " + settings.skinUserfilePath.value +
                                       L"\nファイルの中に読み取れない文字があるため、書き込めません。");
  EXPECT_EQ(platform::readFileBytes(settings.skinUserfilePath.value), undecodable);
}

// The user's name is the section of the file: one holding "]" finds its values again.
TEST_F(SkinPage, AUserWhoseNameHoldsABracketKeepsTheirValues) {
  settings.userName.value = L"[ta]ro]";
  saveOwnTextColour(0x0A0B0C);
  EXPECT_TRUE(notifier.boxes.empty());
  open();
  selectVariable("TextColor");
  EXPECT_TRUE(control<QCheckBox>(1174)->isChecked());
  EXPECT_EQ(control<CUxColorButton>(1251)->GetColor(), 0x0A0B0Cu);
}

// A code page 932 file an earlier version left: a name whose bytes read as UTF-8 too must not
// turn the other users' sections into mojibake.
TEST_F(SkinPage, AUserNamedInHalfWidthKatakanaLeavesTheOtherUsersTheirValues) {
  ASSERT_TRUE(platform::writeFileAtomically(settings.skinUserfilePath.value,
                                            platform::toCp932(L"[太郎]\r\nblue.lua_TextColor=112233\r\n")));
  std::wstring name;
  for (int i = 0; i < 4; ++i) name += L"ﾏｷﾐｷﾕｷ";
  settings.userName.value = name;
  saveOwnTextColour(0x0A0B0C);
  EXPECT_TRUE(notifier.boxes.empty());
  const auto value = [this](const std::wstring& user) {
    return platform::getProfileString(user, L"blue.lua_TextColor", L"<none>", settings.skinUserfilePath.value);
  };
  EXPECT_EQ(value(L"太郎"), L"112233");
  EXPECT_EQ(value(name), L"0C0B0A");
}

TEST_F(SkinPage, AMissingBackgroundImageKeepsTheDialogOpenAndStoresNothing) {
  open();
  selectVariable("背景画像");
  control<QCheckBox>(1174)->click();
  auto* image = control<QLineEdit>(1271);
  QTest::keyClicks(image, "/nowhere/bg.bmp");
  control<QComboBox>(1155)->setCurrentIndex(control<QComboBox>(1155)->findText("Red"));
  control<QComboBox>(1155)->setCurrentIndex(control<QComboBox>(1155)->findText("Blue"));
  selectVariable("背景画像");
  EXPECT_EQ(image->text(), "/nowhere/bg.bmp");  // kept when the skin changed
  const std::string before = platform::readFileBytes(settings.skinUserfilePath.value).value_or("");
  ASSERT_NE(before.find("bg.bmp"), std::string::npos);
  QTest::keyClicks(image, "2");
  settings.skin7Path.value = path("red.lua");
  dialog->accept();
  EXPECT_FALSE(notifier.boxes.empty());
  EXPECT_NE(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(settings.skin7Path.value, path("red.lua"));
  EXPECT_EQ(platform::readFileBytes(settings.skinUserfilePath.value).value_or(""), before);
}

TEST_F(SkinPage, ABareImageNameIsLookedForBesideTheSkinAndOnlyAPictureIsTaken) {
  ASSERT_TRUE(QImage(4, 4, QImage::Format_RGB32).save(files.filePath("back.png")));
  ASSERT_TRUE(platform::writeFileAtomically(path("notes.bmp"), "not a picture"));
  for (const char* name : {"notes.bmp", "back.png"}) {
    open();
    selectVariable("背景画像");
    control<QCheckBox>(1174)->click();
    QTest::keyClicks(control<QLineEdit>(1271), name);
    dialog->accept();
  }
  EXPECT_EQ(notifier.boxes.at(0), L"Kelvara: 画像として読み込めないファイルです。\nnotes.bmp");
  EXPECT_EQ(userValue(L"blue.lua_bgimage"), L"back.png");  // where the study window finds it too
}

TEST_F(SkinPage, AStoredBackgroundImageThatIsGoneIsKeptAndOkGoesThrough) {
  // The study window simply draws no image then: only an image chosen here is refused.
  ASSERT_TRUE(platform::writeProfileString(L"taro", L"blue.lua_bgimage", L"/gone/old.bmp", settings.skinUserfilePath.value));
  open();
  selectVariable("TextColor");
  control<QCheckBox>(1174)->click();
  control<CUxColorButton>(1251)->UpdateColor(0x010203);
  dialog->accept();
  EXPECT_TRUE(notifier.boxes.empty());
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(userValue(L"blue.lua_TextColor"), L"030201");
  EXPECT_EQ(userValue(L"blue.lua_bgimage"), L"/gone/old.bmp");

  // Chosen again in the dialog, also after a visit to another skin, it is the user's choice.
  open();
  selectVariable("背景画像");
  auto* image = control<QLineEdit>(1271);
  EXPECT_EQ(image->text(), "/gone/old.bmp");
  image->clear();
  QTest::keyClicks(image, "/gone/new.bmp");
  control<QComboBox>(1155)->setCurrentIndex(control<QComboBox>(1155)->findText("Red"));
  control<QComboBox>(1155)->setCurrentIndex(control<QComboBox>(1155)->findText("Blue"));
  dialog->accept();
  ASSERT_FALSE(notifier.boxes.empty());
  EXPECT_NE(notifier.boxes[0].find(L"/gone/new.bmp"), std::wstring::npos);
  EXPECT_NE(dialog->result(), QDialog::Accepted);
}

}  // namespace
