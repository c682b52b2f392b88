#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <thread>

#include "platform/windows/message_text.h"
#include "platform/windows/notifier.h"
#include "scoped_env.h"
#include "test_env.h"
#include "patience.h"

using namespace platform;

namespace {

// Every box that comes up while it lives is looked at, then answered with its default button.
class AnsweredBoxes {
 public:
  explicit AnsweredBoxes(std::function<void(QMessageBox&)> look) {
    QObject::connect(&poll_, &QTimer::timeout, [look = std::move(look)] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      look(*box);
      box->defaultButton()->click();
    });
    poll_.start(10);
  }

 private:
  QTimer poll_;
};

}  // namespace

TEST(Notifier, AutomaticAnswerTakesTheNamedButtonOrTheDefault) {
  EXPECT_EQ(automaticAnswer(MbYesNo, "no"), IdNo);
  EXPECT_EQ(automaticAnswer(MbYesNo, "NO"), IdNo);
  EXPECT_EQ(automaticAnswer(MbYesNo, "cancel"), IdYes);  // not on this box: its default
  EXPECT_EQ(automaticAnswer(MbYesNoCancel | MbDefButton2, "1"), IdNo);
  EXPECT_EQ(automaticAnswer(MbOk | MbDefButton3, nullptr), IdOk);  // a default beyond the buttons
}

TEST(Notifier, OverrideReceivesBoxesAndIsRemovedAfterwards) {
  struct Recorder : Notifier {
    std::wstring last;
    int messageBox(QWidget*, const std::wstring& text, const std::wstring& caption, unsigned) override {
      last = caption + L"|" + text;
      return IdRetry;
    }
  } recorder;
  {
    NotifierOverride use(recorder);
    // Standard error tells of a box only where nobody sees it: in an unattended run.
    testenv::ScopedEnv attended("KELVARA_AUTOANSWER", nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(messageBox(nullptr, L"本文", L"KLV", MbRetryCancel), IdRetry);
    testenv::ScopedEnv unattended("KELVARA_AUTOANSWER", "ok");
    messageBox(nullptr, L"保存しました", L"KLV");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "msgbox: KLV: 保存しました\n");
  }
  EXPECT_EQ(recorder.last, L"KLV|保存しました");
}

TEST(Notifier, ALineTooLongForTheBoxIsBrokenIntoEvenLinesThatFit) {
  testenv::ScopedEnv attended("KELVARA_AUTOANSWER", nullptr);
  const QString longLine = QString::fromStdWString(L"まず最初に利用者を登録する必要があります。（履歴の作成時に利用されます）");
  const QString text = QString::fromStdWString(L"ようこそ。\n\n") + longLine;
  QStringList shown;
  int room = 0;
  QFont font;
  const AnsweredBoxes answered([&](QMessageBox& box) {
    auto* label = box.findChild<QLabel*>("qt_msgbox_label");
    shown = label->text().split('\n');
    room = label->contentsRect().width();
    font = label->font();
  });
  EXPECT_EQ(messageBox(nullptr, text.toStdWString(), L"KLV", MbIconInformation), IdOk);

  ASSERT_GE(shown.size(), 4);
  EXPECT_EQ(shown.mid(0, 2), QStringList({QString::fromStdWString(L"ようこそ。"), QString()}));
  EXPECT_EQ(shown.mid(2).join(""), longLine);  // nothing lost
  EXPECT_EQ(shown[2], QString::fromStdWString(L"まず最初に利用者を登録する必要があります。"));  // after the phrase
  const QFontMetrics metrics(font);
  int widest = 0;
  for (const QString& line : shown.mid(2)) widest = std::max(widest, metrics.horizontalAdvance(line));
  EXPECT_LE(widest, room);  // no line wraps again
  for (const QString& line : shown.mid(2)) EXPECT_GE(metrics.horizontalAdvance(line) * 2, widest) << line.toStdString();
}

namespace {

// The places the lines were broken at that split a word: inside a katakana word, or before kana that
// is a particle of the word before it (Latin letters, a bracket, a space).
std::string wordsSplit(const QStringList& lines) {
  const auto katakana = [](QChar c) { return c.unicode() >= 0x30A1 && c.unicode() <= 0x30FE && c != QChar(0x30FB); };
  const auto hiragana = [](QChar c) { return c.unicode() >= 0x3041 && c.unicode() <= 0x309F; };
  QStringList split;
  for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
    const QChar last = lines[i].back(), first = lines[i + 1].front();
    if ((katakana(last) && katakana(first)) ||
        (hiragana(first) && (last.unicode() < 0x80 || QStringView(u"）」』】").contains(last))))
      split << lines[i] + "|" + lines[i + 1];
  }
  return split.join(", ").toStdString();
}

}  // namespace

// A sentence ends its line where that gives even lines; no line breaks a word in two: a katakana
// word, or a word and its particle. The texts are the database chooser's, in the box's own room, and
// others at every room down to that of their longest word.
TEST(Notifier, LinesBreakAfterASentenceAndNeverInsideAWord) {
  testenv::ScopedEnv attended("KELVARA_AUTOANSWER", nullptr);
  QStringList shown;
  int room = 0;
  QFont font;
  const AnsweredBoxes answered([&](QMessageBox& box) {
    const auto* label = box.findChild<QLabel*>("qt_msgbox_label");
    shown = label->text().split('\n');
    room = label->contentsRect().width();
    font = label->font();
  });
  const QString foreign = QString::fromStdWString(
      L"ファイルがデータベースの形式ではありません。Kelvara のデータベースファイルか確認してください。");
  messageBox(nullptr,
             L"データベースファイルが読み込めませんでした。\n" + foreign.toStdWString() +
                 L"\n次のダイアログでデータベースファイルを指定してください。",
             L"Kelvara");
  ASSERT_GT(QFontMetrics(font).horizontalAdvance(foreign), room) << "the text fits: nothing is tested";
  ASSERT_EQ(shown.size(), 4);
  EXPECT_EQ(shown[1].toStdWString(), L"ファイルがデータベースの形式ではありません。");
  EXPECT_EQ(shown[2].toStdWString(), L"Kelvara のデータベースファイルか確認してください。");

  const QFontMetrics metrics(font);
  for (const QString& text : {foreign, QString::fromStdWString(L"データベースに記憶率の表（memory_rate）を追加できなかったため、"
                                                              L"スマート学習は使えません。"),
                              QString::fromStdWString(L"データベースの中で、表ではない別のもの（索引やビュー）が同じ名前 "
                                                      L"memory_rate を使っています。")}) {
    for (int width = metrics.horizontalAdvance(QString::fromStdWString(L"データベースファイルか"));
         width < metrics.horizontalAdvance(text); width += 5) {
      const QStringList lines = balancedLines(text, font, width).split('\n');
      EXPECT_EQ(lines.join("").remove(' ').toStdString(), QString(text).remove(' ').toStdString()) << width;
      EXPECT_EQ(wordsSplit(lines), "") << width;
    }
  }
}

TEST(Notifier, AShortMessageStillGivesTheCaptionItsWholeWidth) {
  testenv::ScopedEnv attended("KELVARA_AUTOANSWER", nullptr);
  int width = 0;
  const AnsweredBoxes answered([&](QMessageBox& box) {
    width = box.width();
  });
  EXPECT_EQ(messageBox(nullptr, L"接続に失敗しました", L"Kelvara"), IdOk);
  EXPECT_GE(width, captionWidth("Kelvara"));

  // The window manager draws the title in the platform's title font, larger than the toolkit's
  // own: the caption fits in that face, bold, beside the bar's icon and three buttons, each as wide
  // as the bar is high (a line of the title and its margins).
  messageBox(nullptr, L"問題がありません", L"KLV7");
  QFont title = QFontDatabase::systemFont(QFontDatabase::TitleFont);
  title.setBold(true);
  const QFontMetrics metrics(title);
  EXPECT_GE(width, metrics.horizontalAdvance("KLV7") + 4 * (metrics.height() + 8));
}

// The toolkit centres a box at the width it first takes; one whose long line is then broken by
// hand is narrower and taller, and stands over its window's centre all the same. A path is broken
// after its separators or at a space, never inside a name; a sentence is no path.
TEST(Notifier, ABoxStandsOverItsWindowsCentreWhateverItsTextAndAPathBreaksAtItsSeparators) {
  testenv::ScopedEnv attended("KELVARA_AUTOANSWER", nullptr);
  QWidget owner;
  owner.setGeometry(60, 100, 680, 560);
  owner.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner, testwait::kPatienceMs));
  QRect frame;
  QStringList shown;
  int room = 0;
  QFont font;
  const AnsweredBoxes answered([&](QMessageBox& box) {
    frame = box.frameGeometry();
    const auto* label = box.findChild<QLabel*>("qt_msgbox_label");
    shown = label->text().split('\n');
    room = label->contentsRect().width();
    font = label->font();
  });

  const QString written =
      QString::fromStdWString(L"/home/hanako/Documents/Kelvara/中学生向け問題/中学校 学校・教室などの単語.txt に出力しました");
  for (const QString& text : {QString::fromStdWString(L"保存しました"), written,
                              QString::fromStdWString(L"問題集とフォルダの一覧を読み込めませんでした。\n"
                                                      L"データベースは他のプログラムが使用中です。しばらくしてから、もう一度実行してください。")}) {
    messageBox(&owner, text.toStdWString(), L"Kelvara");
    EXPECT_NEAR(frame.center().x(), owner.frameGeometry().center().x(), 1) << text.toStdString();
    EXPECT_NEAR(frame.center().y(), owner.frameGeometry().center().y(), 1) << text.toStdString();
  }

  for (const QString& path :
       {written, QString::fromStdWString(L"/tmp/kelvara/中学生向け問題/中学校 学校・教室などの単語.txt に出力しました"),
        QString::fromStdWString(L"/home/taro/書類/英単語/中学校の英単語_教室.txt に出力しました")}) {
    messageBox(&owner, path.toStdWString(), L"Kelvara");
    ASSERT_GE(shown.size(), 2) << path.toStdString();
    qsizetype at = 0;
    for (qsizetype i = 0; i < shown.size(); ++i) {
      ASSERT_EQ(path.mid(at, shown[i].size()), shown[i]) << shown.join('|').toStdString();
      at += shown[i].size();
      if (i + 1 == shown.size()) break;
      if (path[at] == ' ') {
        ++at;
      } else {
        EXPECT_TRUE(shown[i].endsWith('/')) << shown.join('|').toStdString();
      }
    }
    EXPECT_EQ(at, path.size());
  }

  // A sentence that names something with a "/" in it is no path: it breaks as any sentence does,
  // into as few lines as the room takes, not after the name's closing bracket.
  const QString sentence = QString::fromStdWString(
      L"スマート学習リスト（SmartLearning/1）か記憶率の表をデータベースに作成できなかったため、スマート学習は使えません。");
  messageBox(&owner, sentence.toStdWString(), L"Kelvara");
  EXPECT_EQ(shown.join(""), sentence);
  const int fullLines = (QFontMetrics(font).horizontalAdvance(sentence) + room - 1) / room;
  EXPECT_EQ(shown.size(), fullLines) << shown.join('|').toStdString();
  for (const QString& line : shown) EXPECT_FALSE(line.startsWith(QString::fromStdWString(L"か"))) << line.toStdString();
}

// With no window up (the start-up's boxes, the exit's), a box stands centred on the screen the
// learner is on. It is run once more, in a program of its own, on a screen whose windows' frames
// are not known before they show, as under a window manager: the toolkit would guess one and put
// the box aside by it.
TEST(Notifier, ABoxWithNoWindowUnderItStandsCentredOnTheScreen) {
  testenv::ScopedEnv attended("KELVARA_AUTOANSWER", nullptr);
  ASSERT_EQ(QApplication::activeWindow(), nullptr);
  QRect placed;
  const AnsweredBoxes answered([&](QMessageBox& box) {
    placed = box.geometry();
  });
  messageBox(nullptr, L"データベースに記憶率の表（memory_rate）を追加できなかったため、スマート学習は使えません。",
             L"Kelvara", MbIconWarning);
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_NEAR(placed.center().x(), screen.center().x(), 1) << placed.x() << "," << placed.y();
  EXPECT_NEAR(placed.center().y(), screen.center().y(), 1) << placed.x() << "," << placed.y();
  // Once more on a screen whose windows have no frames to measure, unless this run is on a
  // screen of a configuration of its own already.
  if (qEnvironmentVariable("QT_QPA_PLATFORM").contains("configfile=")) return;
  const QString config = QString::fromStdString(testenv::processDir()) + "/frameless-screen.json";
  QFile file(config);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(R"({"windowFrameMargins": false, "screens": [{"name": "frameless", "x": 0, "y": 0,
              "width": 800, "height": 600, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
  file.close();
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + config);
  QProcess again;
  again.setProcessEnvironment(environment);
  again.setProcessChannelMode(QProcess::MergedChannels);
  again.start(QCoreApplication::applicationFilePath(),
              {"--gtest_filter=Notifier.ABoxWithNoWindowUnderItStandsCentredOnTheScreen"});
  ASSERT_TRUE(again.waitForFinished(60000));
  const QByteArray output = again.readAll();
  EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}

// A box whose owner is not up yet (a dialog saying what it could not read before it shows) stands
// over the nearest window up its chain that is, else, as a box without an owner does, over the
// window the learner is acting in: the window manager would put a box over a window never shown at
// the screen's corner.
TEST(Notifier, ABoxStandsOverTheWindowTheLearnerIsInWhenItsOwnerIsNotUpOrItHasNone) {
  testenv::ScopedEnv attended("KELVARA_AUTOANSWER", nullptr);
  QWidget main, other;
  main.setGeometry(420, 20, 360, 260);
  other.setGeometry(20, 320, 360, 260);
  main.show();
  other.show();
  QRect frame;
  const AnsweredBoxes answered([&](QMessageBox& box) {
    frame = box.frameGeometry();
  });

  QDialog opening(&main);  // the learner acts in `main`; another window is the active one
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other, testwait::kPatienceMs));
  messageBox(&opening, L"一覧を読み込めませんでした。", L"Kelvara");
  EXPECT_TRUE(main.frameGeometry().contains(frame.center())) << frame.x() << "," << frame.y();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other, testwait::kPatienceMs));
  QWidget neverShown;
  messageBox(&neverShown, L"一覧を読み込めませんでした。", L"Kelvara");
  EXPECT_TRUE(other.frameGeometry().contains(frame.center())) << frame.x() << "," << frame.y();

  // A study's window takes all input; its result dialog has just closed and no window is active yet.
  QDialog study;
  study.setGeometry(420, 420, 360, 260);
  study.setWindowModality(Qt::ApplicationModal);
  study.show();
  QDialog result(&study);
  result.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&result, testwait::kPatienceMs));
  result.hide();
  messageBox(nullptr, L"学習履歴を保存できませんでした", L"Error!");
  EXPECT_TRUE(study.frameGeometry().contains(frame.center())) << frame.x() << "," << frame.y();
}

TEST(Notifier, ABoxAskedForByAnotherThreadIsShownByTheGuiThread) {
  struct Recorder : Notifier {
    QThread* shownBy = nullptr;
    int messageBox(QWidget*, const std::wstring&, const std::wstring&, unsigned) override {
      shownBy = QThread::currentThread();
      return IdNo;
    }
  } recorder;
  NotifierOverride use(recorder);
  QEventLoop waiting;
  int answer = 0;
  std::thread worker([&] {
    answer = messageBox(nullptr, L"本文", L"KLV", MbYesNo);
    QMetaObject::invokeMethod(&waiting, &QEventLoop::quit, Qt::QueuedConnection);
  });
  waiting.exec();
  worker.join();
  EXPECT_EQ(answer, IdNo);
  EXPECT_EQ(recorder.shownBy, QCoreApplication::instance()->thread());
}
