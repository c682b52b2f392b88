#include "uictl/frames/ux_frame_base.h"

#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/commands/virtual_keys.h"
#include "uictl/frames/dialog_impl.h"
#include "uictl/frames/frame_keys.h"

#include <QCloseEvent>
#include <QWhatsThis>

#include <memory>

UxFrameBase::UxFrameBase(QWidget* parent) : DockFrame(parent) {}

UxFrameBase::~UxFrameBase() = default;

bool UxFrameBase::LoadFrame(unsigned resourceId) {
  m_nIDHelp = resourceId;
  m_Impl.m_nMenuResourceId = resourceId;
  return true;
}

AccelTable UxFrameBase::GetDefaultAccelerator(bool document) const { return document ? nullptr : m_hAccelTable; }

bool UxFrameBase::OnShowPopupMenu(CUxPopupMenu* popup) {
  // No popup of this library is a torn-off bar: each one asks the application.
  return m_Impl.OnShowPopupMenu(popup) && AllowPopupMenu(popup);
}

bool UxFrameBase::onCommand(unsigned id, int notifyCode) {
  if (CUxToolBar::IsCustomizeMode()) return false;
  if (notifyCode == kFromAccelerator) {
    commandUsage().AddCmd(id);
    if (m_Impl.RouteKeyDown(VkEscape, nullptr)) return true;
  }
  if (RunUserToolCommand(id)) return true;
  return OnFrameCommand(id, notifyCode);
}

bool UxFrameBase::event(QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == UXTOOLBAR_CREATE || type == UXTOOLBAR_DELETE) {
    auto* message = dynamic_cast<platform::RegisteredMessageEvent*>(event);
    if (!message) return DockFrame::event(event);
    if (type == UXTOOLBAR_CREATE) {
      const auto* name = reinterpret_cast<const wchar_t*>(message->lParam());
      message->result = reinterpret_cast<intptr_t>(m_Impl.CreateCustomBar(name ? name : L""));
    } else {
      message->result = m_Impl.DeleteCustomBar(reinterpret_cast<CUxToolBar*>(message->lParam()));
    }
    return true;
  }
  if (type == QEvent::WindowDeactivate && !CUxToolBar::IsCustomizeMode()) m_Impl.ReleaseMenuMode();
  if (type == QEvent::WindowActivate) update();
  return DockFrame::event(event);
}

void UxFrameBase::closeEvent(QCloseEvent* event) {
  m_Impl.DestroyHiddenTearOffBars();
  DockFrame::closeEvent(event);
}

void UxFrameBase::RemoveTearOffBar(CUxControlBar* bar) {
  if (auto* toolbar = dynamic_cast<CUxToolBar*>(bar)) m_Impl.RemoveTearOffBar(toolbar);
}

MiniDockFrame* UxFrameBase::CreateFloatingFrame(unsigned barStyle) {
  auto frame = std::make_unique<CUxMiniDockFrameWnd>(this);
  return frame->Create(barStyle) ? frame.release() : nullptr;
}

void UxFrameBase::WinHelp(unsigned helpContext, const QPoint& screen) {
  if (helpContext < kHidBaseCommand || helpContext >= kHidBaseControl) return;
  const std::wstring prompt = messageString(helpContext - kHidBaseCommand);
  if (!prompt.empty()) QWhatsThis::showText(screen, QString::fromStdWString(prompt), this);
}
