// Sizing bars docked in rows: the limits of an edge drag, the sharing of a row with a bar just
// shown, the state kept in the profile, and a dialog bar following its commands.
#include "sizing_test_support.h"

#include "platform/settings/registry_store.h"
#include "platform/windows/mouse_capture.h"
#include "uictl/bars/ux_registry.h"
#include "uictl/frames/docking/dialog_bar.h"
#include "uictl/frames/docking/halftone_overlay.h"
#include "uictl/frames/tabs/tab_wnd.h"

#include <QAbstractEventDispatcher>
#include <QPushButton>
#include <QScreen>

using platform::Size;

namespace {

QPoint edgePoint(CUxSizingControlBar* bar, int edge) {
  const QRect r = bar->rect();
  switch (edge) {
    case HitRight: return {r.right() - 2, r.center().y()};
    case HitBottom: return {r.center().x(), r.bottom() - 2};
    default: return r.center();
  }
}

HalftoneOverlay* shownTracker(QWidget* frame) {
  for (QWidget* child : frame->findChildren<QWidget*>())
    if (auto* overlay = dynamic_cast<HalftoneOverlay*>(child); overlay && overlay->isVisible()) return overlay;
  return nullptr;
}

}  // namespace

TEST_F(SizingTest, EdgeDragsStopAtTheNeighboursMinimumAndAtTheFreeClientArea) {
  CUxSizingControlBar* left = dock(DockBarTop, {300, 120});
  CUxSizingControlBar* right = dock(DockBarTop, {300, 120}, left);
  right->SetMinimumSize(80, 32);
  ASSERT_EQ(left->RowSizingBars().size(), 2u);
  ASSERT_EQ(left->NcHitTest(edgePoint(left, HitRight)), HitRight);

  // Between the bars: the neighbour gives up all but its minimum, however far the drag goes.
  const int together = left->m_sizeDockedH.cx + right->m_sizeDockedH.cx;
  drag(left, edgePoint(left, HitRight), edgePoint(left, HitRight) + QPoint(5000, 0), false);
  EXPECT_TRUE(shownTracker(&frame));
  EXPECT_EQ(right->m_sizeDockedH.cx, 80);
  EXPECT_EQ(left->m_sizeDockedH.cx, together - 80);
  send(left, QEvent::MouseButtonRelease, edgePoint(left, HitRight), Qt::NoButton);
  EXPECT_FALSE(shownTracker(&frame));
  EXPECT_FALSE(left->m_bEdgeDrag);
  // The row now belongs to the bar that took it.
  EXPECT_TRUE(left->m_bFillsRow);
  EXPECT_FALSE(right->m_bFillsRow);

  // Toward the client area: the row grows by no more than the free client area less 4 pixels.
  frame.RecalcLayout(true);
  QRect free;
  frame.RepositionBars(0, 0xFFFF, kFirstPaneId, Reposition::Query, &free);
  const int thickness = left->m_sizeDockedH.cy;
  drag(left, edgePoint(left, HitBottom), edgePoint(left, HitBottom) + QPoint(0, 5000));
  EXPECT_EQ(left->m_sizeDockedH.cy, thickness + free.height() - 4);
  EXPECT_EQ(right->m_sizeDockedH.cy, left->m_sizeDockedH.cy);
}

TEST_F(SizingTest, ARowThatCannotShrinkItsOtherBarsTakesLengthFromTheBarJustShownAndEnds) {
  CUxSizingControlBar* shown = dock(DockBarTop, {500, 100});
  CUxSizingControlBar* small = dock(DockBarTop, {33, 100}, shown);
  ASSERT_EQ(shown->RowSizingBars().size(), 2u);
  shown->m_sizeDockedH.cx = 500;
  small->m_sizeDockedH.cx = 33;
  shown->m_bJustShown = true;
  // 133 pixels too long, and only the just-shown bar can give them.
  EXPECT_TRUE(shown->ShareRowLength(400, true));
  EXPECT_EQ(small->m_sizeDockedH.cx, 33);
  EXPECT_EQ(shown->m_sizeDockedH.cx, 367);
  EXPECT_FALSE(shown->m_bJustShown);
  // A row whose minimums do not fit sends the asking bar into a row of its own.
  EXPECT_FALSE(shown->ShareRowLength(60, true));
  EXPECT_EQ(shown->RowSizingBars().size(), 1u);
  EXPECT_EQ(small->RowSizingBars().size(), 1u);
}

// A damaged profile can hold any number: the bar and its row end up no larger than the site.
TEST_F(SizingTest, AHugeSavedSizeIsCappedAndARowSharesAnyDifferenceInBoundedSteps) {
  CUxSizingControlBar* bar = dock(DockBarTop, {300, 120});
  const std::wstring key = UxGetAppRegPath() + L"\\Huge-SCBar-" + std::to_wstring(bar->GetDlgCtrlID());
  {
    CUxRegistry writer;
    ASSERT_TRUE(writer.CreateKey(key));
    for (const wchar_t* name : {L"sizeHorzCX", L"sizeHorzCY", L"sizeVertCX", L"sizeVertCY", L"sizeFloatCX", L"sizeFloatCY"})
      writer.Write(name, 1616969734);
  }
  bar->RestoreProfileState(L"Huge");
  const QSize screen = frame.screen()->availableVirtualSize().expandedTo(frame.size());
  for (const Size& size : {bar->m_sizeDockedH, bar->m_sizeDockedV, bar->m_sizeFloating}) {
    EXPECT_LE(size.cx, screen.width());
    EXPECT_LE(size.cy, screen.height());
  }
  frame.RecalcLayout(true);
  EXPECT_LE(bar->width(), frame.width());

  // However far off the lengths are, the row is shared out as one pixel a bar in turn would.
  CUxSizingControlBar* second = dock(DockBarTop, {200, 120}, bar);
  CUxSizingControlBar* third = dock(DockBarTop, {200, 120}, second);
  ASSERT_EQ(bar->RowSizingBars().size(), 3u);
  bar->m_sizeDockedH.cx = 1616969734;
  second->m_sizeDockedH.cx = 40;
  third->m_sizeDockedH.cx = 1616969734;
  EXPECT_TRUE(bar->ShareRowLength(500, true));
  // The middle bar stops at its minimum; the last odd pixel comes from the first bar.
  EXPECT_EQ(second->m_sizeDockedH.cx, 33);
  EXPECT_EQ(bar->m_sizeDockedH.cx, 233);
  EXPECT_EQ(third->m_sizeDockedH.cx, 234);
  // Growing: whole rounds, then the first bars of the row one more each.
  EXPECT_TRUE(bar->ShareRowLength(1000, true));
  EXPECT_EQ(bar->m_sizeDockedH.cx, 233 + 167);
  EXPECT_EQ(second->m_sizeDockedH.cx, 33 + 167);
  EXPECT_EQ(third->m_sizeDockedH.cx, 234 + 166);
}

TEST_F(SizingTest, UnderARightToLeftLayoutTheCaptionOfATopOrBottomBarTakesTheRightEnd) {
  CUxSizingControlBar* top = dock(DockBarTop, {300, 120});
  CUxSizingControlBar* bottom = dock(DockBarBottom, {300, 120});
  const int caption = top->m_nCaptionWidth;
  ASSERT_GT(caption, 0);
  const QRect leftToRight = top->ClientRect();
  EXPECT_EQ(top->CaptionRect().left(), top->m_nFrameMargin);

  frame.setLayoutDirection(Qt::RightToLeft);
  for (CUxSizingControlBar* bar : {top, bottom}) {
    const int margin = bar->m_nFrameMargin;
    const QRect client = bar->ClientRect(), strip = bar->CaptionRect();
    // The client area starts at the margin and stops short of the strip at the right end.
    EXPECT_EQ(client.left(), margin);
    EXPECT_EQ(client.right(), bar->width() - 1 - margin - caption);
    EXPECT_EQ(strip, QRect(bar->width() - margin - caption, margin, caption, bar->height() - 2 * margin));
    EXPECT_EQ(bar->NcHitTest({bar->width() - margin - 2, bar->height() - margin - 3}), HitCaption);
    EXPECT_EQ(bar->NcHitTest({margin + 1, client.center().y()}), HitClient);
    // The caption buttons move along with the strip.
    EXPECT_EQ(bar->m_capBtnHide.m_ptOrg.x, strip.left() + (caption - 14) / 2);
  }
  EXPECT_EQ(top->ClientRect().width(), leftToRight.width());

  frame.setLayoutDirection(Qt::LeftToRight);
  EXPECT_EQ(top->ClientRect(), leftToRight);
}

TEST_F(SizingTest, ProfileStateRoundTrip) {
  CUxSizingControlBar* bar = dock(DockBarTop, {300, 120});
  bar->m_nRollMode = 4;
  bar->StoreProfileState(L"Layout");
  const std::wstring key = UxGetAppRegPath() + L"\\Layout-SCBar-" + std::to_wstring(bar->GetDlgCtrlID());
  {
    CUxRegistry registry;
    ASSERT_TRUE(registry.Open(key));
    int mode = 0;
    EXPECT_TRUE(registry.Read(L"RolledFloatDynamicState", mode));
    EXPECT_EQ(mode, 4);
    EXPECT_FALSE(registry.VerifyValue(L"ActiveTab"));  // no tab window in the bar
    CUxRegistry writer;
    ASSERT_TRUE(writer.CreateKey(key));
    writer.Write(L"sizeHorzCX", 10);
    writer.Write(L"RolledFloat", 0);
  }
  bar->m_nRollMode = 0;
  bar->m_sizeDockedH = {500, 200};
  bar->RestoreProfileState(L"Layout");
  EXPECT_EQ(bar->m_sizeDockedH.cx, 33);   // raised to the minimum
  EXPECT_EQ(bar->m_sizeDockedH.cy, 120);
  EXPECT_EQ(bar->m_nRollMode, 4);
  EXPECT_TRUE(bar->m_bRolledUp);          // the auto-roll mode rolls up whatever the flag said

  // The active tab is kept for one tab window among the bar's windows and left alone with two.
  new QWidget(bar);
  auto* tabs = new CUxTabWnd;
  ASSERT_TRUE(tabs->Create(0, {0, 0, 200, 100}, bar, 1));
  for (int i = 0; i < 3; ++i) tabs->AppendTab(new QWidget(tabs), QStringLiteral("%1").arg(i).toStdWString());
  tabs->ActivateTab(2);
  bar->StoreProfileState(L"Tabs");
  tabs->ActivateTab(0);
  bar->RestoreProfileState(L"Tabs");
  EXPECT_EQ(tabs->GetActiveTab(), 2);
  auto* second = new CUxTabWnd;
  ASSERT_TRUE(second->Create(0, {0, 0, 200, 100}, bar, 2));
  bar->StoreProfileState(L"TwoTabs");
  CUxRegistry registry;
  ASSERT_TRUE(registry.Open(UxGetAppRegPath() + L"\\TwoTabs-SCBar-" + std::to_wstring(bar->GetDlgCtrlID())));
  EXPECT_FALSE(registry.VerifyValue(L"ActiveTab"));
}

// A window that answers for two of the dialog bar's three commands.
class CommandStates : public QWidget, public platform::CommandTarget {
 public:
  bool onCommand(unsigned, int) override { return false; }
  void onUpdateCommandUi(platform::CommandUi& state) override {
    if (state.id == 5001) state.enable(enableFirst);
    if (state.id == 5002) state.setCheck(1);
  }
  bool enableFirst = false;
};

TEST_F(SizingTest, ADialogBarFollowsItsCommandStatesWhenTheApplicationGoesIdle) {
  CommandStates states;
  auto* bar = new CUxDialogBar;
  ASSERT_TRUE(bar->Create(&frame, [](QWidget* form) {
    form->resize(180, 60);
    for (unsigned id : {5001u, 5002u, 5003u}) {
      auto* button = new QPushButton(QStringLiteral("%1").arg(id), form);
      button->setObjectName(QStringLiteral("id%1").arg(id));
      button->setCheckable(id == 5002);
      button->setGeometry(static_cast<int>(id - 5001) * 60, 0, 60, 24);
    }
  }, WsChild | WsVisible | CbrsAlignTop, 0xE830));
  bar->SetOwner(&states);
  bar->EnableDocking(CbrsAlignAny);
  frame.DockControlBar(bar, DockBarTop);
  frame.RecalcLayout(true);
  QWidget* form = bar->Form();
  const auto button = [form](unsigned id) { return form->findChild<QPushButton*>(QStringLiteral("id%1").arg(id)); };
  ASSERT_TRUE(button(5001) && button(5001)->isEnabled());

  emit QAbstractEventDispatcher::instance()->aboutToBlock();
  EXPECT_FALSE(button(5001)->isEnabled());
  EXPECT_TRUE(button(5002)->isEnabled());
  EXPECT_TRUE(button(5002)->isChecked());
  EXPECT_FALSE(button(5003)->isEnabled());  // nobody answers for it
  states.enableFirst = true;
  emit QAbstractEventDispatcher::instance()->aboutToBlock();
  EXPECT_TRUE(button(5001)->isEnabled());
}

// A host's row of two bars along the top: a drag whose mouse another window takes ends with its
// tracker gone; an expanded bar reaches past both ends of the side; when the bars no longer fit
// side by side the first goes to a row of its own below the other.
TEST_F(SizingTest, ARowEndsALostDragExpandsPastItsEndsAndSendsTheBarThatDoesNotFitBelow) {
  CUxSizingControlBar* first = dock(DockBarTop, {300, 120});
  CUxSizingControlBar* second = dock(DockBarTop, {300, 120}, first);
  drag(first, edgePoint(first, HitRight), edgePoint(first, HitRight) + QPoint(-40, 0), false);
  platform::setCapture(new QWidget(&frame));
  EXPECT_FALSE(first->m_bEdgeDrag);
  EXPECT_FALSE(shownTracker(&frame));
  platform::releaseCapture();

  second->SwitchRowFill(true);
  EXPECT_EQ(second->CalcFixedLayout(false, true).cx, frame.GetDockBar(DockBarTop)->width() + 2 - 33);
  second->SwitchRowFill(true);
  first->SetMinimumSize(600, 32);
  second->SetMinimumSize(600, 32);
  frame.RecalcLayout(true);
  EXPECT_EQ(first->y(), second->y() + second->height());
  EXPECT_EQ(second->pos(), QPoint(0, 0));
}
