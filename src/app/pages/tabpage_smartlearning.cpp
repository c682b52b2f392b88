#include "app/pages/tabpage_smartlearning.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableView>
#include <algorithm>
#include <array>
#include <cmath>
#include <deque>

#include "app/common/control_helpers.h"
#include "app/common/number_edit.h"
#include "app/pages/delete_smartlearning_dialog.h"
#include "app/shell/klv_app.h"
#include "app/pages/level_graphs.h"
#include "app/main/main_dialog_host.h"
#include "app/common/modal_dialog.h"
#include "app/common/page_reads.h"
#include "app/common/study_questions.h"
#include "app/common/word_after_input.h"
#include "app/pages/page_dates.h"
#include "app/pages/page_drawing.h"
#include "app/main/select_section_dialog.h"
#include "app/pages/smart_selection.h"
#include "database/folders/folders.h"
#include "database/engine/engine_failure.h"
#include "database/engine/read_transaction.h"
#include "database/folders/section_questions.h"
#include "database/engine/sql_helpers.h"
#include "platform/clock.h"
#include "platform/windows/notifier.h"
#include "platform/windows/row_list.h"
#include "platform/trace.h"
#include "services/app_settings.h"
#include "services/database_failure.h"
#include "services/text_edit.h"
#include "services/user_action.h"
#include "study/study_flow.h"

namespace {

using platform::rgb;

constexpr int kColumns = 5;
constexpr wchar_t kEmptyListHint[] = L"このボタンを押して問題集を追加してください →";
constexpr wchar_t kAddSetHint[] = L"覚えたい問題集を追加できます →";
constexpr wchar_t kUnavailableHint[] = L"このデータベースではスマート学習は使えません";
constexpr unsigned kMaxCount = 1000;
const wchar_t* const kSliderTexts[] = {L"低", L"中", L"高"};
constexpr int kPeriods[] = {1, 5, 10, 15, 30, 60, 90};

// Each column remembers its own direction for the whole run: ascending on its first click.
std::array<bool, kColumns>& ascendingNext() {
  static std::array<bool, kColumns> flags{true, true, true, true, true};
  return flags;
}

// The first row of the page below a group box's title and the top line of its frame: the box is
// drawn over the page and covers whatever the page paints higher up there. Where the line lies
// is the style's, so the box is drawn aside and looked at: the line is its first row drawn across
// the whole inside (the title leaves a gap in it, or lies above it).
int belowGroupTop(QWidget& group) {
  constexpr int kFrameLine = 2;  // a line and its highlight, or a sunken line's two rows
  const QRect inside = group.contentsRect();
  QImage drawn(group.size(), QImage::Format_ARGB32_Premultiplied);
  drawn.fill(Qt::transparent);
  group.render(&drawn, {}, {}, QWidget::RenderFlags());  // the box alone, without its background
  for (int y = 0; y < inside.center().y() && !inside.isEmpty(); ++y) {
    bool across = true;
    for (int x = inside.left(); x <= inside.right() && across; ++x) across = qAlpha(drawn.pixel(x, y)) != 0;
    if (across) return group.y() + y + kFrameLine;
  }
  return group.y() + inside.top() + kFrameLine;
}

std::wstring waitText(int64_t seconds) {
  const double s = static_cast<double>(seconds);
  if (seconds < 3600) return platform::format(L"%.0f 分後", std::ceil(s / 60));
  if (seconds < 86400) return platform::format(L"%.0f 時間後", std::ceil(s / 3600));
  return platform::format(L"%.0f 日後", std::ceil(s / 86400));
}

}  // namespace

CTabpageSmartlearning::CTabpageSmartlearning(KlvApp& app, MainDialogHost& host, QWidget* parent)
    : QWidget(parent),
      app_(app),
      host_(host),
      model_(*this, {L"解答", L"忘却度", L"記憶レベル", L"次のレベルアップ", L"学習日"},
             [] {
               return dotMarks(qtext(L"● の問題が次の「覚える」で出題されます。\n"
                                     L"出題される問題は「出題数」と「新しい問題の出題率」で選ばれます。"));
             }),
      afterInput_(new WordAfterInput(this)) {
  setObjectName("id284");
  list_ = withId(new platform::RowListView(this), 1001);
  setUpIdList(*list_, model_, {230, 90, 90, 130, 80}, L"スマート学習リストの問題を読み込めませんでした。");
  connect(list_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int c) { OnColumnClick(c); });
  connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    readCurve();
    update();
  });

  const auto button = [this](int id, const wchar_t* text) { return withId(new QPushButton(qtext(text), this), id); };
  allButton_ = button(1327, L"all");
  addButton_ = button(1324, L"追加");
  removeButton_ = button(1331, L"削除");
  studyButton_ = button(1325, L"覚える(&T)");
  studyButton_->setDefault(true);
  for (auto [id, text] : {std::pair{1334, L"レベル毎の問題数"}, {1335, L"グラフ"}, {1337, L"出題設定"}}) {
    auto* group = withId(new QGroupBox(qtext(text), this), id);
    group->setAttribute(Qt::WA_TransparentForMouseEvents);
    group->lower();
    groups_.push_back(group);
  }
  for (auto [id, text] : {std::pair{1336, L"表示期間"}, {1338, L"出題数"}, {1339, L"新しい問題の出題率"}})
    labels_.push_back(withId(new QLabel(qtext(text), this), id));
  period_ = withId(new QComboBox(this), 1330);
  zoom_ = withId(new QCheckBox(qtext(L"拡大"), this), 1332);
  levelRadio_ = withId(new QRadioButton(qtext(L"レベルの推移"), this), 1328);
  curveRadio_ = withId(new QRadioButton(qtext(L"忘却曲線"), this), 1329);
  // The count's edit with its up-down: the buttons and the arrow keys step the number in the edit.
  countEdit_ = withId(new NumberEdit(0, static_cast<int>(kMaxCount), this), 1264);
  countEdit_->setStepRange(1, 100);
  withId(countEdit_->field(), 1150);
  sliderControl_ = withId(new QSlider(Qt::Horizontal, this), 1322);
  sliderLabel_ = withId(new QLabel(this), 1326);

  connect(addButton_, &QPushButton::clicked, this, [this] { OnAddSet(); });
  connect(studyButton_, &QPushButton::clicked, this, [this] { OnStartSmartLearning(); });
  connect(allButton_, &QPushButton::clicked, this, [this] { OnToggleAll(); });
  connect(removeButton_, &QPushButton::clicked, this, [this] { OnRemoveSets(); });
  for (QAbstractButton* option : std::initializer_list<QAbstractButton*>{levelRadio_, curveRadio_, zoom_})
    connect(option, &QAbstractButton::clicked, this, [this] { update(); });
  connect(period_, &QComboBox::currentIndexChanged, this, [this] { OnPeriodChange(); });
  // Each step of the up-down is an edit change.
  connect(countEdit_->field(), &QLineEdit::textChanged, this, [this] { OnEnChangeNSelectEdit(); });
  connect(sliderControl_, &QSlider::valueChanged, this, [this](int position) { OnSliderMoved(position); });

  OnInitDialog();
}

CTabpageSmartlearning::~CTabpageSmartlearning() { calculator_.cancel(); }

void CTabpageSmartlearning::OnInitDialog() {
  sliderControl_->setRange(0, 2);
  sliderControl_->blockSignals(true);
  sliderControl_->setValue(1);
  sliderControl_->blockSignals(false);
  levelRadio_->setChecked(true);
  zoom_->setChecked(true);
  period_->blockSignals(true);
  for (int days : kPeriods) period_->addItem(qtext(platform::format(L"%d 日", days)), days);
  period_->setCurrentIndex(2);
  period_->blockSignals(false);
  connect(&calculator_, &smart::LevelCalculator::finished, this, [this] {
    if (calculator_.failure() != sqliteplus::EngineFailure::none) {
      levelsStale_ = true;  // counted again at the next show or refresh, once the file may be free
      calculator_.noteFailure();  // the worker's cause is told as this thread's
      // A count the page started again by itself says nothing: the learner was told once.
      if (!levelsStartedQuietly_) tellFailure(L"記憶レベルの推移を計算できませんでした。");
      host_.RereadWhenFree(*this);  // a lock passes: counted again once the file is free
    }
    update();
  });
  list_->setFocus();
  // The list, its rows and the level history are read when the page is first shown.
  count_ = static_cast<unsigned>(std::clamp(app_.settings->defaultQuestionCount.value, 0, 1000));
  countEdit_->setNumber(static_cast<int>(count_));
  sliderLabel_->setText(qtext(sliderText_));
  choicePending_ = true;
  readWhileOn_ = smartLearningOn();
  UpdateAllButtonText();
  initialised_ = true;
  layoutControls();
}

void CTabpageSmartlearning::layoutControls() {
  const int W = width(), H = height();
  const int y0 = static_cast<int>(H * 0.3);
  levelRadio_->setGeometry(40, y0 + 2, 105, 22);
  curveRadio_->setGeometry(145, y0 + 2, 90, 22);
  zoom_->setGeometry(240, y0 + 2, 60, 22);
  labels_[0]->setGeometry(305, y0 + 2, 60, 22);
  period_->setGeometry(365, y0 + 2, 70, 22);
  addButton_->setGeometry(W - 105, y0 + 2, 50, 24);
  removeButton_->setGeometry(W - 52, y0 + 2, 50, 24);
  // The level counts' and the graph's frames end above the study settings' and keep clear of the
  // graph's axis labels, which are drawn up to 30 pixels left of the graph.
  const int groupsTop = y0 + 30, groupsHeight = std::max(0, H - 124 - groupsTop);
  groups_[0]->setGeometry(8, groupsTop, 158, groupsHeight);
  groups_[1]->setGeometry(168, groupsTop, W - 176, groupsHeight);
  groups_[2]->setGeometry(8, H - 122, W - 16, 72);
  labels_[1]->setGeometry(20, H - 98, 45, 22);
  countEdit_->setGeometry(68, H - 98, 66, 22);
  labels_[2]->setGeometry(150, H - 98, 140, 22);
  sliderControl_->setGeometry(290, H - 98, 100, 22);
  sliderLabel_->setGeometry(395, H - 98, 30, 22);
  allButton_->setGeometry(440, H - 98, 40, 22);
  studyButton_->setGeometry(W - 140, H - 46, 130, 32);
  // The hint goes between the period and the add button when the row has room for the longest
  // of its texts; else it takes a line of its own under the list, which gives up that room.
  const QFontMetrics hintFont(pageFont(14).qfont());
  int hintWidth = 0;
  for (const wchar_t* hint : {kEmptyListHint, kAddSetHint, kUnavailableHint})
    hintWidth = std::max(hintWidth, hintFont.horizontalAdvance(qtext(hint)));
  hintBeside_ = addButton_->x() - 6 - hintWidth > period_->geometry().right() + 6;
  const int listBottom = hintBeside_ ? y0 - 2 : y0 - 4 - hintFont.height();
  list_->setGeometry(0, 0, W, std::max(listBottom, 0));
}

void CTabpageSmartlearning::resizeEvent(QResizeEvent*) { layoutControls(); }

void CTabpageSmartlearning::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (listStale_) ReloadQuestionList();
  if (levelsStale_) StartLevelCalcThread();
  ensureChosen(reportFailedRead);
}

bool CTabpageSmartlearning::ensureChosen(FailureReport say) { return !choicePending_ || DoAutoSelect(say); }

void CTabpageSmartlearning::setShownIds(std::vector<int> ids) {
  // The reset has the rows in view read, now that the page is on screen.
  model_.reset([&] {
    shownIds_ = std::move(ids);
    questionCache_.clear();
    rates_.clear();
  });
  readCurve();
  update();  // the hint and the curve follow the rows
}

bool CTabpageSmartlearning::readRows(int first, int last, RowRead why) {
  const std::vector<int> ids(shownIds_.begin() + first, shownIds_.begin() + last + 1);
  rowsRefused_ = !smart::ReadShownRates(pdb3::openQuery(app_.db), app_.currentUserId, ids, platform::nowSeconds(),
                                         rates_, questionCache_);
  if (!rowsRefused_) return true;
  // Rows that could not be read are not shown as empty questions, nor with figures from before.
  for (int qid : ids) {
    questionCache_.erase(qid);
    rates_.erase(qid);
  }
  // Rows are read while the view scrolls, inside the press on its scroll bar or the turn of its wheel.
  if (why == RowRead::cameIntoView)
    reportFailedReadAfterInput(*afterInput_, host_.dialogWindow(), L"スマート学習リストの問題を読み込めませんでした。");
  return false;
}

bool CTabpageSmartlearning::ReloadQuestionList() {
  if (!isVisible()) {
    listStale_ = true;
    return true;
  }
  if (!smartLearningOn()) {  // no list to read: none in this file, or none had yet
    listKnown_ = false;
    listStale_ = false;
    setShownIds({});
    return true;
  }
  std::vector<int> ids;
  bool read = true;
  if (allMode_) {
    std::deque<int> binder;
    read = smart::NonEmptyBinderIds(pdb3::openQuery(app_.db), app_.smartLearningSetId, binder);
    ids.assign(binder.begin(), binder.end());
  } else {
    // A choice that cannot be made has said why.
    read = CollectQuestionIds(ids, reportFailedRead) || !choicePending_;
  }
  // Rows that could not be read are not shown as empty questions: the list empties until it can.
  if (!read) ids.clear();
  listKnown_ = read;
  listStale_ = !read;  // read again at the next show or refresh
  setShownIds(std::move(ids));
  if (read) return true;
  if (allMode_) tellFailure(L"スマート学習リストの問題を読み込めませんでした。");
  host_.RereadWhenFree(*this);
  return false;
}

void CTabpageSmartlearning::tellFailure(const std::wstring& what) { reportFailedRead(host_.dialogWindow(), what); }

void CTabpageSmartlearning::readCurve() {
  const QModelIndexList rows = list_->selectionModel()->selectedRows();
  const int row = rows.isEmpty() ? -1 : rows.first().row();
  const int qid = row >= 0 && row < static_cast<int>(shownIds_.size()) ? shownIds_[row] : -1;
  std::vector<smart::StudyPoint> points;
  const bool read =
      qid < 0 ||
      pdb3::forEachRow(
          pdb3::openQuery(app_.db),
          platform::format(L"SELECT dl.EndTime, dql.ext1, dql.ext2 FROM daily_question_log AS dql, daily_log AS dl "
                           L"WHERE dql.ext1!='' AND dql.ext1>0 AND dql.did=dl.did AND dl.lid IN (SELECT lid FROM "
                           L"log_id WHERE uid=%d) AND dql.qid=%d ORDER BY dl.EndTime",
                           app_.currentUserId, qid),
          [&](const sqliteplus::SqliteCursor& point) {
            points.push_back({point.getInt(0), point.getInt(1), point.getInt(2)});
          });
  // A curve that cannot be read is drawn as no question chosen, not as one never studied.
  curveQid_ = read ? qid : -1;
  curve_ = read ? std::move(points) : std::vector<smart::StudyPoint>{};
}

void CTabpageSmartlearning::UpdateAllButtonText() { allButton_->setText(allMode_ ? "all" : "sel"); }

void CTabpageSmartlearning::OnToggleAll() {
  allMode_ = !allMode_;
  UpdateAllButtonText();
  ReloadQuestionList();
  update();
}

const pdb3::Question* CTabpageSmartlearning::cachedQuestion(int row) const {
  if (row < 0 || row >= static_cast<int>(shownIds_.size())) return nullptr;
  const auto found = questionCache_.find(shownIds_[row]);
  return found == questionCache_.end() ? nullptr : &found->second;
}

int CTabpageSmartlearning::rowImage(int row) {
  const pdb3::Question* question = cachedQuestion(row);
  if (!question || question->isEmpty()) return -1;
  return chosen_.count(question->qid()) ? 1 : 0;
}

bool CTabpageSmartlearning::rowText(int row, int column, std::wstring& text) {
  const pdb3::Question* question = cachedQuestion(row);
  if (!question || question->isEmpty()) return false;
  const int qid = question->qid();
  const int64_t now = platform::nowSeconds();
  if (column == 0) {
    text = joinStrings(question->answerTexts(), std::wstring(L"/"));
    return true;
  }
  const auto found = rates_.find(qid);
  if (found == rates_.end()) return false;
  // A copy measured from now: its study times came with it, so nothing is read here.
  pdb3::MemoryRate rate = *found->second;
  rate.now = now;
  rate.cachedRate = -1;
  if (column == 4) {
    const int last = rate.lastStudyTime();
    text = last < 1 ? L"-" : pageAgoText(now - last);
    return true;
  }
  if (column == 1) {
    const int d = std::clamp((100 - rate.currentRate()) / 20, 0, 5);
    text.clear();
    for (int i = 0; i < 5; ++i) text += i < d ? L"●" : L"○";
  } else if (column == 2) {
    text = pdb3::levelGrade(rate.level);
  } else if (column == 3) {
    const int64_t t = rate.nextLevelupTime();
    text = t > 0 && t - now > 0 ? waitText(t - now) : L"今すぐ可能";
  }
  return true;
}

void CTabpageSmartlearning::OnColumnClick(int column) {
  if (column < 0 || column >= kColumns || !smartLearningOn()) return;
  const bool ascending = ascendingNext()[column];
  ascendingNext()[column] = !ascending;
  const wchar_t* direction = ascending ? L"ASC" : L"DESC";
  const pdb3::DbObject accessor = pdb3::openQuery(app_.db);
  const int uid = app_.currentUserId, sid = app_.smartLearningSetId;
  std::vector<int> ids;
  bool read = true;
  switch (column) {
    // The order is read alone, questions without text left out: the rows in view are read after.
    case 0:
      read = pdb3::querySqlfIntList(accessor, ids,
                             L"SELECT qid FROM question WHERE qid IN (SELECT qid FROM section WHERE sid=%d) AND %ls "
                             L"ORDER BY answer %ls",
                             sid, pdb3::kQuestionHasText, direction);
      break;
    case 2:
      read = pdb3::querySqlfIntList(accessor, ids,
                             L"SELECT qid FROM memory_rate WHERE uid=%d AND qid IN  (SELECT qid FROM section WHERE "
                             L"sid=%d) AND qid IN (SELECT qid FROM question WHERE %ls) ORDER BY level %ls",
                             uid, sid, pdb3::kQuestionHasText, direction);
      break;
    case 4:
      read = pdb3::querySqlfIntList(accessor, ids,
                             L"SELECT qid, max(LastStudyTime) FROM question_log WHERE uid=%d AND qid IN  (SELECT qid "
                             L"FROM section WHERE sid=%d) AND qid IN (SELECT qid FROM question WHERE %ls) GROUP BY "
                             L"qid ORDER BY max(LastStudyTime) %ls",
                             uid, sid, pdb3::kQuestionHasText, direction);
      break;
    default: {  // 1 and 3 reorder the rows shown, which hold text: only their rates are read
      ids = shownIds_;
      read = smart::LoadRates(accessor, ids, uid, sid, platform::nowSeconds());
      if (!read) break;
      if (column == 1)
        smart::StableSortByCurrentRate(ids);
      else
        smart::StableSortByNextLevelupTime(ids);
      if (!ascending) std::reverse(ids.begin(), ids.end());
    }
  }
  if (!read) {
    ascendingNext()[column] = ascending;
    tellFailure(L"問題の一覧を並べ替えられませんでした。");  // the list stays as it was
    return;
  }
  setShownIds(std::move(ids));
}

bool CTabpageSmartlearning::exchangeControls() {
  const std::optional<int> count = countEdit_->number();
  if (!count) {
    if (sayingNothing()) return false;  // a refresh tried again by itself leaves the learner's typing be
    platform::messageBox(host_.dialogWindow(), countEdit_->rangeMessage(), kAppCaption,
                         platform::MbOk | platform::MbIconWarning);
    countEdit_->setFocus();
    return false;
  }
  count_ = static_cast<unsigned>(*count);
  slider_ = sliderControl_->value();
  return true;
}

bool CTabpageSmartlearning::DoAutoSelect(FailureReport say) {
  if (!exchangeControls()) return false;
  if (!smartLearningOn()) {  // no rates to choose by: the choice is made once a file has them
    chosen_.clear();
    choicePending_ = true;
    return false;
  }
  choicePending_ = false;
  platform::trace("DoAutoSelect()\n");
  smart::SelectionRequest request;
  request.count = count_;
  request.slider = slider_;
  request.shuffleLearned = app_.settings->randomMistakeReply.value;
  std::set<int> chosen;
  // A choice made from rates that could not be read would study the wrong questions.
  if (!smart::SelectSmartQuestions(pdb3::openQuery(app_.db), app_.currentUserId, app_.smartLearningSetId, request,
                                   platform::nowSeconds(), chosen)) {
    choicePending_ = true;  // tried again when the choice is next needed
    say(host_.dialogWindow(), L"次に学習する問題を選べませんでした。", L"Kelvara");
    return false;
  }
  chosen_ = std::move(chosen);
  list_->viewport()->update();
  return true;
}

bool CTabpageSmartlearning::CollectQuestionIds(std::vector<int>& out, FailureReport say) {
  out.clear();
  if (!smartLearningAvailable()) return false;
  if (!ensureChosen(say)) return false;
  out.assign(chosen_.begin(), chosen_.end());
  if (app_.settings->randomReply.value) {
    std::deque<int> shuffled(out.begin(), out.end());
    study::shuffleIds(shuffled);
    out.assign(shuffled.begin(), shuffled.end());
  }
  return !out.empty();
}

void CTabpageSmartlearning::OnEnChangeNSelectEdit() {
  if (!initialised_) return;
  platform::trace("OnEnChangeNSelectEdit\n");
  DoAutoSelect(reportFailedRead);
  ReloadQuestionList();
}

void CTabpageSmartlearning::OnSliderMoved(int position) {
  platform::trace("OnHScroll() %d %d\n", position, 0);
  platform::trace(" do\n");
  if (position >= 0 && position <= 2) sliderText_ = kSliderTexts[position];
  sliderLabel_->setText(qtext(sliderText_));
  DoAutoSelect(reportFailedRead);
  ReloadQuestionList();
  platform::trace("end\n");
}

int CTabpageSmartlearning::periodDays() const { return period_->currentData().isValid() ? period_->currentData().toInt() : 10; }

void CTabpageSmartlearning::OnPeriodChange() {
  update();
  StartLevelCalcThread();
}

bool CTabpageSmartlearning::RefreshFromFile() {
  // A reload may have opened a file with smart learning, or one without it.
  followSmartLearningState();
  // A list that could not be read, or was dropped, is read whole as on a first show, now or when the
  // page is next shown.
  if (listStale_) {
    const bool listRead = ReloadQuestionList();
    if (isVisible()) ensureChosen(reportFailedRead);
    return StartLevelCalcThread() && listRead;
  }
  // The rows' questions and figures are dropped, also off screen: the rows in view are read again
  // now, or when the page is next shown, not drawn from before the change.
  model_.reread([&] {
    questionCache_.clear();
    rates_.clear();
    rowsRefused_ = false;
  });
  if (!isVisible()) return true;  // read when the page is next shown, by the refresh that shows it
  // Rows the file refused for a cause that may pass (a lock): the counts and the level history would
  // only meet it too, and are read with the rows when the refresh is tried again.
  if (rowsRefused_ && sqliteplus::lastFailureMayPass()) {
    forgetLevelCounts();
    update();
    return false;
  }
  if (levelsStale_) return StartLevelCalcThread();
  const bool read = readLevelCounts();
  update();
  return read;
}

void CTabpageSmartlearning::OnFileOrUserChanged() {
  readWhileOn_ = smartLearningOn();
  forgetWhatWasRead();
}

bool CTabpageSmartlearning::StartLevelCalcThread() {
  if (!isVisible()) {
    levelsStale_ = true;
    return true;
  }
  const auto startWorker = [&] {
    if (!smartLearningOn()) return true;  // no list, no history
    smart::LevelJob job;
    job.uid = app_.currentUserId;
    job.sid = app_.smartLearningSetId;
    job.days = periodDays();
    job.now = platform::nowSeconds();
    levelsStartedQuietly_ = sayingNothing();
    return calculator_.start(app_.db, job);
  };
  // A worker would fail as the counts did, and one that cannot have the file the program has open
  // counts nothing: the history keeps what it showed, and is started again at the next show or
  // refresh. A worker still counting what was asked before is stopped: its table, or its failure,
  // would come after the one asked for now.
  const bool counted = readLevelCounts();
  if (!counted) calculator_.cancel();
  levelsStale_ = !counted || !startWorker();
  update();
  if (levelsStale_) {
    tellFailure(L"記憶レベルの推移を計算できませんでした。");
    host_.RereadWhenFree(*this);  // a lock passes: the history fills once the file is free
  }
  return !levelsStale_;
}

int CTabpageSmartlearning::AddToSmartLearning(int eid) {
  if (eid == 0) {
    platform::messageBox(host_.dialogWindow(), L"ルートフォルダは追加できません", kAppCaption);
    return -1;
  }
  if (!smartLearningAvailable()) return -1;
  const pdb3::DbObject accessor = pdb3::openQuery(app_.db);
  if (!pdb3::execSql(accessor, L"BEGIN TRANSACTION")) {
    reportUnmadeChange(host_.dialogWindow(), L"スマート学習リストへの追加に失敗しました");
    return -1;
  }
  int added = 0;
  try {
    std::deque<int> present;
    if (!pdb3::sectionQuestionIds(accessor, app_.smartLearningSetId, present)) throw std::wstring(L"section");
    std::set<int> inBinder(present.begin(), present.end());
    const auto addSet = [&](int sid) {
      std::deque<int> ids;
      if (!pdb3::nonEmptyQuestionIds(accessor, sid, ids)) throw std::wstring(L"section");
      for (int qid : ids) {
        if (inBinder.count(qid)) continue;
        pdb3::addQuestionToSection(accessor, app_.smartLearningSetId, qid);
        inBinder.insert(qid);
        ++added;
      }
    };
    // A type that cannot be read would take a folder for a set with no questions: "0 added".
    int type = -1;
    if (!pagereads::readInt(accessor, platform::format(L"SELECT type FROM element_info WHERE eid=%d", eid), type))
      throw std::wstring(L"element");
    if (type == pdb3::kFolderElement) {
      std::deque<int> below;
      if (!pdb3::listDescendants(accessor, below, eid)) throw std::wstring(L"folder");
      for (int element : below) addSet(element);
    } else {
      addSet(eid);
    }
    if (!pdb3::execSql(accessor, L"COMMIT")) throw std::wstring(L"commit");
  } catch (const std::wstring&) {
    // A half-added set would look complete in the list while its questions are missing.
    pdb3::execSql(accessor, L"ROLLBACK");
    reportUnmadeChange(host_.dialogWindow(), L"スマート学習リストへの追加に失敗しました");
    return -1;
  }
  return added;
}

void CTabpageSmartlearning::OnAddSet() {
  if (!smartLearningAvailable()) return;  // said before a set is chosen in vain
  const pdb3::DbObject accessor = pdb3::openQuery(app_.db);
  CSelectSectionDlg dialog(accessor, app_, host_.dialogWindow());
  dialog.m_strPrompt = L"追加する問題集・フォルダを選択してください";
  dialog.m_nKind = CSelectSectionDlg::kAnything;
  dialog.m_nEid = pdb3::findElementByPath(accessor, 0, host_.setPath());
  if (dialog.DoModal() != platform::IdOk) return;
  const int added = AddToSmartLearning(dialog.m_nEid);
  if (added < 0) return;
  platform::messageBox(host_.dialogWindow(), platform::format(L"%d 個の問題を追加しました", added), kAppCaption);
  showChangedList();
}

bool CTabpageSmartlearning::smartLearningOn() const {
  return app_.smartLearningSetId >= 0 && app_.memoryRates == pdb3::MemoryRateTable::present;
}

bool CTabpageSmartlearning::smartLearningAvailable() {
  if (app_.smartLearningUnavailable()) {
    app_.TellWhySmartLearningIsUnavailable(host_.dialogWindow());
    return false;
  }
  // A list the file could not give for a cause that passes is asked for again; one that still
  // cannot be had is said with its cause.
  if (!app_.EnsureSmartLearningSet(host_.dialogWindow(), reportUnmadeChange)) return false;
  followSmartLearningState();
  return true;
}

void CTabpageSmartlearning::followSmartLearningState() {
  // The page on screen needs the list: one the file could not give for a cause that passes is
  // asked for again.
  if (isVisible() && !app_.smartLearningUnavailable())
    app_.EnsureSmartLearningSet(host_.dialogWindow(), reportFailedRead);
  const bool on = smartLearningOn();
  if (on == readWhileOn_) return;
  readWhileOn_ = on;
  // The page on screen studies its own list, now that the file has one.
  if (on && isVisible()) app_.currentSetId = app_.smartLearningSetId;
  forgetWhatWasRead();  // nothing read under the other state is the file's now
}

void CTabpageSmartlearning::forgetWhatWasRead() {
  // A count under way was started for what is gone: its table never arrives.
  calculator_.forget();
  chosen_.clear();
  choicePending_ = listStale_ = levelsStale_ = true;
  listKnown_ = false;
  forgetLevelCounts();
  setShownIds({});  // the rows' figures and the forgetting curve with them
}

void CTabpageSmartlearning::OnRemoveSets() {
  if (!smartLearningAvailable()) return;
  CDeleteSmartlearningQuestionDlg dialog(app_, host_.dialogWindow());
  if (dialog.DoModal() != platform::IdOk) return;
  showChangedList();
}

void CTabpageSmartlearning::showChangedList() {
  // Chosen first: in "sel" mode the list shows the choice.
  DoAutoSelect(reportFailedRead);
  ReloadQuestionList();
  StartLevelCalcThread();
}

void CTabpageSmartlearning::OnStartSmartLearning() {
  if (!smartLearningAvailable()) return;
  // A choice that could not be made is not an empty one: it says why, where the study's start
  // would say there is nothing to study.
  if (!ensureChosen(reportFailedRead)) return;
  std::vector<int> ids;
  CollectQuestionIds(ids, reportFailedRead);  // an empty choice goes on: the study's start says there is nothing to study
  // The chosen questions as the file holds them now, empties dropped as any study's are: the choice
  // may be older than another program's work. Questions that cannot be read are not studied, not
  // even those read before: such a study would stop at its first read, or ask a part of the choice.
  if (!keepQuestionsWithText(pdb3::openQuery(app_.db), ids, host_.dialogWindow(), reportFailedRead)) return;
  host_.StartStudyAndRefresh(L"スマート学習", ids);
  DoAutoSelect(reportFailedRead);
  if (!allMode_) ReloadQuestionList();
  list_->viewport()->update();
}

bool CTabpageSmartlearning::readLevelCounts() {
  if (!smartLearningOn()) {  // nothing to count: shown as not known, and no failure
    forgetLevelCounts();
    return true;
  }
  // One statement for all the groups.
  std::vector<int> counts(7, -1);
  const pdb3::DbObject accessor = pdb3::openQuery(app_.db);
  const pdb3::ReadTransaction transaction(accessor);
  const pdb3::FirstRow row = pdb3::readFirstRow(
      accessor,
      platform::format(L"SELECT count(CASE WHEN level in (8,9,10) THEN 1 END), count(CASE WHEN level in (5,6,7) THEN 1 "
                       L"END), count(CASE WHEN level==4 THEN 1 END), count(CASE WHEN level==3 THEN 1 END), "
                       L"count(CASE WHEN level==2 THEN 1 END), count(CASE WHEN level==1 THEN 1 END), "
                       L"(SELECT count(*) FROM section WHERE sid=%d)-count(CASE WHEN level!=0 THEN 1 END) "
                       L"FROM memory_rate WHERE qid IN (SELECT qid FROM section WHERE sid=%d) AND uid=%d",
                       app_.smartLearningSetId, app_.smartLearningSetId, app_.currentUserId),
      [&](const sqliteplus::SqliteCursor& row) {
        for (int i = 0; i < 7; ++i) counts[i] = row.getInt(i);
      });
  const int sid = app_.smartLearningSetId, uid = app_.currentUserId;
  int listCount = -1, learned = -1;
  const bool read =
      row != pdb3::FirstRow::failed &&
      pagereads::readInt(accessor, platform::format(L"SELECT count(*) FROM section WHERE sid=%d", sid), listCount) &&
      pagereads::readInt(accessor,
                         platform::format(L"SELECT count(*) FROM memory_rate WHERE qid IN (SELECT qid FROM section "
                                          L"WHERE sid=%d) AND level>=1 AND uid=%d",
                                          sid, uid),
                         learned);
  levelCounts_ = read ? counts : std::vector<int>(7, -1);
  listCount_ = read ? listCount : -1;
  learnedCount_ = read ? learned : -1;
  return read;
}

void CTabpageSmartlearning::forgetLevelCounts() {
  levelCounts_ = std::vector<int>(7, -1);
  listCount_ = learnedCount_ = -1;
}

QPoint CTabpageSmartlearning::hintPosition(const std::wstring& hint) const {
  const int width = QFontMetrics(pageFont(14).qfont()).horizontalAdvance(qtext(hint));
  const int y = hintBeside_ ? addButton_->y() + 5 : list_->geometry().bottom() + 2;
  return {addButton_->x() - 6 - width, y};
}

void CTabpageSmartlearning::paintPage(platform::Dc& dc) {
  using platform::Rect;
  const int W = width(), H = height();
  const int y0 = static_cast<int>(H * 0.3);
  dc.selectFont(pageFont(14));
  dc.setBkMode(platform::Transparent);
  const platform::COLORREF text = pageWindowText(*this);
  dc.setTextColor(text);
  dc.textOut(0, y0 + 7, L"表示：");
  // A list that could not be read is not said to be empty; a file without smart learning has none.
  // A list the file could not give for now is not said to be unavailable: it is asked for again.
  const bool unavailable = app_.smartLearningUnavailable();
  const bool emptyList = smartLearningOn() && listKnown_ && shownIds_.empty();
  const std::wstring hint = unavailable ? kUnavailableHint : emptyList ? kEmptyListHint : kAddSetHint;
  dc.setTextColor(
      readableOnPageWindow(unavailable ? rgb(128, 128, 128) : emptyList ? rgb(192, 0, 0) : rgb(64, 64, 192), *this));
  const QPoint at = hintPosition(hint);
  dc.textOut(at.x(), at.y(), hint);
  dc.setTextColor(text);

  const std::vector<int>& counts = levelCounts_;  // A (levels 8-10) down to F (1), then those not learned
  const bool countsKnown = counts[0] >= 0;
  const wchar_t* const lines[] = {L"Level A : %5d", L"Level B : %5d", L"Level C : %5d",
                                  L"Level D : %5d", L"Level E : %5d", L"Level F : %5d"};
  const wchar_t* const unknown[] = {L"Level A :     -", L"Level B :     -", L"Level C :     -",
                                    L"Level D :     -", L"Level E :     -", L"Level F :     -"};
  for (int i = 0; i < 6; ++i)
    dc.textOut(20, y0 + 50 + 18 * i, countsKnown ? platform::format(lines[i], counts[i + 1]) : std::wstring(unknown[i]));

  Rect graph{200, y0 + 50, W - 20, H - 140};
  const int labelTopLimit = belowGroupTop(*groups_[1]);
  const int64_t now = platform::nowSeconds();
  if (levelRadio_->isChecked()) {
    smart::LevelGraph level;
    // A table counted for another period is no history of this one.
    level.table = calculator_.counted() && calculator_.countedDays() == periodDays() ? &calculator_.table() : nullptr;
    level.scale = smart::levelGraphScale(listCount_, zoom_->isChecked() ? learnedCount_ : 0, zoom_->isChecked());
    level.days = periodDays();
    level.now = now;
    level.calculating = calculator_.running();
    level.labelTopLimit = labelTopLimit;
    level.labelColour = text;
    smart::DrawLevelGraph(dc, graph, level);
  } else if (curveRadio_->isChecked()) {
    graph.left += 25;
    smart::ForgettingCurve curve;
    curve.days = periodDays();
    curve.now = now;
    curve.labelTopLimit = labelTopLimit;
    curve.labelColour = text;
    curve.questionSelected = curveQid_ >= 0;
    curve.points = curve_;
    smart::DrawForgettingCurve(dc, graph, curve);
  }

  dc.textOut(15, H - 40, L"達成状況");
  std::vector<platform::COLORREF> colours;
  for (int level : {8, 5, 4, 3, 2, 1, 0}) colours.push_back(smart::LevelColors[level]);
  smart::DrawProportionBar(dc, {100, H - 40, W - 150, H - 20}, countsKnown ? counts : std::vector<int>{}, colours,
                           rgb(255, 255, 255));
}

QImage CTabpageSmartlearning::paintImage() {
  QImage image(size(), QImage::Format_RGB32);
  image.fill(palette().color(QPalette::Window));
  platform::Dc dc(image);
  paintPage(dc);
  return image;
}

void CTabpageSmartlearning::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, paintImage());
}
