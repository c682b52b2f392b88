// The link button: what it opens, when, and how it looks under the pointer.
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/frames/buttons/url_link_button.h"

#include "../../platform/scoped_env.h"
#include "frames_test_support.h"

#include <QFile>
#include <QTemporaryDir>

using namespace platform;

class LinkTest : public DialogTest {
 protected:
  LinkTest() : log_("KELVARA_SHELL_LOG", dir_.filePath("shell.log").toUtf8().constData()) {
    auto* link = new CUxURLLinkButton;
    link->Create(L"https://kelvara.example/words", WsChild | WsVisible | WsTabStop, Rect::fromSize(20, 40, 200, 20),
                 &dialog, 1012);
  }
  QStringList opened() const {
    QFile file(dir_.filePath("shell.log"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
  }

  QTemporaryDir dir_;
  testenv::ScopedEnv log_;
};

TEST_F(LinkTest, OpensItsTargetOrElseItsTextOncePerClickOrEnter) {
  auto* link = control<CUxURLLinkButton>(1012);
  QTest::mouseClick(link, Qt::LeftButton, {}, {5, 5});
  EXPECT_EQ(opened(), QStringList{"https://kelvara.example/words"});

  // A held Enter repeats press and release; only the real release opens.
  link->SetURL(L"https://kelvara.example/about");
  link->setFocus();
  QTest::keyPress(link, Qt::Key_Return);
  for (int i = 0; i < 3; ++i) {
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, {}, true);
    QApplication::sendEvent(link, &up);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, {}, true);
    QApplication::sendEvent(link, &down);
  }
  EXPECT_EQ(opened().size(), 1);
  QTest::keyRelease(link, Qt::Key_Return);
  QTest::keyClick(link, Qt::Key_Space);  // Space does nothing
  EXPECT_EQ(opened(), (QStringList{"https://kelvara.example/words", "https://kelvara.example/about"}));

  link->setEnabled(false);
  QTest::mouseClick(link, Qt::LeftButton, {}, {5, 5});
  link->setEnabled(true);
  link->SetURL(nullptr);
  QTest::keyClick(link, Qt::Key_Enter);
  EXPECT_EQ(opened().size(), 3);
  EXPECT_EQ(opened().back(), "https://kelvara.example/words");
}

TEST_F(LinkTest, TurnsBlueUnderThePointerAndFitsItsText) {
  auto* link = control<CUxURLLinkButton>(1012);
  const COLORREF blue = rgb(0, 0, 255);
  EXPECT_GT(countPixels(link, globalData().clrHighlight), 20);
  EXPECT_EQ(countPixels(link, blue), 0);
  QTest::mouseMove(link, {5, 5});
  EXPECT_GT(countPixels(link, blue), 20);
  EXPECT_EQ(countPixels(link, globalData().clrHighlight), 0);
  QTest::mouseMove(link, {5, 80});
  EXPECT_EQ(countPixels(link, blue), 0);
  // Over the dialog's own background, without a border.
  EXPECT_EQ(pixel(link, 0, 0), pixel(&dialog, 0, 0));

  const QPoint centre = link->geometry().center();
  const Size size = link->SizeToContent(true, true);
  EXPECT_EQ(link->size(), QSize(size.cx, size.cy));
  EXPECT_LT(size.cx, 200);
  EXPECT_LE(std::abs(link->geometry().center().x() - centre.x()), 1);
  EXPECT_LE(std::abs(link->geometry().center().y() - centre.y()), 1);
  link->SizeToContent();
  EXPECT_EQ(link->geometry().topLeft(), QPoint(centre.x() - size.cx / 2, centre.y() - size.cy / 2));
}
