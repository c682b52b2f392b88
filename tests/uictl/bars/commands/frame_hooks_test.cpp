// What the library asks of frames and managers it does not own: accelerator tables, the top
// frame's tooltip hook, the user-tools manager, the workspace object and the menu sound thread.
#include "uictl/bars/commands/accelerators.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/buttons/toolbar_button.h"
#include "uictl/bars/drawing/toolbar_images.h"

#include "uictl/bars/menus/popup_menu.h"

#include "../../platform/scoped_env.h"
#include "bars_test_support.h"
#include "recording_sink.h"
#include "sound_fixtures.h"
#include "patience.h"

#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <filesystem>
#include <mutex>

using namespace platform;

namespace {

class FrameWithTables : public AcceleratorSource {
 public:
  AccelTable GetDefaultAccelerator(bool document) const override { return document ? documentTable : frameTable; }
  AccelTable frameTable;
  AccelTable documentTable;
};

class HookedFrame : public QWidget, public ButtonToolTipHook {
 public:
  bool OnButtonToolHitTest(const CUxToolbarButton* button, ToolInfo* info) override {
    info->id = button->m_nCommandId;
    info->text = L"tip";
    return true;
  }
};

class CountedObject : public CObject {
 public:
  explicit CountedObject(int& deaths) : deaths_(deaths) {}
  ~CountedObject() override { ++deaths_; }

 private:
  int& deaths_;
};

}  // namespace

TEST(Accelerators, KeysAndTextsComeFromTheChosenTable) {
  FrameWithTables frame;
  frame.frameTable = std::make_shared<std::vector<Accel>>(std::vector<Accel>{
      {FVirtKey | FControl, 'S', 100}, {FVirtKey | FControl | FShift, 0x74, 101}, {FVirtKey, 0x2E, 101}, {0, 'q', 102}});
  frame.documentTable = std::make_shared<std::vector<Accel>>(std::vector<Accel>{{FVirtKey | FAlt, 0x0D, 200}});

  EXPECT_TRUE(IsKeyInFrameAccelTable('S', FVirtKey | FControl, &frame, false));
  EXPECT_FALSE(IsKeyInFrameAccelTable('S', FVirtKey, &frame, false));  // flags must match too
  EXPECT_FALSE(IsKeyInFrameAccelTable('S', FVirtKey | FControl, &frame, true));
  EXPECT_TRUE(IsKeyInFrameAccelTable(0x0D, FVirtKey | FAlt, &frame, true));

  std::wstring text = L"stale";
  EXPECT_TRUE(FindAcceleratorText(101, text, &frame, false));
  EXPECT_EQ(text, L"Ctrl+Shift+F5");  // the first entry of the command wins
  EXPECT_TRUE(FindAcceleratorText(102, text, &frame, false));
  EXPECT_EQ(text, L"q");
  EXPECT_FALSE(FindAcceleratorText(555, text, &frame, false));
  EXPECT_TRUE(text.empty());
  EXPECT_TRUE(FindAcceleratorText(200, text, &frame, true));
  EXPECT_EQ(text, L"Alt+Enter");

  // A frame that swaps its table is read afresh; no frame or no table finds nothing.
  frame.frameTable = std::make_shared<std::vector<Accel>>(std::vector<Accel>{{FVirtKey, 0x70, 100}});
  EXPECT_TRUE(FindAcceleratorText(100, text, &frame, false));
  EXPECT_EQ(text, L"F1");
  frame.frameTable.reset();
  EXPECT_FALSE(IsKeyInFrameAccelTable(0x70, FVirtKey, &frame, false));
  EXPECT_FALSE(FindAcceleratorText(100, text, nullptr, false));
  EXPECT_EQ(acceleratorKeyText({0, 0x1B, 1}), L"");  // Escape as a plain character has no text
}

class FrameHooksTest : public ::testing::Test {
 protected:
  UxLibrary library;
};

TEST_F(FrameHooksTest, TooltipsGoThroughTheTopFrameOrItsOverride) {
  HookedFrame frame;
  QWidget bar(&frame);
  QWidget plain;
  QWidget plainBar(&plain);
  CUxToolbarButton button(42, -1, L"x");
  ToolInfo info;
  EXPECT_EQ(GetTopFrame(&bar), &frame);
  EXPECT_TRUE(button.OnToolHitTest(&bar, &info));
  EXPECT_EQ(info.id, 42u);
  EXPECT_EQ(info.text, L"tip");
  EXPECT_FALSE(button.OnToolHitTest(&plainBar, &info));  // not one of the library's frames

  setTopFrameOverride(&frame);
  EXPECT_EQ(GetTopFrame(&plainBar), &frame);
  EXPECT_TRUE(button.OnToolHitTest(&plainBar, &info));
  setTopFrameOverride(nullptr);
  EXPECT_EQ(GetTopFrame(&plainBar), &plain);
}

TEST_F(FrameHooksTest, UserToolsShowTheirIconAndKeepTheirImage) {
  FakeUserTools tools;
  EXPECT_FALSE(IsStandardCommand(900));
  setUserToolsLookup(&tools);
  EXPECT_TRUE(IsStandardCommand(900));

  ToolbarImages images;
  images.SetImageSize({4, 4});
  QImage cell(4, 4, QImage::Format_RGB32);
  cell.fill(qRgb(255, 0, 0));
  images.AddImage(cell);
  ImageDrawState state;
  ASSERT_TRUE(images.PrepareDrawImage(state));
  CUxToolbarButton tool(911, 0), plain(912, 0);
  QImage image = canvas(20, 20, globalData().clrBtnFace);
  Dc dc(image);
  tool.OnDraw(&dc, {0, 0, 20, 20}, &images);
  EXPECT_EQ(dc.getPixel(8, 8), rgb(0, 0, 255));
  plain.OnDraw(&dc, {0, 0, 20, 20}, &images);
  EXPECT_EQ(dc.getPixel(8, 8), rgb(255, 0, 0));
  images.EndDrawImage(state);

  // Resetting a tool's button leaves it alone; another command falls back to text.
  tool.ResetImageToDefault();
  EXPECT_TRUE(tool.m_bShowImage);
  plain.ResetImageToDefault();
  EXPECT_FALSE(plain.m_bShowImage);
  setUserToolsLookup(nullptr);
}

TEST(LibraryWorkspace, AnOwnedWorkspaceGoesWithTheLibrary) {
  int deaths = 0;
  {
    UxLibrary library;
    setWorkspace(new CountedObject(deaths), true);
    sizingBarArray().push_back(nullptr);
    // Replacing an owned workspace releases the old one.
    setWorkspace(new CountedObject(deaths), true);
    EXPECT_EQ(deaths, 1);
  }
  EXPECT_EQ(deaths, 2);
  EXPECT_EQ(workspace(), nullptr);
  EXPECT_TRUE(sizingBarArray().empty());

  CountedObject borrowed(deaths);
  {
    UxLibrary library;
    setWorkspace(&borrowed, false);
  }
  EXPECT_EQ(deaths, 2);
}

TEST(MenuSounds, TheThreadPlaysWhatIsAskedUntilItIsEndedEvenWithSoundsOff) {
  const UxLibrary library;  // a fresh start, whatever an earlier shut-down in this process ended
  std::mutex lock;
  std::vector<std::string> heard;
  MenuSoundThread::SetPlayer([&](const char* alias) {
    std::lock_guard hold(lock);
    heard.emplace_back(alias);
  });
  const auto heardCount = [&] {
    std::lock_guard hold(lock);
    return heard.size();
  };
  MenuSoundThread::Play(1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return heardCount() == 1; }, testwait::kPatienceMs));
  MenuSoundThread::Play(2);
  ASSERT_TRUE(QTest::qWaitFor([&] { return heardCount() == 2; }, testwait::kPatienceMs));

  MenuSoundThread::Enable(false);
  MenuSoundThread::Play(1);
  MenuSoundThread::Play(-1);
  MenuSoundThread::Enable(true);
  MenuSoundThread::Play(1);
  QTest::qWait(100);
  MenuSoundThread::SetPlayer(nullptr);
  std::lock_guard hold(lock);
  EXPECT_EQ(heard, (std::vector<std::string>{"MenuCommand", "MenuPopup"}));
}

TEST(MenuSounds, TheDesktopThemesMenuSoundsPlayForACommandAndAPopup) {
  QTemporaryDir data;
  const testenv::ScopedEnv dataHome("XDG_DATA_HOME", data.path().toUtf8().constData());
  const testenv::ScopedEnv dataDirs("XDG_DATA_DIRS", data.path().toUtf8().constData());
  const std::string theme = testsound::writeSoundTheme(data.path().toStdString(), "freedesktop");
  ASSERT_TRUE(testsound::writeSound(theme + "/menu-click.wav", testsound::kWav, 8000, 1, testsound::tone(8000, 1, 0.01)));
  ASSERT_TRUE(testsound::writeSound(theme + "/menu-popup.wav", testsound::kWav, 8000, 1, testsound::tone(8000, 1, 0.03)));

  const UxLibrary library;
  auto record = std::make_shared<SinkRecord>();
  MenuSoundThread::UseDesktopSounds(RecordingSink::factory(record, false));
  MenuSoundThread::Play(1);
  EXPECT_TRUE(record->waitFor([](SinkRecord& r) { return r.drains == 1; }));
  EXPECT_EQ(record->samples.size(), 80u);
  // A popup menu opening sounds its own.
  QWidget owner;
  auto* popup = new CUxPopupMenu;
  const MenuHandle menu = createPopupMenu();
  appendMenu(menu, MfString, 100, L"Item");
  ASSERT_TRUE(popup->Create(&owner, 0, 0, menu, false, true));
  EXPECT_TRUE(record->waitFor([](SinkRecord& r) { return r.drains == 2; }));
  EXPECT_EQ(record->samples.size(), 80u + 240u);
  popup->close();

  // Without the sound in the theme: silence.
  std::filesystem::remove(theme + "/menu-click.wav");
  MenuSoundThread::UseDesktopSounds(RecordingSink::factory(record, false));
  MenuSoundThread::Play(1);
  MenuSoundThread::Play(2);
  EXPECT_TRUE(record->waitFor([](SinkRecord& r) { return r.drains == 3; }));
  EXPECT_EQ(record->opened.size(), 3u);
  MenuSoundThread::SetPlayer(nullptr);
}

namespace {
class LeaveCounter : public QWidget {
 public:
  int leaves = 0;

 protected:
  bool event(QEvent* e) override {
    if (e->type() == mouseLeaveEvent()) ++leaves;
    return QWidget::event(e);
  }
};
}  // namespace

TEST(MouseLeave, TrackingAgainWhileTrackedPostsOneLeave) {
  LeaveCounter widget;  // never shown: the cursor is never over it
  ASSERT_TRUE(TrackMouseLeave(&widget));
  ASSERT_TRUE(TrackMouseLeave(&widget));
  ASSERT_TRUE(QTest::qWaitFor([&] { return widget.leaves > 0; }, testwait::kPatienceMs));
  QCoreApplication::sendPostedEvents();  // a second leave, had one been posted
  EXPECT_EQ(widget.leaves, 1);
  // Once the leave is posted, tracking starts anew.
  ASSERT_TRUE(TrackMouseLeave(&widget));
  EXPECT_TRUE(QTest::qWaitFor([&] { return widget.leaves == 2; }, testwait::kPatienceMs));
}
