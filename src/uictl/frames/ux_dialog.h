// A dialog and a property page that host the library's bars and popup menus: their helper routes
// keys and clicks to an open popup and keeps accelerator commands from passing it by.
#pragma once

#include "platform/command_target.h"
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

 protected:
  DialogImpl m_Impl;
};

class CUxPropertyPage : public QWidget, public PopupMenuOwnerHook, public platform::CommandTarget {
 public:
  explicit CUxPropertyPage(QWidget* parent = nullptr);

  void SetActiveMenu(CUxPopupMenu* popup) override { m_Impl.SetActiveMenu(popup); }
  bool onCommand(unsigned id, int notifyCode) override { return m_Impl.OnCommand(id, notifyCode); }
  // The page becomes the shown one; false keeps the previous page.
  virtual bool OnSetActive() { return true; }

 protected:
  DialogImpl m_Impl;
};
