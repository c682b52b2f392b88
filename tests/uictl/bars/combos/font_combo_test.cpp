// Font lists: which faces the font button keeps and in what order, the list shared by the live
// buttons, the font box's own list, its selection by name and its drawing, over a source of our
// own and over the installed fonts.
#include "platform/settings/archive.h"
#include "platform/drawing/font_source.h"
#include "platform/drawing/readable_colour.h"
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/combos/font_combo_box.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/combos/toolbar_font_combo.h"

#include "bars_test_support.h"
#include "text_contrast.h"
#include "toolbar_test_support.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <gtest/gtest.h>

using namespace platform;

namespace {

class ListedFonts : public FontSource {
 public:
  void enumerate(int charSet, const std::function<void(const FontFace&)>& report) const override {
    for (const FontFace& face : faces)
      if (charSet == 1 || face.charSet == charSet) report(face);
  }
  bool doubleByteEnabled() const override { return doubleByte; }
  std::vector<FontFace> faces{
      {L"beta", L"Latin", 0, VariablePitch, TrueTypeFontType},
      {L"Gothic", L"Japanese", 128, FixedPitch, TrueTypeFontType},
      {L"Gothic", L"Latin", 0, FixedPitch, TrueTypeFontType},
      {L"@Gothic", L"Japanese", 128, FixedPitch, TrueTypeFontType},
      {L"MacOnly", L"Latin", kMacCharset, VariablePitch, TrueTypeFontType},
      {L"Alpha", L"Latin", 0, VariablePitch, RasterFontType},
      {L"Zeta", L"", 0, VariablePitch, DeviceFontType},
  };
  bool doubleByte = true;
};

std::vector<std::wstring> itemsOf(const CUxToolbarComboBoxButton& button) { return button.m_itemTexts; }

std::vector<std::wstring> itemsOf(const QComboBox& box) {
  std::vector<std::wstring> texts;
  for (int i = 0; i < box.count(); ++i) texts.push_back(box.itemText(i).toStdWString());
  return texts;
}

}  // namespace

class FontComboTest : public ::testing::Test {
 protected:
  UxLibrary library;
  ListedFonts fonts;
};

TEST_F(FontComboTest, FacesKeptOnceSortedAndSharedWhileAButtonLives) {
  const FontSourceOverride source(fonts);
  {
    CUxToolbarFontCombo all(500, -1);
    // Code-unit order: upper case before lower case; the first report of a face stays.
    EXPECT_EQ(itemsOf(all), (std::vector<std::wstring>{L"Alpha", L"Gothic", L"Zeta", L"beta"}));
    const auto* gothic = reinterpret_cast<const FontDescription*>(all.GetItemData(1));
    EXPECT_EQ(gothic->strScript, L"Japanese");
    EXPECT_EQ(gothic->nCharSet, 128);
    EXPECT_EQ(gothic->GetFullName(), L"Gothic (Japanese)");
    EXPECT_EQ(CUxToolbarFontCombo::liveCount(), 1);

    // A second button shares the list and filters its items by type.
    CUxToolbarFontCombo trueType(501, -1, TrueTypeFontType);
    EXPECT_EQ(itemsOf(trueType), (std::vector<std::wstring>{L"Gothic", L"beta"}));
    EXPECT_EQ(CUxToolbarFontCombo::fontList().size(), 4u);
  }
  EXPECT_EQ(CUxToolbarFontCombo::liveCount(), 0);
  EXPECT_TRUE(CUxToolbarFontCombo::fontList().empty());

  // The pitch filter, and vertical faces where double-byte text is not the system's.
  fonts.doubleByte = false;
  CUxToolbarFontCombo fixed(502, -1, CUxToolbarFontCombo::kAllFontTypes, 1, CUxToolbarComboBoxButton::kDropDown, 0,
                            FixedPitch);
  EXPECT_EQ(itemsOf(fixed), (std::vector<std::wstring>{L"@Gothic", L"Gothic"}));
}

TEST_F(FontComboTest, ArchivedButtonRebuildsItsItems) {
  const FontSourceOverride source(fonts);
  std::vector<uint8_t> bytes, badBytes;
  {
    CUxToolbarFontCombo button(500, -1, CUxToolbarFontCombo::kAllFontTypes, 0);
    button.SelectItem(2);
    Archive out(Archive::Store, bytes);
    out.writeObject(&button);
    button.m_nSelected = 9;
    Archive badOut(Archive::Store, badBytes);
    badOut.writeObject(&button);
  }
  const auto load = [](const std::vector<uint8_t>& data) {
    Archive in(Archive::Load, data);
    std::unique_ptr<CObject> object = in.readObject(KELVARA_RUNTIME_CLASS(CUxToolbarButton));
    return std::unique_ptr<CUxToolbarFontCombo>(dynamic_cast<CUxToolbarFontCombo*>(object.release()));
  };
  auto back = load(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->m_nCharSetFilter, 0);
  EXPECT_EQ(itemsOf(*back), (std::vector<std::wstring>{L"Alpha", L"Gothic", L"Zeta", L"beta"}));
  EXPECT_STREQ(back->GetItem(), L"Zeta");

  // A stored selection beyond the rebuilt list selects nothing on a bar.
  auto bad = load(badBytes);
  QWidget frame;
  auto* bar = new CUxToolBar(&frame);
  bar->Create(&frame, 0x50000000u | CbrsAlignTop, 1);
  CUxToolbarFontCombo* placed = bad.get();
  bar->InsertButton(std::move(bad));
  ASSERT_TRUE(placed->GetComboBox());
  EXPECT_EQ(placed->GetComboBox()->currentIndex(), -1);
  EXPECT_EQ(placed->GetItem(), nullptr);
  EXPECT_TRUE(static_cast<FontComboBox*>(placed->GetComboBox())->IsToolBarMode());
}

TEST_F(FontComboTest, FontBoxListsEachFaceOnceAndSelectsByName) {
  fonts.faces.push_back({L"gothic", L"Latin", 0, FixedPitch, TrueTypeFontType});
  const FontSourceOverride source(fonts);
  FontComboBox box;
  EXPECT_EQ(box.count(), 4);  // a box off toolbars fills itself
  box.ClearItems();
  EXPECT_FALSE(box.SelectFont(L"Gothic"));
  EXPECT_TRUE(box.Setup());
  EXPECT_TRUE(box.Setup());
  // One face in either letter case; the locale's collation orders the rest.
  EXPECT_EQ(box.count(), 4);
  EXPECT_EQ(CUxToolbarFontCombo::liveCount(), 0);
  EXPECT_EQ(box.currentIndex(), -1);
  EXPECT_TRUE(box.SelectFont(L"ZETA"));
  EXPECT_EQ(box.currentText(), QStringLiteral("Zeta"));
  EXPECT_FALSE(box.SelectFont(L"Gothic", 0));  // listed with its first report, Japanese
  EXPECT_EQ(box.currentText(), QStringLiteral("Zeta"));
  EXPECT_TRUE(box.SelectFont(L"gothic", 128));
  EXPECT_FALSE(box.SelectFont(L"Missing"));

  // A family listed under its name in one language is found by its name in another, and shown so.
  fonts.faces.push_back({L"明朝", L"Japanese", 128, FixedPitch, TrueTypeFontType, {L"明朝", L"Mincho"}});
  box.Setup();
  EXPECT_TRUE(box.SelectFont(L"MINCHO"));
  EXPECT_EQ(box.currentText(), QStringLiteral("Mincho"));
  EXPECT_TRUE(box.SelectFont(L"明朝"));
  EXPECT_EQ(box.currentText(), QString::fromWCharArray(L"明朝"));

  // A row is never lower than the face's 16-pixel icon, whatever height the rows are given.
  for (const int asked : {10, 20}) {
    FontComboBox::itemHeight = asked;
    EXPECT_EQ(box.view()->sizeHintForRow(0), std::max(16, asked));
  }
  FontComboBox::itemHeight = 0;
}

TEST_F(FontComboTest, InstalledJapaneseFaceWithItsTrueTypeIcon) {
  FontComboBox box;
  ASSERT_TRUE(box.SelectFont(L"ipagothic", 1));
  EXPECT_EQ(box.currentText(), QStringLiteral("IPAGothic"));
  const FontDescription* font = box.description(box.currentIndex());
  ASSERT_TRUE(font);
  EXPECT_EQ(font->nType, TrueTypeFontType);
  box.Setup();
  const std::vector<std::wstring> faces = itemsOf(box);
  EXPECT_EQ(std::count(faces.begin(), faces.end(), L"IPAGothic"), 1);

  QImage image = canvas(200, 20, 0x123456);
  Dc dc(image);
  const int index = box.findText(QStringLiteral("IPAGothic"));
  box.DrawItem(&dc, index, {0, 0, 200, 20}, FontComboBox::OdsSelected);
  // The TrueType icon's dark front letter, the highlight around it, and the face in the text colour.
  EXPECT_GT(countPixels(image, QRect(0, 2, 16, 16), 0x000000), 10);
  EXPECT_EQ(fromPixel(image.pixel(0, 0)), getSysColor(ColorHighlight));
  EXPECT_GT(countPixels(image, QRect(22, 0, 170, 20), getSysColor(ColorHighlightText)), 10);
  image = canvas(200, 20, 0x123456);
  Dc plain(image);
  box.DrawItem(&plain, index, {0, 0, 200, 20}, 0);
  EXPECT_EQ(fromPixel(image.pixel(0, 0)), getSysColor(ColorWindow));
  EXPECT_GT(countPixels(image, QRect(0, 0, 22, 20), 0x000000), 10);
}

// The TrueType icon's black and gray ink on the list of a dark desktop, and on the list of each
// scheme the desktop switches to with the list open: dark, light and dark again.
TEST_F(FontComboTest, TheFontTypeIconStandsOutFromADarkList) {
  const apptest::ApplicationPaletteScope light(apptest::lightDesktopPalette());
  FontComboBox box;
  ASSERT_TRUE(box.SelectFont(L"ipagothic", 1));
  const auto expectIconStandsOut = [&box](const char* scheme) {
    QImage image = canvas(200, 20, 0x123456);
    Dc dc(image);
    box.DrawItem(&dc, box.currentIndex(), {0, 0, 200, 20}, 0);
    const COLORREF window = getSysColor(ColorWindow);
    int ink = 0, faded = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) {
        const COLORREF c = fromPixel(image.pixel(x, y));
        if (c == window) continue;
        ++ink;
        faded += contrastRatio(c, window) < kReadableContrast;
      }
    EXPECT_GT(ink, 10) << scheme;
    EXPECT_EQ(faded, 0) << scheme;
  };
  expectIconStandsOut("light");
  apptest::forEachSchemeInTurn({{"dark", apptest::darkDesktopPalette()},
                                {"light again", apptest::lightDesktopPalette()},
                                {"dark again", apptest::darkDesktopPalette()}},
                               [&](const char* scheme, const QPalette&) { expectIconStandsOut(scheme); });
}
