#include "app/export/question_preview_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <algorithm>

#include "app/shell/klv_app.h"
#include "app/common/modal_dialog.h"
#include "app/common/page_reads.h"
#include "app/export/search_dialog.h"
#include "app/options/web_dictionary_menu.h"
#include "platform/windows/notifier.h"
#include "platform/windows/list_view_keys.h"
#include "services/app_settings.h"
#include "services/database_failure.h"
#include "services/question_rows.h"
#include "services/text_edit.h"
#include "services/text_helpers.h"
#include "study/sound/speech_voice.h"
#include "study/window/trans_edit_dialog.h"

namespace {

enum ControlId {
  kList = 1107, kBlankLine = 1115, kWidth4 = 1109, kWidth32 = 1111, kWidth64 = 1110, kWidth128 = 1112,
  kTypedWidth = 1113, kWidthEdit = 1114, kOptimalWidth = 1116, kEditButton = 1250, kSearchButton = 1251,
  kPronounceButton = 1252,
};
enum MenuCommand { kMenuPronounce = 198, kMenuSearch = 1001, kMenuEdit = 1003 };

constexpr int kMaxColumnWidth = 300;
constexpr int kFallbackColumnWidth = 10;
constexpr int kMargin = 10;
constexpr int kRightColumn = 140;
constexpr int kQuestionIndexRole = Qt::UserRole + 1;

QString idName(int id) { return QString("id%1").arg(id); }

QPushButton* addButton(QWidget* parent, int id, const wchar_t* text, int y) {
  auto* button = new QPushButton(QString::fromWCharArray(text), parent);
  button->setObjectName(idName(id));
  button->setGeometry(0, y, 120, 28);
  return button;
}

QListWidgetItem* rowItem(const std::wstring& text, int qid, int index) {
  auto* item = new QListWidgetItem(QString::fromStdWString(text));
  item->setData(Qt::UserRole, qid);
  item->setData(kQuestionIndexRole, index);
  return item;
}

}  // namespace

QuestionPreviewDlg::QuestionPreviewDlg(KlvApp& app, const std::deque<int>& ids, const std::wstring& title,
                                       QWidget* parent)
    : QDialog(parent), app_(app), m_strTitle(title) {
  questionsRead_ = pagereads::readQuestions(pdb3::openQuery(app.db), {ids.begin(), ids.end()}, questions_);
  setObjectName("id150");
  setSizeGripEnabled(true);
  setMinimumSize(600, 400);

  m_list = new QListWidget(this);
  m_list->setObjectName(idName(kList));
  platform::bringHomeAndEndRowsIntoView(*m_list);
  m_list->setUniformItemSizes(true);
  m_list->setContextMenuPolicy(Qt::CustomContextMenu);
  // Full-width characters take exactly two columns of this font, so the answer column lines up.
  QFont font(QString::fromWCharArray(L"ＭＳ ゴシック"));
  font.setFamilies({QString::fromWCharArray(L"ＭＳ ゴシック"), "IPAGothic"});
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  font.setPixelSize(14);
  font.setWeight(QFont::Normal);
  m_list->setFont(font);
  connect(m_list, &QListWidget::itemDoubleClicked, this, &QuestionPreviewDlg::OnEdit);
  connect(m_list, &QListWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { showContextMenu(m_list->viewport()->mapToGlobal(pos)); });

  rightColumn_ = new QWidget(this);
  auto* close = addButton(rightColumn_, 2, L"閉じる(&X)", 0);
  connect(close, &QPushButton::clicked, this, &QuestionPreviewDlg::reject);
  blankLine_ = new QCheckBox(QString::fromWCharArray(L"１問毎に改行"), rightColumn_);
  blankLine_->setObjectName(idName(kBlankLine));
  blankLine_->setGeometry(0, 40, 130, 24);
  connect(blankLine_, &QCheckBox::clicked, this, &QuestionPreviewDlg::OnBlankLineClicked);

  auto* group = new QGroupBox(QString::fromWCharArray(L"列の間隔"), rightColumn_);
  group->setGeometry(0, 70, 124, 196);
  widths_ = new QButtonGroup(this);
  const std::pair<int, const wchar_t*> radios[] = {
      {kWidth4, L"4"}, {kWidth32, L"32"}, {kWidth64, L"64"}, {kWidth128, L"128"}, {kTypedWidth, L"数値指定"}};
  int y = 22;
  for (const auto& [id, text] : radios) {
    auto* radio = new QRadioButton(QString::fromWCharArray(text), group);
    radio->setObjectName(idName(id));
    radio->setGeometry(8, y, 110, 24);
    widths_->addButton(radio, id);
    y += 26;
  }
  connect(widths_, &QButtonGroup::idClicked, this, &QuestionPreviewDlg::OnRadioClicked);
  widthEdit_ = new QLineEdit(group);
  widthEdit_->setObjectName(idName(kWidthEdit));
  widthEdit_->setGeometry(26, y, 80, 24);
  widthEdit_->installEventFilter(this);
  connect(widthEdit_, &QLineEdit::textEdited, this, &QuestionPreviewDlg::ApplyTypedWidth);

  connect(addButton(rightColumn_, kOptimalWidth, L"最適値(&A)", 276), &QPushButton::clicked, this,
          &QuestionPreviewDlg::OnOptimalWidth);
  connect(addButton(rightColumn_, kEditButton, L"編集(&E)...", 316), &QPushButton::clicked, this,
          &QuestionPreviewDlg::OnEdit);
  connect(addButton(rightColumn_, kSearchButton, L"検索(&F)...", 350), &QPushButton::clicked, this,
          &QuestionPreviewDlg::OnSearch);
  connect(addButton(rightColumn_, kPronounceButton, L"発音(&P)", 384), &QPushButton::clicked, this,
          &QuestionPreviewDlg::OnPronounce);

  // OnInitDialog
  const AppSettings& settings = *app_.settings;
  resize(settings.previewWidth.value, settings.previewHeight.value);
  setWindowTitle(QString::fromStdWString(m_strTitle) + QString(" [%1] - ").arg(ids.size()) +
                 QString::fromWCharArray(L"問題一覧"));
  blankLine_->setChecked(true);
  m_nColumnWidth = settings.previewDlgPeriodSize.value;
  if (m_nColumnWidth >= 0) {
    widthEdit_->setText(QString::number(m_nColumnWidth));
    widths_->button(kTypedWidth)->setChecked(true);
    ApplyTypedWidth();
  } else {
    OnOptimalWidth();
  }
  m_bInitializing = false;
}

void QuestionPreviewDlg::Refill() {
  TextExportBuffer buffer;
  std::vector<int> questionIndex;
  for (size_t i = 0; i < questions_.size(); ++i) {
    FormatQuestionRows(buffer, questions_[i], m_nColumnWidth);
    if (blankLine_->isChecked()) buffer.add(std::wstring(), questions_[i].qid());
    questionIndex.resize(buffer.lines.size(), static_cast<int>(i));
  }
  m_list->setUpdatesEnabled(false);
  m_list->hide();
  m_list->clear();
  for (size_t row = 0; row < buffer.lines.size(); ++row)
    m_list->addItem(rowItem(buffer.lines[row], buffer.questionIds[row], questionIndex[row]));
  m_list->show();
  m_list->setUpdatesEnabled(true);
}

void QuestionPreviewDlg::ApplyTypedWidth() {
  const int typed = leadingNumber(widthEdit_->text().toStdWString());
  if (typed >= 0 && typed <= kMaxColumnWidth) {
    m_nColumnWidth = typed;
  } else {
    m_nColumnWidth = kFallbackColumnWidth;
    widthEdit_->setText(QString::number(kFallbackColumnWidth));
  }
  Refill();
}

void QuestionPreviewDlg::OnWidthEditFocused() {
  widths_->button(kTypedWidth)->setChecked(true);
  ApplyTypedWidth();
}

void QuestionPreviewDlg::OnRadioClicked(int id) {
  switch (id) {
    case kWidth4: m_nColumnWidth = 4; break;
    case kWidth32: m_nColumnWidth = 32; break;
    case kWidth64: m_nColumnWidth = 64; break;
    case kWidth128: m_nColumnWidth = 128; break;
    default:
      ApplyTypedWidth();
      widthEdit_->setFocus();
      return;
  }
  Refill();
}

void QuestionPreviewDlg::OnBlankLineClicked() {
  if (widths_->checkedId() == kTypedWidth) ApplyTypedWidth();
  else Refill();
}

void QuestionPreviewDlg::OnOptimalWidth() {
  widthEdit_->setText(QString::number(std::min(MaxQuestionWidth(questions_), kMaxColumnWidth)));
  OnWidthEditFocused();
}

bool QuestionPreviewDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == widthEdit_ && event->type() == QEvent::FocusIn) OnWidthEditFocused();
  return QDialog::eventFilter(watched, event);
}

pdb3::Question* QuestionPreviewDlg::selectedQuestion() {
  QListWidgetItem* item = m_list->currentItem();
  if (!item || !item->isSelected()) item = m_list->itemAt(0, 0);
  if (!item || item->data(Qt::UserRole).toInt() < 0) return nullptr;
  return &questions_[item->data(kQuestionIndexRole).toInt()];
}

int QuestionPreviewDlg::DoModal() {
  if (questionsRead_) return runModalDialog(*this);
  reportFailedRead(parentWidget(), L"問題を読み込めませんでした。");
  return platform::IdCancel;
}

void QuestionPreviewDlg::OnEdit() {
  pdb3::Question* question = selectedQuestion();
  if (!question) return;
  // Edited on a fresh record: a cancelled edit leaves the shown texts as they were.
  pdb3::Question edited = pdb3::getQuestion(*question, question->qid());
  const study::EditOutcome outcome = study::EditAndSaveQuestion(edited, this);
  if (outcome == study::EditOutcome::Cancelled) return;
  // A refused edit leaves the rows showing what is stored.
  if (outcome == study::EditOutcome::SaveFailed) {
    reportUnmadeChange(this, L"データベースの書き込みに失敗しました。", L"KLV");
    return;
  }
  // A list may show one question more than once: every row of it shows the edit.
  for (pdb3::Question& shown : questions_)
    if (shown.qid() == edited.qid()) shown = edited;
  const int row = m_list->currentRow();
  const int scroll = m_list->verticalScrollBar()->value();
  Refill();
  m_list->verticalScrollBar()->setValue(scroll);
  m_list->setCurrentRow(row);
}

void QuestionPreviewDlg::OnSearch() {
  const pdb3::Question* question = selectedQuestion();
  if (!question) return;
  CSearchDlg search(app_, question->answerText(0), this);
  runModalDialog(search);
}

void QuestionPreviewDlg::OnPronounce() {
  const pdb3::Question* question = selectedQuestion();
  if (!question) return;
  SpeakText(app_.speechVoice, joinStrings(question->answerTexts(), std::wstring(L", ")), true);
  if (silenceTold_) return;
  // Why nothing is heard, once: the list is read over with many words spoken.
  if (const std::wstring silence = app_.speechVoice.silenceReason(); !silence.empty()) {
    silenceTold_ = true;
    platform::messageBox(this, silence, L"Kelvara");
  }
}

void QuestionPreviewDlg::showContextMenu(const QPoint& globalPos) {
  if (QListWidgetItem* item = m_list->itemAt(m_list->viewport()->mapFromGlobal(globalPos)))
    m_list->setCurrentItem(item);
  QMenu menu(this);
  menu.setObjectName("id266");
  const std::pair<int, const wchar_t*> items[] = {
      {kMenuPronounce, L"発音(&S)"}, {kMenuSearch, L"検索(&F)..."}, {kMenuEdit, L"編集(&E)..."}};
  for (const auto& [command, text] : items) menu.addAction(QString::fromWCharArray(text))->setData(command);
  QMenu* web = menu.addMenu(QString::fromWCharArray(L"Web辞書で検索(&W)"));
  if (const pdb3::Question* question = selectedQuestion())
    addQuestionWebDictionaryItems(*web, app_.webDictionaries, *question, WebItemText::titleThenWord);
  else
    web->menuAction()->setEnabled(false);
  if (QAction* chosen = menu.exec(globalPos)) OnMenuCommand(chosen->data().toInt());
}

void QuestionPreviewDlg::OnMenuCommand(int command) {
  switch (command) {
    case kMenuPronounce: OnPronounce(); return;
    case kMenuSearch: OnSearch(); return;
    case kMenuEdit: OnEdit(); return;
  }
  if (const pdb3::Question* question = selectedQuestion())
    openQuestionWebDictionary(this, app_.webDictionaries, *question, command);
}

void QuestionPreviewDlg::layoutControls() {
  m_list->setGeometry(kMargin, kMargin, std::max(0, width() - kRightColumn - kMargin),
                      std::max(0, height() - 2 * kMargin));
  rightColumn_->setGeometry(width() - kRightColumn + kMargin, kMargin, kRightColumn - kMargin, height() - 2 * kMargin);
}

void QuestionPreviewDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  layoutControls();
  if (m_bInitializing) return;
  app_.settings->previewWidth.value = width();
  app_.settings->previewHeight.value = height();
}

void QuestionPreviewDlg::done(int result) {
  app_.settings->previewDlgPeriodSize.value = m_nColumnWidth;
  QDialog::done(result);
}
