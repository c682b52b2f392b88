#include "app/printing/sheet_renderer.h"

#include <QDateTime>
#include <numeric>
#include <stdlib.h>

#include "app/common/control_helpers.h"
#include "app/printing/print_surface.h"
#include "platform/trace.h"

namespace {

constexpr double kInchesPerMillimetre = 0.03937007874015748;

// How many characters from `offset` fit into the width.
int fitChars(const QFontMetrics& metrics, const QString& text, int offset, int width) {
  const QString rest = text.mid(offset);
  const int remaining = static_cast<int>(rest.size());
  const int average = metrics.averageCharWidth();
  int n = average > 0 ? std::min(remaining, width / (2 * average)) : remaining;
  n = std::max(n, 0);
  if (metrics.horizontalAdvance(rest, n) >= width) {
    while (n > 0 && metrics.horizontalAdvance(rest, n) >= width) --n;
  } else {
    while (n < remaining && metrics.horizontalAdvance(rest, n + 1) <= width) ++n;
  }
  // A character outside the basic plane is never split in two.
  if (n > 0 && n < remaining && rest[n - 1].isHighSurrogate()) --n;
  return n;
}

}  // namespace

int millimetresToPixels(double mm, double scale, int dpi) {
  return static_cast<int>(mm * kInchesPerMillimetre * scale * dpi);
}

int hundredthsToPixels(int hundredths, double scale, int dpi) {
  return static_cast<int>(hundredths * 0.01 * kInchesPerMillimetre * scale * dpi);
}

std::vector<int> shuffledOrder(const std::vector<int>& ids, int number) {
  std::vector<int> order = ids;
  if (number == 0) return order;
  random_data data{};
  char state[128] = {};
  initstate_r(static_cast<unsigned>(number), state, sizeof state, &data);
  auto next = [&data] {
    int32_t value = 0;
    random_r(&data, &value);
    return static_cast<unsigned long long>(value) & 0x7FFF;
  };
  for (unsigned long long k = 2; k <= order.size(); ++k) {
    unsigned long long range = 0x7FFF;
    unsigned long long r = next();
    while (range < k) {
      r = (r << 15) | next();
      range = (range << 15) | 0x7FFF;
    }
    std::swap(order[k - 1], order[r % k]);
  }
  return order;
}

std::vector<QString> wrapText(const PrintSurface& surface, const QString& text, int width, int indent) {
  std::vector<QString> lines;
  QString rest = text;
  const QString spaces(indent, QLatin1Char(' '));
  int offset = 0;
  while (offset < rest.size()) {
    const bool continuation = !lines.empty();
    if (continuation) rest.insert(offset, spaces);
    const int n = fitChars(surface.metrics(), rest, offset, width);
    // A continuation line that cannot hold more than its indent would never make progress.
    if (n == 0 || (continuation && n <= indent)) break;
    lines.push_back(rest.mid(offset, n));
    offset += n;
  }
  return lines;
}

SheetRenderer::SheetRenderer(RegionTextSources sources) : sources_(sources) {}

void SheetRenderer::setQuestions(std::vector<pdb3::Question> questions) {
  questions_ = std::move(questions);
  setShuffle(0);
}

void SheetRenderer::setShuffle(int number) {
  shuffle_ = number;
  // The shuffle only swaps places, so shuffling positions orders the questions as it would their ids.
  std::vector<int> positions(questions_.size());
  std::iota(positions.begin(), positions.end(), 0);
  order_ = shuffledOrder(positions, number);
}

int SheetRenderer::RenderPage(PrintSurface& surface, int first, int count, bool measure, bool printing, int page,
                              double scale) {
  const bool draw = !measure && surface.drawing();
  if (draw && !printing) surface.clearPage();
  const int dpiX = surface.dpiX(), dpiY = surface.dpiY();
  const PrinterGeometry& g = geometry;
  const double fontScale = printing ? g.resolutionY / 96.0 : scale;
  const PrintTemplate scaled = sheetTemplate.CopyScaledFonts(fontScale);
  const double sx = printing ? 1.0 : zoomFactor * 96 / g.resolutionX;
  const double sy = printing ? 1.0 : zoomFactor * 96 / g.resolutionY;
  const int offX = printing ? static_cast<int>(g.unprintable[0] * sx) : 0;
  const int offY = printing ? static_cast<int>(g.unprintable[1] * sy) : 0;
  const int left = hundredthsToPixels(g.margins[0], scale, dpiX) - offX;
  const int top = hundredthsToPixels(g.margins[1], scale, dpiY) - offY;
  const int right = static_cast<int>(g.pageWidth * sx) - hundredthsToPixels(g.margins[2], scale, dpiX) - offX;
  const int bottom = static_cast<int>(g.pageHeight * sy) - hundredthsToPixels(g.margins[3], scale, dpiY) - offY;

  if (draw) {
    if (editing) {
      const int printableRight = g.pageWidth - g.unprintable[2], printableBottom = g.pageHeight - g.unprintable[3];
      if (printing)
        surface.rectangle(0, 0, printableRight - g.unprintable[0], printableBottom - g.unprintable[1]);
      else
        surface.rectangle(static_cast<int>(g.unprintable[0] * sx), static_cast<int>(g.unprintable[1] * sy),
                          static_cast<int>(printableRight * sx), static_cast<int>(printableBottom * sy));
      surface.rectangle(left, top, right, bottom);
    }
    for (const PrintTextItem& item : scaled.texts) {
      if (!item.show) continue;
      const DeviceFont font(item.font, surface.device());
      surface.select(font);
      surface.textOut(millimetresToPixels(item.x, scale, dpiX), millimetresToPixels(item.y, scale, dpiY), qtext(item.text));
    }
  }

  RegionFonts regionFonts;
  for (int i = 0; i < kTemplateRegions; ++i)
    if (scaled.regions[i].show) regionFonts[i].emplace(scaled.regions[i].font, surface.device());
  int placed = 0;
  int y = millimetresToPixels(sheetTemplate.regionY, scale, dpiY);
  for (int i = first; placed < count && i < questionCount(); ++i) {
    const pdb3::Question& question = questions_[order_[i]];
    const int height = DrawQuestionRow(surface, regionFonts, question, i, y, true, scale, fontScale);
    // A row taller than the whole room still gets a page of its own, so that pagination ends.
    if (top + y + height > bottom && placed > 0) break;
    if (draw) DrawQuestionRow(surface, regionFonts, question, i, y, false, scale, fontScale);
    ++placed;
    y += height;
  }

  if (draw) {
    const DeviceFont font(scaled.marginFont, surface.device());
    surface.select(font);
    const QDateTime now = QDateTime::currentDateTime();
    auto expand = [&](const std::wstring& text) {
      return qtext(expandLetterPlaceholders(text, [&](wchar_t letter, std::wstring& out) {
        switch (letter) {
          case L'S': out = title; return true;
          case L'p': out = std::to_wstring(page + 1); return true;
          case L'P': out = std::to_wstring(pageCount); return true;
          case L'D': out = now.toString("yyyy/MM/dd").toStdWString(); return true;
          case L'T': out = now.toString("HH:mm").toStdWString(); return true;
          default: return false;
        }
      }));
    };
    const int m5x = static_cast<int>(g.resolutionX * 0.1968503937007874);
    const int m5y = static_cast<int>(g.resolutionY * 0.1968503937007874);
    const int bandLeft = std::max(m5x, g.unprintable[0]), bandTop = std::max(m5y, g.unprintable[1]);
    const int bandRight = std::max(m5x, g.unprintable[2]), bandBottom = std::max(m5y, g.unprintable[3]);
    const int fh = static_cast<int>(std::abs(sheetTemplate.marginFont.height) * fontScale);
    const int l = static_cast<int>(bandLeft * sx) - offX;
    const int r = static_cast<int>((g.pageWidth - bandRight) * sx) - offX;
    const int ht = static_cast<int>(bandTop * sy) - offY;
    const int fb = static_cast<int>((g.pageHeight - bandBottom) * sy);
    const Qt::Alignment alignments[3] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    for (int i = 0; i < 3; ++i) {
      surface.drawLine(l, ht, r, ht + fh, expand(sheetTemplate.marginTexts[i]), alignments[i]);
      surface.drawLine(l, fb - fh - offY, r, fb - offY, expand(sheetTemplate.marginTexts[3 + i]), alignments[i]);
    }
  }
  return placed;
}

int SheetRenderer::DrawQuestionRow(PrintSurface& surface, const RegionFonts& fonts, const pdb3::Question& question,
                                   int position, int y, bool measure, double scale, double fontScale) {
  const int dpiX = surface.dpiX();
  int rowHeight = 0;
  for (int i = 0; i < kTemplateRegions; ++i) {
    const PrintRegion& region = sheetTemplate.regions[i];
    if (!region.show) continue;
    surface.select(*fonts[i]);
    const int lineHeight = static_cast<int>(std::abs(region.font.height) * region.lineHeightScale * fontScale);
    const int x = millimetresToPixels(region.x, scale, dpiX);
    const int width = millimetresToPixels(region.width, scale, dpiX);
    QString text = qtext(regionText(region.mode, region.text, question, sources_));
    int indent = 0;
    if (region.numbered) {
      const QString prefix = QString::asprintf("%3d. ", position + 1);
      indent = static_cast<int>(prefix.size());
      text.prepend(prefix);
    }
    const std::vector<QString> lines = wrapText(surface, text, width, indent);
    const int height = static_cast<int>(lines.size()) * lineHeight;
    if (!measure) {
      if (editing) surface.rectangle(x, y, x + width, y + height);
      for (size_t k = 0; k < lines.size(); ++k) surface.textOut(x, y + static_cast<int>(k) * lineHeight, lines[k]);
    }
    rowHeight = std::max(rowHeight, height);
  }
  return rowHeight;
}

std::vector<int> SheetRenderer::Paginate(PrintSurface& printer, const std::function<void(int, int)>& progress) {
  std::vector<int> starts;
  int first = 0;
  int remaining = questionCount();
  while (remaining > 0) {
    starts.push_back(first);
    const int placed = RenderPage(printer, first, remaining, true, true, static_cast<int>(starts.size()) - 1, 1.0);
    if (placed <= 0) break;
    remaining -= placed;
    first += placed;
    platform::trace("** page%3d=%3d : remain = %5d\n", static_cast<int>(starts.size()), placed, remaining);
    if (progress) progress(first, static_cast<int>(starts.size()));
  }
  pageCount = std::max<int>(static_cast<int>(starts.size()), 1);
  return starts;
}
