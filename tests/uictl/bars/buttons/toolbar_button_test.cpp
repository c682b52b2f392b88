// The toolbar button: its archive form, drag data, sizes and drawing.
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/buttons/toolbar_button.h"
#include "uictl/bars/drawing/toolbar_images.h"
#include "uictl/bars/drawing/visual_manager.h"

#include <QMimeData>
#include "bars_test_support.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

class NotAButton : public CObject {
  KELVARA_DECLARE_RUNTIME_CLASS(NotAButton)
};
KELVARA_IMPLEMENT_RUNTIME_CLASS(NotAButton, CObject, 1, createInstance<NotAButton>)

class Unstorable : public CUxToolbarButton {
 public:
  bool CanBeStored() const override { return false; }
};
}  // namespace

class ButtonTest : public ::testing::Test {
 protected:
  UxLibrary library;
};

TEST_F(ButtonTest, TwoPlainButtonsMatchTheArchiveBytes) {
  CUxToolbarButton first, second;
  std::vector<uint8_t> bytes;
  {
    Archive out(Archive::Store, bytes);
    out.writeCount(2);
    out.writeObject(&first);
    out.writeObject(&second);
  }
  std::vector<uint8_t> expected{0x02, 0x00, 0xFF, 0xFF, 0x01, 0x00, 0x10, 0x00};
  for (char c : std::string("CUxToolbarButton")) expected.push_back(static_cast<uint8_t>(c));
  const std::vector<uint8_t> fields{
      0, 0, 0, 0,              // command
      0, 0, 0, 0,              // style
      0xFF, 0xFF, 0xFF, 0xFF,  // image -1
      0xFF, 0xFE, 0xFF, 0x00,  // empty Unicode text
      0, 0, 0, 0,              // user image
      0, 0, 0, 0,              // stored flags
      0, 0, 0, 0,              // show text
      1, 0, 0, 0};             // show image
  expected.insert(expected.end(), fields.begin(), fields.end());
  expected.push_back(0x01);
  expected.push_back(0x80);
  expected.insert(expected.end(), fields.begin(), fields.end());
  EXPECT_EQ(bytes, expected);

  Archive in(Archive::Load, bytes);
  ASSERT_EQ(in.readCount(), 2u);
  for (int i = 0; i < 2; ++i) {
    auto object = in.readObject(KELVARA_RUNTIME_CLASS(CUxToolbarButton));
    ASSERT_TRUE(object);
    EXPECT_TRUE(object->IsKindOf(KELVARA_RUNTIME_CLASS(CUxToolbarButton)));
  }
}

TEST_F(ButtonTest, StoredUserImageLandsInTheUserIndexAndDragDataIsGuarded) {
  CUxToolbarButton source(500, 4, L"&Save", true);
  source.m_bShowText = true;
  QMimeData data;
  ASSERT_TRUE(source.PrepareDrag(data));
  auto copy = CUxToolbarButton::CreateFromOleData(&data);
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->m_nCommandId, 500u);
  EXPECT_TRUE(copy->m_bUserImage);
  EXPECT_EQ(copy->m_iUserImage, 4);
  EXPECT_EQ(copy->m_iImage, -1);
  EXPECT_EQ(copy->m_strText, L"&Save");

  Unstorable chevron;
  QMimeData empty;
  EXPECT_TRUE(chevron.PrepareDrag(empty));
  EXPECT_FALSE(empty.hasFormat(CUxToolbarButton::GetClipboardFormat()));
  EXPECT_EQ(CUxToolbarButton::CreateFromOleData(&empty), nullptr);

  // Data of another class, truncated data and another instance's format are all refused.
  registerRuntimeClass(NotAButton::classNotAButton);
  NotAButton stranger;
  std::vector<uint8_t> bytes;
  {
    Archive out(Archive::Store, bytes);
    out.writeObject(&stranger);
  }
  QMimeData foreign;
  foreign.setData(CUxToolbarButton::GetClipboardFormat(), QByteArray(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  EXPECT_EQ(CUxToolbarButton::CreateFromOleData(&foreign), nullptr);
  unregisterRuntimeClass(NotAButton::classNotAButton);
  QMimeData cut;
  cut.setData(CUxToolbarButton::GetClipboardFormat(), data.data(CUxToolbarButton::GetClipboardFormat()).left(30));
  EXPECT_EQ(CUxToolbarButton::CreateFromOleData(&cut), nullptr);
  QMimeData otherInstance;
  otherInstance.setData("application/x-kelvara-UxToolbarButton1", data.data(CUxToolbarButton::GetClipboardFormat()));
  EXPECT_EQ(CUxToolbarButton::CreateFromOleData(&otherInstance), nullptr);
}

TEST_F(ButtonTest, ImagesComeFromTheCommandManagerOrFallBackToText) {
  GetCommandManager().SetCmdImage(600, 2, true);
  CUxToolbarButton user(600, -1);
  EXPECT_TRUE(user.m_bUserImage);
  EXPECT_EQ(user.GetImage(), 2);
  CUxToolbarButton none(601, -1, L"Only");
  EXPECT_FALSE(none.m_bShowImage);
  EXPECT_TRUE(none.m_bShowText);
  CUxToolbarButton registered(602, 5);
  EXPECT_EQ(GetCommandManager().GetCmdImage(602, false), 5);
  CUxToolbarButton locked(603, 6, nullptr, false, true);
  EXPECT_EQ(GetCommandManager().GetCmdImage(603, false), -1);

  CUxToolbarButton copy;
  copy.CopyFrom(registered);
  EXPECT_EQ(copy.m_nCommandId, 602u);
  EXPECT_EQ(copy.GetImage(), 5);
}

TEST_F(ButtonTest, SizesForSeparatorsTextAndLabels) {
  QImage scratch(1, 1, QImage::Format_RGB32);
  Dc dc(scratch);
  dc.selectFont(globalData().fontRegular);
  CUxToolbarButton separator;
  separator.m_nStyle = kStyleSeparator;
  separator.SetImage(0);
  EXPECT_EQ(separator.OnCalculateSize(&dc, {23, 22}, true), (Size{8, 22}));
  EXPECT_EQ(separator.OnCalculateSize(&dc, {23, 22}, false), (Size{23, 8}));
  separator.SetImage(12);
  EXPECT_EQ(separator.OnCalculateSize(&dc, {23, 22}, true), (Size{12, 22}));

  CUxToolbarButton text(700, -1, L"A&&B &Cut");
  const int width = dc.getTextExtent(L"A&B Cut").cx;
  EXPECT_EQ(text.OnCalculateSize(&dc, {23, 22}, true), (Size{width + 9, 22}));
  EXPECT_EQ(text.OnCalculateSize(&dc, {23, 22}, false), (Size{23, width + 9}));

  CUxToolbarButton label(701, 0, L"Label");
  label.m_bTextBelow = true;
  Rect measured{0, 0, 69, 22};
  dc.drawText(L"Label", measured, DtCalcRect | DtCenter | DtWordBreak);
  const Size size = label.OnCalculateSize(&dc, {23, 22}, true);
  EXPECT_EQ(size.cx, std::max(23, measured.width() + 6) + 12);
  EXPECT_EQ(size.cy, 22 + measured.height() + 2);
  EXPECT_EQ(label.m_sizeText, (Size{measured.width() + 6, measured.height()}));
}

TEST_F(ButtonTest, DrawingShowsStatesAndPlacesImageAndText) {
  ToolbarImages images;
  images.SetImageSize({4, 4});
  QImage cell(4, 4, QImage::Format_RGB32);
  cell.fill(qRgb(255, 0, 0));
  ASSERT_EQ(images.AddImage(cell), 0);
  const GlobalDrawData& g = globalData();
  ImageDrawState state;
  ASSERT_TRUE(images.PrepareDrawImage(state));

  // Image only, centred; a checked button is shifted by one and its face gets the light colour.
  CUxToolbarButton button(800, 0);
  QImage image = canvas(20, 20, g.clrBtnFace);
  Dc dc(image);
  button.OnDraw(&dc, {0, 0, 20, 20}, &images, true, false, false);
  EXPECT_EQ(dc.getPixel(8, 8), rgb(255, 0, 0));
  EXPECT_EQ(dc.getPixel(12, 12), g.clrBtnFace);
  EXPECT_EQ(dc.getPixel(0, 0), g.clrBtnFace);  // no border when idle
  button.m_nStyle = kStyleChecked;
  image.fill(toPixel(g.clrBtnFace));
  button.OnDraw(&dc, {0, 0, 20, 20}, &images, true, false, false);
  EXPECT_EQ(dc.getPixel(12, 12), rgb(255, 0, 0));
  EXPECT_EQ(dc.getPixel(0, 5), g.clrBarShadow);  // sunken border
  EXPECT_EQ(dc.getPixel(2, 2), g.brLight.colour());

  // Hot: a raised border; disabled: greyed image.
  button.m_nStyle = 0;
  image.fill(toPixel(g.clrBtnFace));
  button.OnDraw(&dc, {0, 0, 20, 20}, &images, true, false, true);
  EXPECT_EQ(dc.getPixel(0, 5), g.clrBarHighlight);
  EXPECT_EQ(dc.getPixel(19, 5), g.clrBarShadow);
  button.m_nStyle = kStyleDisabled;
  image.fill(toPixel(g.clrBtnFace));
  button.OnDraw(&dc, {0, 0, 20, 20}, &images, true, false, false);
  const COLORREF grey = dc.getPixel(8, 8);
  EXPECT_EQ(redOf(grey), blueOf(grey));

  // Image with text beside it, at the measured size: the text follows the image.
  CUxToolbarButton both(801, 0, L"Go");
  both.m_bShowText = true;
  QImage wide = canvas(80, 22, g.clrBtnFace);
  Dc wdc(wide);
  wdc.selectFont(g.fontRegular);
  const Size natural = both.OnCalculateSize(&wdc, {12, 22}, true);
  both.OnDraw(&wdc, {0, 0, natural.cx, 22}, &images, true, false, false);
  int imageRight = 0, firstTextX = 80;
  for (int y = 0; y < 22; ++y)
    for (int x = 0; x < 80; ++x) {
      if (wdc.getPixel(x, y) == rgb(255, 0, 0)) imageRight = std::max(imageRight, x);
      if (wdc.getPixel(x, y) == g.clrBarText) firstTextX = std::min(firstTextX, x);
    }
  EXPECT_GT(imageRight, 0);
  EXPECT_LT(firstTextX, natural.cx);
  EXPECT_GT(firstTextX, imageRight);

  // Text-only buttons in the hot-text colour when one is configured.
  toolbarClassData().clrTextColor = rgb(0, 128, 0);
  CUxToolbarButton textOnly(802, -1, L"Hot");
  QImage hot = canvas(60, 22, g.clrBtnFace);
  Dc hdc(hot);
  textOnly.OnDraw(&hdc, {0, 0, 60, 22}, &images, true, false, true);
  bool green = false;
  for (int y = 0; y < 22 && !green; ++y)
    for (int x = 0; x < 60 && !green; ++x) green = hdc.getPixel(x, y) == rgb(0, 128, 0);
  EXPECT_TRUE(green);
  toolbarClassData().clrTextColor = kNoColor;

  // Vertical text keeps a literal ampersand and marks the accelerator with a line at x + 3.
  CUxToolbarButton vertical(803, -1, L"&A&&B");
  QImage tall = canvas(22, 80, g.clrBtnFace);
  Dc vdc(tall);
  vdc.selectFont(g.fontVert);
  vertical.OnDraw(&vdc, {0, 0, 22, 80}, &images, false, false, false);
  int marks = 0;
  for (int y = 0; y < 80; ++y) marks += vdc.getPixel(3, y) == g.clrBarText;
  EXPECT_EQ(marks, vdc.getTextExtent(L"A").cx);
  images.EndDrawImage(state);
}
