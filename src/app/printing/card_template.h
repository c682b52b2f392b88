// A card template: a card of a size in millimetres with a front and a back side, each a list of
// items placed at millimetre positions with their own fonts.
#pragma once

#include <string>
#include <vector>

#include "app/printing/template_font.h"

struct CardItem {
  int mode = 0;  // what the item shows (see region_text.h)
  std::wstring text;  // the item's own text, for mode 2
  TemplateFont font = emptyFont();
  double x = 0;
  double y = 0;
  double lineHeightScale = 1.0;
  int width = 100;

  // The font of a new item: nothing but its size set.
  static TemplateFont emptyFont();
  // The face and effects new and built-in items get.
  static TemplateFont defaultFont(int size = 110);
  friend bool operator==(const CardItem&, const CardItem&) = default;
};

// A side holds at most this many items in the file.
inline constexpr int kMaxCardItems = 100;

struct CardTemplate {
  // The 96-dpi character height of a card font of `size` tenths of a point.
  static int heightOfSize(int size);

  // The built-in items: the questions and hints on the front, the answers on the back.
  void SetDefaultItems();
  // Reads (each side becomes exactly the items found) or writes the whole template; a write is
  // whole or not at all. False, with errno telling why, when the write failed or the file exists
  // and cannot be read: the template is then left as it was.
  bool LoadOrSave(const std::wstring& path, bool save);

  std::vector<CardItem> front;
  std::vector<CardItem> back;
  std::wstring name = L"default";
  double cardWidth = 50.0;
  double cardHeight = 30.0;
  bool printBorder = false;

  friend bool operator==(const CardTemplate&, const CardTemplate&) = default;
};
