#include "study/window/study_result_dialog.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QTreeWidget>
#include <ctime>

#include "database/folders/folders.h"
#include "database/memory/memory_model.h"
#include "database/memory/memory_rate.h"
#include "database/records/question.h"
#include "database/folders/section_questions.h"
#include "database/engine/sql_helpers.h"
#include "platform/drawing/gdi_types.h"
#include "platform/drawing/kept_shades.h"
#include "platform/drawing/system_metrics.h"
#include "platform/windows/notifier.h"
#include "platform/windows/list_view_keys.h"
#include "platform/trace.h"
#include "services/app_settings.h"
#include "services/database_failure.h"
#include "services/part_of_speech.h"
#include "services/shell_values.h"
#include "services/unknown_figure.h"
#include "study/study_modes.h"
#include "study/window/study_resources.h"
#include "study/window/trans_edit_dialog.h"

namespace study {

namespace {

const QColor kBackground(226, 241, 255);
// The texts on the window's own light blue: the classic desktop's black and grey text.
const QColor kTextOnBackground(0, 0, 0);
const QColor kGreyTextOnBackground(128, 128, 128);
const wchar_t kAppName[] = L"Kelvara";
constexpr int kLevelColumn = 5;

}  // namespace

CStudyResultDlg::CStudyResultDlg(AppSettings& settings, int userId, SmartLearningList list,
                                 pdb3::MemoryRateTable memoryRates, const StudyOutcome& outcome, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      userId_(userId),
      smartList_(std::move(list)),
      levelsKept_(memoryRates == pdb3::MemoryRateTable::present),
      listOffered_(levelsKept_ && !smartList_.unavailable),
      record_(outcome.record),
      mode_(outcome.mode),
      typedCharacters_(outcome.typedCharacters),
      replyMs_(outcome.replyMilliseconds),
      all_{outcome.allMistakes, outcome.allCorrects} {
  initStudyResources();
  setObjectName("id135");
  setWindowTitle(QString::fromStdWString(L"学習結果"));
  resize(640, 480);
  if (!settings_.useOsDefaultBackgroundColor.value) {
    // The light blue is the window's own, whatever the desktop's face: its texts (the add box's)
    // take colours of their own that stand out from it.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kBackground);
    palette.setColor(QPalette::WindowText, kTextOnBackground);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, kGreyTextOnBackground);
    setPalette(palette);
    setAutoFillBackground(true);
  }
  faces_.load(":/study/264.xpm");

  list_ = new QTreeWidget(this);
  list_->setObjectName("id1259");
  platform::bringHomeAndEndRowsIntoView(*list_);
  list_->setRootIsDecorated(false);
  list_->setAllColumnsShowFocus(true);
  list_->setGeometry(10, 210, 620, 220);
  const wchar_t* const headers[] = {L"問題", L"解答", L"正解", L"不正解", L"学習時間", L"レベル"};
  const int widths[] = {220, 120, 60, 60, 80, 60};
  QStringList labels;
  for (const wchar_t* header : headers) labels << QString::fromWCharArray(header);
  list_->setHeaderLabels(labels);
  for (int i = 0; i < 6; ++i) list_->setColumnWidth(i, widths[i]);
  list_->setColumnHidden(kLevelColumn, !levelsKept_);  // a file without memory rates has no levels

  addCheck_ = new QCheckBox(QString::fromStdWString(L"学習した問題をスマート学習リストに追加(&A)"), this);
  addCheck_->setObjectName("id1327");
  addCheck_->setGeometry(10, 440, 460, 24);
  // A file without smart learning has no list to add to: the box is unticked and greyed, and the
  // learner's choice waits in the settings for a file that has it. A list only kept from being made
  // for now is offered: OK asks for it again.
  addCheck_->setChecked(listOffered_ && settings_.addToSmartlearninglistAfterLearning.value);
  addCheck_->setEnabled(listOffered_);
  connect(addCheck_, &QCheckBox::clicked, this, &CStudyResultDlg::OnAddCheckClicked);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, &CStudyResultDlg::OnListDblClk);

  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("id1");
  ok->setDefault(true);
  ok->setGeometry(540, 440, 90, 28);
  connect(ok, &QPushButton::clicked, this, &CStudyResultDlg::accept);

  FillResultList();
}

void CStudyResultDlg::setStartedFromSmartLearningPage(bool started) { addCheck_->setEnabled(listOffered_ && !started); }

void CStudyResultDlg::FillResultList() {
  list_->clear();
  const int64_t now = std::time(nullptr);
  const pdb3::DbObject& accessor = record_;
  bool allRead = true;
  for (const auto& [qid, result] : record_.results) {
    const pdb3::Question question = pdb3::getQuestion(accessor, qid);
    // A question that could not be read is not one with empty texts.
    const bool questionRead = pdb3::loadAllColumns(question);
    pdb3::MemoryRate rate(accessor, qid, userId_, now);
    if (levelsKept_) rate.load();
    allRead = allRead && questionRead && !rate.readFailed;
    const int before = rate.level;
    rate.update(mode_, result.nc1 + result.nc2, result.ni1 + result.ni2);
    auto* row = new QTreeWidgetItem(list_);
    const std::wstring columns[] = {
        questionRead ? expandPartOfSpeech(question.questionText(0)) : std::wstring(kUnknown),
        questionRead ? question.answerText(0) : kUnknown,
        repeatedMark(L"○", result.nc1 + result.nc2),
        repeatedMark(L"×", result.ni1 + result.ni2),
        platform::format(L"%5.1f 秒", result.ReplySec),
        // A rate that could not be read would show a first study's climb.
        !levelsKept_ || rate.readFailed ? std::wstring(kUnknown)
                                        : levelChangeText(pdb3::levelGrade(before), pdb3::levelGrade(rate.level)),
    };
    for (int c = 0; c < 6; ++c) row->setText(c, QString::fromStdWString(columns[c]));
    row->setData(0, Qt::UserRole, qid);
  }
  if (!allRead) reportFailedRead(this, L"学習した問題を読み込めませんでした。");
}

void CStudyResultDlg::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QPainter painter(this);
  const double p = 100 * all_.correctRatio();
  const ResultGrade grade = gradeForRate(p);

  QFont big(QString::fromStdWString(L"ＭＳ ゴシック"));
  big.setStyleHint(QFont::SansSerif);
  big.setPixelSize(35);
  big.setWeight(QFont::DemiBold);
  big.setItalic(true);
  painter.setFont(big);
  // On its own light blue the window draws in its own colours; on the desktop's face the plain
  // figures take the face's text colour and the coloured ones a shade that stands out from it.
  const bool ownBackground = !settings_.useOsDefaultBackgroundColor.value;
  auto shown = [&](platform::COLORREF colour) {
    return platform::toQColor(ownBackground ? colour
                                            : platform::keptReadableOnSysColor(colour, platform::ColorBtnFace));
  };
  painter.setPen(shown(platform::rgb(0, 0, 250)));
  QRect client = rect();
  client.setTop(15);
  painter.drawText(client, Qt::AlignHCenter | Qt::AlignTop, QString::fromWCharArray(grade.message));

  if (!faces_.isNull()) {
    painter.drawPixmap(550, 70, faces_, 0, grade.pictureIndex * 70, faces_.width(), 70);
  }

  painter.setFont(font());
  const QFontMetrics metrics(font());
  auto line = [&](int y, const std::wstring& label, const std::wstring& value) {
    painter.drawText(50, y + metrics.ascent(), QString::fromStdWString(label));
    painter.drawText(250, y + metrics.ascent(), QString::fromStdWString(value));
  };
  painter.setPen(ownBackground ? QColor(2, 2, 2) : palette().color(QPalette::WindowText));
  line(70, L"学習時間", studyTimeText(replyMs_));
  if (isTypedMode(mode_)) {
    line(90, L"タイピング文字数", platform::format(L"%ld 文字", static_cast<long>(typedCharacters_)));
    line(110, L"タイピング速度", typingSpeedText(typedCharacters_, replyMs_));
  }
  line(140, L"正解数", platform::format(L"%d", all_.correct));
  line(160, L"不正解数", platform::format(L"%d", all_.incorrect));
  painter.setPen(shown(RateToColor(p / 100)));
  line(180, L"正解率", platform::format(L"%.2f", p));
}

void CStudyResultDlg::OnListDblClk() {
  const QTreeWidgetItem* row = list_->currentItem();
  if (!row) return;
  const int qid = row->data(0, Qt::UserRole).toInt();
  if (EditQuestionRecord(record_, qid, this) == EditOutcome::SaveFailed) {
    reportUnmadeChange(this, L"データベースの書き込みに失敗しました。", kAppName);
  }
  FillResultList();
}

void CStudyResultDlg::OnAddCheckClicked() {
  platform::messageBox(this,
                       L"チェックすると，今回学習した問題がスマート学習リストに追加され，\nスマート学習で出題されるようになります．\n\n"
                       L"スマート学習は，忘却曲線理論によって忘れてしまった単語などを自動的に計算し，\n効率的に出題させることのできる機能です．",
                       kAppName);
}

int CStudyResultDlg::addStudiedQuestionsToSmartLearning() {
  const pdb3::DbObject& accessor = record_;
  if (!pdb3::execSql(accessor, L"BEGIN TRANSACTION")) return -1;
  try {
    std::deque<int> present;
    if (!pdb3::sectionQuestionIds(accessor, smartList_.setId, present)) throw std::wstring(L"read");
    int count = 0;
    for (const auto& entry : record_.results) {
      if (std::find(present.begin(), present.end(), entry.first) != present.end()) continue;
      pdb3::addQuestionToSection(accessor, smartList_.setId, entry.first);
      ++count;
    }
    if (count == 0) {
      pdb3::execSql(accessor, L"ROLLBACK");
      return 0;
    }
    if (!pdb3::execSql(accessor, L"COMMIT")) throw std::wstring(L"commit");
    return count;
  } catch (const std::wstring&) {
    pdb3::execSql(accessor, L"ROLLBACK");
    return -1;
  }
}

int CStudyResultDlg::listToAddTo() {
  if (smartList_.setId >= 0) return smartList_.setId;
  // A list the end of the study could not have for a cause that passes is asked for now; one that
  // still cannot be had is said with its cause.
  if (smartList_.askAgain) return smartList_.setId = smartList_.askAgain(*this);
  reportUnmadeChangeAsSaid(this, kSmartLearningUnavailable, kAppName);
  return -1;
}

void CStudyResultDlg::accept() {
  const bool add = addCheck_->isChecked();
  if (listOffered_) settings_.addToSmartlearninglistAfterLearning.value = add;
  // A study that answered nothing (it stopped at its first question) has nothing to add, and
  // nothing to say about the list.
  const bool anyStudied = !record_.results.empty();
  if (add && anyStudied && listToAddTo() >= 0) {
    added_ = addStudiedQuestionsToSmartLearning();
    if (added_ < 0) {
      reportUnmadeChange(this, L"スマート学習リストへの追加に失敗しました");
    } else if (added_ > 0) {
      platform::messageBox(this, platform::format(L"%d 個の問題をスマート学習リストに追加しました", added_), kAppName);
    }
  }
  QDialog::accept();
}

}  // namespace study
