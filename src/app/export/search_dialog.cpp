#include "app/export/search_dialog.h"

#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "app/shell/klv_app.h"
#include "app/common/modal_dialog.h"
#include "app/options/web_dictionary_menu.h"
#include "database/folders/folders.h"
#include "database/engine/read_transaction.h"
#include "database/engine/sql_helpers.h"
#include "platform/windows/notifier.h"
#include "platform/windows/list_view_keys.h"
#include "services/part_of_speech.h"
#include "services/rich_text.h"
#include "services/text_edit.h"
#include "study/window/trans_edit_dialog.h"
#include "services/database_failure.h"

namespace {

enum ControlId { kWordEdit = 1261, kResultList = 1259, kSearchButton = 1249, kEditButton = 1250, kWebButton = 1251 };

constexpr int kMaxRows = 101;
constexpr int kPresetDelayMs = 50;
constexpr int kFillIntervalMs = 1;
constexpr int kMoreRowData = -1;

QString idName(int id) { return QString("id%1").arg(id); }

QPushButton* addButton(QWidget* parent, int id, const wchar_t* text, const QRect& geometry) {
  auto* button = new QPushButton(QString::fromWCharArray(text), parent);
  button->setObjectName(idName(id));
  button->setGeometry(geometry);
  return button;
}

std::wstring joinExpanded(const pdb3::TextList& texts) {
  pdb3::TextList expanded;
  for (const std::wstring& text : texts) expanded.push_back(expandPartOfSpeech(text));
  return joinStrings(expanded, std::wstring(L","));
}

}  // namespace

CSearchDlg::CSearchDlg(KlvApp& app, std::wstring word, QWidget* parent)
    : QDialog(parent), m_pApp(app), accessor_(pdb3::openQuery(app.db)), m_strWord(std::move(word)) {
  setObjectName("id260");
  setWindowTitle(QString::fromWCharArray(L"全体からの検索"));
  setFixedSize(660, 420);

  auto* label = new QLabel(QString::fromWCharArray(L"検索語"), this);
  label->setGeometry(12, 16, 60, 24);
  auto* edit = new QPlainTextEdit(this);
  edit->setObjectName(idName(kWordEdit));
  edit->setGeometry(72, 12, 300, 30);
  edit->document()->setDocumentMargin(3);
  edit->setLineWrapMode(QPlainTextEdit::NoWrap);
  edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  edit->installEventFilter(this);
  auto* search = addButton(this, kSearchButton, L"検索(&F)", {380, 12, 110, 30});
  search->setAutoDefault(false);
  connect(search, &QPushButton::clicked, this, &CSearchDlg::OnSearch);
  auto* help = new QLabel(QString::fromWCharArray(L"解答が検索語で始まる問題を、全ての問題集から探します。"), this);
  help->setGeometry(12, 48, 360, 22);

  m_list = new QTreeWidget(this);
  m_list->setObjectName(idName(kResultList));
  platform::bringHomeAndEndRowsIntoView(*m_list);
  m_list->setGeometry(12, 80, 636, 328);
  m_list->setRootIsDecorated(false);
  m_list->setAllColumnsShowFocus(true);
  m_list->setUniformRowHeights(true);
  m_list->setHeaderLabels({QString::fromWCharArray(L"解答"), QString::fromWCharArray(L"問題"),
                           QString::fromWCharArray(L"問題集")});
  m_list->setColumnWidth(0, 160);
  m_list->setColumnWidth(1, 200);
  m_list->setColumnWidth(2, 200);
  connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CSearchDlg::OnEdit);

  auto* editButton = addButton(this, kEditButton, L"編集(&E)", {498, 12, 150, 30});
  editButton->setAutoDefault(false);
  connect(editButton, &QPushButton::clicked, this, &CSearchDlg::OnEdit);
  auto* web = addButton(this, kWebButton, L"Web辞書検索↓(&W)", {498, 46, 150, 28});
  web->setAutoDefault(false);
  connect(web, &QPushButton::clicked, this, [this] { OnWebDictionaryMenu(QCursor::pos()); });
  auto* close = addButton(this, 1, L"終了(&X)", {380, 46, 110, 28});
  close->setAutoDefault(false);
  connect(close, &QPushButton::clicked, this, &CSearchDlg::accept);

  presetTimer_.setSingleShot(true);
  presetTimer_.setInterval(kPresetDelayMs);
  connect(&presetTimer_, &QTimer::timeout, this, &CSearchDlg::OnSearch);
  fillTimer_.setInterval(kFillIntervalMs);
  connect(&fillTimer_, &QTimer::timeout, this, &CSearchDlg::OnFillTimer);

  // OnInitDialog
  DDX_RichText(this, false, kWordEdit, m_strWord);
  if (!m_strWord.empty()) presetTimer_.start();
}

bool CSearchDlg::eventFilter(QObject* watched, QEvent* event) {
  // The word is one line: Enter searches, as the dialog's default button did.
  if (event->type() == QEvent::KeyPress && watched->objectName() == idName(kWordEdit)) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      OnSearch();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

std::vector<int> CSearchDlg::matchingIds(int offset, int count) const {
  // "%" and "_" typed by the user stay wildcards of LIKE; quotes are doubled.
  const std::wstring word = pdb3::escapeSqlQuotesTo(m_strWord);
  std::vector<int> ids;
  if (offset == 0)
    pdb3::querySqlfIntList(accessor_, ids, L"SELECT qid FROM question WHERE answer like '%ls%%' ORDER BY answer LIMIT %d",
                           word.c_str(), count);
  else
    pdb3::querySqlfIntList(accessor_, ids,
                           L"SELECT qid FROM question WHERE answer like '%ls%%' ORDER BY answer LIMIT %d, %d",
                           word.c_str(), offset, count);
  return ids;
}

void CSearchDlg::OnSearch() {
  // A fill still running would go on into the emptied list.
  presetTimer_.stop();
  fillTimer_.stop();
  m_nNext = -1;
  m_ids.clear();
  DDX_RichText(this, true, kWordEdit, m_strWord);
  m_list->clear();
  if (m_strWord.empty()) return;
  m_ids = matchingIds(0, 1);
  if (m_ids.empty()) return;
  m_nNext = 0;
  fillTimer_.start();
}

void CSearchDlg::OnFillTimer() {
  const pdb3::ReadTransaction transaction(accessor_);
  while (m_nNext >= 0 && m_nNext < static_cast<int>(m_ids.size())) {
    const int qid = m_ids[m_nNext];
    auto* row = new QTreeWidgetItem;
    m_list->insertTopLevelItem(m_nNext, row);
    FillRow(row, pdb3::getQuestion(accessor_, qid));
    row->setData(0, Qt::UserRole, qid);
    ++m_nNext;
  }
  const std::vector<int> next = matchingIds(m_nNext, 1);
  if (next.empty() || m_ids.size() >= kMaxRows) {
    StopFill(m_ids.size() >= kMaxRows);
    return;
  }
  m_ids.insert(m_ids.end(), next.begin(), next.end());
}

void CSearchDlg::StopFill(bool markMore) {
  presetTimer_.stop();
  fillTimer_.stop();
  m_nNext = -1;
  if (!markMore) return;
  auto* more = new QTreeWidgetItem;
  more->setText(0, "...");
  more->setData(0, Qt::UserRole, kMoreRowData);
  m_list->insertTopLevelItem(std::min(kMaxRows, m_list->topLevelItemCount()), more);
}

void CSearchDlg::FillRow(QTreeWidgetItem* row, const pdb3::Question& question) {
  row->setText(0, QString::fromStdWString(joinStrings(question.answerTexts(), std::wstring(L","))));
  row->setText(1, QString::fromStdWString(joinExpanded(question.questionTexts())));
  std::wstring path;
  const int sid = pdb3::querySqlfIntOrMinus1(accessor_, L"SELECT sid FROM section WHERE qid=%d", question.qid());
  if (sid < 0 || !pdb3::getElementPath(accessor_, path, sid)) path.clear();
  row->setText(2, QString::fromStdWString(path));
}

void CSearchDlg::OnEdit() {
  QTreeWidgetItem* row = m_list->currentItem();
  if (!row || row->data(0, Qt::UserRole).toInt() < 0) return;
  // Rows arriving under the dialog would move the one being edited.
  if (searching()) StopFill(true);
  pdb3::Question question = pdb3::getQuestion(accessor_, row->data(0, Qt::UserRole).toInt());
  const study::EditOutcome outcome = study::EditAndSaveQuestion(question, this);
  if (outcome == study::EditOutcome::Cancelled) return;
  // A refused edit leaves the row showing what is stored.
  if (outcome == study::EditOutcome::SaveFailed) {
    reportUnmadeChange(this, L"データベースの書き込みに失敗しました。", L"KLV");
    return;
  }
  FillRow(row, question);
}

std::unique_ptr<QMenu> CSearchDlg::webDictionaryMenu() {
  auto menu = std::make_unique<QMenu>(this);
  menu->setObjectName("id262");
  addWordWebDictionaryItems(*menu, m_pApp.webDictionaries);
  return menu;
}

void CSearchDlg::OnWebDictionaryMenu(const QPoint& at) {
  const auto menu = webDictionaryMenu();
  // An empty pop-up would only flash: say why nothing is offered instead.
  if (menu->isEmpty()) {
    platform::messageBox(this, L"使える英和辞書がありません。\nオプションの「Web辞書検索」で英和辞書を登録し、チェックを付けてください。",
                         kAppCaption);
    return;
  }
  if (QAction* chosen = menu->exec(at)) OnWebDictionaryCommand(chosen->data().toInt());
}

void CSearchDlg::OnWebDictionaryCommand(int command) {
  if (!isWebDictionaryCommand(command)) return;
  DDX_RichText(this, true, kWordEdit, m_strWord);
  openWebDictionaryFor(this, m_pApp.webDictionaries, m_strWord, command - kFirstWebDictionaryCommand);
}
