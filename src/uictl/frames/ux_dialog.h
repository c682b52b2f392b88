// A dialog and a property page that host the library's bars and popup menus: their helper routes
// keys and clicks to an open popup and keeps accelerator commands from passing it by.
#pragma once

#include "platform/windows/command_target.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/frames/dialog_impl.h"

#include <QDialog>
#include <QWidget>

class CUxDialog : public QDialog, public PopupMenuOwnerHook, public platform::CommandTarget {
 public:
  explicit CUxDialog(QWidget* parent = nullptr);

  void SetActiveMenu(CUxPopupMenu* popup) override { m_Impl.SetActiveMenu(popup); }
  // The helper first; then OK and Cancel close the dialog.
  bool onCommand(unsigned id, int notifyCode) override;
  // Whether the caption shows the dialog active: also while a window acting for it is active.
  bool IsCaptionActive() const { return m_Impl.IsCaptionActive(); }

 protected:
  DialogImpl m_Impl;
};

class CUxPropertyPage;

// A property sheet holding the library's pages hears which of them becomes the active one.
class CUxPropertySheet {
 public:
  virtual ~CUxPropertySheet() = default;
  virtual void OnActivatePage(CUxPropertyPage* page) = 0;
};

class CUxPropertyPage : public QWidget, public PopupMenuOwnerHook, public platform::CommandTarget {
 public:
  explicit CUxPropertyPage(QWidget* parent = nullptr);

  void SetActiveMenu(CUxPopupMenu* popup) override { m_Impl.SetActiveMenu(popup); }
  bool onCommand(unsigned id, int notifyCode) override { return m_Impl.OnCommand(id, notifyCode); }
  // The page becomes the shown one: the sheet holding it hears of it first. False keeps the
  // previous page.
  virtual bool OnSetActive();
  // Whether the page's window shows its caption active (see CUxDialog).
  bool IsCaptionActive() const { return m_Impl.IsCaptionActive(); }

 protected:
  DialogImpl m_Impl;
};
