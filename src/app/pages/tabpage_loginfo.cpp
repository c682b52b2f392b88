#include "app/pages/tabpage_loginfo.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QCursor>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QRadioButton>
#include <QSpinBox>
#include <algorithm>
#include <cwchar>
#include <type_traits>

#include "app/common/control_helpers.h"
#include "app/shell/klv_app.h"
#include "app/main/main_dialog_host.h"
#include "app/common/modal_dialog.h"
#include "app/common/page_reads.h"
#include "app/pages/page_dates.h"
#include "app/export/question_preview_dialog.h"
#include "database/logs/daily_log.h"
#include "database/logs/element_log.h"
#include "database/logs/question_selection.h"
#include "database/engine/read_transaction.h"
#include "database/folders/section_questions.h"
#include "database/engine/sql_helpers.h"
#include "database/engine/write_transaction.h"
#include "platform/clock.h"
#include "platform/windows/notifier.h"
#include "platform/trace.h"
#include "services/app_settings.h"
#include "services/database_failure.h"
#include "services/text_helpers.h"
#include "study/study_flow.h"
#include "study/window/start_study.h"
#include "services/unknown_figure.h"

namespace {

struct PeriodEntry {
  const wchar_t* text;
  int hours;  // 0: the last study
};
constexpr PeriodEntry kPeriods[] = {{L"前回に", 0},         {L"24時間以内に", 24},  {L"２日間以内に", 48},
                                    {L"３日間以内に", 72},  {L"４日間以内に", 96},  {L"５日間以内に", 120},
                                    {L"１週間以内に", 168}, {L"１ヶ月以内に", 720}};
constexpr int kCountChoices[] = {10, 20, 30, 50, 75, 100, 150, 200};
constexpr int kMaxListedRuns = 30;

template <class Control>
Control* pageControl(QWidget* page, int id, const wchar_t* text = nullptr) {
  auto* control = withId(new Control(page), id);
  if constexpr (std::is_base_of_v<QAbstractButton, Control> || std::is_same_v<Control, QLabel>) {
    if (text) control->setText(QString::fromWCharArray(text));
  }
  return control;
}

}  // namespace

bool RemoveIdsFromDeque(std::deque<int>& ids, const std::deque<int>& remove) {
  bool allFound = true;
  for (int id : remove) {
    const auto found = std::find(ids.begin(), ids.end(), id);
    if (found == ids.end()) {
      allFound = false;
    } else {
      ids.erase(found);
    }
  }
  return allFound;
}

double DailyLogCorrectRate(const pdb3::DailyLogRecord& record) {
  const int correct = record.totalNc1();
  const int sum = correct + record.totalNi1();
  return sum == 0 ? 0.0 : static_cast<double>(correct) / sum;
}

CTabpageLoginfo::CTabpageLoginfo(KlvApp& app, MainDialogHost& host, QWidget* parent)
    : QWidget(parent), app_(app), host_(host) {
  setObjectName("id156");
  buildControls();
  // What initialisation sets: the first method and target, the period "前回に", threshold 50.
  SetReviewTarget(0);
  SetStudyMethod(0);
  m_period->setCurrentIndex(0);
  m_threshold->setCurrentIndex(m_threshold->findText("50"));
  FillCountCombo();
  UpdateStudyModeControls();
}

void CTabpageLoginfo::buildControls() {
  withId(new QGroupBox(QString::fromWCharArray(L"全体の履歴"), this), 1238)->lower();
  auto* trend = withId(new QGroupBox(QString::fromWCharArray(L"履歴の推移"), this), 1239);
  trend->lower();
  withId(new QGroupBox(QString::fromWCharArray(L"出題設定"), this), 1192)->lower();

  m_historyList = pageControl<QComboBox>(this, 1130);
  connect(m_historyList, &QComboBox::currentIndexChanged, this, [this] { update(); });
  functionButton_ = pageControl<QPushButton>(this, 1220, L"機能↓(&F)");
  functionMenu_ = new QMenu(this);
  functionMenu_->addAction(QString::fromWCharArray(L"この回に学習した問題の一覧(&P)..."), this,
                           &CTabpageLoginfo::ShowQuestionsOfStudy)->setObjectName("id32838");
  functionMenu_->addAction(QString::fromWCharArray(L"この履歴を消去(&D)..."), this,
                           &CTabpageLoginfo::OnDeleteThisHistory)->setObjectName("id244");
  functionMenu_->addAction(QString::fromWCharArray(L"全ての履歴を消去(&A)..."), this,
                           &CTabpageLoginfo::OnDeleteAllHistory)->setObjectName("id245");
  connect(functionButton_, &QPushButton::clicked, this, &CTabpageLoginfo::OnFunctionMenu);
  // Shown only with a study to list: before the first study of a mode the list would be empty.
  historyControls_ = {m_historyList, functionButton_, trend};

  auto* methodGroup = new QButtonGroup(this);
  const wchar_t* methodTexts[] = {L"通常学習", L"復習", L"重点学習"};
  for (int i = 0; i < 3; ++i) {
    methods_[i] = pageControl<QRadioButton>(this, kNormal + i, methodTexts[i]);
    methodGroup->addButton(methods_[i], i);
  }
  connect(methodGroup, &QButtonGroup::idClicked, this, [this](int index) {
    SetStudyMethod(index);
    UpdateStudyModeControls();
  });

  thresholdLabels_[0] = pageControl<QLabel>(this, 1248, L"正解率が");
  thresholdLabels_[1] = pageControl<QLabel>(this, 1249, L"% 以下の問題");
  m_threshold = pageControl<QComboBox>(this, 1197);
  m_threshold->setEditable(true);
  m_threshold->lineEdit()->setMaxLength(5);
  for (const char* value : {"90", "80", "70", "60", "50", "40", "30", "20", "10"}) m_threshold->addItem(value);
  connect(m_threshold, &QComboBox::editTextChanged, this, &CTabpageLoginfo::OnThresholdEditChange);
  connect(m_threshold, &QComboBox::currentIndexChanged, this, &CTabpageLoginfo::UpdateStudyModeControls);

  m_period = pageControl<QComboBox>(this, 1196);
  for (const PeriodEntry& entry : kPeriods) m_period->addItem(QString::fromWCharArray(entry.text), entry.hours);
  connect(m_period, &QComboBox::currentIndexChanged, this, &CTabpageLoginfo::UpdateStudyModeControls);

  auto* targetGroup = new QButtonGroup(this);
  const wchar_t* targetTexts[] = {L"学習した問題", L"間違えた問題", L"学習していない問題"};
  const int targetIds[] = {kStudied, kMistaken, kNotStudied};
  for (int i = 0; i < 3; ++i) {
    targets_[i] = pageControl<QRadioButton>(this, targetIds[i], targetTexts[i]);
    targetGroup->addButton(targets_[i], i);
  }
  connect(targetGroup, &QButtonGroup::idClicked, this, [this](int index) {
    SetReviewTarget(index);
    UpdateStudyModeControls();
  });

  m_count = pageControl<QComboBox>(this, 1198);
  m_count->setEditable(true);
  connect(m_count, &QComboBox::editTextChanged, this, &CTabpageLoginfo::OnCountEditChange);
  m_countSpin = pageControl<QSpinBox>(this, 1189);
  m_countSpin->setRange(1, 1);
  m_countSpin->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
  // The spin is the count box's buddy: its arrows step the number in the box.
  connect(m_countSpin, &QSpinBox::valueChanged, this, [this](int value) {
    if (leadingNumber(m_count->currentText().toStdWString()) != value) m_count->setEditText(QString::number(value));
  });
  allButton_ = pageControl<QPushButton>(this, 1029, L"all");
  allButton_->setToolTip(QString::fromWCharArray(L"問題集の全問題を学習"));
  connect(allButton_, &QPushButton::clicked, this, &CTabpageLoginfo::OnAllQuestions);

  description_ = readOnlyField(pageControl<QLineEdit>(this, 1023));
  studyButton_ = pageControl<QPushButton>(this, 1015, L"覚える(&T)");
  studyButton_->setDefault(true);
  studyButton_->setToolTip(QString::fromWCharArray(L"通常の学習を開始します。"));
  connect(studyButton_, &QPushButton::clicked, this, &CTabpageLoginfo::OnStudy);

  normalControls_ = {m_count, m_countSpin, allButton_};
  reviewControls_ = {targets_[0], targets_[1], targets_[2], m_period};
  focusedControls_ = {thresholdLabels_[0], m_threshold, thresholdLabels_[1]};
}

void CTabpageLoginfo::resizeEvent(QResizeEvent*) { layoutControls(); }

// The drawn panels keep their fixed coordinates; the controls sit around them.
void CTabpageLoginfo::layoutControls() {
  const int right = width();
  const auto place = [this](int id, int x, int y, int w, int h) {
    if (auto* control = findChild<QWidget*>(QString("id%1").arg(id))) control->setGeometry(x, y, w, h);
  };
  place(1238, 3, 0, splitX_ - 6, splitY_);
  place(1239, splitX_ + 3, 0, std::max(0, right - splitX_ - 6), splitY_);
  m_historyList->setGeometry(splitX_ + 15, 20, std::max(60, right - splitX_ - 120), 24);
  functionButton_->setGeometry(right - 100, 20, 90, 24);
  place(1192, 3, splitY_ + 2, std::max(0, right - 6), 140);
  // Radio buttons take the room their texts need, left to right.
  int x = 12;
  for (int i = 0; i < 3; ++i) {
    methods_[i]->setGeometry(x, splitY_ + 20, widthForText(methods_[i], 88), 24);
    x = methods_[i]->geometry().right() + 3;
  }
  const int descriptionLeft = std::max(290, x + 6);
  description_->setGeometry(descriptionLeft, splitY_ + 20, std::max(40, right - 10 - descriptionLeft), 24);
  m_count->setGeometry(70, splitY_ + 66, 70, 24);
  m_countSpin->setGeometry(140, splitY_ + 66, 18, 24);
  allButton_->setGeometry(160, splitY_ + 66, 30, 24);
  m_period->setGeometry(15, splitY_ + 66, 120, 24);
  x = 140;
  for (int i = 0; i < 3; ++i) {
    targets_[i]->setGeometry(x, splitY_ + 66, widthForText(targets_[i], 118), 24);
    x = targets_[i]->geometry().right() + 3;
  }
  thresholdLabels_[0]->setGeometry(15, splitY_ + 68, 60, 20);
  m_threshold->setGeometry(75, splitY_ + 66, 60, 24);
  thresholdLabels_[1]->setGeometry(140, splitY_ + 68, 100, 20);
  studyButton_->setGeometry(std::max(0, right - 140), splitY_ + 70, 130, 60);
}

int CTabpageLoginfo::GetCheckedStudyMethod() const {
  for (int i = 0; i < 3; ++i)
    if (methods_[i]->isChecked()) return kNormal + i;
  return 0;
}

bool CTabpageLoginfo::SetStudyMethod(int index) {
  if (index < 0 || index > 2) return false;
  methods_[index]->setChecked(true);
  countSelection();
  return true;
}

int CTabpageLoginfo::GetCheckedReviewTarget() const {
  const int ids[] = {kStudied, kMistaken, kNotStudied};
  for (int i = 0; i < 3; ++i)
    if (targets_[i]->isChecked()) return ids[i];
  return 0;
}

bool CTabpageLoginfo::SetReviewTarget(int index) {
  if (index < 0 || index > 2) return false;
  targets_[index]->setChecked(true);
  countSelection();
  return true;
}

double CTabpageLoginfo::GetRateThreshold() const { return std::wcstod(m_threshold->currentText().toStdWString().c_str(), nullptr); }

void CTabpageLoginfo::readData() { m_nQuestionCount = leadingNumber(m_count->currentText().toStdWString()); }

void CTabpageLoginfo::writeData() {
  const QScopedValueRollback writing(writingCount_, true);
  m_count->setEditText(QString::fromStdWString(figureOrUnknown(m_nQuestionCount)));
}


int CTabpageLoginfo::selectedRunId() const {
  return m_historyList->currentIndex() < 0 ? -1 : m_historyList->currentData().toInt();
}

void CTabpageLoginfo::UpdateStudyModeControls() {
  const int method = GetCheckedStudyMethod();
  std::wstring text;
  if (method == kNormal) {
    text = L"問題を順番に学習します";
  } else if (method == kReview) {
    const int target = GetCheckedReviewTarget();
    if (target) {
      text = m_period->currentText().toStdWString() + (target == kStudied    ? L"学習した問題を復習します"
                                                       : target == kMistaken ? L"間違えた問題を復習します"
                                                                             : L"学習していない問題を復習します");
    }
  } else if (method == kFocused) {
    text = L"正解率の低い問題を重点的に学習します";
  }
  description_->setText(QString::fromStdWString(text));
  for (QWidget* control : normalControls_) control->setVisible(method == kNormal);
  for (QWidget* control : reviewControls_) control->setVisible(method == kReview);
  for (QWidget* control : focusedControls_) control->setVisible(method == kFocused);
  countSelection();
  update();
}

void CTabpageLoginfo::countSelection() {
  std::deque<int> ids;
  pdb3::FirstRow selected = pdb3::FirstRow::missing;
  const int method = GetCheckedStudyMethod();
  if (method == kReview) selected = selectByPeriod(ids);
  else if (method == kFocused) selected = lowRateQuestionIds(ids);
  selectionCount_ = selected == pdb3::FirstRow::failed ? -1 : static_cast<int>(ids.size());
}

void CTabpageLoginfo::FillCountCombo() {
  const int remain = host_.remainCount();
  const QString typed = m_count->currentText();
  m_count->blockSignals(true);
  m_count->clear();
  for (int value : kCountChoices) {
    if (value > remain) break;
    m_count->addItem(QString::number(value));
  }
  m_count->setEditText(typed);
  m_count->blockSignals(false);
  m_countSpin->setRange(1, std::max(1, remain));
}

void CTabpageLoginfo::OnCountEditChange(const QString& text) {
  if (!writingCount_) countGiven_ = true;
  const int remain = host_.remainCount();
  const int typed = leadingNumber(text.toStdWString());
  if (remain >= 0 && typed > remain) {
    m_count->setEditText(QString::number(remain));
    return;
  }
  const QSignalBlocker quiet(m_countSpin);
  m_countSpin->setValue(typed);
}

void CTabpageLoginfo::OnThresholdEditChange(const QString& text) {
  QString kept;
  for (QChar c : text)
    if ((c >= '0' && c <= '9') || c == '.') kept += c;
  if (kept.toDouble() > 100) kept = "100";
  if (kept != text) {
    m_threshold->setEditText(kept);  // comes back here once with the text as it should be
    return;
  }
  UpdateStudyModeControls();
}

void CTabpageLoginfo::OnAllQuestions() {
  readData();
  const int remain = host_.remainCount();
  m_nQuestionCount = m_nQuestionCount >= remain ? std::min(remain, app_.settings->defaultQuestionCount.value) : remain;
  writeData();
  countGiven_ = true;
}

bool CTabpageLoginfo::SelectNormalQuestions(std::deque<int>& out) {
  const int count = m_nQuestionCount;
  // A set emptied or deleted, also since the counts were read, has no range of counts to offer.
  const auto nothingToStudy = [this] {
    platform::messageBox(this, study::kNoQuestionToStudy, L"KLV7");
    return false;
  };
  if (host_.questionCount() == 0) return nothingToStudy();
  if ((count >= 1 && count <= host_.questionCount()) || host_.questionCount() < host_.translatedCount()) {
    const size_t before = out.size();
    if (!pdb3::SelectNextQuestions(app_.studyContext(), out, app_.settings->randomReply.value, count)) return false;
    return out.size() > before || nothingToStudy();
  }
  platform::messageBox(this, platform::format(L"出題数を %d ～ %d の範囲で指定してください。", 1, host_.remainCount()),
                       L"KLV7");
  return false;
}

pdb3::FirstRow CTabpageLoginfo::SelectQuestionsByPeriod(std::deque<int>& out) const { return selectByPeriod(out); }

namespace {

// A read that chooses the questions: they are chosen (perhaps none) when it succeeds.
pdb3::FirstRow chosenWhen(bool read) { return read ? pdb3::FirstRow::found : pdb3::FirstRow::failed; }

}  // namespace

pdb3::FirstRow CTabpageLoginfo::selectByPeriod(std::deque<int>& out) const {
  using pdb3::FirstRow;
  const int hours = m_period->currentData().toInt();
  int lid = -1;
  if (!pagereads::readLogId(app_.studyContext(), lid)) return FirstRow::failed;
  if (lid < 0) return FirstRow::missing;
  const pdb3::DbObject accessor = pdb3::openQuery(app_.db);
  const int target = GetCheckedReviewTarget();
  const int sid = app_.currentSetId, uid = app_.currentUserId, mid = app_.studyMode;
  if (hours > 0) {
    const int since = static_cast<int>(platform::nowSeconds() - int64_t{hours} * 3600);
    switch (target) {
      case kStudied:
        return chosenWhen(pdb3::querySqlfIntList(accessor, out,
                                      L"SELECT qid FROM question_log WHERE qid in (SELECT qid FROM section WHERE sid=%d) "
                                      L"AND uid=%d AND mid=%d AND LastStudyTime > %d",
                                      sid, uid, mid, since));
      case kMistaken:
        return chosenWhen(pdb3::querySqlfIntList(accessor, out,
                                      L"SELECT qid FROM question_log WHERE qid in (SELECT qid FROM section WHERE sid=%d) "
                                      L"AND uid=%d AND mid=%d AND LastMistakeTimeOnFirstReply > %d",
                                      sid, uid, mid, since));
      case kNotStudied:
        return chosenWhen(pdb3::querySqlfIntList(accessor, out,
                                      L"SELECT qid FROM section WHERE sid=%d AND qid not in  (SELECT qid FROM question_log "
                                      L" WHERE qid in (SELECT qid FROM section WHERE sid=%d)  AND uid=%d  AND mid=%d  AND "
                                      L"LastStudyTime > %d)",
                                      sid, sid, uid, mid, since));
      default:
        return FirstRow::missing;
    }
  }
  std::deque<int> runs;
  if (!pdb3::roundDailyLogIds(pdb3::getElementLog(accessor, lid), runs)) return FirstRow::failed;
  if (runs.empty()) return FirstRow::missing;
  pdb3::DailyLogRecord last(accessor, runs.front(), lid);
  // The run was just listed: a load that fails now is a failed read, not a missing run.
  if (!last.Load()) return FirstRow::failed;
  std::vector<int> ids;
  switch (target) {
    case kStudied:
      if (!last.AllQuestionIds(ids)) return FirstRow::missing;
      break;
    case kMistaken:
      if (!last.MistakeQuestionIds(ids)) return FirstRow::missing;
      break;
    case kNotStudied: {
      std::deque<int> rest;
      if (!pdb3::nonEmptyQuestionIds(accessor, sid, rest)) return FirstRow::failed;
      last.AllQuestionIds(ids);
      RemoveIdsFromDeque(rest, std::deque<int>(ids.begin(), ids.end()));
      out.insert(out.end(), rest.begin(), rest.end());
      return FirstRow::found;
    }
    default:
      return FirstRow::missing;
  }
  out.insert(out.end(), ids.begin(), ids.end());
  return FirstRow::found;
}

pdb3::FirstRow CTabpageLoginfo::lowRateQuestionIds(std::deque<int>& out) const {
  int lid = -1;
  if (!pagereads::readLogId(app_.studyContext(), lid)) return pdb3::FirstRow::failed;
  if (lid < 0) return pdb3::FirstRow::missing;
  const double threshold = GetRateThreshold();
  if (threshold == 0) return pdb3::FirstRow::missing;
  const double f = threshold * 0.01;
  const pdb3::DbObject accessor = pdb3::openQuery(app_.db);
  const int sid = app_.currentSetId, uid = app_.currentUserId, mid = app_.studyMode;
  if (app_.settings->correctrateMode == 0)
    return chosenWhen(pdb3::querySqlfIntList(accessor, out,
                                  L"SELECT qid FROM question_log WHERE qid in (SELECT qid FROM section WHERE sid=%d) AND "
                                  L"uid = %d AND mid = %d AND nc1+ni1+nc1pm+ni1pm>=0 AND "
                                  L"1.0*(nc1+nc1pm)/(nc1+ni1+nc1pm+ni1pm) <= %f",
                                  sid, uid, mid, f));
  return chosenWhen(pdb3::querySqlfIntList(accessor, out,
                                L"SELECT qid FROM question_log WHERE qid in (SELECT qid FROM section WHERE sid=%d) AND "
                                L"uid = %d AND mid = %d AND nc1+ni1+nc1pm+ni1pm+nc2+ni2+nc2pm+ni2pm>=0 AND "
                                L"1.0*(nc1+nc1pm+nc2+nc2pm)/(nc1+ni1+nc1pm+ni1pm+nc2+ni2+nc2pm+ni2pm) <= %f",
                                sid, uid, mid, f));
}

pdb3::FirstRow CTabpageLoginfo::SelectLowRateQuestions(std::deque<int>& out) const {
  std::deque<int> ids;
  const pdb3::FirstRow selected = lowRateQuestionIds(ids);
  if (selected != pdb3::FirstRow::found) return selected;
  if (app_.settings->randomMistakeReply.value) study::shuffleIds(ids);
  out.insert(out.end(), ids.begin(), ids.end());
  return selected;
}

bool CTabpageLoginfo::SelectQuestionsForMethod(std::vector<int>& out, FailureReport say) {
  readData();
  std::deque<int> ids;
  pdb3::FirstRow selected = pdb3::FirstRow::missing;
  switch (GetCheckedStudyMethod()) {
    case kNormal:
      selected = SelectNormalQuestions(ids) ? pdb3::FirstRow::found : pdb3::FirstRow::missing;
      break;
    case kReview:
      selected = selectByPeriod(ids);
      break;
    case kFocused:
      selected = SelectLowRateQuestions(ids);
      break;
  }
  if (selected == pdb3::FirstRow::failed) {
    say(this, L"出題する問題を読み込めませんでした。", kAppCaption);
    return false;
  }
  out.insert(out.end(), ids.begin(), ids.end());
  return selected == pdb3::FirstRow::found;
}

void CTabpageLoginfo::OnStudy() {
  if (host_.currentPage() == 3) {
    host_.UpdateRankingPage();
    return;
  }
  if (host_.folderSelected()) return;
  readData();
  std::vector<int> ids;
  if (host_.SelectStudyQuestions(ids)) host_.StartStudyAndRefresh(host_.setPath(), ids);
}

bool CTabpageLoginfo::RefreshFromDialog(bool keepGivenCount) {
  const bool folder = host_.folderSelected();
  for (QWidget* control : std::initializer_list<QWidget*>{studyButton_, m_count, m_countSpin, allButton_})
    control->setEnabled(!folder);

  Figures figures;
  figuresRead_ = folder || readFigures(figures);
  figures_ = figuresRead_ ? std::move(figures) : Figures{};
  m_historyList->blockSignals(true);
  m_historyList->clear();
  for (const StudyRun& run : figures_.studies)
    m_historyList->addItem(QString::fromStdWString(pageRunText(run.endTime) + L" の学習履歴"), run.did);
  if (m_historyList->count() > 0) m_historyList->setCurrentIndex(0);
  m_historyList->blockSignals(false);
  const bool hasRuns = m_historyList->count() > 0;
  for (QWidget* control : historyControls_) control->setVisible(hasRuns);
  // A refresh that could not read leaves the chosen method to the next one that can.
  if (figuresRead_) {
    methods_[1]->setEnabled(hasRuns);
    methods_[2]->setEnabled(hasRuns);
    if (!hasRuns) SetStudyMethod(0);
  }

  // The round's answer totals change only with what a refresh follows (a study, a deletion, another
  // set, user or mode); the host has just counted them, and the drawing reads them from here.
  totalCorrects_ = figures_.lid >= 0 ? host_.totalCorrects() : 0;
  totalIncorrects_ = figures_.lid >= 0 ? host_.totalIncorrects() : 0;

  // A count the learner gave, perhaps while a lock kept the figures unknown, stays through the reads
  // of what the lock left unread.
  const bool keepGiven = countGiven_ && keepGivenCount;
  if (keepGiven) readData();
  {
    const QScopedValueRollback writing(writingCount_, true);
    m_countSpin->setRange(1, std::max(1, host_.questionCount()));
    if (!keepGiven)
      m_nQuestionCount =
          std::min({host_.remainCount(), app_.settings->defaultQuestionCount.value, host_.questionCount()});
    FillCountCombo();
    writeData();
  }
  countGiven_ = keepGiven;
  UpdateStudyModeControls();
  return figuresRead_;
}

bool CTabpageLoginfo::readFigures(Figures& figures) const {
  const pdb3::DbObject accessor = pdb3::openQuery(app_.db);
  const pdb3::ReadTransaction transaction(accessor);
  if (!pagereads::readLogId(app_.studyContext(), figures.lid)) return false;
  if (figures.lid < 0) return true;
  const pdb3::FirstRow totals = pdb3::readFirstRow(
      accessor,
      platform::format(L"SELECT nRun, TotalReplySec, TotalStrokes, nAccomplish FROM element_log WHERE lid=%d",
                       figures.lid),
      [&](const sqliteplus::SqliteCursor& row) {
        figures.runs = row.getIntOr(0, 0);
        figures.seconds = row.getIntOr(1, 0);
        figures.strokes = row.getIntOr(2, 0);
        figures.accomplished = row.getIntOr(3, 0);
      });
  if (totals == pdb3::FirstRow::failed) return false;
  // Each study with its first-answer totals, summed by the engine, in one statement.
  return pdb3::forEachRow(
      accessor,
      platform::format(L"SELECT did, EndTime, (SELECT coalesce(sum(nc1),0) FROM daily_question_log q WHERE q.did=d.did), "
                       L"(SELECT coalesce(sum(ni1),0) FROM daily_question_log q WHERE q.did=d.did) "
                       L"FROM daily_log d WHERE lid=%d ORDER BY EndTime DESC LIMIT %d",
                       figures.lid, kMaxListedRuns),
      [&](const sqliteplus::SqliteCursor& row) {
        figures.studies.push_back({row.getInt(0), row.getIntOr(1, 0), row.getInt(2), row.getInt(3)});
      });
}

void CTabpageLoginfo::ApplyCountAfterStudy(int studied) {
  int count = std::min(host_.remainCount(), app_.settings->defaultQuestionCount.value);
  if (host_.currentPage() == 1 && GetCheckedStudyMethod() == kNormal) count = std::min(count, studied);
  m_nQuestionCount = count;
  {
    const QScopedValueRollback writing(writingCount_, true);
    m_countSpin->setRange(1, std::clamp(host_.questionCount(), 1, 0xFFFF));
    writeData();
  }
  countGiven_ = false;
}

void CTabpageLoginfo::OnFunctionMenu() {
  functionMenu_->popup(QCursor::pos() - QPoint(10, 5));
}

pdb3::FirstRow CTabpageLoginfo::readSelectedRun(pdb3::DailyLogRecord& run) {
  // Said by the caller once the read lock is let go: a box waits for its answer, and another program
  // for the file.
  const pdb3::DbObject accessor = pdb3::openQuery(app_.db);
  const pdb3::ReadTransaction transaction(accessor);
  int lid = -1, rows = 0;
  if (!pagereads::readLogId(app_.studyContext(), lid) ||
      (lid >= 0 && !pagereads::readInt(accessor,
                                       platform::format(L"SELECT count(*) FROM daily_log WHERE did=%d AND lid=%d",
                                                        selectedRunId(), lid),
                                       rows)))
    return pdb3::FirstRow::failed;
  if (rows == 0) return pdb3::FirstRow::missing;
  run = pdb3::DailyLogRecord(accessor, selectedRunId(), lid);
  // The row is there: a load that fails is a failed read.
  return run.Load() ? pdb3::FirstRow::found : pdb3::FirstRow::failed;
}

void CTabpageLoginfo::ShowQuestionsOfStudy() {
  if (selectedRunId() < 0) return;
  pdb3::DailyLogRecord run(pdb3::openQuery(app_.db));
  const pdb3::FirstRow stored = readSelectedRun(run);
  if (stored == pdb3::FirstRow::failed) {
    reportFailedRead(this, L"この回に学習した問題を読み込めませんでした。");
    return;
  }
  if (stored == pdb3::FirstRow::missing) {
    host_.RefreshPages();  // the study has gone since the list was read
    return;
  }
  std::vector<int> ids;
  if (!run.AllQuestionIds(ids)) {
    platform::messageBox(this,
                         run.totalNc1() + run.totalNi1() != 0
                             ? L"この回は Ver.6 以前に学習した情報のため，どの問題を学習したのか記録されていません"
                             : L"この回に学習した問題はありません",
                         kAppCaption);
    return;
  }
  QuestionPreviewDlg dialog(app_, std::deque<int>(ids.begin(), ids.end()),
                            host_.setPath() + L" を " + pageRunText(run.EndTime) + L" に学習した問題", this);
  dialog.DoModal();
}

bool CTabpageLoginfo::deleteInTransaction(const std::wstring& first, const std::wstring& second) {
  const pdb3::DbObject accessor = pdb3::openQuery(app_.db);
  if (pdb3::runInTransaction(accessor,
                       [&] { return pdb3::execSql(accessor, first.c_str()) && pdb3::execSql(accessor, second.c_str()); }))
    return true;
  reportUnmadeChange(this, L"消去に失敗しました");
  return false;
}

void CTabpageLoginfo::OnDeleteThisHistory() {
  const int did = selectedRunId();
  if (did < 0) return;
  const std::wstring entry = m_historyList->currentText().toStdWString();
  pdb3::DailyLogRecord run(pdb3::openQuery(app_.db));
  const pdb3::FirstRow stored = readSelectedRun(run);
  if (stored == pdb3::FirstRow::failed) {
    reportUnmadeChange(this, L"学習履歴を読み込めなかったため、消去しませんでした。");
    return;
  }
  if (stored == pdb3::FirstRow::missing) {
    host_.RefreshPages();
    return;
  }
  const std::wstring question =
      L"問題集 " + host_.setPath() + L" の " + entry + L"(" + pageDateText(run.StartTime) + L") を消去しますか？";
  if (platform::messageBox(this, question, L"履歴消去", platform::MbYesNo | platform::MbIconQuestion) != platform::IdYes)
    return;
  if (deleteInTransaction(platform::format(L"DELETE FROM daily_question_log WHERE did=%d", did),
                          platform::format(L"DELETE FROM daily_log WHERE did=%d", did)))
    host_.RefreshPages();
}

void CTabpageLoginfo::OnDeleteAllHistory() {
  if (host_.folderSelected()) return;
  const std::wstring question =
      L"問題集 " + host_.setPath() + L" の全学習履歴を消去しますか？\n（消去されるのはこのモードの履歴のみです）";
  if (platform::messageBox(this, question, L"履歴消去", platform::MbYesNo | platform::MbIconQuestion) != platform::IdYes)
    return;
  int lid = -1;
  if (!pagereads::readLogId(app_.studyContext(), lid)) {
    reportUnmadeChange(this, L"学習履歴を読み込めなかったため、消去しませんでした。");
    return;
  }
  if (lid < 0) return;
  if (deleteInTransaction(
          platform::format(L"DELETE FROM daily_question_log WHERE did in (SELECT did FROM daily_log WHERE lid = %d)", lid),
          platform::format(L"DELETE FROM daily_log WHERE lid = %d", lid)))
    host_.RefreshPages();
}
