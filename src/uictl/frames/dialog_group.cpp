#include "uictl/frames/dialog_group.h"

#include <QVariant>
#include <QWidget>
#include <algorithm>

namespace {

// The parent's children in the order Tab visits them.
std::vector<QWidget*> siblingsInFocusOrder(QWidget* parent) {
  std::vector<QWidget*> siblings;
  for (QWidget* w = parent->nextInFocusChain(); w && w != parent; w = w->nextInFocusChain()) {
    if (w->parentWidget() == parent && std::find(siblings.begin(), siblings.end(), w) == siblings.end())
      siblings.push_back(w);
  }
  return siblings;
}

bool startsGroup(const QWidget* w) { return w->property(kGroupStartProperty).toBool(); }

}  // namespace

std::vector<QWidget*> dialogGroupOf(QWidget* control) {
  QWidget* parent = control->parentWidget();
  if (!parent) return {control};
  const std::vector<QWidget*> siblings = siblingsInFocusOrder(parent);
  const auto at = std::find(siblings.begin(), siblings.end(), control);
  if (at == siblings.end()) return {control};
  auto first = at;
  while (first != siblings.begin() && !startsGroup(*first)) --first;
  auto last = at + 1;
  while (last != siblings.end() && !startsGroup(*last)) ++last;
  return {first, last};
}

QWidget* nextDialogGroupItem(QWidget* control, bool previous) {
  const std::vector<QWidget*> group = dialogGroupOf(control);
  const auto n = static_cast<long>(group.size());
  const long at = std::find(group.begin(), group.end(), control) - group.begin();
  for (long step = 1; step < n; ++step) {
    QWidget* w = group[static_cast<size_t>(((previous ? at - step : at + step) % n + n) % n)];
    if (w->isVisible() && w->isEnabled()) return w;
  }
  return control;
}
