#include "app/options/option_page_skin.h"

#include <QCheckBox>
#include <algorithm>
#include <cerrno>
#include <cwchar>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/common/control_helpers.h"
#include "app/shell/klv_app.h"
#include "app/common/modal_dialog.h"
#include "platform/files/file_system.h"
#include "services/app_settings.h"
#include "services/file_failure.h"
#include "services/shell_files.h"
#include "study/skin/font_spec.h"
#include "study/skin/skin_script.h"
#include "study/skin/study_skin_host.h"
#include "uictl/bars/combos/font_combo_box.h"
#include "uictl/frames/colour/color_button.h"

namespace {

constexpr int kRow = 22;
constexpr int kScalableSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
constexpr wchar_t kFileMissing[] = L"ファイルが見つかりません。";
constexpr wchar_t kNotASkin[] = L"スキンファイルではありません";
constexpr wchar_t kNotAnImage[] = L"画像として読み込めないファイルです。";

enum ControlId {
  kSkins = 1155, kSkinPath = 1095, kBrowseSkin = 1018, kSkinWidth = 1156, kSkinHeight = 1157, kVariables = 1250,
  kChange = 1174, kFontGroup = 1253, kFaces = 1196, kSizes = 1197, kBold = 1175, kItalic = 1177,
  kUnderline = 1176, kStrikeout = 1178, kColorGroup = 1252, kColor = 1251, kFileGroup = 1254,
  kImage = 1271, kBrowseImage = 1249,
};

bool samePath(const std::wstring& a, const std::wstring& b) {
  return QFileInfo(qtext(a)).absoluteFilePath() == QFileInfo(qtext(b)).absoluteFilePath();
}

QCheckBox* idCheck(QWidget* parent, int id, const wchar_t* text, const QRect& rect) {
  auto* check = dialogControl<QCheckBox>(parent, id, rect);
  check->setText(QString::fromWCharArray(text));
  return check;
}

QGroupBox* idGroup(QWidget* parent, int id, const wchar_t* title, const QRect& rect) {
  auto* group = dialogControl<QGroupBox>(parent, id, rect);
  group->setTitle(QString::fromWCharArray(title));
  return group;
}

QLineEdit* readOnlyEdit(QWidget* parent, int id, const QRect& rect) {
  return readOnlyField(dialogControl<QLineEdit>(parent, id, rect));
}

// "RRGGBB" of a colour kept with red in the low byte.
std::wstring hexColor(platform::COLORREF colour) {
  wchar_t text[8];
  std::swprintf(text, 8, L"%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
  return text;
}

}  // namespace

COptionpageSkin::COptionpageSkin(KlvApp& app, QWidget* parent)
    : OptionPage(168, parent), app_(app), skin_(std::make_unique<study::SkinInfo>()) {
  skins_ = dialogControl<QComboBox>(this, kSkins, {90, 8, 350, kRow});
  addLabel(L"スキン(&S)", {10, 8, 80, kRow})->setBuddy(skins_);
  path_ = readOnlyEdit(this, kSkinPath, {90, 36, 280, kRow});
  auto* browseSkinButton = dialogControl<QPushButton>(this, kBrowseSkin, {376, 36, 64, kRow});
  browseSkinButton->setText(QString::fromWCharArray(L"参照"));
  addLabel(L"サイズ", {10, 64, 80, kRow});
  width_ = readOnlyEdit(this, kSkinWidth, {90, 64, 60, kRow});
  addLabel(L"×", {156, 64, 16, kRow});
  height_ = readOnlyEdit(this, kSkinHeight, {174, 64, 60, kRow});

  variables_ = dialogControl<QListWidget>(this, kVariables, {10, 96, 180, 284});
  change_ = idCheck(this, kChange, L"変更する(&C)", {200, 96, 240, kRow});

  const QRect editorArea(200, 124, 240, 160);
  fontGroup_ = idGroup(this, kFontGroup, L"フォント", editorArea);
  faces_ = withId(new FontComboBox(fontGroup_), kFaces);
  faces_->setGeometry(10, 22, 220, kRow);
  faces_->Setup();
  sizes_ = dialogControl<QComboBox>(fontGroup_, kSizes, {10, 50, 80, kRow});
  bold_ = idCheck(fontGroup_, kBold, L"太字(&B)", {10, 78, 100, kRow});
  italic_ = idCheck(fontGroup_, kItalic, L"斜体(&I)", {120, 78, 100, kRow});
  underline_ = idCheck(fontGroup_, kUnderline, L"下線(&U)", {10, 104, 100, kRow});
  strikeout_ = idCheck(fontGroup_, kStrikeout, L"取消線(&O)", {120, 104, 100, kRow});

  colorGroup_ = idGroup(this, kColorGroup, L"カラー", editorArea);
  color_ = withId(new CUxColorButton(colorGroup_), kColor);
  color_->setGeometry(10, 24, 100, 24);
  color_->EnableOtherButton(L"other", false, true);

  fileGroup_ = idGroup(this, kFileGroup, L"ファイル名", editorArea);
  image_ = dialogControl<QLineEdit>(fileGroup_, kImage, {10, 24, 220, kRow});
  auto* browseImageButton = dialogControl<QPushButton>(fileGroup_, kBrowseImage, {150, 52, 80, kRow});
  browseImageButton->setText(QString::fromWCharArray(L"参照(&B)"));

  connect(skins_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (!filling_ && index >= 0 && index < static_cast<int>(skinPaths_.size())) chooseSkin(skinPaths_[index]);
  });
  connect(browseSkinButton, &QPushButton::clicked, this, &COptionpageSkin::browseSkin);
  connect(browseImageButton, &QPushButton::clicked, this, &COptionpageSkin::browseImage);
  connect(variables_, &QListWidget::currentRowChanged, this, &COptionpageSkin::showVariable);
  connect(change_, &QCheckBox::clicked, this, [this] {
    storeVariable();
    updateEditors();
  });
  for (QCheckBox* check : {bold_, italic_, underline_, strikeout_})
    connect(check, &QCheckBox::clicked, this, &COptionpageSkin::storeVariable);
  connect(color_, &CUxColorButton::clicked, this, &COptionpageSkin::storeVariable);
  connect(faces_, &QComboBox::currentIndexChanged, this, [this] {
    if (filling_) return;
    fillSizes(sizes_->currentText().toInt());
    storeVariable();
  });
  connect(sizes_, &QComboBox::currentIndexChanged, this, [this] {
    if (!filling_) storeVariable();
  });
  connect(image_, &QLineEdit::textEdited, this, &COptionpageSkin::storeVariable);
}

void COptionpageSkin::load(const AppSettings& settings, bool) { fillSkinList(settings.skin7Path.value); }

void COptionpageSkin::fillSkinList(const std::wstring& configuredPath) {
  filling_ = true;
  skins_->clear();
  skinPaths_.clear();
  const QDir folder = QFileInfo(qtext(configuredPath)).absoluteDir();
  const QFileInfoList files =
      configuredPath.empty() ? QFileInfoList() : folder.entryInfoList({"*.lua"}, QDir::Files, QDir::Name);
  int selected = -1;
  for (const QFileInfo& file : files) {
    const std::wstring path = file.absoluteFilePath().toStdWString();
    study::SkinInfo info;
    info.Load(path);
    if (info.DesignName.empty()) continue;
    if (samePath(path, configuredPath)) selected = skins_->count();
    skins_->addItem(qtext(info.DesignName));
    skinPaths_.push_back(path);
  }
  skins_->setCurrentIndex(selected);
  filling_ = false;
  dirty_ = false;
  chooseSkin(configuredPath);
}

void COptionpageSkin::saveIfDirty() {
  if (!dirty_) return;
  dirty_ = false;
  const AppSettings& settings = *app_.settings;
  if (study::saveStyle(userVars_, settings.skinUserfilePath.value, settings.userName.value,
                       study::skinFileName(skinPath_)))
    return;
  const int cause = errno;
  tell(fileFailureText(L"スキンの設定を保存できませんでした: " + settings.skinUserfilePath.value, cause));
}

void COptionpageSkin::chooseSkin(const std::wstring& path) {
  saveIfDirty();
  skinPath_ = path;
  path_->setText(qtext(path));
  skin_ = std::make_unique<study::SkinInfo>();
  // No skin chosen yet, or one gone since: an empty description rather than the engine's box.
  if (platform::fileExists(path)) skin_->Load(path);
  width_->setText(QString::number(skin_->dialogWidth));
  height_->setText(QString::number(skin_->dialogHeight));
  const AppSettings& settings = *app_.settings;
  study::loadStyle(userVars_, settings.skinUserfilePath.value, settings.userName.value, study::skinFileName(path),
                   *skin_);
  storedImages_.emplace(path, userVars_.backgroundImage);

  filling_ = true;
  variables_->clear();
  auto add = [this](const std::wstring& text, VariableKind kind) {
    auto* item = new QListWidgetItem(qtext(text), variables_);
    item->setData(Qt::UserRole, kind);
  };
  add(L"背景色", kBackgroundColor);
  add(L"背景画像", kBackgroundImage);
  for (const auto& [name, value] : skin_->fontVariables()) add(name, kFontVariable);
  for (const auto& [name, value] : skin_->colorVariables()) add(name, kColorVariable);
  filling_ = false;
  variables_->setCurrentRow(0);
}

void COptionpageSkin::browseSkin() {
  std::wstring chosen;
  if (chooseFile(this, app_.settings->skin7Path.value, chosen, L"*.lua", L"スキンファイルを選択してください",
                 {{L"KLV SkinFile (*.lua)", L"*.lua"}}, true)) {
    // The list offers skins by their design names: a file without one is no skin to show there.
    study::SkinInfo info;
    info.Load(chosen);
    if (info.DesignName.empty()) {
      tell(kNotASkin);
      return;
    }
    // The list becomes the chosen skin's folder, so that a skin of another folder shows in it.
    saveIfDirty();
    fillSkinList(chosen);
  } else if (!chosen.empty()) {
    tell(kFileMissing);
  }
}

void COptionpageSkin::browseImage() {
  std::wstring chosen;
  if (chooseFile(this, image_->text().toStdWString(), chosen, L"*.bmp", L"背景画像の選択",
                 {{L"Bitmap File (*.bmp)", L"*.bmp"}}, true)) {
    image_->setText(qtext(chosen));
    storeVariable();
  } else if (!chosen.empty()) {
    tell(kFileMissing);
  }
}

int COptionpageSkin::selectedKind() const {
  const QListWidgetItem* item = variables_->currentItem();
  return item ? item->data(Qt::UserRole).toInt() : -1;
}

std::wstring* COptionpageSkin::userValue() {
  const QListWidgetItem* item = variables_->currentItem();
  if (!item) return nullptr;
  switch (selectedKind()) {
    case kBackgroundColor: return &userVars_.backgroundColor;
    case kBackgroundImage: return &userVars_.backgroundImage;
    case kFontVariable: return &userVars_.fontValues[item->text().toStdWString()];
    case kColorVariable: return &userVars_.colorValues[item->text().toStdWString()];
  }
  return nullptr;
}

std::wstring* COptionpageSkin::keptUserValue() {
  const QListWidgetItem* item = variables_->currentItem();
  if (!item) return nullptr;
  const int kind = selectedKind();
  if (kind == kBackgroundColor) return &userVars_.backgroundColor;
  if (kind == kBackgroundImage) return &userVars_.backgroundImage;
  if (kind != kFontVariable && kind != kColorVariable) return nullptr;
  auto& values = kind == kFontVariable ? userVars_.fontValues : userVars_.colorValues;
  const auto found = values.find(item->text().toStdWString());
  return found == values.end() ? nullptr : &found->second;
}

std::wstring COptionpageSkin::defaultValue() const {
  const QListWidgetItem* item = variables_->currentItem();
  if (!item) return {};
  const std::wstring name = item->text().toStdWString();
  auto lookUp = [&name](const study::SkinVariableMap& variables) {
    const auto found = variables.find(name);
    return found == variables.end() ? std::wstring() : found->second;
  };
  switch (selectedKind()) {
    case kBackgroundColor: return skin_->BackgroundColor;
    case kBackgroundImage: return skin_->BackgroundImageFile;
    case kFontVariable: return lookUp(skin_->fontVariables());
    case kColorVariable: return lookUp(skin_->colorVariables());
  }
  return {};
}

void COptionpageSkin::showVariable() {
  if (filling_) return;
  const int kind = selectedKind();
  change_->setVisible(kind >= 0);
  fontGroup_->setVisible(kind == kFontVariable);
  colorGroup_->setVisible(kind == kColorVariable || kind == kBackgroundColor);
  fileGroup_->setVisible(kind == kBackgroundImage);
  if (kind < 0) return;

  const std::wstring* user = keptUserValue();
  const bool hasUserValue = user && !user->empty();
  const std::wstring value = hasUserValue ? *user : defaultValue();

  filling_ = true;
  change_->setChecked(hasUserValue);
  if (kind == kFontVariable) showFont(value);
  if (kind == kColorVariable || kind == kBackgroundColor) color_->SetColor(study::parseHexColor(value));
  if (kind == kBackgroundImage) image_->setText(qtext(value));
  filling_ = false;
  updateEditors();
}

void COptionpageSkin::showFont(const std::wstring& value) {
  requestedFace_.clear();
  substituteFace_.clear();
  study::FontSpec spec;
  if (!study::ParseFontSpec(spec, value)) {
    tell(L"フォントの解析に失敗しました");
    return;
  }
  const QString face = qtext(spec.faceName);
  if (!faces_->SelectFont(spec.faceName)) {
    // A face the font system stands in for counts as installed, shown as its substitute.
    bool found = false;
    for (const QString& substitute : QFont::substitutes(face)) {
      if (faces_->SelectFont(substitute.toStdWString())) {
        requestedFace_ = face;
        substituteFace_ = faces_->currentText();
        found = true;
        break;
      }
    }
    if (!found) tell(L"フォントが見つかりません: " + spec.faceName);
  }
  fillSizes(spec.size);
  bold_->setChecked(spec.bold);
  italic_->setChecked(spec.italic);
  underline_->setChecked(spec.underline);
  strikeout_->setChecked(spec.strikeout);
}

std::vector<int> COptionpageSkin::fontSizesOf(const QString& face) {
  if (face.isEmpty() || QFontDatabase::isSmoothlyScalable(face)) return {std::begin(kScalableSizes), std::end(kScalableSizes)};
  const QList<int> own = QFontDatabase::pointSizes(face);
  if (own.isEmpty()) return {std::begin(kScalableSizes), std::end(kScalableSizes)};
  return {own.begin(), own.end()};
}

void COptionpageSkin::fillSizes(int selected) {
  const bool wasFilling = filling_;
  filling_ = true;
  sizes_->clear();
  std::vector<int> sizes = fontSizesOf(faces_->currentText());
  // A size the face does not list is kept, not replaced by another.
  if (selected > 0 && std::find(sizes.begin(), sizes.end(), selected) == sizes.end()) {
    sizes.insert(std::upper_bound(sizes.begin(), sizes.end(), selected), selected);
  }
  for (int size : sizes) sizes_->addItem(QString::number(size));
  sizes_->setCurrentIndex(sizes_->findText(QString::number(selected)));
  filling_ = wasFilling;
}

std::wstring COptionpageSkin::fontValue() const {
  QString face = faces_->currentText();
  if (!substituteFace_.isEmpty() && face == substituteFace_) face = requestedFace_;
  wchar_t numbers[64];
  std::swprintf(numbers, 64, L"%d, %d, %d, %d, %d, ", sizes_->currentText().toInt(), bold_->isChecked() ? 1 : 0,
                italic_->isChecked() ? 1 : 0, underline_->isChecked() ? 1 : 0, strikeout_->isChecked() ? 1 : 0);
  return numbers + face.toStdWString();
}

void COptionpageSkin::storeVariable() {
  if (filling_) return;
  const int kind = selectedKind();
  if (kind < 0) return;
  if (!change_->isChecked()) {
    // An empty value lets the skin's default apply; a variable the user never set stays unset.
    if (std::wstring* kept = keptUserValue()) kept->clear();
  } else if (std::wstring* value = userValue()) {
    if (kind == kFontVariable) *value = fontValue();
    if (kind == kColorVariable || kind == kBackgroundColor) *value = hexColor(color_->GetColor());
    if (kind == kBackgroundImage) *value = image_->text().toStdWString();
  }
  dirty_ = true;
}

void COptionpageSkin::updateEditors() {
  const bool on = change_->isChecked();
  for (QGroupBox* group : {fontGroup_, colorGroup_, fileGroup_})
    for (QWidget* child : group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) child->setEnabled(on);
}

bool COptionpageSkin::check() {
  if (skinPath_ != app_.settings->skin7Path.value && !platform::fileExists(skinPath_)) {
    tell(kFileMissing);
    return false;
  }
  // Only an image chosen in this dialog is refused. It is looked for where the study window looks
  // for it, and must be a picture the window can draw.
  const std::wstring& image = userVars_.backgroundImage;
  if (image.empty() || image == storedImages_[skinPath_]) return true;
  const QString found = study::skinFilePath(skinPath_, qtext(image));
  const wchar_t* problem = !platform::fileExists(found.toStdWString()) ? kFileMissing
                           : !QImageReader(found).canRead()            ? kNotAnImage
                                                                       : nullptr;
  if (!problem) return true;
  variables_->setCurrentRow(1);
  tell(std::wstring(problem) + L"\n" + image);
  image_->setFocus();
  return false;
}

void COptionpageSkin::store(AppSettings& settings) {
  saveIfDirty();
  settings.skin7Path.value = skinPath_;
}
