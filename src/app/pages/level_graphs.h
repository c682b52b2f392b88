// The smart-learning page's pictures: the achievement bar, the level history as stacked bands
// over 31 time points, and one question's forgetting curve, drawn with the platform's drawing
// rules so that each pixel lands where the page's geometry puts it.
#pragma once

#include <climits>
#include <cstdint>
#include <vector>

#include "app/pages/level_calculation.h"
#include "platform/drawing/gdi_dc.h"

namespace smart {

// One colour per memory level 0..10.
extern const platform::COLORREF LevelColors[pdb3::kMaxMemoryLevel + 1];

// Frame, background, and one segment per value in its colour (pairs up to the shorter list).
void DrawProportionBar(platform::Dc& dc, const platform::Rect& rect, const std::vector<int>& values,
                       const std::vector<platform::COLORREF>& colours, platform::COLORREF background);

// The vertical scale of the level history: the list's size, or with zoom the learned count
// rounded up to the next hundred when that still fits in the list (the list's size again when
// that would leave a scale below 1).
int levelGraphScale(int listCount, int learnedCount, bool zoom);

// The times the date labels under the graphs stand for, `i` counted from the oldest: 16 labels
// over the level history's period, 11 whole days back over the forgetting curve's.
int64_t levelGraphLabelTime(int64_t now, int days, int i);
int64_t forgettingCurveLabelTime(int64_t now, int days, int i);

struct LevelGraph {
  const LevelTable* table = nullptr;
  int scale = 0;  // below 1 no bands are drawn
  int days = 10;
  int64_t now = 0;
  bool calculating = false;
  // The top scale label starts no higher than this: below the frame around the graph, which
  // would cover its upper rows.
  int labelTopLimit = INT_MIN;
  // The scale and the dates lie beside and under the white frame, on the page.
  platform::COLORREF labelColour = platform::rgb(0, 0, 0);
};
void DrawLevelGraph(platform::Dc& dc, const platform::Rect& rect, const LevelGraph& graph);

// One study of a question as the history writer stored it: its end, the level and rate after it.
struct StudyPoint {
  int64_t endTime = 0;
  int level = 0;
  int rate = 0;
};
struct ForgettingCurve {
  bool questionSelected = false;
  std::vector<StudyPoint> points;  // ascending end times
  int days = 10;
  int64_t now = 0;
  int labelTopLimit = INT_MIN;  // as for the level history
  platform::COLORREF labelColour = platform::rgb(0, 0, 0);  // as for the level history
};
void DrawForgettingCurve(platform::Dc& dc, const platform::Rect& rect, const ForgettingCurve& curve);

}  // namespace smart
