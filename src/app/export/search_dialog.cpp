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
#include "app/common/page_reads.h"
#include "app/options/web_dictionary_menu.h"
#include "database/folders/folders.h"
#include "database/engine/read_transaction.h"
#include "database/engine/sql_helpers.h"
#include "platform/trace.h"
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

constexpr wchar_t kSearchFailed[] = L"問題を検索できませんでした。";

std::wstring answerColumn(const pdb3::Question& question) {
  return joinStrings(question.answerTexts(), std::wstring(L","));
}

std::wstring questionColumn(const pdb3::Question& question) {
  pdb3::TextList expanded;
  for (const std::wstring& text : question.questionTexts()) expanded.push_back(expandPartOfSpeech(text));
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

bool CSearchDlg::readMatchingIds(int offset, int count, std::vector<int>& ids) const {
  // "%" and "_" typed by the user stay wildcards of LIKE; quotes are doubled.
  const std::wstring word = pdb3::escapeSqlQuotesTo(m_strWord);
  if (offset == 0)
    return pdb3::querySqlfIntList(accessor_, ids,
                                  L"SELECT qid FROM question WHERE answer like '%ls%%' ORDER BY answer LIMIT %d",
                                  word.c_str(), count);
  return pdb3::querySqlfIntList(accessor_, ids,
                                L"SELECT qid FROM question WHERE answer like '%ls%%' ORDER BY answer LIMIT %d, %d",
                                word.c_str(), offset, count);
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
  // An empty list would read as "no match".
  if (!readMatchingIds(0, 1, m_ids)) {
    m_ids.clear();
    reportFailedRead(this, kSearchFailed);
    return;
  }
  if (m_ids.empty()) return;
  m_nNext = 0;
  fillTimer_.start();
}

void CSearchDlg::OnFillTimer() {
  if (FillStep()) return;
  // Said once the read has let go of the file: the box must not keep another program waiting.
  StopFill(true);
  reportFailedRead(this, kSearchFailed);
}

bool CSearchDlg::ReadHit(int qid, Hit& hit) const {
  std::vector<pdb3::Question> read;
  if (!pagereads::readQuestions(accessor_, {qid}, read)) return false;
  int sid = -1;
  const pdb3::FirstRow section =
      pdb3::readFirstInt(accessor_, platform::format(L"SELECT sid FROM section WHERE qid=%d", qid), sid);
  if (section == pdb3::FirstRow::failed) return false;
  std::wstring path;
  // A set the tree has lost shows no path, as a question in no set does.
  if (section == pdb3::FirstRow::found && pdb3::readElementPath(accessor_, sid, path) == pdb3::FirstRow::failed)
    return false;
  hit = {answerColumn(read.front()), questionColumn(read.front()), std::move(path)};
  return true;
}

bool CSearchDlg::FillStep() {
  const pdb3::ReadTransaction transaction(accessor_);
  while (m_nNext >= 0 && m_nNext < static_cast<int>(m_ids.size())) {
    const int qid = m_ids[m_nNext];
    Hit hit;
    if (!ReadHit(qid, hit)) return false;
    auto* row = new QTreeWidgetItem;
    m_list->insertTopLevelItem(m_nNext, row);
    FillRow(row, hit);
    row->setData(0, Qt::UserRole, qid);
    ++m_nNext;
  }
  std::vector<int> next;
  if (!readMatchingIds(m_nNext, 1, next)) return false;
  if (next.empty() || m_ids.size() >= kMaxRows) {
    StopFill(m_ids.size() >= kMaxRows);
    return true;
  }
  m_ids.insert(m_ids.end(), next.begin(), next.end());
  return true;
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

void CSearchDlg::FillRow(QTreeWidgetItem* row, const Hit& hit) {
  row->setText(0, QString::fromStdWString(hit.answers));
  row->setText(1, QString::fromStdWString(hit.questions));
  row->setText(2, QString::fromStdWString(hit.setPath));
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
  // The edit leaves the question in its set.
  FillRow(row, {answerColumn(question), questionColumn(question), row->text(2).toStdWString()});
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
