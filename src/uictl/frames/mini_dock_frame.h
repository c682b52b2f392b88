// The small floating frame of a bar: a frameless tool window that draws its own caption (title,
// close button) and sizing border and moves and resizes itself; its dock bar holds the bars.
#pragma once

#include <QWidget>

class DockBar;
class DockFrame;
class QPainter;

// Hit codes of the non-client parts.
enum NcHit : int {
  HitNowhere = 0, HitClient = 1, HitCaption = 2, HitMaxButton = 9, HitLeft = 10, HitRight = 11, HitTop = 12,
  HitTopLeft = 13, HitTopRight = 14, HitBottom = 15, HitBottomLeft = 16, HitBottomRight = 17, HitClose = 20,
};

class MiniDockFrame : public QWidget {
 public:
  explicit MiniDockFrame(DockFrame* dockSite);
  ~MiniDockFrame() override;

  virtual bool Create(unsigned barStyle);
  DockBar* GetDockBar() const;
  DockFrame* DockSite() const;
  // Sizes the frame around its bars.
  virtual void RecalcLayout(bool notify = true);

  int BorderWidth() const;
  int CaptionHeight() const;
  QRect CaptionRect() const;      // widget coordinates
  QRect CloseButtonRect() const;  // widget coordinates
  virtual int NcHitTest(QPoint pos) const;

 protected:
  // Every geometry the frame is given (layout, user resize, move) passes here first.
  virtual QRect AdjustGeometry(const QRect& proposed) { return proposed; }
  // Caption, close button and border; subclasses draw their own buttons after calling it.
  virtual void PaintNonClient(QPainter& painter);
  // Caption: drag through the bar's dock context; border: resize; close: hide the bars.
  virtual void OnNcLButtonDown(int hit, QPoint globalPos);
  virtual void OnNcRButtonDown(int hit, QPoint globalPos);
  virtual void OnNcMouseMove(int hit, QPoint globalPos);
  // Asked before the frame closes; closing hides its bars.
  virtual bool CanClose() { return true; }
};
