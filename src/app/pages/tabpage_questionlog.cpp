#include "app/pages/tabpage_questionlog.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <array>
#include <deque>
#include <unordered_map>

#include "app/common/control_helpers.h"
#include "app/shell/klv_app.h"
#include "app/pages/level_graphs.h"
#include "app/main/last_study.h"
#include "app/main/main_dialog_host.h"
#include "app/common/modal_dialog.h"
#include "app/common/page_reads.h"
#include "app/common/word_after_input.h"
#include "app/pages/page_dates.h"
#include "app/pages/page_drawing.h"
#include "app/options/web_dictionary_menu.h"
#include "database/logs/question_selection.h"
#include "database/records/question_sound.h"
#include "database/folders/section_questions.h"
#include "database/engine/read_transaction.h"
#include "database/engine/sql_helpers.h"
#include "platform/clock.h"
#include "platform/windows/notifier.h"
#include "platform/windows/row_list.h"
#include "platform/trace.h"
#include "services/app_settings.h"
#include "services/database_failure.h"
#include "services/part_of_speech.h"
#include "services/text_edit.h"
#include "study/sound/sound_queue.h"
#include "study/sound/speech_voice.h"
#include "services/unknown_figure.h"

namespace {

constexpr int kColumns = 6;
constexpr wchar_t kListUnread[] = L"問題の一覧を読み込めませんでした。";
constexpr int kIconWidth = 20;
constexpr int kAdjustSteps[13] = {10, 5, 4, 3, 2, 1, 0, -1, -2, -3, -4, -5, -10};

// Each column keeps its direction for the whole run; the study date starts with the latest.
std::array<bool, kColumns>& ascendingNext() {
  static std::array<bool, kColumns> flags{true, true, true, true, true, false};
  return flags;
}

// The SQL of the counts the correct-rate mode shows: first answers, re-answers, or both.
struct CountExpressions {
  const wchar_t* correct;
  const wchar_t* incorrect;
  const wchar_t* rate;
};
CountExpressions expressionsFor(int mode) {
  switch (mode) {
    case 0: return {L"nc1+nc1pm", L"ni1+ni1pm", L"1.0*(nc1+nc1pm)/(nc1+nc1pm+ni1+ni1pm)"};
    case 1: return {L"nc2+nc2pm", L"ni2+ni2pm", L"1.0*(nc2+nc2pm)/(nc2+nc2pm+ni2+ni2pm)"};
    default:
      return {L"nc1+nc1pm+nc2+nc2pm", L"ni1+ni1pm+ni2+ni2pm",
              L"1.0*(nc1+nc1pm+nc2+nc2pm)/(nc1+nc1pm+ni1+ni1pm+nc2+nc2pm+ni2+ni2pm)"};
  }
}

struct Tally {
  int base;
  int adjustment;
};
Tally tallyOf(const pdb3::QuestionLog& log, int mode, bool correct) {
  const int first = correct ? log.nc1 : log.ni1, firstPm = correct ? log.nc1pm : log.ni1pm;
  const int again = correct ? log.nc2 : log.ni2, againPm = correct ? log.nc2pm : log.ni2pm;
  if (mode == 0) return {first, firstPm};
  if (mode == 1) return {again, againPm};
  return {first + again, firstPm + againPm};
}

std::wstring tallyText(const Tally& t) {
  if (t.adjustment > 0) return platform::format(L"%d (%d+%d)", t.base + t.adjustment, t.base, t.adjustment);
  if (t.adjustment < 0) return platform::format(L"%d (%d-%d)", t.base + t.adjustment, t.base, -t.adjustment);
  return platform::format(L"%d", t.base);
}

std::wstring joinedQuestion(const pdb3::Question& q) {
  return expandPartOfSpeech(joinStrings(q.questionTexts(), std::wstring(L"/")));
}

// The question sounds go to the main dialog's queue.
class QueueSoundOutput : public pdb3::QuestionSoundOutput {
 public:
  explicit QueueSoundOutput(SoundQueue& queue) : queue_(queue) {}
  bool playNow(const std::wstring& path, unsigned l, unsigned r) override { return queue_.playNow(path, l, r); }
  bool enqueue(const std::wstring& path, unsigned l, unsigned r) override { return queue_.enqueue(path, l, r); }

 private:
  SoundQueue& queue_;
};

bool isInputWhileChecking(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
      return true;
    case QEvent::Close:
      return watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow();
    default:
      return false;
  }
}

}  // namespace

CTabpageQuestionlog::CTabpageQuestionlog(KlvApp& app, MainDialogHost& host, QWidget* parent)
    : QWidget(parent),
      app_(app),
      host_(host),
      model_(*this, {L"問題", L"解答", L"正解", L"不正解", L"正解率", L"学習日"}),
      afterInput_(new WordAfterInput(this)) {
  setObjectName("id157");
  m_listCtrl = withId(new platform::RowListView(this), 1145);
  setUpIdList(*m_listCtrl, model_, {200, 150, 60, 60, 60, 70}, kListUnread);
  m_listCtrl->setContextMenuPolicy(Qt::CustomContextMenu);
  m_listCtrl->viewport()->installEventFilter(this);
  connect(m_listCtrl->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int c) { OnColumnClick(c); });
  connect(m_listCtrl, &QTableView::doubleClicked, this, [this] { OnEditQuestion(); });
  connect(m_listCtrl, &QTableView::customContextMenuRequested, this, [this] {
    if (auto menu = OnListRClick()) {
      if (QAction* chosen = menu->exec(QCursor::pos())) OnCommand(chosen->data().toInt());
    }
  });

  checkMenuButton_ = withId(new QPushButton(qtext(L"選択変更↓"), this), 1017);
  checkMenuButton_->setToolTip(qtext(L"選択状態を様々な基準で変更します。右の入力欄で指定した数だけ選択されます。"));
  countBox_ = withId(new QLineEdit(this), 1150);
  worstMenuButton_ = withId(new QPushButton(qtext(L"正解率の低い問題を選択↓"), this), 1152);
  worstMenuButton_->setToolTip(qtext(L"正解率の低い問題を選択"));
  includeReanswers_ = withId(new QCheckBox(qtext(L"正解率に再回答分を含める(&B)"), this), 1175);
  includeUnstudied_ = withId(new QCheckBox(qtext(L"まだ学習していない問題を含める(&C)"), this), 1174);
  studyButton_ = withId(new QPushButton(qtext(L"選択した問題を覚える"), this), 1149);
  studyButton_->setToolTip(qtext(L"チェックで選択されている問題を学習します"));
  connect(checkMenuButton_, &QPushButton::clicked, this, [this] { showMenu(160, checkMenuButton_); });
  connect(worstMenuButton_, &QPushButton::clicked, this, [this] { showMenu(181, worstMenuButton_); });
  connect(studyButton_, &QPushButton::clicked, this, [this] { OnStudySelected(); });
  connect(includeReanswers_, &QCheckBox::clicked, this, [this] { OnIncludeReanswersClicked(); });
  auto* spellCheck = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F9), this);
  spellCheck->setContext(Qt::WidgetWithChildrenShortcut);
  connect(spellCheck, &QShortcut::activated, this, [this] { SpellCheck(); });

  includeReanswers_->setChecked(app_.settings->correctrateMode == 1 || app_.settings->correctrateMode == 2);
  ReloadList();
  UpdateCheckedCount();
  if (m_rows.size() > 0) m_listCtrl->selectRow(0);
}

void CTabpageQuestionlog::resizeEvent(QResizeEvent*) {
  const int W = width(), H = height();
  checkMenuButton_->setGeometry(5, H - 58, 90, 26);
  countBox_->setGeometry(98, H - 56, 48, 22);
  worstMenuButton_->setGeometry(200, H - 58, widthForText(worstMenuButton_, 170), 26);
  const int checksLeft = worstMenuButton_->geometry().right() + 6;
  const int checksWidth = std::max(widthForText(includeReanswers_, 222), widthForText(includeUnstudied_, 222));
  includeReanswers_->setGeometry(checksLeft, H - 60, checksWidth, 20);
  includeUnstudied_->setGeometry(checksLeft, H - 38, checksWidth, 20);
  // The study button closes the row when the row has room for it, else it takes a row of its
  // own above, and the list gives up that room.
  const int studyWidth = widthForText(studyButton_, 155);
  const bool studyInRow = checksLeft + checksWidth + 6 <= W - 5 - studyWidth;
  studyButton_->setGeometry(W - 5 - studyWidth, studyInRow ? H - 58 : H - 98, studyWidth, 30);
  m_listCtrl->setGeometry(0, 0, W, std::max(studyInRow ? H - 64 : H - 104, 0));
}

void CTabpageQuestionlog::paintEvent(QPaintEvent*) {
  QImage image(size(), QImage::Format_RGB32);
  image.fill(palette().color(QPalette::Window));
  platform::Dc dc(image);
  dc.selectFont(pageFont(13));
  dc.setBkMode(platform::Transparent);
  dc.setTextColor(pageWindowText(*this));
  dc.textOut(150, height() - 50, L"/ " + figureOrUnknown(host_.questionCount()));
  QPainter(this).drawImage(0, 0, image);
}

bool CTabpageQuestionlog::ReloadList() {
  const pdb3::DbObject accessor = pdb3::openQuery(app_.db);
  int count = 0, changeCount = 0;
  bool read = false;
  {
    const pdb3::ReadTransaction transaction(accessor);  // the change count names the state counted
    read = pagereads::readChangeCount(accessor, changeCount) &&
           pagereads::readInt(accessor, platform::format(L"SELECT count(*) FROM section WHERE sid=%d", app_.currentSetId),
                              count);
  }
  if (!read) {
    ClearList();  // rows of another set, or counts from before, would be taken for these
    return false;
  }
  // The reset has the rows in view read, when the list is on screen.
  setRowCount(count, changeCount);
  return true;
}

bool CTabpageQuestionlog::readIds(const std::vector<int>& qids) {
  return pagereads::readQuestionsWithLogs(pdb3::openQuery(app_.db), qids, app_.currentUserId, app_.studyMode,
                                          m_questionCache, m_logCache);
}

CTabpageQuestionlog::SetRead CTabpageQuestionlog::readRange(int first, int last) {
  const pdb3::DbObject accessor = pdb3::openQuery(app_.db);
  SetRead outcome = SetRead::read;
  {
    // Rows read by their place are read from the state of the file the set was checked in.
    std::optional<pdb3::ReadTransaction> transaction;
    if (!m_rows.allRead(first, last)) {
      transaction.emplace(accessor);
      outcome = confirmSetAsListed(accessor);
    }
    if (outcome == SetRead::read) {
      std::vector<int> ids;
      // Known ids (every id is, once the set was confirmed by reading them all) are read as such.
      const bool read =
          m_rows.allRead(first, last)
              ? readIds(std::vector<int>(m_rows.ids().begin() + first, m_rows.ids().begin() + last + 1))
              : pagereads::readSetRangeWithLogs(accessor, app_.currentSetId, first, last - first + 1,
                                                app_.currentUserId, app_.studyMode, ids, m_questionCache, m_logCache);
      if (read) m_rows.take(first, ids);
      else outcome = SetRead::failed;
    }
  }
  // Rows read before keep what they showed: the picture of the file the learner saw, and acts on.
  return outcome;
}

CTabpageQuestionlog::SetRead CTabpageQuestionlog::confirmSetAsListed(const pdb3::DbObject& accessor) {
  int changeCount = 0;
  if (!pagereads::readChangeCount(accessor, changeCount)) return SetRead::failed;
  if (changeCount == m_rows.changeCount()) return SetRead::read;
  // Another connection wrote to the file, most often to other sets or to texts and logs: reading
  // every id tells whether it was to this set's rows.
  const SetRead read = readAllIds();
  if (read == SetRead::read) m_rows.agreedAt(changeCount);
  return read;
}

bool CTabpageQuestionlog::readRows(int first, int last, RowRead why) {
  const SetRead read = readRange(first, last);
  if (read == SetRead::read) return true;
  // The check says why it stops itself, once nothing holds the learner's input back from its box.
  if (spellChecking_ || (read == SetRead::failed && why == RowRead::retriedQuietly)) return false;
  if (read == SetRead::changed)
    reloadChangedSet(false);
  else
    // Rows read again before the box is up belong to the same action: they do not say it again.
    reportFailedReadAfterInput(*afterInput_, host_.dialogWindow(), kListUnread);
  return false;
}

CTabpageQuestionlog::SetRead CTabpageQuestionlog::readIdsOfRows(const std::vector<int>& rows) {
  const auto known = [&](int row) { return row < 0 || row >= m_rows.size() || m_rows.isRead(row); };
  return std::all_of(rows.begin(), rows.end(), known) ? SetRead::read : readAllIds();
}

CTabpageQuestionlog::SetRead CTabpageQuestionlog::readAllIds() {
  if (m_rows.allRead()) return SetRead::read;
  // Rows never shown: every id in one statement, rather than a statement for each stretch of them.
  std::vector<int> ids;
  if (!pdb3::sectionQuestionIds(pdb3::openQuery(app_.db), app_.currentSetId, ids)) return SetRead::failed;
  // Ids read now in rows placed by an earlier state of the set would list a question twice and
  // another never, or put a question the set no longer holds under the learner's command.
  if (!m_rows.agreesWith(ids)) return SetRead::changed;
  m_rows.take(0, ids);
  return SetRead::read;
}

bool CTabpageQuestionlog::readOrSay(SetRead outcome, const std::wstring& failure, FailureReport say) {
  if (outcome == SetRead::failed) reportFailure(failure, say);
  if (outcome == SetRead::changed) reloadChangedSet(true);
  return outcome == SetRead::read;
}

void CTabpageQuestionlog::reloadChangedSet(bool duringCommand) {
  // Another change met while the list is read again leaves its rows unread, to be read at the next scroll.
  if (reloadingChangedSet_) return;
  reloadingChangedSet_ = true;
  const bool reloaded = ReloadList();
  UpdateCheckedCount();
  reloadingChangedSet_ = false;
  // Rows are read while the view scrolls, inside the press on its scroll bar or the turn of its wheel:
  // what they find is said once that input is over.
  if (!reloaded) {
    const std::wstring what = kListUnread;
    if (duringCommand) reportFailure(what, reportFailedRead);
    else reportFailedReadAfterInput(*afterInput_, host_.dialogWindow(), what);
    return;
  }
  const std::wstring text = L"問題集が他のプログラムで変更されたため、問題の一覧を読み込み直しました。";
  if (duringCommand) {
    afterInput_->cancel(text);  // this box tells it too
    platform::messageBox(host_.dialogWindow(), text + L"\nもう一度やり直してください。", kAppCaption);
    return;
  }
  afterInput_->post(host_.dialogWindow(), text);
}

bool CTabpageQuestionlog::ensureRowsRead(const std::vector<int>& rows, FailureReport say) {
  if (!readOrSay(readIdsOfRows(rows), L"問題を読み込めませんでした。", say)) return false;
  std::vector<int> unread;
  for (int row : rows)
    if (row >= 0 && row < m_rows.size() && !m_questionCache.count(m_rows.at(row))) unread.push_back(m_rows.at(row));
  if (unread.empty() || readIds(unread)) return true;
  reportFailure(L"問題を読み込めませんでした。", say);
  return false;
}

void CTabpageQuestionlog::reportFailure(const std::wstring& what, FailureReport say) {
  say(host_.dialogWindow(), what, kAppCaption);
}

void CTabpageQuestionlog::ClearList() { setRowCount(0); }

void CTabpageQuestionlog::setRowCount(int count, int changeCount) {
  model_.reset([&] {
    m_rows.reset(count, changeCount);
    m_checkedRows.clear();
    m_questionCache.clear();
    m_logCache.clear();
    m_selectedRows.clear();
  });
}

void CTabpageQuestionlog::OnColumnClick(int column) {
  if (column < 0 || column >= kColumns) return;
  const bool ascending = ascendingNext()[column];
  const wchar_t* direction = ascending ? L"ASC" : L"DESC";
  // The list and its checks stay as they were when their ids cannot be read.
  if (!readOrSay(readIdsOfRows({m_checkedRows.begin(), m_checkedRows.end()}), L"問題の一覧を並べ替えられませんでした。",
                 reportFailedRead))
    return;
  std::vector<int> checkedIds;
  GetCheckedQuestionIds(checkedIds, reportFailedRead);
  const pdb3::DbObject accessor = pdb3::openQuery(app_.db);
  const int sid = app_.currentSetId, uid = app_.currentUserId, mid = app_.studyMode;
  const CountExpressions e = expressionsFor(app_.settings->correctrateMode);
  // Only the order is read, questions without text left out: the rows in view are read after.
  std::deque<int> ids;
  bool read = false;
  if (column <= 1) {
    read = pdb3::querySqlfIntList(accessor, ids,
                                  L"SELECT qid FROM question WHERE qid IN (SELECT qid FROM section WHERE sid=%d) "
                                  L"AND %ls ORDER BY %ls %ls",
                                  sid, pdb3::kQuestionHasText, column == 0 ? L"question" : L"answer", direction);
  } else {
    const wchar_t* order =
        column == 2 ? e.correct : column == 3 ? e.incorrect : column == 4 ? e.rate : L"LastStudyTime";
    read = pdb3::querySqlfIntList(accessor, ids,
                                  L"SELECT qid FROM question_log WHERE qid IN (SELECT qid FROM section WHERE sid=%d) "
                                  L"AND qid IN (SELECT qid FROM question WHERE %ls) AND uid=%d AND mid=%d "
                                  L"ORDER BY %ls %ls",
                                  sid, pdb3::kQuestionHasText, uid, mid, order, direction);
  }
  if (!read) {
    reportFailure(L"問題の一覧を並べ替えられませんでした。", reportFailedRead);  // the list stays as it was
    return;
  }
  ascendingNext()[column] = !ascending;
  const std::set<int> wasChecked(checkedIds.begin(), checkedIds.end());
  model_.reset([&] {
    m_rows.assign({ids.begin(), ids.end()});
    m_selectedRows.clear();
    m_checkedRows.clear();
    for (int row = 0; row < m_rows.size(); ++row)
      if (wasChecked.count(m_rows.at(row))) m_checkedRows.insert(row);
  });
  UpdateCheckedCount();
}

const pdb3::Question* CTabpageQuestionlog::cachedQuestion(int row) const {
  if (row < 0 || row >= m_rows.size() || !m_rows.isRead(row)) return nullptr;
  const auto found = m_questionCache.find(m_rows.at(row));
  return found == m_questionCache.end() ? nullptr : &found->second;
}

const pdb3::QuestionLog* CTabpageQuestionlog::cachedLog(int qid) const {
  const auto found = m_logCache.find(qid);
  return found == m_logCache.end() ? nullptr : &found->second;
}

int CTabpageQuestionlog::rowImage(int row) {
  const pdb3::Question* question = cachedQuestion(row);
  if (!question || question->isEmpty()) return -1;
  return m_checkedRows.count(row) ? 1 : 0;
}

bool CTabpageQuestionlog::rowText(int row, int column, std::wstring& text) {
  const pdb3::Question* question = cachedQuestion(row);
  if (!question || question->isEmpty()) return false;
  if (column == 0) {
    text = joinedQuestion(*question);
    return true;
  }
  if (column == 1) {
    text = joinStrings(question->answerTexts(), std::wstring(L"/"));
    return true;
  }
  const pdb3::QuestionLog* log = cachedLog(question->qid());
  if (!log) {
    text = L"-";
    return true;
  }
  const int mode = app_.settings->correctrateMode;
  const Tally correct = tallyOf(*log, mode, true), incorrect = tallyOf(*log, mode, false);
  if (column == 2) {
    text = tallyText(correct);
  } else if (column == 3) {
    text = tallyText(incorrect);
  } else if (column == 4) {
    const int c = correct.base + correct.adjustment, sum = c + incorrect.base + incorrect.adjustment;
    text = platform::format(L"%.1f%%", sum > 0 ? 100.0 * c / sum : 0.0);
  } else {
    text = log->LastStudyTime == 0 ? L"-" : pageAgoText(platform::nowSeconds() - log->LastStudyTime);
  }
  return true;
}

void CTabpageQuestionlog::redrawList() { model_.refresh(); }

void CTabpageQuestionlog::setChecked(int row, bool checked) {
  if (checked) m_checkedRows.insert(row);
  else m_checkedRows.erase(row);
}

bool CTabpageQuestionlog::countCheckedQuestions(int& count) {
  const SetRead ids = readIdsOfRows({m_checkedRows.begin(), m_checkedRows.end()});
  if (ids == SetRead::failed) return false;
  if (ids == SetRead::changed) {
    reloadChangedSet(true);  // no row is checked in the list read again
    count = 0;
    return true;
  }
  int known = 0;
  std::vector<int> unread;
  for (int row : m_checkedRows) {
    if (const pdb3::Question* question = cachedQuestion(row)) known += question->isEmpty() ? 0 : 1;
    else unread.push_back(m_rows.at(row));
  }
  std::vector<int> withText;
  if (!unread.empty() &&
      !pdb3::querySqlfIntList(pdb3::openQuery(app_.db), withText, L"SELECT qid FROM question WHERE qid IN (%ls) AND %ls",
                              pagereads::idList(unread).c_str(), pdb3::kQuestionHasText))
    return false;
  const std::set<int> hasText(withText.begin(), withText.end());
  count = known + static_cast<int>(std::count_if(unread.begin(), unread.end(), [&](int qid) { return hasText.count(qid); }));
  return true;
}

void CTabpageQuestionlog::UpdateCheckedCount() {
  int count = 0;
  if (!countCheckedQuestions(count)) {
    // Not a count: the study button stays usable for the checked rows, and the study reads them.
    reportFailure(L"チェックした問題を数えられませんでした。", reportFailedRead);
    countBox_->setText("-");
    studyButton_->setEnabled(!m_checkedRows.empty());
    redrawList();
    return;
  }
  if (count != m_nSelectCount || countBox_->text().isEmpty()) countBox_->setText(QString::number(count));
  m_nSelectCount = count;
  studyButton_->setEnabled(count != 0);
  redrawList();
}

bool CTabpageQuestionlog::GetCheckedQuestionIds(std::vector<int>& out, FailureReport say) {
  out.clear();
  if (!readOrSay(readIdsOfRows({m_checkedRows.begin(), m_checkedRows.end()}), L"チェックした問題を読み込めませんでした。",
                 say))
    return false;
  for (int row : m_checkedRows) out.push_back(m_rows.at(row));
  return !out.empty();
}

void CTabpageQuestionlog::collectSelectedRows() {
  m_selectedRows.clear();
  for (const QModelIndex& index : m_listCtrl->selectionModel()->selectedRows())
    if (index.row() < m_rows.size()) m_selectedRows.push_back(index.row());
  std::sort(m_selectedRows.begin(), m_selectedRows.end());
}

void CTabpageQuestionlog::OnListClick(int row, bool onIcon) {
  if (row < 0 || row >= m_rows.size() || !onIcon) {
    collectSelectedRows();
    return;
  }
  const bool wasChecked = m_checkedRows.count(row) > 0;
  if (std::find(m_selectedRows.begin(), m_selectedRows.end(), row) != m_selectedRows.end()) {
    for (int r : m_selectedRows) setChecked(r, !wasChecked);
    UpdateCheckedCount();
    QItemSelection selection;
    for (int r : m_selectedRows) selection.select(model_.index(r, 0), model_.index(r, kColumns - 1));
    m_listCtrl->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  } else {
    setChecked(row, !wasChecked);
    UpdateCheckedCount();
  }
}

bool CTabpageQuestionlog::eventFilter(QObject* watched, QEvent* event) {
  if (spellChecking_ && isInputWhileChecking(watched, event)) {
    // Only Escape gets through while the check runs: a click, a page or set switch, a sort or a
    // close would change the rows under it.
    if (event->type() == QEvent::ShortcutOverride) event->accept();  // no shortcut is tried either
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
      escapePressed_ = true;
    return true;
  }
  if (watched == m_listCtrl->viewport() && event->type() == QEvent::MouseButtonPress) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QModelIndex index = m_listCtrl->indexAt(mouse->position().toPoint());
    if (mouse->button() == Qt::LeftButton && index.isValid() && index.column() == 0 &&
        mouse->position().x() - m_listCtrl->visualRect(index).left() < kIconWidth) {
      OnListClick(index.row(), true);
      return true;
    }
  } else if (watched == m_listCtrl->viewport() && event->type() == QEvent::MouseButtonRelease) {
    QMetaObject::invokeMethod(this, [this] { collectSelectedRows(); }, Qt::QueuedConnection);
  }
  return QWidget::eventFilter(watched, event);
}

std::optional<int> CTabpageQuestionlog::readSelectCount() {
  bool ok = false;
  const int value = countBox_->text().trimmed().toInt(&ok);
  if (!ok) {
    platform::messageBox(host_.dialogWindow(), L"整数を入力してください。", kAppCaption, platform::MbIconWarning);
    return std::nullopt;
  }
  m_nSelectCount = value;
  return value < 1 ? app_.settings->defaultQuestionCount.value : value;
}

void CTabpageQuestionlog::CheckWorstQuestions(int n, bool byRate) {
  const wchar_t* rate = expressionsFor(app_.settings->correctrateMode == 0 ? 0 : 2).rate;
  const pdb3::DbObject accessor = pdb3::openQuery(app_.db);
  const int sid = app_.currentSetId, uid = app_.currentUserId, mid = app_.studyMode;
  std::vector<int> ids;
  bool read = true;
  // A question never studied in this mode has no rate: asked for, it counts as the weakest.
  if (includeUnstudied_->isChecked()) {
    read = pdb3::querySqlfIntList(accessor, ids,
                                  L"SELECT qid FROM section WHERE sid=%d AND qid NOT IN (SELECT qid FROM question_log "
                                  L"WHERE uid=%d AND mid=%d) AND qid IN (SELECT qid FROM question WHERE %ls) "
                                  L"ORDER BY rowid",
                                  sid, uid, mid, pdb3::kQuestionHasText);
    if (!byRate && static_cast<int>(ids.size()) > n) ids.resize(static_cast<size_t>(std::max(n, 0)));
  }
  if (read && byRate)
    read = pdb3::querySqlfIntList(accessor, ids,
                                  L"SELECT qid FROM question_log WHERE qid IN (SELECT qid FROM section WHERE sid=%d) AND "
                                  L"uid=%d AND mid=%d AND %ls < %lf ORDER BY %ls",
                                  sid, uid, mid, rate, n * 0.01, rate);
  else if (const int rest = n - static_cast<int>(ids.size()); read && rest > 0)
    read = pdb3::querySqlfIntList(accessor, ids,
                                  L"SELECT qid FROM question_log WHERE qid IN (SELECT qid FROM section WHERE sid=%d) AND "
                                  L"uid=%d AND mid=%d ORDER BY %ls LIMIT %d",
                                  sid, uid, mid, rate, rest);
  if (!read) {
    reportFailure(L"正解率の低い問題を選べませんでした。", reportFailedRead);  // the checks stay as they were
    return;
  }
  checkQuestions(ids);
}

void CTabpageQuestionlog::CheckLastMistakes() {
  std::vector<int> ids;
  if (LastStudyQuestionIds(app_, true, ids, host_.dialogWindow())) checkQuestions(ids);
}

void CTabpageQuestionlog::checkQuestions(const std::vector<int>& qids) {
  // Rows never shown are looked for too; the checks stay as they were when they cannot be read.
  if (!readOrSay(readAllIds(), L"問題を読み込めませんでした。", reportFailedRead)) return;
  std::unordered_map<int, int> rowOfId;
  for (int row = m_rows.size() - 1; row >= 0; --row) rowOfId[m_rows.at(row)] = row;  // a repeated id: its first row
  m_checkedRows.clear();
  m_selectedRows.clear();
  for (int qid : qids)
    if (const auto found = rowOfId.find(qid); found != rowOfId.end()) m_checkedRows.insert(found->second);
  UpdateCheckedCount();
}

void CTabpageQuestionlog::OnCheckRandom() {
  const std::optional<int> n = readSelectCount();
  if (!n) return;  // the box said what it wants; nothing is checked instead
  m_checkedRows.clear();
  pdb3::IdQueue rows;
  for (int row = 0; row < m_rows.size(); ++row) rows.push_back(row);
  for (int i = 0; i < *n && !rows.empty(); ++i) m_checkedRows.insert(pdb3::PickRandomQuestion(rows));
  UpdateCheckedCount();
}

void CTabpageQuestionlog::OnStudySelected() {
  std::vector<int> ids;
  if (host_.SelectStudyQuestions(ids)) host_.StartStudyAndRefresh(host_.setPath(), ids);
}

void CTabpageQuestionlog::OnIncludeReanswersClicked() {
  app_.settings->correctrateMode = includeReanswers_->isChecked() ? 2 : 0;
  redrawList();
  app_.settings->saveGroup();
}

void CTabpageQuestionlog::showMenu(int menuId, QPushButton* button) {
  QMenu menu(this);
  menu.setObjectName(QString("id%1").arg(menuId));
  const auto add = [&](int id, const wchar_t* text) { menu.addAction(qtext(text))->setData(id); };
  if (menuId == 160) {
    add(kCheckWorst, L"正解率の低い問題をチェック(&W)");
    add(kCheckLastMistakes, L"前回間違えた問題をチェック(&L)");
    add(kCheckRandom, L"ランダムにN問チェック(&R)");
    add(kInvertChecks, L"チェックを反転(&I)");
    add(kClearChecks, L"チェックを全て解除(&C)");
  } else {
    add(kWorst10, L"低い順に &10問");
    add(kWorst20, L"低い順に &20問");
    add(kWorst30, L"低い順に &30問");
    const std::pair<int, int> rates[] = {{kRateBelow90, 90}, {kRateBelow80, 80}, {kRateBelow70, 70}, {kRateBelow60, 60},
                                         {kRateBelow50, 50}, {kRateBelow40, 40}, {kRateBelow30, 30}};
    for (auto [id, percent] : rates)
      menu.addAction(qtext(platform::format(L"正解率 &%d%% 以下を全て", percent)))->setData(id);
  }
  const QPoint at = QCursor::pos() - QPoint(10, 5);
  Q_UNUSED(button);
  if (QAction* chosen = menu.exec(at)) OnCommand(chosen->data().toInt());
}

std::unique_ptr<QMenu> CTabpageQuestionlog::OnListRClick() {
  collectSelectedRows();
  if (m_selectedRows.empty()) return nullptr;
  auto menu = std::make_unique<QMenu>(this);
  menu->setObjectName("id167");
  const auto add = [&](QMenu& into, int id, const wchar_t* text) {
    QAction* action = into.addAction(qtext(text));
    action->setData(id);
    return action;
  };
  QAction* pronounce = add(*menu, kPronounce, L"発音(&S)");
  add(*menu, kSearch, L"検索(&F)...");
  add(*menu, kEdit, L"編集(&E)...");
  QMenu* web = menu->addMenu(qtext(L"Web辞書で検索(&W)"));
  QAction* remove = add(*menu, kDeleteHistory, L"チェックした問題の履歴を削除(&D)...");
  QAction* copy = add(*menu, kCopy, L"チェックした問題を別の問題集にコピー(&A)...");
  QMenu* correct = menu->addMenu(qtext(L"正解数±(&C)"));
  QMenu* incorrect = menu->addMenu(qtext(L"不正解数±(&I)"));
  for (int i = 0; i < 13; ++i) {
    const std::wstring step = kAdjustSteps[i] > 0 ? platform::format(L"+%d", kAdjustSteps[i])
                                                  : platform::format(L"%d", kAdjustSteps[i]);
    add(*correct, kCorrectPlus10 + i, step.c_str());
    add(*incorrect, kIncorrectPlus10 + i, step.c_str());
  }
  pronounce->setEnabled(app_.speechVoice.available());
  // A row selected before a scroll may be one the list no longer holds read: it is read now, and
  // one that cannot be read offers no command on it. A set changed since has been listed again,
  // without the selection.
  ensureRowsRead({m_selectedRows.front()}, reportFailedRead);
  if (m_selectedRows.empty()) return nullptr;
  const pdb3::Question* first = cachedQuestion(m_selectedRows.front());
  if (!first || first->isEmpty()) {
    for (QAction* action : {pronounce, remove, copy, web->menuAction(), correct->menuAction(), incorrect->menuAction()})
      action->setEnabled(false);
  } else {
    addQuestionWebDictionaryItems(*web, app_.webDictionaries, *first, WebItemText::wordThenTitle);
  }
  return menu;
}

void CTabpageQuestionlog::OnWebDictionaryCommand(int id) {
  if (m_selectedRows.empty()) return;
  if (const pdb3::Question* first = cachedQuestion(m_selectedRows.front()))
    openQuestionWebDictionary(this, app_.webDictionaries, *first, id);
}

bool CTabpageQuestionlog::OnCommand(int id) {
  switch (id) {
    case kCheckWorst: {
      if (const std::optional<int> n = readSelectCount()) CheckWorstQuestions(*n, false);
      return true;
    }
    case kWorst10: CheckWorstQuestions(10, false); return true;
    case kWorst20: CheckWorstQuestions(20, false); return true;
    case kWorst30: CheckWorstQuestions(30, false); return true;
    case kRateBelow90: CheckWorstQuestions(90, true); return true;
    case kRateBelow80: CheckWorstQuestions(80, true); return true;
    case kRateBelow70: CheckWorstQuestions(70, true); return true;
    case kRateBelow60: CheckWorstQuestions(60, true); return true;
    case kRateBelow50: CheckWorstQuestions(50, true); return true;
    case kRateBelow40: CheckWorstQuestions(40, true); return true;
    case kRateBelow30: CheckWorstQuestions(30, true); return true;
    case kCheckRandom: OnCheckRandom(); return true;
    case kInvertChecks:
      for (int row = 0; row < m_rows.size(); ++row) setChecked(row, !m_checkedRows.count(row));
      UpdateCheckedCount();
      return true;
    case kClearChecks:
      m_checkedRows.clear();
      UpdateCheckedCount();
      return true;
    case kCheckLastMistakes: CheckLastMistakes(); return true;
    case kDeleteHistory: OnDeleteCheckedHistory(); return true;
    case kCopy: OnCopyCheckedQuestions(); return true;
    case kSearch: OnSearch(); return true;
    case kEdit: OnEditQuestion(); return true;
    case kPronounce: {
      QueueSoundOutput sounds(host_.soundQueue());
      if (!ensureRowsRead(m_selectedRows, reportFailedRead)) return true;
      for (int row : m_selectedRows) {
        const pdb3::Question* question = cachedQuestion(row);
        if (!question) continue;
        if (app_.settings->useWavVoice.value &&
            pdb3::playQuestionSound(*question, app_.settings->wavVoiceFolder.value, sounds, false))
          return true;
        SpeakText(app_.speechVoice, joinStrings(question->answerTexts(), std::wstring(L" ")), true);
      }
      return true;
    }
    default:
      if (isWebDictionaryCommand(id)) OnWebDictionaryCommand(id);
      else if (id >= kCorrectPlus10 && id < kCorrectPlus10 + 13) AdjustCounts(kAdjustSteps[id - kCorrectPlus10], true);
      else if (id >= kIncorrectPlus10 && id < kIncorrectPlus10 + 13) AdjustCounts(kAdjustSteps[id - kIncorrectPlus10], false);
      else return false;
      return true;
  }
}

