#include "app/pages/tabpage_ranking.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>
#include <QTabBar>

#include "app/common/control_helpers.h"
#include "app/shell/klv_app.h"
#include "app/main/main_dialog_host.h"
#include "app/common/modal_dialog.h"
#include "app/pages/page_dates.h"
#include "app/pages/page_drawing.h"
#include "platform/clock.h"
#include "platform/windows/notifier.h"
#include "platform/files/shell_open.h"
#include "platform/int32_limits.h"
#include "platform/drawing/kept_shades.h"
#include "platform/drawing/system_metrics.h"
#include "platform/text.h"
#include "platform/trace.h"
#include "services/app_settings.h"

using platform::rgb;

namespace {

constexpr int kCommentLimit = 40;
constexpr int kAboutTab = 0, kTotalTab = 1, kMonthlyTab = 2;

const wchar_t kAboutText[] =
    L"　インターネットランキングは KLV で学習して得たポイントで順位を競うシステムです。\n"
    L"　これまでの全累積ポイントで競う『総合ランキング』と今月の累積ポイントだけで競う『月間ランキング』があります。\n"
    L"　インターネットランキングに参加するにはユーザ登録が必要です。下にある [ユーザ登録] ボタンを押して、ユーザ登録を"
    L"行ってください。\n"
    L"　登録した内容を以下の [ユーザ名] と [パスワード] に入力し、[情報更新] ボタンを押せばランキングに参加できます。";

QLabel* label(QWidget* page, int id, const wchar_t* text) {
  auto* control = withId(new QLabel(QString::fromWCharArray(text), page), id);
  control->setWordWrap(true);
  return control;
}

QLineEdit* edit(QWidget* page, int id) { return withId(new QLineEdit(page), id); }

// Typing stops at the limit. A longer text read from the ranking file is shown whole and may be
// shortened; it is refused only when the page's data are read.
class TypingLimit : public QValidator {
 public:
  TypingLimit(QLineEdit* edit, int limit) : QValidator(edit), limit_(limit) {
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { shown_ = text.size(); });
  }
  State validate(QString& input, int&) const override {
    return input.size() > limit_ && input.size() > shown_ ? Invalid : Acceptable;
  }

 private:
  int limit_;
  qsizetype shown_ = 0;
};

QCheckBox* checkBox(QWidget* page, int id, const wchar_t* text) {
  return withId(new QCheckBox(QString::fromWCharArray(text), page), id);
}

QPushButton* button(QWidget* page, int id, const wchar_t* text) {
  return withId(new QPushButton(QString::fromWCharArray(text), page), id);
}

}  // namespace

CTabpageRanking::CTabpageRanking(KlvApp& app, MainDialogHost& host, QWidget* parent)
    : QWidget(parent), app_(app), host_(host) {
  setObjectName("id216");
  tabs_ = withId(new QTabBar(this), 1262);
  for (const wchar_t* name : {L"インターネットランキングについて", L"総合ランキング", L"月間ランキング"})
    tabs_->addTab(QString::fromWCharArray(name));
  auto* group = withId(new QGroupBox(QString::fromWCharArray(L"インターネットランキングの設定"), this), 1265);
  group->lower();
  idEdit_ = edit(this, 1202);
  passwordEdit_ = edit(this, 1203);
  passwordEdit_->setEchoMode(QLineEdit::Password);
  commentEdit_ = edit(this, 1210);
  commentEdit_->setValidator(new TypingLimit(commentEdit_, kCommentLimit));
  autoUpdate_ = checkBox(this, 1174, L"学習後に自動更新(&A)");
  notifyPoints_ = checkBox(this, 1175, L"学習後に必要ポイント数を通知する(&P)");
  auto* update = button(this, 1013, L"情報更新(&U)");
  update->setDefault(true);
  auto* open = button(this, 1014, L"ランキングページを開く...(&R)");
  auto* registerUser = button(this, 1012, L"ユーザ登録(&P)");
  accountControls_ = {label(this, 1270, kAboutText),  registerUser, group,        label(this, 1269, L"ユーザ名"),
                      idEdit_,       label(this, 1267, L"パスワード"), passwordEdit_, label(this, 1268, L"コメント"),
                      commentEdit_,  autoUpdate_,   notifyPoints_};

  connect(idEdit_, &QLineEdit::textEdited, this, &CTabpageRanking::OnAccountChanged);
  connect(passwordEdit_, &QLineEdit::textEdited, this, &CTabpageRanking::OnAccountChanged);
  connect(commentEdit_, &QLineEdit::textEdited, this, &CTabpageRanking::SaveRankingAccount);
  connect(autoUpdate_, &QCheckBox::clicked, this, &CTabpageRanking::OnAutoUpdateClicked);
  connect(notifyPoints_, &QCheckBox::clicked, this, &CTabpageRanking::OnNotifyPointsClicked);
  connect(update, &QPushButton::clicked, this, &CTabpageRanking::OnUpdateButton);
  connect(open, &QPushButton::clicked, this, &CTabpageRanking::OnOpenRankingPage);
  connect(registerUser, &QPushButton::clicked, this, &CTabpageRanking::OnRegisterUser);
  connect(tabs_, &QTabBar::currentChanged, this, &CTabpageRanking::ShowControlsForTab);

  LoadRankingAccount();
  autoUpdate_->setChecked(app_.settings->rankingAutoUpdate.value);
  notifyPoints_->setChecked(app_.settings->autopopupEstimatePoint.value);
  notifyPoints_->setEnabled(autoUpdate_->isChecked());
  const QSignalBlocker quiet(tabs_);
  tabs_->setCurrentIndex(m_strId.empty() ? kAboutTab : kTotalTab);
  ShowControlsForTab();
}

void CTabpageRanking::resizeEvent(QResizeEvent*) {
  const int w = width(), h = height();
  tabs_->setGeometry(0, 0, w, 23);
  const auto place = [this](int id, int x, int y, int cw, int ch) {
    findChild<QWidget*>(QString("id%1").arg(id))->setGeometry(x, y, std::max(20, cw), ch);
  };
  place(1270, 10, 28, w - 20, 110);
  place(1265, 5, 140, w - 10, 160);
  place(1269, 20, 163, 80, 22);
  place(1202, 100, 160, 200, 24);
  place(1012, w - 150, 160, 130, 26);
  place(1267, 20, 191, 80, 22);
  place(1203, 100, 188, 200, 24);
  place(1268, 20, 219, 80, 22);
  place(1210, 100, 216, w - 130, 24);
  place(1174, 20, 246, w - 40, 22);
  place(1175, 20, 270, w - 40, 22);
  const int openWidth = widthForText(findChild<QWidget*>("id1014"), 150);
  place(1014, w - 5 - openWidth, h - 34, openWidth, 28);
  place(1013, w - 10 - openWidth - 140, h - 34, 140, 28);
}

bool CTabpageRanking::readData(bool tellRefusal) {
  const std::wstring comment = commentEdit_->text().toStdWString();
  if (comment.size() > kCommentLimit) {
    if (!tellRefusal) return false;
    platform::messageBox(this, platform::format(L"このフィールドには %d 文字以内で入力してください。", kCommentLimit),
                         kAppCaption);
    commentEdit_->setFocus();
    return false;
  }
  m_strId = idEdit_->text().toStdWString();
  m_strPassword = passwordEdit_->text().toStdWString();
  m_strComment = comment;
  return true;
}

void CTabpageRanking::writeData() {
  idEdit_->setText(QString::fromStdWString(m_strId));
  passwordEdit_->setText(QString::fromStdWString(m_strPassword));
  commentEdit_->setText(QString::fromStdWString(m_strComment));
}

void CTabpageRanking::saveStore() {
  app_.pointInfo.saveTellingOnce(app_.settings->irankDatafilePath.value,
                                 [this](const std::wstring& text) { platform::messageBox(this, text, kAppCaption); });
}

void CTabpageRanking::LoadRankingAccount() {
  // A user without a record has no account yet (the first update makes the record): the page
  // must not go on showing the previous user's.
  m_strId.clear();
  m_strPassword.clear();
  m_strComment.clear();
  try {
    const PointInfoRecord& record = app_.pointInfo.findByUser(app_.settings->userName.value);
    m_strId = PointInfoRecord::text(record.rankingId);
    m_strPassword = PointInfoRecord::text(record.rankingPassword);
    m_strComment = PointInfoRecord::text(record.comment);
  } catch (const std::wstring&) {
  }
  writeData();
  update();
}

void CTabpageRanking::SaveRankingAccount() {
  // Saved at every keystroke: a comment still too long waits, silently, until it fits.
  if (!readData(false)) return;
  try {
    PointInfoRecord& record = app_.pointInfo.findByUser(app_.settings->userName.value);
    PointInfoRecord::copyText(record.rankingId, m_strId);
    PointInfoRecord::copyText(record.rankingPassword, m_strPassword);
    PointInfoRecord::copyText(record.comment, m_strComment);
  } catch (const std::wstring&) {
    return;
  }
  saveStore();
}

void CTabpageRanking::OnAccountChanged() {
  SaveRankingAccount();
  accountEdited_ = true;
}

void CTabpageRanking::OnAutoUpdateClicked() {
  readData(false);
  app_.settings->rankingAutoUpdate.value = autoUpdate_->isChecked();
  notifyPoints_->setEnabled(autoUpdate_->isChecked());
}

void CTabpageRanking::OnNotifyPointsClicked() {
  readData(false);
  app_.settings->autopopupEstimatePoint.value = notifyPoints_->isChecked();
}

void CTabpageRanking::ShowControlsForTab() {
  const bool about = tabs_->currentIndex() == kAboutTab;
  for (QWidget* control : accountControls_) control->setVisible(about);
  writeData();
  update();
}

void CTabpageRanking::openServerPage(const std::string& path) {
  const std::string server = RankingServerAddress();
  if (server.empty()) {
    platform::messageBox(this, RankingTransferError(platform::HttpFailure::Connect), kAppCaption);
    return;
  }
  platform::shellOpen(platform::fromUtf8(server + path));
}

void CTabpageRanking::OnRegisterUser() { openServerPage("/klv/regist.html"); }

void CTabpageRanking::OnOpenRankingPage() {
  openServerPage(tabs_->currentIndex() == kMonthlyTab ? "/klv/rank.cgi?mode=m" : "/klv/rank.cgi");
}

bool CTabpageRanking::UpdateRanking(bool notices) {
  if (!readData()) return false;
  PointInfoRecord& record = app_.CurrentUserPointInfo();
  record.ResetMonthIfChanged(platform::nowSeconds());
  const RankingValues totalBefore = totalRankingValues(record);
  const RankingValues monthlyBefore = monthlyRankingValues(record);
  const std::wstring query = RankingQueryText(record, m_strComment);

  host_.UpdateTitle(L"インターネットランキングを更新中です...");
  const std::string server = RankingServerAddress();
  platform::HttpTextReply reply;
  if (server.empty()) {
    reply.failure = platform::HttpFailure::Connect;
  } else {
    reply = platform::HttpGetText(server + "/klv/update.cgi", query, "KLV6", limits_);
  }
  host_.UpdateTitle();
  if (reply.failure != platform::HttpFailure::None) {
    platform::messageBox(this, RankingTransferError(reply.failure), kAppCaption, platform::MbOk);
    // Counts the server may have taken are not sent twice; counts it never saw stay.
    if (reply.failure == platform::HttpFailure::Read) record.clearPendingCounts();
    return false;
  }

  const RankingReplyOutcome outcome = ApplyRankingReply(reply.body, record, platform::nowSeconds());
  if (outcome.serverMessage) platform::messageBox(this, *outcome.serverMessage, L"受信メッセージ");
  if (outcome.accountRefused) platform::messageBox(this, L"ユーザ名とパスワードが間違っています。", kAppCaption);
  writeData();
  saveStore();
  if (accountEdited_) {
    autoUpdate_->setChecked(true);
    OnAutoUpdateClicked();
    accountEdited_ = false;
  }
  if (notices) {
    if (totalBefore.rank != 0 && outcome.totalRankReceived && tabs_->currentIndex() != kMonthlyTab)
      ShowRankNotice(totalRankingValues(record), totalBefore, record.acceptedTotal, outcome.nextPoint, L"総合ランキング");
    if (monthlyBefore.rank != 0 && outcome.monthlyRankReceived && tabs_->currentIndex() != kTotalTab)
      ShowRankNotice(monthlyRankingValues(record), monthlyBefore, record.acceptedMonthly, outcome.nextPointMonthly,
                     L"月間ランキング");
  }
  update();
  return true;
}

void CTabpageRanking::ShowRankNotice(const RankingValues& now, const RankingValues& before,
                                     const PointInfoRecord::Counters& accepted, int nextPoints,
                                     const std::wstring& title) {
  // Ranks and points come from the server and from a file that may be damaged: a difference stops
  // at the limits, as the sums do, so that a huge one never reads as its opposite.
  const int change = platform::subtractWithinInt32(now.rank, before.rank);
  const int pointsToGo = platform::subtractWithinInt32(nextPoints, accepted.p);
  std::wstring text;
  if (change != 0) {
    text = title + (change < 0 ? L"の順位が上がりました！\nこの調子でがんばろう！！\n"
                               : L"の順位が下がってしまいました…。\n負けずにがんばりましょう！\n");
    text += platform::format(L"\n------------------------------\n  現在の順位：%d 位\n  前回の順位：%d 位\n", now.rank,
                             before.rank);
    text += L"------------------------------\n\n";
  }
  if (pointsToGo > 0)
    text += platform::format(L"あと %d ポイントで %d 位です", pointsToGo, platform::subtractWithinInt32(now.rank, 1));
  platform::messageBox(this, text, title, change > 0 ? platform::MbIconWarning : platform::MbIconInformation);
}

void CTabpageRanking::paintEvent(QPaintEvent*) {
  paintThroughDc(*this, [this](platform::Dc& dc) { OnPaint(dc); });
}

void CTabpageRanking::OnPaint(platform::Dc& dc) {
  const platform::Rect client = dc.bounds();
  dc.fillSolidRect(client, platform::getSysColor(platform::ColorBtnFace));
  const int tab = tabs_->currentIndex();
  if (tab != kTotalTab && tab != kMonthlyTab) return;
  const int index = app_.pointInfo.findIndex(app_.settings->userName.value);
  if (index < 0) return;
  PointInfoRecord& record = app_.pointInfo.recordAt(index);
  if (tab == kMonthlyTab) record.ResetMonthIfChanged(platform::nowSeconds());
  const bool monthly = tab == kMonthlyTab;
  const PointInfoRecord::Counters& accepted = monthly ? record.acceptedMonthly : record.acceptedTotal;
  const PointInfoRecord::Counters& pending = monthly ? record.pendingMonthly : record.pendingTotal;
  const RankingValues values = monthly ? monthlyRankingValues(record) : totalRankingValues(record);

  const PageFontScope font(dc, 14);
  dc.setBkMode(platform::Transparent);
  int y = 30;
  const auto row = [&](const wchar_t* label, const std::wstring& value, platform::COLORREF colour) {
    drawLabelAndValue(dc, platform::Rect{10, y, client.right - 80, client.bottom},
                      platform::Rect{170, y, client.right - 80, client.bottom}, label, value, colour);
    y += 25;
  };
  // On the button face: the face's own text colour, and the points in a blue that stands out from it.
  const platform::COLORREF text = platform::getSysColor(platform::ColorBtnText);
  const platform::COLORREF points = platform::keptReadableOnSysColor(rgb(0, 0, 255), platform::ColorBtnFace);
  row(L"順位", values.users == 0 ? L"? 位" : platform::format(L"%d 位（%d 人中）", values.rank, values.users), text);
  row(L"ポイント", platform::format(L"%d + %d", accepted.p, pending.p), points);
  row(L"正解数", platform::format(L"%d + %d", accepted.nc, pending.nc), text);
  row(L"不正解数", platform::format(L"%d + %d", accepted.ni, pending.ni), text);
  row(L"最近学習した問題集", PointInfoRecord::text(pending.ls), text);
  if (pending.lt != 0) row(L"最終学習日", pageDateText(pending.lt), text);
  if (values.updateTime != 0) row(L"最終更新日", pageDateText(values.updateTime), text);
}
