#include "app/printing/print_option_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <cerrno>
#include <cwchar>

#include "app/common/control_helpers.h"
#include "app/printing/print_prompts.h"
#include "app/printing/region_text.h"
#include "app/printing/template_editor_host.h"
#include "app/printing/template_files.h"
#include "platform/files/file_system.h"
#include "platform/windows/notifier.h"
#include "platform/windows/list_view_keys.h"
#include "platform/trace.h"
#include "services/file_failure.h"

namespace {

constexpr wchar_t kCaption[] = L"KLV";

QPushButton* button(QWidget* parent, int id, const wchar_t* label) { return withId(new QPushButton(qtext(label), parent), id); }

// A whole number from 0 to 1000, as the dialog accepts for positions and widths.
bool readPosition(const QLineEdit* edit, int& value) {
  bool ok = false;
  const int number = edit->text().trimmed().toInt(&ok);
  if (!ok || number < 0 || number > 1000) return false;
  value = number;
  return true;
}

}  // namespace

CPrintoptionDlg::CPrintoptionDlg(TemplateEditorHost& host, QWidget* parent) : QDialog(parent), host_(host) {
  setObjectName("id146");
  setWindowTitle(qtext(L"印刷オプション"));
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(qtext(L"テンプレート名"), this));
  templates_ = withId(new QComboBox(this), 1287);
  templates_->setMinimumWidth(240);
  top->addWidget(templates_, 1);
  QPushButton* create = button(this, 1288, L"新規(&N)");
  QPushButton* remove = button(this, 1289, L"削除(&D)");
  QPushButton* rename = button(this, 1290, L"名称の変更(&C)");
  for (QPushButton* b : {create, remove, rename}) top->addWidget(b);
  layout->addLayout(top);
  auto* groups = new QHBoxLayout;
  groups->addWidget(buildTextGroup());
  groups->addWidget(buildRegionGroup());
  layout->addLayout(groups);
  layout->addWidget(buildMarginGroup());
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  QPushButton* ok = button(this, 1, L"&OK");
  QPushButton* cancel = button(this, 2, L"キャンセル(&C)");
  QPushButton* apply = button(this, 1026, L"適用(&A)");
  ok->setDefault(true);
  for (QPushButton* b : {ok, cancel, apply}) bottom->addWidget(b);
  layout->addLayout(bottom);

  connect(create, &QPushButton::clicked, this, &CPrintoptionDlg::onNewTemplate);
  connect(remove, &QPushButton::clicked, this, &CPrintoptionDlg::onDeleteTemplate);
  connect(rename, &QPushButton::clicked, this, &CPrintoptionDlg::onRenameTemplate);
  connect(ok, &QPushButton::clicked, this, &CPrintoptionDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &CPrintoptionDlg::reject);
  connect(apply, &QPushButton::clicked, this, &CPrintoptionDlg::Apply);
  connect(templates_, &QComboBox::currentIndexChanged, this, &CPrintoptionDlg::onTemplateChosen);

  fillTemplateList();
  working_ = host_.printTemplate();
  switching_ = true;
  const int match = templates_->findText(qtext(working_.name), Qt::MatchFixedString);
  if (match >= 0) templates_->setCurrentIndex(match);
  switching_ = false;
  position_ = templates_->currentIndex();
  selectTextAndRegion(0, 0);
}

QWidget* CPrintoptionDlg::buildTextGroup() {
  auto* group = new QGroupBox(qtext(L"テキスト"), this);
  auto* grid = new QGridLayout(group);
  textList_ = withId(new QListWidget(group), 1001);
  platform::bringHomeAndEndRowsIntoView(*textList_);
  for (int i = 1; i <= kTemplateTexts; ++i) textList_->addItem(QString::fromStdWString(L"テキスト") + QString::number(i));
  grid->addWidget(textList_, 0, 0, 5, 1);
  textShow_ = withId(new QCheckBox(qtext(L"印刷する"), group), 1253);
  grid->addWidget(textShow_, 0, 1, 1, 2);
  text_edit_ = withId(new QLineEdit(group), 1271);
  grid->addWidget(text_edit_, 1, 1, 1, 2);
  grid->addWidget(new QLabel(qtext(L"印刷位置[mm]"), group), 2, 1);
  auto* position = new QHBoxLayout;
  textX_ = withId(new QLineEdit(group), 1254);
  textY_ = withId(new QLineEdit(group), 1255);
  position->addWidget(textX_);
  position->addWidget(textY_);
  grid->addLayout(position, 2, 2);
  textFont_ = button(group, 1252, L"フォント(&T)");
  grid->addWidget(textFont_, 3, 1, 1, 2);
  connect(textList_, &QListWidget::currentRowChanged, this, [this](int row) { onEntryChosen(textList_, row); });
  connect(textShow_, &QCheckBox::clicked, this, [this] {
    working_.texts[text_].show = textShow_->isChecked();
    UpdateEnables();
  });
  connect(static_cast<QPushButton*>(textFont_), &QPushButton::clicked, this,
          [this] { onFont(working_.texts[text_].font); });
  return group;
}

QWidget* CPrintoptionDlg::buildRegionGroup() {
  auto* group = new QGroupBox(qtext(L"本文領域"), this);
  auto* grid = new QGridLayout(group);
  regionList_ = withId(new QListWidget(group), 1002);
  platform::bringHomeAndEndRowsIntoView(*regionList_);
  for (int i = 1; i <= kTemplateRegions; ++i) regionList_->addItem(QString::fromStdWString(L"領域") + QString::number(i));
  grid->addWidget(regionList_, 0, 0, 9, 1);
  regionShow_ = withId(new QCheckBox(qtext(L"印刷する"), group), 1256);
  grid->addWidget(regionShow_, 0, 1, 1, 2);
  grid->addWidget(new QLabel(qtext(L"高さ方向位置（全領域で共通）"), group), 1, 1);
  regionY_ = withId(new QLineEdit(group), 1259);
  grid->addWidget(regionY_, 1, 2);
  grid->addWidget(new QLabel(qtext(L"タイプ"), group), 2, 1);
  mode_ = withId(new QComboBox(group), 1257);
  for (const RegionMode& mode : regionModes()) mode_->addItem(qtext(mode.label), mode.mode);
  grid->addWidget(mode_, 2, 2);
  grid->addWidget(new QLabel(qtext(L"行間"), group), 3, 1);
  auto* spacing = new QHBoxLayout;
  lineHeight_ = withId(new QLineEdit(group), 1049);
  spacing->addWidget(lineHeight_);
  lineHeightSpin_ = withId(new QWidget(group), 1050);
  auto* arrows = new QVBoxLayout(lineHeightSpin_);
  arrows->setContentsMargins(0, 0, 0, 0);
  arrows->setSpacing(0);
  auto* up = new QToolButton(lineHeightSpin_);
  up->setObjectName("up");
  up->setArrowType(Qt::UpArrow);
  auto* down = new QToolButton(lineHeightSpin_);
  down->setObjectName("down");
  down->setArrowType(Qt::DownArrow);
  arrows->addWidget(up);
  arrows->addWidget(down);
  spacing->addWidget(lineHeightSpin_);
  grid->addLayout(spacing, 3, 2);
  numbered_ = withId(new QCheckBox(qtext(L"番号付き"), group), 1263);
  grid->addWidget(numbered_, 4, 1, 1, 2);
  regionText_ = withId(new QLineEdit(group), 1260);
  grid->addWidget(regionText_, 5, 1, 1, 2);
  grid->addWidget(new QLabel(qtext(L"横方向位置"), group), 6, 1);
  regionX_ = withId(new QLineEdit(group), 1258);
  grid->addWidget(regionX_, 6, 2);
  grid->addWidget(new QLabel(qtext(L"印刷幅"), group), 7, 1);
  regionWidth_ = withId(new QLineEdit(group), 1274);
  grid->addWidget(regionWidth_, 7, 2);
  regionFont_ = button(group, 1261, L"フォント(&F)");
  grid->addWidget(regionFont_, 8, 1, 1, 2);
  connect(regionList_, &QListWidget::currentRowChanged, this, [this](int row) { onEntryChosen(regionList_, row); });
  connect(regionShow_, &QCheckBox::clicked, this, [this] {
    working_.regions[region_].show = regionShow_->isChecked();
    UpdateEnables();
  });
  connect(mode_, &QComboBox::currentIndexChanged, this, [this] {
    if (!switching_) UpdateEnables();
  });
  connect(up, &QToolButton::clicked, this, [this] { onSpinLineHeight(-1); });
  connect(down, &QToolButton::clicked, this, [this] { onSpinLineHeight(1); });
  connect(static_cast<QPushButton*>(regionFont_), &QPushButton::clicked, this,
          [this] { onFont(working_.regions[region_].font); });
  return group;
}

QWidget* CPrintoptionDlg::buildMarginGroup() {
  auto* group = new QGroupBox(qtext(L"余白"), this);
  auto* grid = new QGridLayout(group);
  const wchar_t* const columns[3] = {L"左", L"中央", L"右"};
  for (int c = 0; c < 3; ++c) grid->addWidget(new QLabel(qtext(columns[c]), group), 0, c + 1);
  grid->addWidget(new QLabel(qtext(L"ヘッダー"), group), 1, 0);
  grid->addWidget(new QLabel(qtext(L"フッター"), group), 2, 0);
  for (int i = 0; i < kMarginTexts; ++i) {
    margins_[i] = withId(new QLineEdit(group), 1265 + i);
    grid->addWidget(margins_[i], 1 + i / 3, 1 + i % 3);
  }
  auto* help = new QLabel(qtext(L"%p: ページ番号\n%P: ページ総数\n%S: 問題集名\n%D: 印刷日時\n%T: 印刷時刻"), group);
  grid->addWidget(help, 0, 4, 3, 1);
  QPushButton* font = button(group, 1262, L"フォント(&M)");
  grid->addWidget(font, 3, 1);
  connect(font, &QPushButton::clicked, this, [this] { onFont(working_.marginFont); });
  return group;
}

void CPrintoptionDlg::fillTemplateList() {
  paths_.clear();
  switching_ = true;
  templates_->clear();
  const TemplateList list = listTemplates<PrintTemplate>(host_.templateFolder());
  for (const ListedTemplate& listed : list.listed) {
    templates_->addItem(qtext(listed.name), static_cast<int>(paths_.size()));
    paths_.push_back(listed.path);
  }
  switching_ = false;
  if (!list.unreadable.empty())
    platform::messageBox(parentWidget(), list.unreadable, kCaption, platform::MbOk | platform::MbIconError);
}

std::wstring CPrintoptionDlg::pathAt(int position) const {
  if (position < 0 || position >= templates_->count()) return {};
  return paths_[templates_->itemData(position).toInt()];
}

std::vector<std::wstring> CPrintoptionDlg::listedNames(int except) const {
  std::vector<std::wstring> names;
  for (int i = 0; i < templates_->count(); ++i)
    if (i != except) names.push_back(templates_->itemText(i).toStdWString());
  return names;
}

void CPrintoptionDlg::onEntryChosen(QListWidget* list, int row) {
  const bool texts = list == textList_;
  const int current = texts ? text_ : region_;
  if (switching_ || row < 0 || row == current) return;
  // A refused value keeps the entry it belongs to selected.
  if (!ExchangeSelection(true)) {
    switching_ = true;
    list->setCurrentRow(current);
    switching_ = false;
    return;
  }
  selectTextAndRegion(texts ? row : text_, texts ? region_ : row);
}

void CPrintoptionDlg::selectTextAndRegion(int text, int region) {
  switching_ = true;
  text_ = text;
  region_ = region;
  textList_->setCurrentRow(text);
  regionList_->setCurrentRow(region);
  switching_ = false;
  ExchangeSelection(false);
  UpdateEnables();
}

bool CPrintoptionDlg::ExchangeSelection(bool store) {
  PrintTextItem& item = working_.texts[text_];
  PrintRegion& region = working_.regions[region_];
  if (!store) {
    switching_ = true;
    text_edit_->setText(qtext(item.text));
    textShow_->setChecked(item.show);
    textX_->setText(QString::number(item.x));
    textY_->setText(QString::number(item.y));
    regionY_->setText(QString::number(working_.regionY));
    const int mode = mode_->findData(region.mode);
    mode_->setCurrentIndex(mode >= 0 ? mode : 0);
    regionText_->setText(qtext(region.text));
    regionX_->setText(QString::number(region.x));
    regionWidth_->setText(QString::number(region.width));
    numbered_->setChecked(region.numbered);
    regionShow_->setChecked(region.show);
    lineHeight_->setText(QString("%1%").arg(static_cast<int>(region.lineHeightScale * 100)));
    for (int i = 0; i < kMarginTexts; ++i) margins_[i]->setText(qtext(working_.marginTexts[i]));
    switching_ = false;
    return true;
  }
  int x = 0, y = 0, regionY = 0, regionX = 0, width = 0;
  for (auto [edit, value] : {std::pair{textX_, &x}, {textY_, &y}, {regionY_, &regionY}, {regionX_, &regionX},
                             {regionWidth_, &width}}) {
    if (!readPosition(edit, *value)) {
      platform::messageBox(this, L"0 から 1000 までの整数を入力してください。", kCaption,
                           platform::MbOk | platform::MbIconWarning);
      edit->setFocus();
      return false;
    }
  }
  item.text = text_edit_->text().toStdWString();
  item.show = textShow_->isChecked();
  item.x = x;
  item.y = y;
  working_.regionY = regionY;
  region.mode = mode_->currentData().toInt();
  region.text = regionText_->text().toStdWString();
  region.x = regionX;
  region.width = width;
  region.numbered = numbered_->isChecked();
  region.show = regionShow_->isChecked();
  region.lineHeightScale = std::wcstod(lineHeight_->text().toStdWString().c_str(), nullptr) * 0.01;
  for (int i = 0; i < kMarginTexts; ++i) working_.marginTexts[i] = margins_[i]->text().toStdWString();
  return true;
}

void CPrintoptionDlg::UpdateEnables() {
  const bool textShown = textShow_->isChecked();
  for (QWidget* w : {static_cast<QWidget*>(text_edit_), textFont_, static_cast<QWidget*>(textX_),
                     static_cast<QWidget*>(textY_)})
    w->setEnabled(textShown);
  const bool regionShown = regionShow_->isChecked();
  for (QWidget* w : {regionFont_, static_cast<QWidget*>(regionX_), static_cast<QWidget*>(mode_),
                     static_cast<QWidget*>(numbered_)})
    w->setEnabled(regionShown);
  regionText_->setEnabled(regionShown && mode_->currentData().toInt() == kModeOwnText);
}

void CPrintoptionDlg::onSpinLineHeight(int steps) {
  const double shown = std::wcstod(lineHeight_->text().toStdWString().c_str(), nullptr);
  lineHeight_->setText(QString("%1%").arg(static_cast<int>(shown - 10.0 * steps)));
}

void CPrintoptionDlg::onFont(TemplateFont& font) { chooseTemplateFont(this, font, PrintTemplate::heightOfSize); }

bool CPrintoptionDlg::saveWorking(int position) {
  // With nothing listed, the default template's file could not be read: the save says why.
  std::wstring path = pathAt(position);
  if (path.empty()) path = defaultTemplatePath(host_.templateFolder());
  if (working_.LoadOrSave(path, true)) return true;
  const int cause = errno;
  platform::messageBox(this, fileFailureText(L"テンプレートを保存できませんでした: " + path, cause), kCaption,
                       platform::MbOk | platform::MbIconError);
  return false;
}

bool CPrintoptionDlg::readTemplateAt(int position, PrintTemplate& read) {
  const std::wstring path = pathAt(position);
  read = PrintTemplate();
  // A listed file not written yet (a new template, a default that could not be made) is the
  // built-in template under its entry's name.
  if (!platform::fileExists(path)) {
    if (position >= 0) read.name = templates_->itemText(position).toStdWString();
    return true;
  }
  if (read.LoadOrSave(path, false)) return true;
  const int cause = errno;
  platform::messageBox(this, fileReadFailureText(L"テンプレートを読み込めませんでした: " + path, cause), kCaption,
                       platform::MbOk | platform::MbIconError);
  return false;
}

void CPrintoptionDlg::onTemplateChosen(int position) {
  if (switching_ || position == position_) return;
  // A refused value, a failed save or a template that cannot be read keeps the template being
  // edited, edits and all.
  PrintTemplate chosen;
  if (!ExchangeSelection(true) || !saveWorking(position_) || !readTemplateAt(position, chosen)) {
    switching_ = true;
    templates_->setCurrentIndex(position_);
    switching_ = false;
    return;
  }
  position_ = position;
  working_ = std::move(chosen);
  selectTextAndRegion(0, 0);
}

void CPrintoptionDlg::onNewTemplate() {
  if (!ExchangeSelection(true) || !saveWorking(position_)) return;
  const std::wstring path = uniqueFileName(host_.templateFolder() + L"/templete", 3, 1, L".ini", paths_);
  const std::wstring name = uniqueTemplateName(L"新規テンプレート", listedNames());
  switching_ = true;
  templates_->addItem(qtext(name), static_cast<int>(paths_.size()));
  paths_.push_back(path);
  position_ = templates_->count() - 1;
  templates_->setCurrentIndex(position_);
  switching_ = false;
  working_ = PrintTemplate();
  working_.name = name;
  selectTextAndRegion(0, 0);
  onRenameTemplate();
}

bool CPrintoptionDlg::isDefaultEntry(int position) const {
  return position < 0 || pathAt(position) == defaultTemplatePath(host_.templateFolder());
}

void CPrintoptionDlg::onRenameTemplate() {
  const int position = templates_->currentIndex();
  if (isDefaultEntry(position)) {
    platform::messageBox(this, L"default の名称は変更できません", kCaption, platform::MbOk | platform::MbIconWarning);
    return;
  }
  const std::optional<std::wstring> chosen = askTemplateName(this, templates_->itemText(position).toStdWString());
  if (!chosen) return;
  const std::wstring name = uniqueTemplateName(*chosen, listedNames(position));
  templates_->setItemText(position, qtext(name));
  working_.name = name;
}

void CPrintoptionDlg::onDeleteTemplate() {
  const int position = templates_->currentIndex();
  if (isDefaultEntry(position)) {
    platform::messageBox(this, L"default は削除できません", kCaption, platform::MbOk | platform::MbIconWarning);
    return;
  }
  if (platform::messageBox(this, L"削除してもよろしいですか？", kCaption, platform::MbYesNo | platform::MbIconQuestion) !=
      platform::IdYes)
    return;
  // The entry shown next is read first: a delete never leaves the editor with nothing it could show.
  const int next = position + 1 < templates_->count() ? position + 1 : position - 1;
  PrintTemplate shown;
  if (!readTemplateAt(next, shown)) return;
  const std::wstring path = pathAt(position);
  if (platform::fileExists(path) && !platform::deleteFile(path)) {
    const int cause = errno;
    platform::messageBox(this, fileFailureText(L"テンプレートを削除できませんでした: " + path, cause), kCaption,
                         platform::MbOk | platform::MbIconError);
    return;
  }
  switching_ = true;
  templates_->removeItem(position);
  position_ = std::min(position, templates_->count() - 1);
  templates_->setCurrentIndex(position_);
  switching_ = false;
  working_ = std::move(shown);
  selectTextAndRegion(0, 0);
}

bool CPrintoptionDlg::Apply() {
  if (!ExchangeSelection(true) || !saveWorking(templates_->currentIndex())) return false;
  host_.printTemplate() = working_;
  host_.templateApplied();
  return true;
}

void CPrintoptionDlg::accept() {
  if (Apply()) QDialog::accept();
}
