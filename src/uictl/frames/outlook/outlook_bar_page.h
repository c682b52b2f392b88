// One named page of the outlook bar, with the full-width button that carries its name, and the
// small buttons of the bar's caption strip.
#pragma once

#include "platform/drawing/gdi_types.h"
#include "platform/settings/runtime_class.h"
#include "uictl/bars/drawing/visual_manager_surfaces.h"
#include "uictl/frames/buttons/button.h"

#include <QPointer>
#include <memory>
#include <string>

class CUxOutlookBar;

// The page button: its face and border are the visual manager's when it wants them.
class CUxOutlookBarPageButton : public CUxButton {
  Q_OBJECT
  KELVARA_DECLARE_RUNTIME_CLASS(CUxOutlookBarPageButton)

 public:
  explicit CUxOutlookBarPageButton(QWidget* parent = nullptr) : CUxButton(parent) {}
  void OnFillBackground(platform::Dc* dc, const platform::Rect& rect) override;
  void OnDrawBorder(platform::Dc* dc, platform::Rect& rect, unsigned state) override;
};

// The close button at the far end of the caption strip.
class COutlookCloseButton : public CUxButton {
  Q_OBJECT

 public:
  explicit COutlookCloseButton(CUxOutlookBar* bar);
  void OnFillBackground(platform::Dc* dc, const platform::Rect& rect) override;
  void OnDrawBorder(platform::Dc* dc, platform::Rect& rect, unsigned state) override;

 private:
  CUxOutlookBar* m_pBar;
};

class CUxOutlookBarPage : public platform::CObject {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxOutlookBarPage)

 public:
  CUxOutlookBarPage();
  // The id, name and window of `other`, with a button not yet made and no place.
  explicit CUxOutlookBarPage(const CUxOutlookBarPage& other);
  CUxOutlookBarPage& operator=(const CUxOutlookBarPage&) = delete;
  // Takes the button away and hides the page's window; the window stays its owner's.
  ~CUxOutlookBarPage() override;

  void Serialize(platform::Archive& archive) override;
  bool CreatePageButton(CUxOutlookBar* bar);
  void SetButtonRect(const platform::Rect& rect);
  void SetName(const std::wstring& name);

  unsigned m_nPageID = 0;
  std::wstring m_strName;
  // Guarded: a window its owner deleted first counts as none.
  QPointer<QWidget> m_hwndPage;
  std::unique_ptr<CUxOutlookBarPageButton> m_btnPage;
  platform::Rect m_rectButton;
};
