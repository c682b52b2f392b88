// The modal dialog in which the user, while customising, decides how one button looks: its
// command's standard image, a user-defined image (drawn or redrawn in the image editor) or none;
// with or without text; and what the text is. The button changes only when the dialog is
// accepted.
#pragma once

#include "platform/windows/command_target.h"

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

class ButtonsList;
class CUxToolBar;
class CUxToolbarButton;
class QEvent;
class ToolbarImages;
namespace Ui { class ButtonAppearanceForm; }

class ButtonAppearanceDlg : public QDialog, public platform::CommandTarget {
 public:
  // `userImages` may be null; images from `firstUserImage` on are offered. `parent` is the bar
  // the button lives on, when it has one; the dialog belongs to the bar's window.
  ButtonAppearanceDlg(CUxToolbarButton* button, ToolbarImages* userImages, QWidget* parent, int firstUserImage,
                      bool menuMode);
  ~ButtonAppearanceDlg() override;

  // Accepted (1) after the button was changed, else 0.
  int DoModal();
  bool onCommand(unsigned id, int notifyCode) override;
  // OK: the button changes, unless a choice is missing (the user is told, the dialog stays).
  void accept() override;

  ButtonsList* userImagesList() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnInitDialog();
  void RebuildImageList();
  void EnableControls();
  void OnNewImage();
  void OnEditImage();
  void paintPreview(QWidget* preview);
  bool hasStandardImage() const;
  int standardImage() const;
  void tell(unsigned stringId);

  std::unique_ptr<Ui::ButtonAppearanceForm> m_ui;
  CUxToolBar* m_pBar;
  std::wstring m_strButtonText;
  std::wstring m_strDescription;
  CUxToolbarButton* m_pButton;
  ToolbarImages* m_pUserImages;
  int m_nFirstUserImage;
  std::vector<std::unique_ptr<CUxToolbarButton>> m_lstTempButtons;
  int m_nImage = -1;
  bool m_bImage = false;
  bool m_bText = false;
  bool m_bMenuMode;
  bool m_bUserImageChosen = false;
  std::wstring m_strAccel;
  bool m_bUserTool = false;
};

// Installs this dialog as the one the toolbars open for a button's appearance; called once the
// control library has started.
void RegisterButtonAppearanceDialog();
