// Text output of the device context: DrawText layout, prefixes, ellipsis and rotated fonts.
#include "platform/drawing/drawn_text_bookkeeping.h"
#include "platform/drawing/gdi_dc.h"
#include "platform/drawing/gdi_glyphs.h"

#include <QFontMetrics>
#include <QPainter>

namespace platform {

thread_local constinit drawntext::DrawnTextObserver* drawntext::observer = nullptr;

namespace {

QString toQ(std::wstring_view s) {
  return QString::fromWCharArray(s.data(), static_cast<qsizetype>(s.size()));
}

struct Line {
  std::wstring text;
  int acceleratorIndex = -1;
};

}  // namespace

PrefixedText stripPrefixes(std::wstring_view text) {
  PrefixedText out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'&') {
      out.visible += text[i];
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == L'&') {
      out.visible += L'&';
      ++i;
    } else if (i + 1 < text.size()) {
      out.acceleratorIndex = static_cast<int>(out.visible.size());
    }
  }
  return out;
}

Size Dc::getTextExtent(std::wstring_view text) const {
  if (font_.isSymbolGlyphFont()) {
    const int side = symbolGlyphSize(font_);
    return {side * static_cast<int>(text.size()), side};
  }
  QFontMetrics m(font_.qfont());
  return {m.horizontalAdvance(toQ(text)), m.height()};
}

TextMetrics Dc::getTextMetrics() const {
  TextMetrics t;
  if (font_.isSymbolGlyphFont()) {
    t.height = t.ascent = symbolGlyphSize(font_);
    return t;
  }
  QFontMetrics m(font_.qfont());
  t.ascent = m.ascent();
  t.descent = m.descent();
  t.height = t.ascent + t.descent;
  t.externalLeading = std::max(0, m.leading());
  t.internalLeading = std::max(0, t.height - font_.qfont().pixelSize());
  t.averageCharWidth = m.averageCharWidth();
  return t;
}

void Dc::drawTextLine(const std::wstring& line, int acceleratorIndex, int x, int y, const Rect* clip) {
  if (font_.isSymbolGlyphFont()) {
    const int side = symbolGlyphSize(font_);
    for (size_t i = 0; i < line.size(); ++i)
      drawSymbolGlyph(*this, line[i], Rect::fromSize(x + side * static_cast<int>(i), y, side, side), textColor_, clip);
    return;
  }
  QPainter painter(image_);
  std::optional<Rect> area = clip_;
  if (clip) area = area ? area->intersected(*clip) : *clip;
  if (area) painter.setClipRect(area->toQRect());
  painter.setFont(font_.qfont());
  QFontMetrics m(font_.qfont());
  const QString q = toQ(line);
  // Escapement turns the line about its top-left corner (counter-clockwise, tenths of a degree).
  painter.translate(x, y);
  if (font_.logFont().escapement != 0) painter.rotate(-font_.logFont().escapement / 10.0);
  const QRect box(0, 0, m.horizontalAdvance(q), m.height());
  if (bkMode_ == Opaque) painter.fillRect(box, toQColor(bkColor_));
  if (drawntext::DrawnTextObserver* observer = drawntext::observer) {
    QRect drawn = painter.transform().mapRect(box).intersected(image_->rect());
    if (area) drawn = drawn.intersected(area->toQRect());
    observer->aboutToDraw(line, drawn, textColor_, *image_);
  }
  painter.setPen(toQColor(textColor_));
  painter.drawText(0, m.ascent(), q);
  if (acceleratorIndex >= 0 && acceleratorIndex < static_cast<int>(line.size())) {
    const int from = m.horizontalAdvance(q.left(acceleratorIndex));
    const int to = m.horizontalAdvance(q.left(acceleratorIndex + 1));
    painter.fillRect(QRect(from, m.ascent() + 1, to - from, 1), toQColor(textColor_));
  }
}

void Dc::textOut(int x, int y, std::wstring_view text, const Rect* clip) {
  const Size extent = getTextExtent(text);
  if ((textAlign_ & TaCenter) == TaCenter) x -= extent.cx / 2;
  else if (textAlign_ & TaRight) x -= extent.cx;
  if (textAlign_ & TaBottom) y -= extent.cy;
  drawTextLine(std::wstring(text), -1, x, y, clip);
}

int Dc::drawText(std::wstring_view text, Rect& r, unsigned format) {
  const bool single = format & DtSingleLine;
  PrefixedText decoded;
  if (format & DtNoPrefix) decoded.visible = std::wstring(text);
  else decoded = stripPrefixes(text);

  // Lay the text out in lines, breaking at spaces when asked to.
  std::vector<Line> lines;
  const int width = r.width();
  auto widthOf = [&](const std::wstring& s) { return getTextExtent(s).cx; };
  size_t start = 0;
  const std::wstring& all = decoded.visible;
  while (start <= all.size()) {
    size_t end = single ? all.size() : all.find(L'\n', start);
    if (end == std::wstring::npos) end = all.size();
    std::wstring paragraph = all.substr(start, end - start);
    if (!paragraph.empty() && paragraph.back() == L'\r') paragraph.pop_back();
    size_t offset = start;
    if ((format & DtWordBreak) && !single) {
      while (widthOf(paragraph) > width) {
        size_t cut = paragraph.rfind(L' ');
        while (cut != std::wstring::npos && cut > 0 && widthOf(paragraph.substr(0, cut)) > width)
          cut = paragraph.rfind(L' ', cut - 1);
        if (cut == std::wstring::npos || cut == 0) {
          cut = paragraph.find(L' ');
          if (cut == std::wstring::npos) break;
        }
        lines.push_back({paragraph.substr(0, cut), -1});
        lines.back().acceleratorIndex = decoded.acceleratorIndex - static_cast<int>(offset);
        paragraph.erase(0, cut + 1);
        offset += cut + 1;
      }
    }
    lines.push_back({paragraph, decoded.acceleratorIndex - static_cast<int>(offset)});
    if (end >= all.size()) break;
    start = end + 1;
  }
  for (Line& line : lines)
    if (line.acceleratorIndex >= static_cast<int>(line.text.size())) line.acceleratorIndex = -1;

  if ((format & DtEndEllipsis) && single && widthOf(lines[0].text) > width) {
    std::wstring& s = lines[0].text;
    while (!s.empty() && widthOf(s + L"...") > width) s.pop_back();
    s += L"...";
  }

  const int lineHeight = getTextMetrics().height;
  const int total = lineHeight * static_cast<int>(lines.size());
  if (format & DtCalcRect) {
    int widest = 0;
    for (const Line& line : lines) widest = std::max(widest, widthOf(line.text));
    r.right = r.left + widest;
    r.bottom = r.top + total;
    return total;
  }

  int y = r.top;
  if (single && (format & DtVCenter)) y = r.top + (r.height() - lineHeight) / 2;
  else if (single && (format & DtBottom)) y = r.bottom - lineHeight;
  const Rect* clip = (format & DtNoClip) ? nullptr : &r;
  for (const Line& line : lines) {
    const int w = widthOf(line.text);
    int x = r.left;
    if (format & DtCenter) x = r.left + (r.width() - w) / 2;
    else if (format & DtRight) x = r.right - w;
    drawTextLine(line.text, line.acceleratorIndex, x, y, clip);
    y += lineHeight;
  }
  return (format & (DtVCenter | DtBottom)) && single ? y - r.top : total;
}

}  // namespace platform
