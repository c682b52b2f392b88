#include "app/pages/level_graphs.h"

#include <algorithm>
#include <ctime>

#include "app/pages/page_drawing.h"
#include "platform/trace.h"
#include "services/unknown_figure.h"

namespace smart {

using platform::COLORREF;
using platform::Dc;
using platform::Rect;
using platform::rgb;

const COLORREF LevelColors[pdb3::kMaxMemoryLevel + 1] = {
    rgb(255, 255, 255), rgb(135, 195, 224), rgb(146, 224, 153), rgb(203, 242, 85),
    rgb(243, 204, 88),  rgb(244, 173, 101), rgb(244, 173, 101), rgb(244, 173, 101),
    rgb(241, 120, 120), rgb(241, 120, 120), rgb(241, 120, 120)};

namespace {

constexpr COLORREF kWhite = rgb(255, 255, 255);
constexpr COLORREF kBlue = rgb(0, 0, 255);
constexpr COLORREF kBlack = rgb(0, 0, 0);  // on the white inside the frame

void frameOnWhite(Dc& dc, const Rect& rect) {
  dc.frameRect(rect, platform::Brush::solid(kBlack));
  dc.fillSolidRect(rect.deflated(1, 1), kWhite);
}

// "%2d/%02d" labels of `count` + 1 evenly spaced times under the graph, ending at `now`; they
// stop at the first time that has no local date.
template <class TimeOfLabel>
void drawDateLabels(Dc& dc, const Rect& rect, int count, TimeOfLabel timeOf) {
  for (int i = 0; i <= count; ++i) {
    const time_t time = static_cast<time_t>(timeOf(i));
    std::tm local{};
    if (!localtime_r(&time, &local)) break;
    const int x = rect.left - 20 + (rect.right - rect.left) * i / count;
    dc.textOut(x, rect.bottom + 1, platform::format(L"%2d/%02d", local.tm_mon + 1, local.tm_mday));
  }
}

}  // namespace

void DrawProportionBar(Dc& dc, const Rect& rect, const std::vector<int>& values, const std::vector<COLORREF>& colours,
                       COLORREF background) {
  int64_t total = 0;
  for (int value : values) total += value;
  frameOnWhite(dc, rect);
  const Rect inside = rect.deflated(1, 1);
  dc.fillSolidRect(inside, background);
  if (total < 1) return;
  int64_t running = 0;
  int previous = inside.left;
  for (size_t i = 0; i < std::min(values.size(), colours.size()); ++i) {
    running += values[i];
    const int right = inside.left + static_cast<int>(static_cast<double>(running) / total * inside.width());
    dc.fillSolidRect({previous, inside.top, right, inside.bottom}, colours[i]);
    previous = right;
  }
}

// In whole numbers: (1 - i/n) in floating point falls a hair short of the fraction it stands for
// ((1 - 8/10) x 10 days truncates to 1, and the labels skip a day and show another twice).
int64_t levelGraphLabelTime(int64_t now, int days, int i) {
  return now - (15 - i) * static_cast<int64_t>(days) * pdb3::kSecondsPerDay / 15;
}

int64_t forgettingCurveLabelTime(int64_t now, int days, int i) {
  const int64_t daysBack = (10 - i) * static_cast<int64_t>(days) / 10;  // whole days, the part cut off
  return now - daysBack * pdb3::kSecondsPerDay;
}

int levelGraphScale(int listCount, int learnedCount, bool zoom) {
  if (!zoom) return listCount;
  const int rounded = (learnedCount / 100 + 1) * 100;
  const int zoomed = rounded <= listCount ? rounded : learnedCount;
  // Nothing learned in a short list would zoom to a scale of 0: no top to label, none to divide by.
  return zoomed >= 1 ? zoomed : listCount;
}

void DrawLevelGraph(Dc& dc, const Rect& rect, const LevelGraph& graph) {
  frameOnWhite(dc, rect);
  const Rect plot{rect.left, rect.top + 1, rect.right, rect.bottom - 1};
  const int64_t w = plot.right - plot.left - 1;
  const int64_t h = plot.bottom - plot.top;
  if (graph.scale >= 1 && graph.table) {
    const platform::Pen pen = dc.selectPen(platform::Pen::solid(kBlue, 1));
    for (int level = pdb3::kMaxMemoryLevel; level >= 1; --level) {
      std::vector<platform::Point> polygon{{plot.left, plot.bottom}};
      for (int b = 0; b < kTimePoints; ++b) {
        int64_t sum = 0;
        for (int j = 0; j < level; ++j) sum += (*graph.table)[b][j];
        const int x = static_cast<int>(plot.left + b * w / 30);
        const int y = static_cast<int>(plot.bottom - static_cast<int64_t>(static_cast<double>(sum) / graph.scale * h));
        polygon.push_back({x, std::max(y, plot.top)});
      }
      polygon.push_back({plot.right - 1, plot.bottom});
      const platform::Brush brush = dc.selectBrush(platform::Brush::solid(LevelColors[level]));
      dc.polygon(polygon);
      dc.selectBrush(brush);
    }
    dc.selectPen(pen);
  }
  const platform::Font font = dc.selectFont(::pageFont(10));
  {
    const TextColourScope onPage(dc, graph.labelColour);
    dc.textOut(plot.left - 30, std::max(plot.top - 3, graph.labelTopLimit),
               platform::format(L"%5ls", figureOrUnknown(graph.scale).c_str()));
    dc.textOut(plot.left - 30, plot.bottom - 10, platform::format(L"%5d", 0));
    drawDateLabels(dc, plot, 15, [&](int i) { return levelGraphLabelTime(graph.now, graph.days, i); });
  }
  dc.selectFont(font);
  if (graph.calculating) {
    const TextColourScope onWhite(dc, kBlack);
    Rect text{rect.left, rect.top + 25, rect.right, rect.bottom};
    dc.drawText(L"＜計算中＞", text, platform::DtCenter);
  }
}

void DrawForgettingCurve(Dc& dc, const Rect& rect, const ForgettingCurve& curve) {
  frameOnWhite(dc, rect);
  Rect message{rect.left, rect.top + 30, rect.right, rect.bottom};
  if (!curve.questionSelected) {
    const TextColourScope onWhite(dc, kBlack);
    dc.drawText(L"＜問題を選択してください＞", message, platform::DtCenter);
    return;
  }
  const int64_t start = curve.now - static_cast<int64_t>(curve.days) * pdb3::kSecondsPerDay;
  if (curve.points.empty()) {
    const TextColourScope onWhite(dc, kBlack);
    dc.drawText(L"＜未学習＞", message, platform::DtCenter);
  } else {
    const Rect plot = rect.deflated(2, 2);
    const int64_t span = std::max<int64_t>(curve.now - start, 1);
    const int64_t step = std::max<int64_t>(span / 300, 1);
    const auto xOf = [&](int64_t t) { return static_cast<int>(plot.left + (t - start) * plot.width() / span); };
    const auto yOf = [&](int rate) { return static_cast<int>(plot.bottom - static_cast<int64_t>(rate * plot.height() * 0.01)); };
    const auto drawTo = [&](int x, int y) {
      if (x > plot.left) dc.lineTo(x, y);
      else dc.moveTo(x, y);
    };
    const auto decayedAt = [&](const StudyPoint& p, int64_t t) {
      return pdb3::decayedRate(p.level, p.rate, static_cast<double>(t - p.endTime) / pdb3::kSecondsPerDay);
    };
    size_t next = 0;
    for (size_t i = 0; i < curve.points.size(); ++i)
      if (curve.points[i].endTime <= start) next = i;
    const StudyPoint* applied = nullptr;
    int64_t t = curve.points[next].endTime;
    const platform::Pen pen = dc.selectPen(platform::Pen::solid(kBlue, 3));
    dc.moveTo(plot.left, plot.bottom);
    while (t < curve.now) {
      t += step;
      if (!applied || (next < curve.points.size() && curve.points[next].endTime < t)) {
        t = curve.points[next].endTime;
        drawTo(xOf(t), yOf(applied ? decayedAt(*applied, t) : 0));
        applied = &curve.points[next++];
        drawTo(xOf(t), yOf(applied->rate));
      } else {
        drawTo(std::min(xOf(t), plot.right), yOf(decayedAt(*applied, t)));
      }
    }
    dc.selectPen(pen);
  }
  const Rect plot = rect.deflated(2, 2);
  const platform::Font font = dc.selectFont(::pageFont(10));
  {
    const TextColourScope onPage(dc, curve.labelColour);
    dc.textOut(plot.left - 55, std::max(plot.top - 3, curve.labelTopLimit), L"○○○○○");
    dc.textOut(plot.left - 55, plot.bottom - 10, L"●●●●●");
    drawDateLabels(dc, plot, 10, [&](int i) { return forgettingCurveLabelTime(curve.now, curve.days, i); });
  }
  dc.selectFont(font);
}

}  // namespace smart
