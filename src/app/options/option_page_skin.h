// The skin page of the options dialog: the skin of the study window, chosen among the skins of
// its folder, and the current user's values of that skin's variables (fonts, colours, background
// colour and image), kept in the skin user file. Each change is stored in the page at once; the
// file is written when the skin changes and at OK.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/options/option_page.h"
#include "study/skin/skin_info.h"
#include "study/skin/skin_user_vars.h"

class CUxColorButton;
class FontComboBox;
class KlvApp;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;

class COptionpageSkin : public OptionPage {
  Q_OBJECT

 public:
  // The kinds of variable the list offers (the list items' data).
  enum VariableKind { kFontVariable = 0, kColorVariable = 1, kBackgroundImage = 2, kBackgroundColor = 3 };

  COptionpageSkin(KlvApp& app, QWidget* parent);
  void load(const AppSettings& settings, bool defaults) override;
  bool check() override;
  void store(AppSettings& settings) override;
  bool takesDefaults() const override { return false; }

  // The sizes offered for a face: every size of a scalable face, a bitmap face's own sizes.
  static std::vector<int> fontSizesOf(const QString& face);

 private:
  void fillSkinList(const std::wstring& configuredPath);
  // Saves pending values for the skin shown so far, then shows the skin of this path.
  void chooseSkin(const std::wstring& path);
  void browseSkin();
  void browseImage();
  void showVariable();
  void storeVariable();
  void updateEditors();
  void showFont(const std::wstring& value);
  void fillSizes(int selected);
  std::wstring fontValue() const;
  // The user's value of the selected variable; null for none.
  std::wstring* userValue();
  // The user's value of the selected variable as kept, or null: looking does not add one.
  std::wstring* keptUserValue();
  std::wstring defaultValue() const;
  int selectedKind() const;
  void saveIfDirty();

  KlvApp& app_;
  QComboBox* skins_;
  QLineEdit* path_;
  QLineEdit* width_;
  QLineEdit* height_;
  QListWidget* variables_;
  QCheckBox* change_;
  QGroupBox* fontGroup_;
  FontComboBox* faces_;
  QComboBox* sizes_;
  QCheckBox* bold_;
  QCheckBox* italic_;
  QCheckBox* underline_;
  QCheckBox* strikeout_;
  QGroupBox* colorGroup_;
  CUxColorButton* color_;
  QGroupBox* fileGroup_;
  QLineEdit* image_;

  std::wstring skinPath_;
  std::vector<std::wstring> skinPaths_;
  std::unique_ptr<study::SkinInfo> skin_;
  study::SkinUserVars userVars_;
  // Each skin's background image as stored before this dialog: one that is gone since is no
  // reason to refuse OK, since the study window then draws none.
  std::map<std::wstring, std::wstring> storedImages_;
  bool dirty_ = false;
  // A face shown through its substitute: stored back under its own name unless another is chosen.
  QString requestedFace_;
  QString substituteFace_;
  bool filling_ = false;
};
