#include "ui/tab_order.h"

#include <algorithm>

namespace {

bool Collect(Pane* pane, void* data) {
  static_cast<std::vector<Pane*>*>(data)->push_back(pane);
  return true;
}

}  // namespace

bool PaneTakesFocus(Pane* pane) { return pane->IsShown() && pane->enabled && pane->AcceptsFocus(); }

std::vector<Pane*> TabOrder(Pane* root) {
  std::vector<Pane*> order;
  if (root) root->Visit(Collect, &order);
  return order;
}

Pane* NextTabPane(Pane* root, Pane* current, bool backwards) {
  std::vector<Pane*> order = TabOrder(root);
  if (backwards) std::reverse(order.begin(), order.end());
  auto position = std::find(order.begin(), order.end(), current);
  // Start after the current pane, or at the beginning when it is not in the order.
  size_t start = position == order.end() ? 0 : static_cast<size_t>(position - order.begin()) + 1;
  for (size_t step = 0; step < order.size(); step++) {
    Pane* candidate = order[(start + step) % order.size()];
    if (PaneTakesFocus(candidate)) return candidate;
  }
  return nullptr;
}
