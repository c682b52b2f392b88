#include "app/options/option_page_webdic.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "app/common/control_helpers.h"
#include "app/common/modal_dialog.h"
#include "app/options/web_dictionary.h"
#include "services/text_helpers.h"

namespace {

enum ControlId {
  kRows = 1184, kType = 1183, kTitle = 1271, kHead = 1023, kFoot = 1010,
  kAdd = 1012, kChange = 1013, kDelete = 1014, kUp = 1015, kDown = 1016,
};
enum Column { kTypeColumn, kTitleColumn, kHeadColumn, kFootColumn };

constexpr const wchar_t* kTypeNames[] = {L"英和辞書", L"和英辞書", L"Web検索"};
constexpr int kRow = 22;

}  // namespace

COptionpageWebdic::COptionpageWebdic(WebDictionaryList& list, QWidget* parent) : OptionPage(202, parent), list_(list) {
  rows_ = dialogControl<QTreeWidget>(this, kRows, {10, 8, 430, 200});
  rows_->setRootIsDecorated(false);
  rows_->setAllColumnsShowFocus(true);
  rows_->setSelectionBehavior(QAbstractItemView::SelectRows);
  rows_->setHeaderLabels({qtext(L"辞書タイプ"), qtext(L"タイトル"), qtext(L"URL（先頭）"), qtext(L"URL（最後）")});
  for (const auto& [column, width] : {std::pair{kTypeColumn, 90}, {kTitleColumn, 150}, {kHeadColumn, 200}, {kFootColumn, 100}})
    rows_->setColumnWidth(column, width);

  type_ = dialogControl<QComboBox>(this, kType, {100, 214, 140, kRow});
  for (const wchar_t* name : kTypeNames) type_->addItem(qtext(name));
  type_->setCurrentIndex(0);
  dialogText(this, L"辞書タイプ", {10, 214, 90, kRow});
  dialogText(this, L"タイトル", {10, 240, 90, kRow});
  title_ = dialogControl<QLineEdit>(this, kTitle, {100, 240, 340, kRow});
  dialogText(this, L"URL（先頭）", {10, 266, 90, kRow});
  head_ = dialogControl<QLineEdit>(this, kHead, {100, 266, 340, kRow});
  dialogText(this, L"URL（最後）", {10, 292, 90, kRow});
  foot_ = dialogControl<QLineEdit>(this, kFoot, {100, 292, 340, kRow});

  const std::pair<int, const wchar_t*> buttons[] = {
      {kAdd, L"追加(&A)"}, {kChange, L"変更(&P)"}, {kDelete, L"削除(&E)"}, {kUp, L"↑(&U)"}, {kDown, L"↓(&D)"}};
  void (COptionpageWebdic::*handlers[])() = {&COptionpageWebdic::OnAdd, &COptionpageWebdic::OnChange,
                                             &COptionpageWebdic::OnDelete, &COptionpageWebdic::OnUp,
                                             &COptionpageWebdic::OnDown};
  int x = 10;
  for (size_t i = 0; i < std::size(buttons); ++i) {
    auto* button = dialogControl<QPushButton>(this, buttons[i].first, {x, 322, 80, 26});
    button->setText(qtext(buttons[i].second));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, handlers[i]);
    x += 86;
  }
  dialogText(this, L"チェックを付けた辞書が、問題一覧の右クリックメニューに表示されます。", {10, 356, 430, kRow});
  connect(rows_, &QTreeWidget::currentItemChanged, this, &COptionpageWebdic::onRowSelected);
}

void COptionpageWebdic::load(const AppSettings&, bool) {
  changingRows_ = true;
  rows_->clear();
  for (const WebDictionary& entry : list_.entries) {
    auto* row = new QTreeWidgetItem(rows_);
    const int type = std::clamp(entry.type, 0, static_cast<int>(std::size(kTypeNames)) - 1);
    row->setText(kTypeColumn, qtext(kTypeNames[type]));
    row->setText(kTitleColumn, qtext(entry.title));
    row->setText(kHeadColumn, qtext(entry.head));
    row->setText(kFootColumn, qtext(entry.foot));
    row->setCheckState(kTypeColumn, entry.enabled ? Qt::Checked : Qt::Unchecked);
  }
  changingRows_ = false;
}

void COptionpageWebdic::store(AppSettings&) {
  list_.entries.clear();
  for (int i = 0; i < rows_->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* row = rows_->topLevelItem(i);
    list_.entries.push_back({type_->findText(row->text(kTypeColumn)), row->checkState(kTypeColumn) == Qt::Checked,
                             row->text(kTitleColumn).toStdWString(), row->text(kHeadColumn).toStdWString(),
                             row->text(kFootColumn).toStdWString()});
  }
}

void COptionpageWebdic::onRowSelected() {
  const QTreeWidgetItem* row = rows_->currentItem();
  if (changingRows_ || !row) return;
  type_->setCurrentIndex(type_->findText(row->text(kTypeColumn)));
  title_->setText(row->text(kTitleColumn));
  head_->setText(row->text(kHeadColumn));
  foot_->setText(row->text(kFootColumn));
}

void COptionpageWebdic::fillRow(QTreeWidgetItem* row) const {
  row->setText(kTypeColumn, type_->currentText());
  row->setText(kTitleColumn, title_->text());
  row->setText(kHeadColumn, head_->text());
  row->setText(kFootColumn, foot_->text());
}

void COptionpageWebdic::OnAdd() {
  if (rows_->topLevelItemCount() >= kMaxWebDictionaries) {
    std::wstring text;
    formatString(text, L"登録できるのは %d 個までです。", kMaxWebDictionaries);
    tell(text);
    return;
  }
  changingRows_ = true;
  auto* row = new QTreeWidgetItem(rows_);
  fillRow(row);
  row->setCheckState(kTypeColumn, Qt::Unchecked);
  changingRows_ = false;
}

void COptionpageWebdic::OnChange() {
  if (QTreeWidgetItem* row = rows_->currentItem()) fillRow(row);
}

void COptionpageWebdic::OnDelete() {
  changingRows_ = true;
  delete rows_->currentItem();
  changingRows_ = false;
}

void COptionpageWebdic::OnUp() {
  const int selected = rows_->indexOfTopLevelItem(rows_->currentItem());
  if (selected > 0) moveRow(selected, selected - 1);
}

void COptionpageWebdic::OnDown() {
  const int selected = rows_->indexOfTopLevelItem(rows_->currentItem());
  if (selected >= 0 && selected + 1 < rows_->topLevelItemCount()) moveRow(selected, selected + 1);
}

void COptionpageWebdic::moveRow(int from, int to) {
  changingRows_ = true;
  QTreeWidgetItem* row = rows_->takeTopLevelItem(from);
  rows_->insertTopLevelItem(to, row);
  rows_->setCurrentItem(row);
  rows_->setFocus();
  changingRows_ = false;
}
