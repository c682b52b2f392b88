// A list of toolbar buttons laid out in rows, with a vertical scroll bar of its own when they do
// not all fit, one button selected, and keys and clicks that move the selection. Each change of
// the selection reaches the parent as a command with the list's control id ("id<number>").
// The buttons are the caller's; the list only shows them.
#pragma once

#include "platform/drawing/gdi_types.h"

#include <QWidget>
#include <vector>

class CUxToolbarButton;
class QScrollBar;
class ToolbarImages;

class ButtonsList : public QWidget {
 public:
  explicit ButtonsList(QWidget* parent = nullptr);
  ~ButtonsList() override;

  // The strip the buttons draw with; the cell size follows its images, and the list empties.
  void SetImages(ToolbarImages* images);
  void AddButton(CUxToolbarButton* button);
  // Detaches every button without deleting it and scrolls back to the top.
  void RemoveButtons();
  // Null selects nothing.
  void SelectButton(CUxToolbarButton* button);
  // The first button showing that image; -1 selects nothing. False when no button shows it.
  bool SelectButtonByImage(int image);
  CUxToolbarButton* GetSelButton() const { return m_pSelButton; }

  int scrollOffset() const { return m_nScrollOffset; }
  int scrollTotal() const { return m_nScrollTotal; }
  // Null while every button fits.
  QScrollBar* scrollBar() const { return m_wndScrollBar; }
  // Where a button shows now, in widget coordinates.
  platform::Rect displayedRect(const CUxToolbarButton* button) const;
  CUxToolbarButton* buttonAt(QPoint point) const;

  // A click starts a drag of the clicked button.
  bool m_bEnableDragFromList = false;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // Button rectangles stay where the layout put them, unscrolled: the scroll offset applies
  // only when they are shown, hit or brought into view.
  void RebuildLocations();
  platform::Rect buttonArea() const;
  int rowPitch() const;
  void onScrollAction(int action);
  void scrollTo(int offset);
  void repaintButton(const CUxToolbarButton* button);
  void startDrag(CUxToolbarButton* button);

  std::vector<CUxToolbarButton*> m_Buttons;
  ToolbarImages* m_pImages = nullptr;
  platform::Size m_sizeButton;
  bool m_bInitialized = false;
  bool m_bFocused = false;
  CUxToolbarButton* m_pSelButton = nullptr;
  int m_nScrollOffset = 0;
  int m_nScrollTotal = 0;
  int m_nVisibleRows = 0;
  QScrollBar* m_wndScrollBar = nullptr;
};
