#include "app/printing/card_tool_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <cerrno>

#include "app/common/control_helpers.h"
#include "app/common/page_reads.h"
#include "app/shell/klv_app.h"
#include "app/printing/print_prompts.h"
#include "app/printing/print_surface.h"
#include "app/printing/template_files.h"
#include "platform/files/file_system.h"
#include "platform/windows/notifier.h"
#include "platform/windows/list_view_keys.h"
#include "platform/text.h"
#include "platform/trace.h"
#include "platform/windows/window_menu_bar.h"
#include "services/app_settings.h"
#include "services/database_failure.h"
#include "services/file_failure.h"

namespace {

QDoubleSpinBox* spinEdit(QWidget* parent, int id, double lo, double hi) {
  auto* spin = withId(new QDoubleSpinBox(parent), id);
  spin->setRange(lo, hi);
  spin->setDecimals(1);
  return spin;
}

class CardPreview : public QWidget {
 public:
  explicit CardPreview(CPrintpageCardSetting& page, QWidget* parent) : QWidget(parent), page_(page) {
    setObjectName("id1309");
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    page_.paintPreview(painter);
  }

 private:
  CPrintpageCardSetting& page_;
};

}  // namespace

CPrintpageCardSetting::CPrintpageCardSetting(CPrintToolDlg& tool, QWidget* parent) : QWidget(parent), tool_(tool) {
  setObjectName("id282");
  auto* grid = new QGridLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(qtext(L"テンプレート："), this));
  templates_ = withId(new QComboBox(this), 1287);
  templates_->setMinimumWidth(220);
  top->addWidget(templates_, 1);
  // New, delete and rename of card templates are not offered.
  for (auto [id, label] : {std::pair{1308, L"新規(&N)"}, {1289, L"削除(&D)"}, {1307, L"名称の変更(&C)"}}) {
    auto* b = withId(new QPushButton(qtext(label), this), id);
    b->setEnabled(false);
    top->addWidget(b);
  }
  grid->addLayout(top, 0, 0, 1, 2);

  sides_ = withId(new QTabBar(this), 1304);
  sides_->addTab("FrontView");
  sides_->addTab("BackView");
  grid->addWidget(sides_, 1, 0, 1, 2);

  auto* card = new QGroupBox(qtext(L"カードプレビュー"), this);
  auto* cardGrid = new QGridLayout(card);
  cardGrid->addWidget(new QLabel(qtext(L"幅 [mm]"), card), 0, 0);
  cardWidth_ = spinEdit(card, 1310, 50, 200);
  cardGrid->addWidget(cardWidth_, 0, 1);
  cardGrid->addWidget(new QLabel(qtext(L"高さ [mm]"), card), 0, 2);
  cardHeight_ = spinEdit(card, 1311, 20, 200);
  cardGrid->addWidget(cardHeight_, 0, 3);
  auto* area = new QWidget(card);
  area->setFixedSize(260, 210);
  preview_ = new CardPreview(*this, area);
  cardGrid->addWidget(area, 1, 0, 1, 4);
  scaleLabel_ = new QLabel(card);
  scaleLabel_->setObjectName("scale");
  cardGrid->addWidget(scaleLabel_, 2, 0);
  cardGrid->addWidget(new QLabel(qtext(L"問題："), card), 3, 0);
  question_ = withId(new QSlider(Qt::Horizontal, card), 1322);
  cardGrid->addWidget(question_, 3, 1, 1, 3);
  grid->addWidget(card, 2, 0);

  auto* itemsBox = new QGroupBox(qtext(L"印刷項目"), this);
  auto* items = new QGridLayout(itemsBox);
  itemList_ = withId(new QListWidget(itemsBox), 1001);
  platform::bringHomeAndEndRowsIntoView(*itemList_);
  items->addWidget(itemList_, 0, 0, 1, 2);
  addItem_ = withId(new QPushButton(qtext(L"新規"), itemsBox), 1315);
  deleteItem_ = withId(new QPushButton(qtext(L"削除"), itemsBox), 1316);
  items->addWidget(addItem_, 1, 0);
  items->addWidget(deleteItem_, 1, 1);
  mode_ = withId(new QComboBox(itemsBox), 1314);
  for (const RegionMode& mode : regionModes()) mode_->addItem(qtext(mode.label), mode.mode);
  items->addWidget(mode_, 2, 0, 1, 2);
  text_ = withId(new QLineEdit(itemsBox), 1317);
  items->addWidget(text_, 3, 0, 1, 2);
  items->addWidget(new QLabel(qtext(L"横方向位置"), itemsBox), 4, 0);
  x_ = spinEdit(itemsBox, 1318, 0, 200);
  items->addWidget(x_, 4, 1);
  items->addWidget(new QLabel(qtext(L"縦方向位置"), itemsBox), 5, 0);
  y_ = spinEdit(itemsBox, 1319, 0, 200);
  items->addWidget(y_, 5, 1);
  font_ = withId(new QPushButton(qtext(L"フォント(&F)"), itemsBox), 1320);
  items->addWidget(font_, 6, 0, 1, 2);
  auto* distance = new QGroupBox(qtext(L"カード間の距離"), itemsBox);
  auto* distanceGrid = new QGridLayout(distance);
  distanceGrid->addWidget(new QLabel(qtext(L"横方向"), distance), 0, 0);
  distanceGrid->addWidget(spinEdit(distance, 1312, 0, 30), 0, 1);
  distanceGrid->addWidget(new QLabel(qtext(L"縦方向"), distance), 1, 0);
  distanceGrid->addWidget(spinEdit(distance, 1313, 0, 30), 1, 1);
  items->addWidget(distance, 7, 0, 1, 2);
  printBorder_ = withId(new QCheckBox(qtext(L"カードの枠を印刷する(&B)"), itemsBox), 1321);
  items->addWidget(printBorder_, 8, 0, 1, 2);
  grid->addWidget(itemsBox, 2, 1);

  connect(templates_, &QComboBox::currentIndexChanged, this, &CPrintpageCardSetting::onTemplateChosen);
  connect(sides_, &QTabBar::currentChanged, this, [this] {
    if (!loading_) LoadItems();
  });
  connect(itemList_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (loading_) return;
    selected_ = row;
    showSelectedItem();
  });
  connect(text_, &QLineEdit::textChanged, this, &CPrintpageCardSetting::changed);
  connect(x_, &QDoubleSpinBox::valueChanged, this, &CPrintpageCardSetting::changed);
  connect(y_, &QDoubleSpinBox::valueChanged, this, &CPrintpageCardSetting::changed);
  connect(printBorder_, &QCheckBox::toggled, this, &CPrintpageCardSetting::changed);
  for (QDoubleSpinBox* size : {cardWidth_, cardHeight_})
    connect(size, &QDoubleSpinBox::valueChanged, this, [this] {
      if (loading_) return;
      SaveItem();
      UpdatePreviewSize();
      preview_->update();
    });
  connect(mode_, &QComboBox::currentIndexChanged, this, &CPrintpageCardSetting::onModeChanged);
  connect(font_, &QPushButton::clicked, this, &CPrintpageCardSetting::onFont);
  connect(addItem_, &QPushButton::clicked, this, &CPrintpageCardSetting::onAddItem);
  connect(deleteItem_, &QPushButton::clicked, this, &CPrintpageCardSetting::onDeleteItem);
  connect(question_, &QSlider::valueChanged, preview_, qOverload<>(&QWidget::update));
}

int CPrintpageCardSetting::side() const { return sides_->currentIndex() == 0 ? 0 : 1; }

std::vector<CardItem>& CPrintpageCardSetting::items() {
  return side() == 0 ? tool_.cardTemplate.front : tool_.cardTemplate.back;
}

void CPrintpageCardSetting::Initialize(const std::wstring& loadedPath) {
  loading_ = true;
  question_->setRange(0, static_cast<int>(tool_.questionIds().size()));
  question_->setValue(0);
  paths_.clear();
  templates_->clear();
  const TemplateList list = listTemplates<CardTemplate>(tool_.cardFolder());
  if (!list.unreadable.empty())
    platform::messageBox(tool_.parentWidget(), list.unreadable, L"KLV", platform::MbOk | platform::MbIconError);
  for (const ListedTemplate& listed : list.listed) {
    if (listed.path == loadedPath) {
      loadedPosition_ = static_cast<int>(paths_.size());
      tool_.cardTemplate.name = listed.name;
    }
    templates_->addItem(qtext(listed.name), static_cast<int>(paths_.size()));
    paths_.push_back(listed.path);
  }
  if (loadedPosition_ >= 0) templates_->setCurrentIndex(loadedPosition_);
  loading_ = false;
  LoadItems();
  UpdatePreviewSize();
}

std::wstring CPrintpageCardSetting::loadedPath() const {
  if (loadedPosition_ < 0 || loadedPosition_ >= static_cast<int>(paths_.size())) return {};
  return paths_[loadedPosition_];
}

void CPrintpageCardSetting::LoadItems() {
  platform::trace("LoadPrintTemplete\n");
  loading_ = true;
  itemList_->clear();
  for (const CardItem& item : items()) itemList_->addItem(qtext(regionModeLabel(item.mode)));
  loading_ = false;
  selectRow(items().empty() ? -1 : 0);
}

void CPrintpageCardSetting::selectRow(int row) {
  loading_ = true;
  selected_ = row;
  itemList_->setCurrentRow(row);
  loading_ = false;
  showSelectedItem();
}

void CPrintpageCardSetting::showSelectedItem() {
  ExchangeItem(false);
  UpdateEnables();
  preview_->update();
}

bool CPrintpageCardSetting::hasSelection() { return selected_ >= 0 && selected_ < static_cast<int>(items().size()); }

void CPrintpageCardSetting::SaveItem() {
  platform::trace("SavePrintTemplete\n");
  ExchangeItem(true);
}

void CPrintpageCardSetting::ExchangeItem(bool save) {
  CardTemplate& card = tool_.cardTemplate;
  platform::trace(save ? "SaveItemTemplete for [%d]\n" : "LoadItemTemplete for [%d]\n", selected_);
  const bool valid = hasSelection();
  if (save) {
    card.cardWidth = cardWidth_->value();
    card.cardHeight = cardHeight_->value();
    card.printBorder = printBorder_->isChecked();
    if (!valid) return;
    CardItem& item = items()[selected_];
    item.mode = mode_->currentData().toInt();
    item.x = x_->value();
    item.y = y_->value();
    item.text = text_->text().toStdWString();
    return;
  }
  loading_ = true;
  cardWidth_->setValue(card.cardWidth);
  cardHeight_->setValue(card.cardHeight);
  printBorder_->setChecked(card.printBorder);
  if (valid) {
    const CardItem& item = items()[selected_];
    const int mode = mode_->findData(item.mode);
    mode_->setCurrentIndex(mode >= 0 ? mode : 0);
    x_->setValue(item.x);
    y_->setValue(item.y);
    text_->setText(qtext(item.text));
  }
  loading_ = false;
}

void CPrintpageCardSetting::UpdateEnables() {
  const bool any = hasSelection();
  for (QWidget* w : {static_cast<QWidget*>(deleteItem_), static_cast<QWidget*>(mode_), static_cast<QWidget*>(x_),
                     static_cast<QWidget*>(y_), static_cast<QWidget*>(font_)})
    w->setEnabled(any);
  if (any) text_->setEnabled(items()[selected_].mode == kModeOwnText);
  // The file holds no more than this many items on a side.
  addItem_->setEnabled(static_cast<int>(items().size()) < kMaxCardItems);
  platform::trace("combo : %d\n", mode_->currentIndex());
}

void CPrintpageCardSetting::UpdatePreviewSize() {
  const CardTemplate& card = tool_.cardTemplate;
  scale_ = card.cardWidth / card.cardHeight <= 1.25 ? 200.0 / card.cardHeight : 250.0 / card.cardWidth;
  preview_->setGeometry(0, 0, static_cast<int>(card.cardWidth * scale_), static_cast<int>(card.cardHeight * scale_));
  scaleLabel_->setText(QString::asprintf("%.2f", scale_));
}

void CPrintpageCardSetting::paintPreview(QPainter& painter) {
  PrintSurface surface(*preview_, &painter);
  painter.fillRect(preview_->rect(), Qt::white);
  painter.setClipRect(preview_->rect());
  if (tool_.cardTemplate.printBorder) surface.rectangle(0, 0, preview_->width(), preview_->height());
  const int shown = question_->value();
  if (shown < 0 || shown >= static_cast<int>(tool_.questionIds().size())) return;
  for (const CardItem& item : items()) {
    platform::trace("%d : %d\n", static_cast<int>(&item - items().data()), item.font.height);
    TemplateFont font = item.font;
    font.size = std::max(1, static_cast<int>(item.font.size * scale_ * 0.2645833333333333));
    font.height = CardTemplate::heightOfSize(font.size);
    const DeviceFont deviceFont(font, *preview_);
    surface.select(deviceFont);
    const std::wstring text = tool_.previewText(item, tool_.questionIds()[shown]);
    surface.textOut(static_cast<int>(item.x * scale_), static_cast<int>(item.y * scale_), qtext(text));
  }
}

void CPrintpageCardSetting::changed() {
  if (loading_) return;
  SaveItem();
  preview_->update();
}

void CPrintpageCardSetting::onModeChanged() {
  if (loading_ || selected_ < 0) return;
  if (QListWidgetItem* entry = itemList_->item(selected_)) entry->setText(mode_->currentText());
  SaveItem();
  UpdateEnables();
  preview_->update();
}

void CPrintpageCardSetting::onFont() {
  if (!hasSelection()) return;
  if (chooseTemplateFont(this, items()[selected_].font, CardTemplate::heightOfSize)) preview_->update();
}

void CPrintpageCardSetting::onAddItem() {
  std::vector<CardItem>& side = items();
  if (static_cast<int>(side.size()) >= kMaxCardItems) return;
  SaveItem();
  CardItem item;
  const TemplateFont face = side.empty() ? CardItem::defaultFont() : side.front().font;
  item.font = face;
  item.font.size = 120;
  item.font.colour = 0;
  side.push_back(item);
  loading_ = true;
  itemList_->addItem(qtext(regionModeLabel(0)));
  loading_ = false;
  selectRow(static_cast<int>(side.size()) - 1);
}

void CPrintpageCardSetting::onDeleteItem() {
  if (itemList_->count() == 0 || selected_ < 0) return;
  const std::wstring label = itemList_->item(selected_)->text().toStdWString();
  if (platform::messageBox(this, label + L" を削除してもよろしいですか？", L"KLV",
                           platform::MbYesNo | platform::MbIconQuestion) != platform::IdYes)
    return;
  std::vector<CardItem>& side = items();
  side.erase(side.begin() + selected_);
  loading_ = true;
  delete itemList_->takeItem(selected_);
  loading_ = false;
  selectRow(std::min(selected_, static_cast<int>(side.size()) - 1));
}

void CPrintpageCardSetting::onTemplateChosen(int position) {
  if (loading_ || position == loadedPosition_ || position < 0) return;
  // The template shown so far goes back to its own file before the chosen one is loaded.
  SaveItem();
  tool_.saveTemplateTo(loadedPath());
  if (!tool_.loadTemplateFrom(paths_[position], &tool_)) {
    loading_ = true;
    templates_->setCurrentIndex(loadedPosition_);
    loading_ = false;
    return;
  }
  loadedPosition_ = position;
  LoadItems();
  UpdatePreviewSize();
}

CPrintToolDlg::CPrintToolDlg(KlvApp& app, study::PronouncingDictionary* dictionary, std::vector<int> questionIds,
                             QWidget* parent)
    : QDialog(parent),
      ids_(std::move(questionIds)),
      folder_(app.settings->printCardTempleteFolder.value),
      sources_{dictionary, &symbols_} {
  setObjectName("id280");
  setWindowTitle(qtext(L"印刷ツール"));
  setMinimumSize(750, 550);
  setMaximumSize(1200, 1000);
  auto* bar = new platform::WindowMenuBar(this);
  QMenu* file = bar->addMenu(qtext(L"ファイル(&F)"));
  QMenu* view = bar->addMenu(qtext(L"表示(&V)"));
  auto add = [](QMenu* menu, int id, const wchar_t* label) {
    return withId(menu->addAction(qtext(label)), id);
  };
  // Cards are designed, not printed: the printing commands stay disabled.
  add(file, 32847, L"ページ設定(&S)...")->setEnabled(false);
  add(file, 32846, L"印刷実行(&P)...")->setEnabled(false);
  file->addSeparator();
  connect(add(file, 32845, L"終了(&E)"), &QAction::triggered, this, [this] { done(0); });
  add(view, 32852, L"プレビュー(&P)")->setEnabled(false);
  add(view, 32853, L"カード設定(&C)")->setEnabled(false);
  page_ = new CPrintpageCardSetting(*this, this);
  for (auto [id, label] : {std::pair{1302, L"ページ設定(&S)"}, {1299, L"カード設定(&C)"}, {1300, L"プレビュー(&P)"},
                           {1301, L"印刷実行(&X)"}}) {
    auto* b = withId(new QPushButton(qtext(label), this), id);
    b->setCheckable(true);
    b->setEnabled(id == 1299);
    buttons_.push_back(b);
  }

  std::vector<pdb3::Question> questions;
  if (!pagereads::readQuestions(pdb3::openQuery(app.db), ids_, questions)) {
    // The tool stays shut, so no template is written either.
    reportFailedRead(parent, L"カードに表示する問題を読み込めませんでした。");
    return;
  }
  for (pdb3::Question& question : questions) questions_.emplace(question.qid(), std::move(question));

  cardTemplate.SetDefaultItems();
  const std::wstring defaultPath = defaultTemplatePath(folder_);
  if (platform::fileExists(defaultPath)) {
    if (!loadTemplateFrom(defaultPath, parent)) return;  // the tool stays shut and writes nothing
  } else if (!cardTemplate.LoadOrSave(defaultPath, true)) {
    platform::traceError("card template: cannot write %s\n", platform::toUtf8(defaultPath).c_str());
  }
  opened_ = true;
  symbols_ = readPronunciationSymbols(app.settings->cmu2ipaFilePath.value);
  page_->Initialize(defaultPath);
  buttons_[1]->setChecked(true);
  resize(800, 600);
}

CPrintToolDlg::~CPrintToolDlg() = default;

int CPrintToolDlg::exec() { return opened_ ? QDialog::exec() : QDialog::Rejected; }

std::wstring CPrintToolDlg::previewText(const CardItem& item, int questionId) const {
  // Painting reads nothing: the texts come from what was read when the tool opened.
  const auto found = questions_.find(questionId);
  const std::wstring text =
      found == questions_.end() ? std::wstring() : regionText(item.mode, item.text, found->second, sources_);
  return text.empty() ? L"<" + regionModeLabel(item.mode) + L">" : text;
}

void CPrintToolDlg::done(int result) {
  if (!saved_ && opened_) {
    saved_ = true;
    page_->SaveItem();
    saveTemplateTo(page_->loadedPath());
  }
  QDialog::done(result);
}

void CPrintToolDlg::saveTemplateTo(const std::wstring& path) {
  if (path.empty() || cardTemplate.LoadOrSave(path, true)) return;
  const int cause = errno;
  platform::messageBox(this, fileFailureText(L"テンプレートを保存できませんでした: " + path, cause), L"KLV",
                       platform::MbOk | platform::MbIconError);
}

bool CPrintToolDlg::loadTemplateFrom(const std::wstring& path, QWidget* owner) {
  CardTemplate read;
  read.SetDefaultItems();
  // A listed file not written yet (a default that could not be made) is the built-in template.
  if (platform::fileExists(path) && !read.LoadOrSave(path, false)) {
    const int cause = errno;
    platform::messageBox(owner, fileReadFailureText(L"テンプレートを読み込めませんでした: " + path, cause), L"KLV",
                         platform::MbOk | platform::MbIconError);
    return false;
  }
  cardTemplate = std::move(read);
  return true;
}

void CPrintToolDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  layoutControls();
}

void CPrintToolDlg::layoutControls() {
  const QSize client = size();
  int x = 30;
  int buttonTop = client.height();
  for (QPushButton* b : buttons_) {
    const QSize hint = b->sizeHint();
    buttonTop = client.height() - 10 - hint.height();
    b->setGeometry(x, buttonTop, hint.width(), hint.height());
    x += hint.width() + 30;
  }
  const int menuHeight = findChild<QMenuBar*>()->sizeHint().height();
  findChild<QMenuBar*>()->setGeometry(0, 0, client.width(), menuHeight);
  page_->setGeometry(0, menuHeight, client.width(), buttonTop - 10 - menuHeight);
}
