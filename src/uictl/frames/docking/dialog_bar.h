// A sizing bar whose content is a form: it keeps the form's size unless it is made sizable.
#pragma once

#include "platform/settings/runtime_class.h"
#include "uictl/frames/docking/sizing_control_bar.h"

#include <functional>

namespace platform { class CommandTarget; }

// Builds a form into the widget it is given (a designer form's setupUi, which also gives the
// widget the form's size).
using FormFactory = std::function<void(QWidget* form)>;

class CUxDialogBar : public CUxSizingControlBar, public platform::CObject {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxDialogBar)

 public:
  // False when there is no form to build or no parent.
  bool Create(QWidget* parent, const FormFactory& form, unsigned style, unsigned id);

  platform::Size CalcFixedLayout(bool stretch, bool horizontal) override;
  platform::Size CalcDynamicLayout(int length, unsigned mode) override;
  // Enables and checks the form's buttons as `target` reports their commands; one it does not
  // answer for is disabled with `disableIfNoHandler`.
  virtual void OnUpdateCmdUI(platform::CommandTarget* target, bool disableIfNoHandler);
  // Each time the application goes idle the shown bar asks its owner (or the nearest window
  // above it that takes commands) for the states of its buttons' commands.
  virtual void OnIdleUpdateCmdUI();
  QWidget* Form() const { return m_pForm; }

  platform::Size m_sizeTemplate;
  bool m_bSizable = false;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QWidget* m_pForm = nullptr;
};
