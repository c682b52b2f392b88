#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "app/options/option_pages.h"
#include "platform/windows/notifier.h"
#include "services/app_settings.h"
#include "services/shell_files.h"

namespace {

constexpr int kRow = 22;
constexpr int kRowStep = 28;
constexpr int kLabelLeft = 10;
constexpr int kFieldLeft = 150;
constexpr int kBrowseLeft = 388;

}  // namespace

COptionpageFile::COptionpageFile(QWidget* parent) : OptionPage(167, parent) {
  int y = 8;
  auto row = [&](StringSetting AppSettings::*setting, const char* name, const wchar_t* text,
                 std::function<void(QLineEdit*)> browse) {
    addPathRow(setting, name, text, y, std::move(browse));
    y += kRowStep;
  };
  auto fileRow = [&](StringSetting AppSettings::*setting, const char* name, const wchar_t* text, const wchar_t* title,
                     const wchar_t* extension, const wchar_t* description, const wchar_t* pattern) {
    row(setting, name, text, [=, this](QLineEdit* edit) {
      browseFile(edit, title, extension, {{description, pattern}, {L"すべて(*.*)", L"*.*"}});
    });
  };
  auto folderRow = [&](StringSetting AppSettings::*setting, const char* name, const wchar_t* text) {
    row(setting, name, text, [this](QLineEdit* edit) { browseFolder(edit); });
  };

  row(&AppSettings::databasePath, "database-path", L"データベース", [this](QLineEdit* edit) { browseDatabase(edit); });
  fileRow(&AppSettings::skinUserfilePath, "skin-userfile-path", L"スキンの個人設定", L"スキンカスタマイズファイルを選択してください",
          L"*.ini", L"Skin User Customize File (*.ini)", L"*.ini");
  fileRow(&AppSettings::webdicInifilePath, "webdic-inifile-path", L"Web辞書の設定", L"Web辞書設定ファイルを選択してください",
          L"*.ini", L"KLV WebDicIni (*.ini)", L"*.ini");
  fileRow(&AppSettings::kpdIdxfilePath, "kpd-idxfile-path", L"発音記号辞書 (索引)", L"発音記号辞書ファイルを選択してください",
          L"*.kpdidx", L"KLV Pronouncing Dictionary (*.kpdidx)", L"*.kpdidx");
  fileRow(&AppSettings::kpdDicfilePath, "kpd-dicfile-path", L"発音記号辞書 (本体)", L"発音記号辞書ファイルを選択してください",
          L"*.kpddic", L"KLV Pronouncing Dictionary (*.kpddic)", L"*.kpddic");
  fileRow(&AppSettings::kpdImagefilePath, "kpd-imagefile-path", L"発音記号の画像", L"発音記号画像ファイルを選択してください",
          L"*.bmp", L"Pronouncing Image Bitmap (*.bmp)", L"*.bmp");
  fileRow(&AppSettings::cmu2ipaFilePath, "cmu2ipa-file-path", L"発音記号の変換表", L"発音記号変換表ファイルの設定", L"*.txt",
          L"CMU to IPA Map File (*.txt)", L"*.txt");
  fileRow(&AppSettings::katmodeFilePath, "katmode-file-path", L"KlvAgent の音声エンジン",
          L"KlvAgent 音声エンジン定義ファイルの設定", L"*.txt", L"KlvAgent Lang-Definition File (*.txt)", L"*.txt");
  folderRow(&AppSettings::wavVoiceFolder, "wav-voice-folder", L"WAV ファイルのフォルダ");
  folderRow(&AppSettings::printTempleteFolder, "print-templete-folder", L"印刷テンプレート");
  folderRow(&AppSettings::printCardTempleteFolder, "print-card-templete-folder", L"カード印刷テンプレート");
  alignPathRows();
  makeBackup_ = addCheck("make-backup-flag", L"終了するときにデータベースのバックアップを作る(&B)", {10, y + 4, 420, kRow});
}

void COptionpageFile::addPathRow(StringSetting AppSettings::*setting, const char* name, const wchar_t* text, int y,
                                 std::function<void(QLineEdit*)> browse) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(name);
  edit->setGeometry(kFieldLeft, y, kBrowseLeft - 4 - kFieldLeft, kRow);
  QLabel* label = addLabel(text, {kLabelLeft, y, kFieldLeft - kLabelLeft, kRow});
  label->setBuddy(edit);
  QPushButton* button = addButton((std::string(name) + "-browse").c_str(), L"参照...", {kBrowseLeft, y, 56, kRow});
  connect(button, &QPushButton::clicked, this, [edit, browse = std::move(browse)] { browse(edit); });
  paths_.push_back({setting, label, edit});
}

void COptionpageFile::alignPathRows() {
  int labelWidth = 0;
  for (const PathRow& path : paths_) labelWidth = std::max(labelWidth, path.label->sizeHint().width());
  const int fieldLeft = std::max(kFieldLeft, kLabelLeft + labelWidth + 4);
  for (const PathRow& path : paths_) {
    const QRect row = path.edit->geometry();
    path.label->setGeometry(kLabelLeft, row.y(), fieldLeft - kLabelLeft, kRow);
    path.edit->setGeometry(fieldLeft, row.y(), kBrowseLeft - 4 - fieldLeft, kRow);
  }
}

void COptionpageFile::browseDatabase(QLineEdit* edit) {
  if (platform::messageBox(this,
                           L"誤ったデータベースファイルを指定すると、最悪の場合、KLVが起動しなくなります。\n"
                           L"それでも、データベースファイル名を変更しますか？",
                           L"CAUTION!", platform::MbYesNo | platform::MbIconWarning) != platform::IdYes)
    return;
  browseFile(edit, L"KLV DatabaseFile の設定", L"*.klvdb7", {{L"KLV DB7 File(*.klvdb7)", L"*.klvdb7"}});
}

void COptionpageFile::browseFile(QLineEdit* edit, const wchar_t* title, const wchar_t* extension,
                                 const std::vector<platform::FileFilter>& filters) {
  std::wstring chosen;
  if (chooseFile(this, edit->text().toStdWString(), chosen, extension, title, filters, true))
    edit->setText(QString::fromStdWString(chosen));
  else if (!chosen.empty())
    tell(L"ファイルが見つかりません");
}

void COptionpageFile::browseFolder(QLineEdit* edit) {
  std::wstring chosen;
  if (browseForFolder(this, edit->text().toStdWString(), chosen)) edit->setText(QString::fromStdWString(chosen));
}

void COptionpageFile::load(const AppSettings& settings, bool defaults) {
  for (const PathRow& path : paths_) path.edit->setText(QString::fromStdWString(pick(settings.*path.setting, defaults)));
  makeBackup_->setChecked(pick(settings.makeBackupFlag, defaults));
}

void COptionpageFile::store(AppSettings& settings) {
  for (const PathRow& path : paths_) (settings.*path.setting).value = path.edit->text().toStdWString();
  settings.makeBackupFlag.value = makeBackup_->isChecked();
}
