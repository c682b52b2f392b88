// The learning-history page's drawing: overall figures, the chosen study's counts, the trend of
// correct rates and the bar of the chosen study method. Drawn from what the last refresh read:
// a paint never waits for the database.
#include <QComboBox>
#include <algorithm>
#include <cstdlib>

#include "app/shell/klv_app.h"
#include "app/main/main_dialog_host.h"
#include "app/pages/page_dates.h"
#include "app/pages/page_drawing.h"
#include "app/pages/tabpage_loginfo.h"
#include "platform/drawing/kept_shades.h"
#include "platform/drawing/system_metrics.h"
#include "platform/trace.h"
#include "services/shell_values.h"
#include "services/unknown_figure.h"

using platform::COLORREF;
using platform::Dc;
using platform::Rect;
using platform::rgb;

namespace {

constexpr COLORREF kBlack = rgb(0, 0, 0);
constexpr COLORREF kWhite = rgb(255, 255, 255);
constexpr COLORREF kBlue = rgb(0, 0, 255);
constexpr COLORREF kRed = rgb(255, 0, 0);
constexpr COLORREF kTypingGreen = rgb(0, 96, 0);
constexpr COLORREF kGrey = rgb(128, 128, 128);

// The page is drawn on the button face: its plain texts take the face's own text colour, and its
// figures their meaning colour in a shade that stands out from the face.
COLORREF faceText() { return platform::getSysColor(platform::ColorBtnText); }
COLORREF onFace(COLORREF meaning) { return platform::keptReadableOnSysColor(meaning, platform::ColorBtnFace); }

void drawRow(Dc& dc, int left, int y, int right, int bottom, const std::wstring& label, const std::wstring& value,
             COLORREF colour) {
  drawLabelAndValue(dc, Rect{left, y, right, bottom}, Rect{left, y, right, bottom}, label, value, colour);
}

double rateOf(int correct, int incorrect) {
  const int sum = correct + incorrect;
  return sum < 1 ? 0.0 : static_cast<double>(correct) / sum;
}

bool isTypingMode(int mode) { return mode == 0 || mode == 2 || mode == 4 || mode == 6; }

}  // namespace

std::wstring StudyTimeText(int totalSeconds) {
  const int s = std::abs(totalSeconds);
  if (s > 3600) return platform::format(L"%2dH %02dm %02ds", s / 3600, s / 60 % 60, s % 60);
  if (s < 61) return platform::format(L"%5d 秒", s);
  return platform::format(L"%2d 分 %2d 秒", s / 60, s % 60);
}

void CTabpageLoginfo::paintEvent(QPaintEvent*) {
  paintThroughDc(*this, [this](Dc& dc) { OnPaint(dc); });
}

void CTabpageLoginfo::OnPaint(Dc& dc) {
  const COLORREF face = platform::getSysColor(platform::ColorBtnFace);
  const Rect client = dc.bounds();
  dc.fillSolidRect(client, face);
  dc.setBkMode(platform::Opaque);
  dc.setBkColor(face);
  const int lid = figures_.lid;
  const PageFontScope font(dc, 14);

  // Figures that could not be read are not drawn as zeros.
  const auto known = [this](std::wstring text) { return figuresRead_ ? text : std::wstring(L"-"); };
  const int correct = totalCorrects_, incorrect = totalIncorrects_;
  const double rate = rateOf(correct, incorrect);
  const int right = splitX_ - 15;
  drawRow(dc, 10, 20, right, client.bottom, L"正解数", known(std::to_wstring(correct)), onFace(kBlue));
  drawRow(dc, 10, 40, right, client.bottom, L"不正解数", known(std::to_wstring(incorrect)), onFace(kRed));
  drawRow(dc, 10, 60, right, client.bottom, L"正解率", known(platform::format(L"%5.1f %%", 100 * rate)),
          onFace(RateToColor(rate)));
  const int seconds = figures_.seconds;
  const COLORREF text = faceText();
  drawRow(dc, 10, 85, right, client.bottom, L"学習回数", known(platform::format(L"%5d 回", figures_.runs)), text);
  drawRow(dc, 10, 105, right, client.bottom, L"総学習時間", known(StudyTimeText(seconds)), text);
  if (isTypingMode(app_.studyMode)) {
    const int strokes = figures_.strokes;
    const int s = std::abs(seconds);
    const double speed = s == 0 ? 0.0 : static_cast<double>(strokes) / s * 60;
    drawRow(dc, 10, 130, right, client.bottom, L"キー入力速度", known(platform::format(L"%10.2lf [Keys/分]", speed)),
            onFace(kTypingGreen));
    drawRow(dc, 10, 150, right, client.bottom, L"打鍵数", known(std::to_wstring(strokes)), onFace(kTypingGreen));
  }

  const int selected = m_historyList->currentIndex();
  if (lid >= 0 && selected >= 0 && selected < static_cast<int>(figures_.studies.size())) {
    DrawStudyCounts(dc, figures_.studies[selected], Rect{splitX_ + 15, 55, client.right - 10, splitY_});
    const int mode = dc.setBkMode(platform::Transparent);
    chartRect_ = Rect{splitX_ + 10, 120, client.right, splitY_};
    DrawRateChart(dc, chartRect_, selected);
    dc.setBkMode(mode);
  }

  dc.fillSolidRect(Rect{10, splitY_ + 65, client.right - 150, splitY_ + 135}, face);
  const Rect bar{10, splitY_ + 100, client.right - 150, splitY_ + 135};
  dc.setBkMode(platform::Transparent);
  const int questions = host_.questionCount();
  switch (GetCheckedStudyMethod()) {
    case kNormal: {
      dc.setTextColor(host_.folderSelected() ? onFace(kGrey) : text);
      dc.textOut(15, splitY_ + 70, L"出題数");
      dc.textOut(190, splitY_ + 70,
                 platform::format(L"(%ls～%ls) 問題数：%ls", figureOrUnknown(questions <= 0 ? questions : 1).c_str(),
                                  figureOrUnknown(host_.remainCount()).c_str(), figureOrUnknown(questions).c_str()));
      const int round = (lid >= 0 ? figures_.accomplished : 0) + 1;
      DrawProgressBar(dc, platform::format(L"進行状況 [%d回目]", round), bar, questions, kWhite,
                      host_.translatedCount(), rgb(192, 192, 255));
      break;
    }
    case kReview: {
      const int target = GetCheckedReviewTarget();
      const COLORREF colour = target == kStudied      ? rgb(128, 128, 255)
                              : target == kMistaken   ? kRed
                              : target == kNotStudied ? rgb(128, 255, 128)
                                                      : kBlack;
      DrawProgressBar(dc, L"該当する問題：", bar, questions, kWhite, selectionCount_, colour);
      break;
    }
    case kFocused:
      DrawProgressBar(dc, L"該当する問題：", bar, questions, kWhite, selectionCount_,
                      RateToColor(GetRateThreshold() / 100));
      break;
  }
}

void CTabpageLoginfo::DrawStudyCounts(Dc& dc, const StudyRun& run, Rect r) {
  dc.fillSolidRect(r, platform::getSysColor(platform::ColorBtnFace));
  const double rate = rateOf(run.correct, run.incorrect);
  drawRow(dc, r.left, r.top, r.right, r.bottom, L"正解数", std::to_wstring(run.correct), onFace(kBlue));
  drawRow(dc, r.left, r.top + 20, r.right, r.bottom, L"不正解数", std::to_wstring(run.incorrect), onFace(kRed));
  drawRow(dc, r.left, r.top + 40, r.right, r.bottom, L"正解率", platform::format(L"%5.1f %%", 100 * rate),
          onFace(RateToColor(rate)));
}

void CTabpageLoginfo::DrawRateChart(Dc& dc, Rect r, int selected) {
  const Rect frame{r.left + 25, r.top + 5, r.right - 10, r.bottom - 20};
  dc.fillSolidRect(frame, kWhite);
  dc.frameRect(frame, platform::Brush::solid(kBlack));
  const int base = frame.bottom - 1;
  const PageFontScope font(dc, 10);
  // The scale and the dates lie on the face beside and under the white frame.
  dc.setTextColor(faceText());
  dc.textOut(frame.left - 23, frame.top - 4, L"100%");
  dc.textOut(frame.left - 15, base - 8, L"0%");

  // The refresh read the latest 30 studies at most: the chart shows no more than that.
  const std::vector<StudyRun>& trend = figures_.studies;  // newest first
  const int n = static_cast<int>(trend.size());
  const int points = std::clamp(n, 10, 30);
  const int step = (frame.right - frame.left) / (points - 1);

  const COLORREF shade = rgb(224, 224, 224);
  if (selected == 0) {
    dc.fillSolidRect(Rect{frame.left + step / 2 + (points - 2) * step, frame.top + 1, frame.right - 1, base}, shade);
  } else if (selected == points - 1) {
    dc.fillSolidRect(Rect{frame.left + 1, frame.top + 1, frame.left + 1 + step / 2, base}, shade);
  } else if (selected > 0 && selected < points) {
    const int x1 = frame.left + step / 2 + (points - selected - 2) * step;
    dc.fillSolidRect(Rect{x1, frame.top + 1, x1 + step - 1, base}, shade);
  }

  const platform::Pen previousPen = dc.selectPen(platform::Pen::solid(kBlue));
  for (int i = 0; i < points; ++i) {
    const int k = points - i;
    const double rate = k <= n ? rateOf(trend[k - 1].correct, trend[k - 1].incorrect) : 0.0;
    const int y = base - static_cast<int>((base - frame.top) * rate);
    const int x = i == points - 1 ? frame.right : frame.left + i * step;
    if (i == 0) {
      dc.moveTo(x, y);
    } else {
      dc.lineTo(x, y);
    }
  }
  dc.selectPen(previousPen);

  for (int i = 0; i < points; ++i) {
    const int k = points - i;
    if (k > n || (points > 10 && i % 3 != 0)) continue;
    const std::tm end = pageLocalTime(trend[k - 1].endTime);
    const std::wstring label = platform::format(L"%2d/%2d", end.tm_mon + 1, end.tm_mday);
    dc.textOut(static_cast<int>(frame.left + i * step - 5 - 2.5 * label.size()), base + 5, label);
  }
  if (selected >= 0 && selected < static_cast<int>(trend.size())) {
    dc.setTextColor(kBlack);
    const std::wstring when = pageDateText(trend[selected].endTime);
    dc.textOut(frame.left + 5, base - 15, when.substr(0, when.size() >= 3 ? when.size() - 3 : 0));
  }
}

void CTabpageLoginfo::DrawProgressBar(Dc& dc, const std::wstring& label, Rect r, int maximum, COLORREF background,
                                      int value, COLORREF bar) {
  const PageFontScope font(dc, 12);
  // The label and the figure under the bar lie on the face; the bar has a white ground of its own.
  dc.setTextColor(faceText());
  dc.textOut(r.left, r.top + 3, label);
  const Rect frame{r.left + 110, r.top, r.right, r.bottom - 15};
  dc.frameRect(frame, platform::Brush::solid(kBlack));
  const Rect inside = frame.deflated(1, 1);
  dc.fillSolidRect(inside, background);
  if (maximum <= 0 || value < 0) return;  // below 0: the value could not be read
  // A value above the maximum (a set that shrank) keeps the bar inside its frame.
  const double share = std::min(1.0, static_cast<double>(value) / maximum);
  const int x = inside.left + static_cast<int>(share * inside.width());
  dc.fillSolidRect(Rect{inside.left, inside.top, x, inside.bottom}, bar);
  if (value > 0) {
    dc.moveTo(x, inside.top);
    dc.lineTo(x, inside.bottom);
  }
  if (value >= 0) {
    Rect number{x - 30, inside.bottom + 2, x + 30, r.bottom};
    dc.drawText(std::to_wstring(value), number, platform::DtCenter | platform::DtNoPrefix);
  }
}
