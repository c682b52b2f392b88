// What the visual manager reads of the bars, panes and buttons it draws for. The controls of
// the frames library implement or fill these, so the manager draws them from plain values and
// does not depend on their classes.
#pragma once

#include "platform/drawing/gdi_dc.h"

#include <QIcon>
#include <QImage>
#include <string>
#include <vector>

using platform::COLORREF;
using platform::Dc;
using platform::Rect;

// A bar that does not take the plain face fill: the outlook bar fills its own work area, the
// caption bar has a background colour of its own. Every other bar passes none.
class UxBarSurface {
 public:
  enum class Kind { OutlookBar, CaptionBar };
  virtual ~UxBarSurface() = default;
  virtual Kind SurfaceKind() const = 0;
  // Outlook bar: its background colour or tiled background image over `rect`.
  virtual void FillWorkArea(Dc* dc, const Rect& rect) { (void)dc; (void)rect; }
  // Caption bar: its background colour; kNoColor leaves the choice to the manager.
  virtual COLORREF BackgroundColor() const { return platform::kNoColor; }
};

// A small button in a pane's caption strip (close, expand), placed by its pane.
struct CaptionButton {
  bool m_bPushed = false;
  bool m_bFocused = false;  // the pointer is over it
  unsigned m_nHit = 0;      // hit-test code: kHitClose for the close button
  unsigned m_nTooltipId = 0;
  bool m_bHidden = false;
  platform::Point m_ptOrg;

  static constexpr unsigned kHitClose = 19;
  static constexpr unsigned kHitExpand = 9;
  // The menu glyph plus a margin, or nothing while hidden.
  static platform::Size GetSize();
  Rect GetRect() const;
};

// An owner-drawn button that draws its own border, shrinking `rect` to its content.
class UxOwnerDrawnBorder {
 public:
  virtual ~UxOwnerDrawnBorder() = default;
  virtual void OnDrawBorder(Dc* dc, Rect& rect, unsigned state) = 0;
};

// The tab window's settings and tabs as its tab drawing needs them.
class UxTabWindowLook {
 public:
  virtual ~UxTabWindowLook() = default;
  virtual bool IsFlatTab() const = 0;
  // Tabs along the top edge instead of the bottom one.
  virtual bool IsTabsOnTop() const = 0;
  // Tabs drawn as plain trapezoids holding only their labels.
  virtual bool IsLabelOnlyMode() const = 0;
  virtual bool IsNoPrefix() const = 0;
  virtual int GetActiveTab() const = 0;
  virtual int GetTabsHeight() const = 0;
  // kNoColor where the tab has no colour of its own.
  virtual COLORREF GetTabBackColor(int tab) const = 0;
  virtual COLORREF GetTabForeColor(int tab) const = 0;
  virtual std::wstring GetTabLabel(int tab) const = 0;
  // A null image when the tab has none.
  virtual QImage GetTabImage(int tab) const = 0;
};

// The colours and brushes a tab window draws its frame with.
struct UxTabFrameColors {
  COLORREF dark = 0;
  COLORREF black = 0;
  COLORREF highlight = 0;
  COLORREF face = 0;
  COLORREF darkShadow = 0;
  COLORREF light = 0;
  platform::Brush faceBrush;
  platform::Brush blackBrush;
};

// A task group of a tasks pane: its caption strip and how the pane lays it out.
struct UxTaskGroupLook {
  Rect rectCaption;
  std::wstring caption;
  QIcon icon;
  platform::Size iconSize;
  bool special = false;
  bool collapsed = false;
  // The pane's caption text offsets; -1 leaves them to the manager.
  int captionMarginX = -1;
  int captionMarginY = -1;
};

// One task of a group: a command link with an image, or a separator.
struct UxTaskLook {
  Rect rect;
  std::wstring text;
  int image = -1;
  bool separator = false;
  bool hasCommand = false;
  bool enabled = true;
  // The pane's gap between image and text; -1 leaves it to the manager.
  int iconTextGap = -1;
};
