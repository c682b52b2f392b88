// The "Window" menu's list of the MDI children: the first nine by number with the active one
// checked, an item for the rest, and the commands that bring a child forward.
#include "platform/windows/modal_dialog.h"
#include "uictl/frames/mdi/mdi_client_area.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QVBoxLayout>

using namespace platform;

namespace {
constexpr int kListedChildren = 9;
}  // namespace

std::vector<QMdiSubWindow*> MDIClientAreaWnd::windowMenuChildren() const {
  std::vector<QMdiSubWindow*> children;
  for (QMdiSubWindow* child : subWindowList(CreationOrder))
    if (!child->isHidden() && !m_closing.contains(child)) children.push_back(child);
  // The active child is always among the numbered ones.
  const auto active = std::find(children.begin(), children.end(), activeSubWindow());
  if (active != children.end() && active - children.begin() >= kListedChildren)
    std::rotate(children.begin() + kListedChildren - 1, active, active + 1);
  return children;
}

void MDIClientAreaWnd::RefreshWindowMenu(MenuHandle windowMenu) {
  if (!isMenu(windowMenu)) return;
  for (int i = getMenuItemCount(windowMenu) - 1; i >= 0; --i) {
    const unsigned id = getMenuItemId(windowMenu, i);
    if (id >= kFirstWindowMenuChild && id <= kMoreWindowsMenuItem) deleteMenu(windowMenu, unsigned(i), MfByPosition);
  }
  // The separator before the list goes with it.
  if (const int last = getMenuItemCount(windowMenu) - 1;
      last >= 0 && isSeparatorState(getMenuState(windowMenu, unsigned(last), MfByPosition)))
    deleteMenu(windowMenu, unsigned(last), MfByPosition);

  const std::vector<QMdiSubWindow*> children = windowMenuChildren();
  if (children.empty()) return;
  if (getMenuItemCount(windowMenu) > 0) appendMenu(windowMenu, MfSeparator, 0);
  const QMdiSubWindow* active = activeSubWindow();
  for (int n = 0; n < kListedChildren && n < static_cast<int>(children.size()); ++n) {
    const std::wstring text = L"&" + std::to_wstring(n + 1) + L" " + children[size_t(n)]->windowTitle().toStdWString();
    appendMenu(windowMenu, MfString | (children[size_t(n)] == active ? unsigned(MfChecked) : 0u),
               kFirstWindowMenuChild + unsigned(n), text);
  }
  if (children.size() > kListedChildren)
    appendMenu(windowMenu, MfString, kMoreWindowsMenuItem, L"その他のウィンドウ(&M)...");
}

bool MDIClientAreaWnd::RunWindowCommand(unsigned command) {
  if (command == kMoreWindowsMenuItem) {
    chooseWindow();
    return true;
  }
  if (command < kFirstWindowMenuChild || command >= kMoreWindowsMenuItem) return false;
  const std::vector<QMdiSubWindow*> children = windowMenuChildren();
  const size_t n = command - kFirstWindowMenuChild;
  if (n >= children.size()) return false;
  activateChild(children[n]);
  return true;
}

void MDIClientAreaWnd::activateChild(QMdiSubWindow* child) {
  if (child->isMinimized()) child->showNormal();
  setActiveSubWindow(child);
}

// Every child in a list to pick one from, for when the menu cannot show them all.
void MDIClientAreaWnd::chooseWindow() {
  const std::vector<QMdiSubWindow*> children = windowMenuChildren();
  QDialog dialog(window());
  dialog.setWindowTitle(QStringLiteral("ウィンドウの選択"));
  auto* list = new QListWidget(&dialog);
  for (QMdiSubWindow* child : children) list->addItem(child->windowTitle());
  const auto active = std::find(children.begin(), children.end(), activeSubWindow());
  list->setCurrentRow(active == children.end() ? 0 : static_cast<int>(active - children.begin()));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(list);
  layout->addWidget(buttons);
  QPointer<MDIClientAreaWnd> self(this);
  if (execDialog(dialog) != QDialog::Accepted || !self) return;
  const int row = list->currentRow();
  // The children may have changed while the list was open.
  if (row >= 0 && row < static_cast<int>(children.size()) && subWindowList().contains(children[size_t(row)]))
    activateChild(children[size_t(row)]);
}
