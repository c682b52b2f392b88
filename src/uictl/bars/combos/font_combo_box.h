// A combo box of the installed fonts, each face once with an icon for TrueType and device fonts,
// in the locale's collation order. On a dialog it fills itself (a .ui file may promote a plain
// combo box to it); on a toolbar the font button owns the items and the box only draws them and
// handles the keys of a toolbar control.
#pragma once

#include "platform/drawing/gdi_dc.h"

#include <QComboBox>
#include <QImage>
#include <array>
#include <memory>
#include <string>
#include <vector>

class FontDescription;

class FontComboBox : public QComboBox {
 public:
  explicit FontComboBox(QWidget* parent = nullptr);
  ~FontComboBox() override;

  // Fills the box with the fonts of these types, character set (1 = any) and pitch (0 = any);
  // false on a toolbar, where the button owns the items.
  bool Setup(int fontTypes = 7, int charSet = 1, int pitchAndFamily = 0);
  // Selects the first face of this name, without regard to case, in the character set (1 = any);
  // a face listed under another of its family's names is then listed under this one.
  bool SelectFont(const std::wstring& faceName, int charSet = 1);
  void ClearItems();
  void ShowDropDown(bool show = true);
  bool GetDroppedState() const;
  bool IsToolBarMode() const { return bToolBarMode; }
  // Whether the box draws its items itself (off for a list of plain values).
  void SetOwnerDraw(bool on);

  // Item states of a drawing request.
  enum ItemState : unsigned { OdsSelected = 0x1, OdsFocus = 0x10 };
  // Draws one item into `rect` of the context.
  void DrawItem(platform::Dc* dc, int index, const platform::Rect& rect, unsigned state);
  int MeasureItem() const;
  // The locale's collation of two items' texts.
  static int CompareItem(const std::wstring& a, const std::wstring& b);
  // The item's description; null when it has none.
  const FontDescription* description(int index) const;

  // Item height of every font box; 0 takes the height of the box's font.
  static int itemHeight;
  static constexpr unsigned kFontTypesBitmap = 17000;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool event(QEvent* event) override;

 private:
  const QImage& fontTypeIcons();
  std::vector<std::unique_ptr<FontDescription>> m_descriptions;
  QImage imageListFontTypes;
  // The strip's two icons: a device font's and a TrueType font's.
  std::array<QImage, 2> fontTypeIcon_;
  bool m_bIconsLoaded = false;
  bool m_bOwnerDraw = true;
  bool bToolBarMode = false;
};
