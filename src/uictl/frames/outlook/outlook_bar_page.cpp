#include "uictl/frames/outlook/outlook_bar_page.h"

#include "platform/settings/archive.h"
#include "uictl/bars/drawing/visual_manager.h"
#include "uictl/frames/outlook/outlook_bar.h"
#include "uictl/frames/window_styles.h"

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxOutlookBarPageButton, CUxButton, kNoSchema,
                                ::platform::createInstance<CUxOutlookBarPageButton>)
KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxOutlookBarPage, CObject, 1, ::platform::createInstance<CUxOutlookBarPage>)

void CUxOutlookBarPageButton::OnFillBackground(Dc* dc, const Rect& rect) {
  COLORREF text = kNoColor;
  if (!CUxVisualManager::GetInstance()->OnFillOutlookPageButton(dc, this, rect, text)) {
    CUxButton::OnFillBackground(dc, rect);
    return;
  }
  (m_bHot ? m_clrHotText : m_clrText) = text;
}

void CUxOutlookBarPageButton::OnDrawBorder(Dc* dc, Rect& rect, unsigned state) {
  if (CUxVisualManager::GetInstance()->OnDrawOutlookPageButtonBorder(dc, this, rect, static_cast<int>(state))) return;
  CUxButton::OnDrawBorder(dc, rect, state);
}

namespace {

// Lets the visual manager draw the close button's border as the plain button draws it.
class PlainBorder : public UxOwnerDrawnBorder {
 public:
  explicit PlainBorder(CUxButton* button) : button_(button) {}
  void OnDrawBorder(Dc* dc, Rect& rect, unsigned state) override { button_->CUxButton::OnDrawBorder(dc, rect, state); }

 private:
  CUxButton* button_;
};

}  // namespace

COutlookCloseButton::COutlookCloseButton(CUxOutlookBar* bar) : CUxButton(bar), m_pBar(bar) {}

void COutlookCloseButton::OnFillBackground(Dc* dc, const Rect& rect) {
  CUxVisualManager::GetInstance()->OnFillOutlookBarArea(dc, rect, m_pBar);
}

void COutlookCloseButton::OnDrawBorder(Dc* dc, Rect& rect, unsigned state) {
  PlainBorder plain(this);
  CUxVisualManager::GetInstance()->OnDrawOwnerButtonBorder(dc, rect, &plain, state);
}

CUxOutlookBarPage::CUxOutlookBarPage() = default;

CUxOutlookBarPage::CUxOutlookBarPage(const CUxOutlookBarPage& other)
    : CObject(), m_nPageID(other.m_nPageID), m_strName(other.m_strName), m_hwndPage(other.m_hwndPage) {}

CUxOutlookBarPage::~CUxOutlookBarPage() {
  m_btnPage.reset();
  if (m_hwndPage) m_hwndPage->hide();
}

void CUxOutlookBarPage::Serialize(Archive& ar) {
  if (ar.IsStoring()) {
    ar.writeU32(m_nPageID);
    ar.writeString(m_strName);
    return;
  }
  m_nPageID = ar.readU32();
  m_strName = ar.readString();
  m_hwndPage = nullptr;
}

bool CUxOutlookBarPage::CreatePageButton(CUxOutlookBar* bar) {
  if (m_btnPage) return true;
  m_btnPage = std::make_unique<CUxOutlookBarPageButton>();
  m_btnPage->Create(m_strName.c_str(), WsChild | WsVisible, {}, bar, m_nPageID);
  m_btnPage->SetHandCursor();
  m_btnPage->m_bDrawFocusRect = false;
  m_btnPage->m_nBorderStyle = CUxButton::BorderSemiFlat;
  m_btnPage->SetAutoTooltip(true);
  // The bar sees the button's mouse input first: the active page button ignores clicks.
  m_btnPage->installEventFilter(bar);
  CUxButton* button = m_btnPage.get();
  QObject::connect(button, &QAbstractButton::clicked, bar, [bar, button] { bar->OnCommand(button->objectName().mid(2).toUInt(), 0, button); });
  m_rectButton = {};
  return true;
}

void CUxOutlookBarPage::SetButtonRect(const Rect& rect) {
  if (rect == m_rectButton) return;
  m_rectButton = rect;
  if (m_btnPage) m_btnPage->setGeometry(rect.toQRect());
}

void CUxOutlookBarPage::SetName(const std::wstring& name) {
  m_strName = name;
  if (m_btnPage) m_btnPage->setText(QString::fromStdWString(name));
}
