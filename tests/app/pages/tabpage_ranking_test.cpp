#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <ctime>
#include <tuple>

#include "app/pages/ranking_protocol.h"
#include "app/pages/tabpage_ranking.h"
#include "element_tree_fixture.h"
#include "http_test_server.h"
#include "page_host.h"
#include "platform/clock.h"
#include "platform/text.h"
#include "scoped_env.h"

using namespace apptest;

namespace {

constexpr int kNow = 1717200000;  // 2024-06-01 00:00 UTC
constexpr int kStudied = kNow + 3600;

class RankingPage : public ::testing::Test {
 protected:
  RankingPage() : clock([] { return int64_t{kNow}; }) {
    tzset();
    s.settings.irankDatafilePath.value = folder.filePath("irank.dat").toStdWString();
    PointInfoRecord& record = s.app.CurrentUserPointInfo();
    PointInfoRecord::copyText(record.rankingId, L"a&b=c");
    PointInfoRecord::copyText(record.rankingPassword, L"p w");
    PointInfoRecord::copyText(record.comment, L"x&y");
    for (PointInfoRecord::Counters* block : {&record.pendingTotal, &record.pendingMonthly}) {
      *block = PointInfoRecord::Counters{10, 2, 120, {}, {}, 300, kStudied, 0};
      PointInfoRecord::copyText(block->rq, L"りんご");
      PointInfoRecord::copyText(block->ls, L"set/a");
    }
    page = std::make_unique<CTabpageRanking>(s.app, host);
    page->setHttpLimits({2, 1, 1024 * 1024});
  }

  PointInfoRecord& record() { return s.app.CurrentUserPointInfo(); }
  // One update against a server answering `response`; the boxes it showed.
  std::wstring update(const std::string& response, bool silent = false) {
    HttpTestServer server(response, silent);
    testenv::ScopedEnv address("KELVARA_RANKING_URL", server.url().c_str());
    page->UpdateRanking(true);
    lastRequest = server.request();
    return s.takeBoxes();
  }
  PointInfoRecord savedRecord() {
    PointInfoStore store;
    EXPECT_TRUE(store.load(s.settings.irankDatafilePath.value));
    return store.findByUser(L"tester");
  }
  bool fileSaved() const { return QFile::exists(folder.filePath("irank.dat")); }

  testenv::ScopedEnv utc{"TZ", "UTC"};
  testenv::ScopedEnv noProxy{"http_proxy", nullptr};
  testenv::ScopedEnv noProxyUpper{"HTTP_PROXY", nullptr};
  testenv::ScopedEnv noAllProxy{"all_proxy", nullptr};
  testenv::ScopedEnv noServer{"KELVARA_RANKING_URL", nullptr};
  platform::ClockOverride clock;
  QTemporaryDir folder;
  TreeApp s;
  PageHost host;
  std::unique_ptr<CTabpageRanking> page;
  std::string lastRequest;
};

TEST(RankingReply, PairsAreReadAtThePositionOnly) {
  std::wstring_view reply = L"rank_m=4\r\nrank=-7\nusers=4294967296\n";
  size_t pos = 0;
  int value = 0;
  EXPECT_FALSE(ParseRankingReply(reply, pos, L"rank", value));
  EXPECT_TRUE(ParseRankingReply(reply, pos, L"rank_m", value));
  EXPECT_EQ(value, 4);
  EXPECT_EQ(pos, 10u);  // CR LF is one separator
  EXPECT_TRUE(ParseRankingReply(reply, pos, L"rank", value));
  EXPECT_EQ(value, -7);
  EXPECT_FALSE(ParseRankingReply(reply, pos, L"users", value));
  PointInfoRecord probe;
  ApplyRankingReply(L"users_m=7\r\nnextpoint=620\r\nrank_m=2\r\nnewpoint_m=33\r\nrank=5\r\nusers=9\r\n", probe, 1);
  EXPECT_EQ(probe.acceptedMonthly.p, 33);
  pos = 0;
  reply = L"rank=12";
  EXPECT_TRUE(ParseRankingReply(reply, pos, L"rank", value));
  EXPECT_EQ(pos, reply.size());
}

TEST_F(RankingPage, SendsThePendingCountsAsOneGetAndTakesTheAcceptedOnes) {
  const std::wstring boxes = update(httpReply("200 OK", "rank=3\nusers=120\nnewpoint=540\n"));
  EXPECT_EQ(boxes, L"");
  const std::string lt = std::to_string(kStudied);
  const std::string japanese = "%82%E8%82%F1%82%B2";
  const std::string expected = "GET /klv/update.cgi?id=a&b=c&pass=p%20w&ver=7.1.5&com=x%81%95y&diffupdate=2&nc=10&ni=2"
                               "&p=120&rq=" + japanese + "&ls=set/a&sec=300&lt=" + lt + "&nc_m=10&ni_m=2&p_m=120&rq_m=" +
                               japanese + "&ls_m=set/a&sec_m=300&lt_m=" + lt + " HTTP/1.1\r\n";
  ASSERT_EQ(lastRequest.substr(0, expected.size()), expected);
  const std::string headers = lastRequest.substr(expected.size());
  EXPECT_NE(headers.find("Host: 127.0.0.1:"), std::string::npos);
  EXPECT_NE(headers.find("\r\nUser-Agent: KLV6\r\n"), std::string::npos);
  EXPECT_NE(headers.find("\r\nAccept: text/*\r\n"), std::string::npos);
  EXPECT_EQ(headers.find("Accept: */*"), std::string::npos);
  EXPECT_EQ(host.titles, (std::vector<std::wstring>{L"インターネットランキングを更新中です...", L""}));

  const PointInfoRecord saved = savedRecord();
  EXPECT_EQ(saved.totalRank, 3);
  EXPECT_EQ(saved.totalUsers, 120);
  EXPECT_EQ(saved.totalUpdateTime, kNow);
  EXPECT_EQ(saved.acceptedTotal.p, 540);
  for (const auto& block : {saved.pendingTotal, saved.pendingMonthly}) {
    EXPECT_EQ(block.nc + block.ni + block.p + block.sec, 0);
    EXPECT_EQ(block.lt, kStudied);
    EXPECT_EQ(PointInfoRecord::text(block.ls), L"set/a");
  }
}

TEST_F(RankingPage, ReordersAndCrLfRepliesAreReadWholeAndRankChangesAreTold) {
  record().totalRank = 8;
  record().acceptedTotal.p = 500;
  const std::wstring boxes =
      update(httpReply("200 OK", "users_m=7\r\nnextpoint=620\r\nrank_m=2\r\nnewpoint_m=33\r\nrank=5\r\nusers=9\r\n"));
  EXPECT_EQ(boxes,
            L"総合ランキング: 総合ランキングの順位が上がりました！\nこの調子でがんばろう！！\n"
            L"\n------------------------------\n  現在の順位：5 位\n  前回の順位：8 位\n"
            L"------------------------------\n\nあと 120 ポイントで 4 位です\n");
  const PointInfoRecord& r = record();
  EXPECT_EQ(r.monthlyUsers, 7);
  EXPECT_EQ(r.monthlyRank, 2);
  EXPECT_EQ(r.acceptedMonthly.p, 33);
  EXPECT_EQ(r.totalUsers, 9);
  EXPECT_EQ(r.monthlyUpdateTime, kNow);

  // A rank and points from a damaged file: the differences stop at the limits, never turning round.
  record().totalRank = INT32_MIN;
  record().acceptedTotal.p = INT32_MIN;
  EXPECT_EQ(update(httpReply("200 OK", "nextpoint=620\nrank=5\n")),
            L"総合ランキング: 総合ランキングの順位が下がってしまいました…。\n負けずにがんばりましょう！\n"
            L"\n------------------------------\n  現在の順位：5 位\n  前回の順位：-2147483648 位\n"
            L"------------------------------\n\nあと 2147483647 ポイントで 4 位です\n");

  // The rank to reach stops at the limit as well, never turning round into the largest.
  EXPECT_EQ(update(httpReply("200 OK", "nextpoint=620\nrank=-2147483648\n")),
            L"総合ランキング: 総合ランキングの順位が上がりました！\nこの調子でがんばろう！！\n"
            L"\n------------------------------\n  現在の順位：-2147483648 位\n  前回の順位：5 位\n"
            L"------------------------------\n\nあと 2147483647 ポイントで -2147483648 位です\n");
}

TEST_F(RankingPage, RefusalsAndMessagesKeepTheUnsentPoints) {
  record().totalRank = 8;
  EXPECT_EQ(update(httpReply("200 OK", "invalid")), L"Kelvara: ユーザ名とパスワードが間違っています。\n");
  EXPECT_EQ(savedRecord().totalRank, 0);
  EXPECT_EQ(savedRecord().pendingTotal.p, 120);

  EXPECT_EQ(update(httpReply("200 OK", platform::toCp932(L"msg=ただいま休止中です"))), L"受信メッセージ: ただいま休止中です\n");
  EXPECT_EQ(record().pendingMonthly.nc, 10);

  EXPECT_EQ(update(httpReply("404 Not Found", "users=77\n")), L"");
  EXPECT_EQ(record().totalUsers, 77);
  EXPECT_EQ(record().pendingTotal.nc, 10);
  EXPECT_EQ(update(httpReply("404 Not Found", "rank=2\n")), L"");
  EXPECT_EQ(record().pendingTotal.nc, 0);
}

// A learner the server has ranked before keeps the points it has not taken: a server message, an
// error page or a reply without a rank leaves them to be sent again, in the file as well.
TEST_F(RankingPage, ARankedLearnersUnsentPointsStayUntilAReplyRanksThem) {
  for (const std::string& response :
       {httpReply("200 OK", platform::toCp932(L"msg=ただいま休止中です")),
        httpReply("500 Internal Server Error", "<html><body>Internal Server Error</body></html>\n"),
        httpReply("200 OK", "users=120\nnextpoint=900\n")}) {
    record().totalRank = 8;
    update(response);
    EXPECT_EQ(record().totalRank, 8);
    const PointInfoRecord saved = savedRecord();
    for (const PointInfoRecord::Counters& block : {saved.pendingTotal, saved.pendingMonthly})
      EXPECT_EQ(std::tuple(block.nc, block.ni, block.p, block.sec), std::tuple(10, 2, 120, 300)) << response;
  }
}

TEST_F(RankingPage, TransferFailuresSayWhereAndForgetOnlyCountsTheServerMayHaveTaken) {
  EXPECT_FALSE(page->UpdateRanking(true));
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: 接続に失敗しました\n");
  EXPECT_EQ(update(httpReply("302 Found", "rank=1\n")), L"Kelvara: 接続状況が不正です\n");
  EXPECT_EQ(record().pendingTotal.p, 120);
  EXPECT_FALSE(fileSaved());

  EXPECT_EQ(update(httpReply("200 OK", "")), L"Kelvara: HTML文書の取得に失敗しました\n");
  EXPECT_EQ(record().pendingTotal.p, 0);
  EXPECT_EQ(record().pendingMonthly.sec, 0);
  EXPECT_FALSE(fileSaved());

  record().pendingTotal.p = 5;
  EXPECT_EQ(update("", true), L"Kelvara: HTML文書の取得に失敗しました\n");
  EXPECT_NE(lastRequest.find("GET /klv/update.cgi?"), std::string::npos);
  EXPECT_EQ(record().pendingTotal.p, 0);
  record().pendingTotal.p = 5;
  EXPECT_EQ(update(httpReply("200 OK", std::string(1024 * 1024 + 1, 'x'))), L"Kelvara: HTML文書の取得に失敗しました\n");
  EXPECT_FALSE(fileSaved());
}

TEST_F(RankingPage, AccountEditsAreSavedAtOnceAndSwitchOnAutomaticUpdates) {
  EXPECT_EQ(page->tabs().currentIndex(), 1);
  page->tabs().setCurrentIndex(0);
  auto* id = page->findChild<QLineEdit*>("id1202");
  EXPECT_EQ(id->text().toStdWString(), L"a&b=c");
  id->clear();
  QTest::keyClicks(id, "me");
  EXPECT_EQ(PointInfoRecord::text(savedRecord().rankingId), L"me");
  EXPECT_TRUE(page->accountEdited());
  auto* comment = page->findChild<QLineEdit*>("id1210");
  QTest::keyClicks(comment, QString(45, 'c'));
  EXPECT_EQ(comment->text().size(), 40);
  auto* autoUpdate = page->findChild<QCheckBox*>("id1174");
  EXPECT_FALSE(autoUpdate->isChecked());
  EXPECT_FALSE(page->findChild<QCheckBox*>("id1175")->isEnabled());
  update(httpReply("200 OK", "rank=1\n"));
  EXPECT_TRUE(autoUpdate->isChecked());
  EXPECT_TRUE(s.settings.rankingAutoUpdate.value);
  EXPECT_TRUE(page->findChild<QCheckBox*>("id1175")->isEnabled());
  EXPECT_FALSE(page->accountEdited());

  PointInfoRecord::copyText(record().comment, std::wstring(42, L'c'));
  page->LoadRankingAccount();
  EXPECT_FALSE(page->UpdateRanking(false));
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: このフィールドには 40 文字以内で入力してください。\n");
  QTest::keyClick(comment, Qt::Key_Backspace);
  EXPECT_EQ(comment->text().size(), 41);

  s.settings.userName.value = L"newcomer";
  page->LoadRankingAccount();
  EXPECT_EQ(id->text(), "");
}

TEST_F(RankingPage, ServerPagesOpenOnlyWithAServer) {
  const QString log = folder.filePath("shell.log");
  testenv::ScopedEnv shellLog("KELVARA_SHELL_LOG", log.toUtf8().constData());
  page->findChild<QPushButton*>("id1012")->click();
  EXPECT_EQ(s.takeBoxes(), L"Kelvara: 接続に失敗しました\n");
  testenv::ScopedEnv address("KELVARA_RANKING_URL", "http://127.0.0.1:9/");
  page->findChild<QPushButton*>("id1012")->click();
  page->findChild<QPushButton*>("id1014")->click();
  page->tabs().setCurrentIndex(2);
  page->findChild<QPushButton*>("id1014")->click();
  QFile file(log);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll().toStdString(),
            "http://127.0.0.1:9/klv/regist.html\nhttp://127.0.0.1:9/klv/rank.cgi\n"
            "http://127.0.0.1:9/klv/rank.cgi?mode=m\n");
}

TEST_F(RankingPage, TheMonthlyStandingStartsAgainInANewMonth) {
  PointInfoRecord& r = record();
  r.pendingMonthly.lt = kNow - 86400;  // May
  r.acceptedMonthly.p = 100;
  r.monthlyRank = 4;
  r.monthlyUsers = 50;
  page->tabs().setCurrentIndex(1);
  QImage image(500, 300, QImage::Format_RGB32);
  platform::Dc dc(image);
  page->OnPaint(dc);
  EXPECT_EQ(r.monthlyRank, 4);
  page->tabs().setCurrentIndex(2);
  page->OnPaint(dc);
  EXPECT_EQ(r.monthlyRank + r.monthlyUsers + r.acceptedMonthly.p + r.pendingMonthly.p, 0);
  EXPECT_EQ(r.pendingTotal.p, 120);
}

}  // namespace
