// The small floating frame of a bar: a frameless tool window that draws its own caption (title,
// close button) and sizing border and moves and resizes itself; its dock bar holds the bars.
// Commands of the bars inside go on to the dock site.
#pragma once

#include "platform/windows/command_target.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

class CUxControlBar;
class DockBar;
class DockFrame;
class QPainter;

// Hit codes of the non-client parts.
enum NcHit : int {
  HitNowhere = 0, HitClient = 1, HitCaption = 2, HitMaxButton = 9, HitLeft = 10, HitRight = 11, HitTop = 12,
  HitTopLeft = 13, HitTopRight = 14, HitBottom = 15, HitBottomLeft = 16, HitBottomRight = 17, HitClose = 20,
};

class MiniDockFrame : public QWidget, public platform::CommandTarget {
 public:
  explicit MiniDockFrame(DockFrame* dockSite);
  ~MiniDockFrame() override;

  virtual bool Create(unsigned barStyle);
  DockBar* GetDockBar() const;
  DockFrame* DockSite() const;
  // The first bar inside, null when there is none.
  CUxControlBar* FirstBar() const;
  // Sizes the frame around its bars, and shows it while any of them is shown and the dock site is.
  virtual void RecalcLayout(bool notify = true);
  // One RecalcLayout when the event loop is next idle.
  void DelayRecalcLayout();
  // Puts the frame's top-left corner at a screen point.
  void MoveTo(QPoint screenPos);

  int BorderWidth() const;
  int CaptionHeight() const;
  QRect CaptionRect() const;      // widget coordinates
  QRect CloseButtonRect() const;  // widget coordinates
  // False while the frame holds a toolbar that may not be closed (the menu bar, a permanent
  // bar): the close button is then inactive and the frame refuses to close.
  bool IsCloseEnabled() const;
  virtual int NcHitTest(QPoint pos) const;
  // What the border and caption add around the bars.
  static QMargins DefaultMargins();

  bool onCommand(unsigned id, int notifyCode) override;
  void onUpdateCommandUi(platform::CommandUi& state) override;
  void onInitPopup(platform::MenuHandle menu) override;
  std::wstring messageString(unsigned id) const override;

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
  // Gives the frame a geometry through AdjustGeometry.
  void ApplyGeometry(const QRect& proposed);

  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

  bool m_bClosePushed = false;
  bool m_bCloseHot = false;

 private:
  platform::CommandTarget* siteTarget() const;
  // Lights the close button up or down, repainting it on a change.
  void setCloseHot(bool hot);
  QPointer<DockFrame> m_pDockSite;
  DockBar* m_pDockBar = nullptr;
  QTimer m_delayedLayout;
  bool m_bInRecalcLayout = false;
};
