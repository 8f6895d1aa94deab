// Deterministic layout: docking for plain containers, cells for the table layout panel,
// rows for the flow layout panel. Margins apply inside panels, not to docking.
#include <algorithm>

#include "dotnet/controls.h"

namespace maxhost::dotnet {

void Control::layoutChildren() {
  Size cs = clientSize();
  Rectangle rest{0, 0, cs.width, cs.height};
  // Docking takes the controls from the back of the z-order (the highest index) forward.
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    Control& c = **it;
    if (!c.ownVisible()) continue;
    Rectangle r = c.rawBounds();
    switch (c.dock()) {
      case DockStyle::None:
        continue;
      case DockStyle::Top:
        r = {rest.x, rest.y, rest.width, std::min(r.height, rest.height)};
        rest.y += r.height;
        rest.height -= r.height;
        break;
      case DockStyle::Bottom:
        r = {rest.x, rest.bottom() - std::min(r.height, rest.height), rest.width,
             std::min(r.height, rest.height)};
        rest.height -= r.height;
        break;
      case DockStyle::Left:
        r = {rest.x, rest.y, std::min(r.width, rest.width), rest.height};
        rest.x += r.width;
        rest.width -= r.width;
        break;
      case DockStyle::Right:
        r = {rest.right() - std::min(r.width, rest.width), rest.y, std::min(r.width, rest.width),
             rest.height};
        rest.width -= r.width;
        break;
      case DockStyle::Fill:
        r = rest;
        break;
    }
    c.setBoundsFromLayout(r);
  }
}

// ---- TableLayoutPanel

TableLayoutStyle::TableLayoutStyle(const TypeInfo& type, int sizeType, float size)
    : Object(type), sizeType(sizeType), size(size) {}

TableLayoutStyleCollection::TableLayoutStyleCollection(const TypeInfo& type) : Object(type) {}

void TableLayoutStyleCollection::forEachHeld(const std::function<void(const Value&)>& visit) const {
  for (auto& s : styles) visit(Value::object(s));
}

TableLayoutPanel::TableLayoutPanel()
    : Control(typeNamed(L"System.Windows.Forms.TableLayoutPanel")),
      columnStyles(std::make_shared<TableLayoutStyleCollection>(
          typeNamed(L"System.Windows.Forms.TableLayoutColumnStyleCollection"))),
      rowStyles(std::make_shared<TableLayoutStyleCollection>(
          typeNamed(L"System.Windows.Forms.TableLayoutRowStyleCollection"))) {}

const TypeInfo& TableLayoutPanel::controlCollectionType() const {
  return typeNamed(L"System.Windows.Forms.TableLayoutControlCollection");
}

void TableLayoutPanel::setCellPosition(const Control* c, int column, int row) {
  cells_[c] = {column, row};
  Application::instance().invalidateLayout();
}

std::pair<int, int> TableLayoutPanel::cellPosition(const Control* c) const {
  auto it = cells_.find(c);
  return it == cells_.end() ? std::pair{-1, -1} : it->second;
}

void TableLayoutPanel::forEachHeld(const std::function<void(const Value&)>& visit) const {
  Control::forEachHeld(visit);
  visit(Value::object(columnStyles));
  visit(Value::object(rowStyles));
}

namespace {

constexpr int kAutoSize = 0, kAbsolute = 1, kPercent = 2;

// Sizes of the tracks (columns or rows): absolute and auto-sized tracks first, then the
// percent tracks share what is left in proportion; the last percent track takes the
// rounding remainder.
std::vector<int> trackSizes(int count, const TableLayoutStyleCollection& styles, int total,
                            const std::vector<int>& contentSize) {
  std::vector<int> sizes(count, 0);
  int fixed = 0;
  float percentSum = 0;
  int lastPercent = -1;
  for (int i = 0; i < count; ++i) {
    int type = i < int(styles.styles.size()) ? styles.styles[i]->sizeType : kAutoSize;
    float size = i < int(styles.styles.size()) ? styles.styles[i]->size : 0.f;
    if (type == kAbsolute) sizes[i] = int(size);
    if (type == kAutoSize) sizes[i] = contentSize[i];
    if (type == kPercent) {
      percentSum += size;
      lastPercent = i;
    } else {
      fixed += sizes[i];
    }
  }
  int rest = std::max(0, total - fixed);
  int given = 0;
  for (int i = 0; i < count; ++i) {
    int type = i < int(styles.styles.size()) ? styles.styles[i]->sizeType : kAutoSize;
    if (type != kPercent) continue;
    if (i == lastPercent) {
      sizes[i] = rest - given;
    } else {
      sizes[i] = percentSum > 0 ? int(rest * styles.styles[i]->size / percentSum) : 0;
      given += sizes[i];
    }
  }
  return sizes;
}

}  // namespace

void TableLayoutPanel::layoutChildren() {
  // Children without a cell take the free cells in reading order.
  int columns = std::max(columnCount, 1);
  for (auto& [c, cell] : cells_) columns = std::max(columns, cell.first + 1);
  std::map<std::pair<int, int>, bool> taken;
  std::map<const Control*, std::pair<int, int>> placed;
  for (auto& c : children_) {
    auto it = cells_.find(c.get());
    if (it != cells_.end() && it->second.first >= 0 && it->second.second >= 0) {
      placed[c.get()] = it->second;
      taken[{it->second.second, it->second.first}] = true;
    }
  }
  int next = 0;
  for (auto& c : children_) {
    if (placed.count(c.get())) continue;
    while (taken.count({next / columns, next % columns})) ++next;
    placed[c.get()] = {next % columns, next / columns};
    taken[{next / columns, next % columns}] = true;
  }
  int rows = std::max(rowCount, 1);
  for (auto& [c, cell] : placed) rows = std::max(rows, cell.second + 1);

  std::vector<int> contentW(columns, 0), contentH(rows, 0);
  for (auto& c : children_) {
    if (!c->ownVisible()) continue;
    auto [col, row] = placed[c.get()];
    Rectangle r = c->rawBounds();
    Padding m = c->margin();
    contentW[col] = std::max(contentW[col], r.width + m.left + m.right);
    contentH[row] = std::max(contentH[row], r.height + m.top + m.bottom);
  }
  Size cs = clientSize();
  std::vector<int> widths = trackSizes(columns, *columnStyles, cs.width, contentW);
  std::vector<int> heights = trackSizes(rows, *rowStyles, cs.height, contentH);
  std::vector<int> xs(columns + 1, 0), ys(rows + 1, 0);
  for (int i = 0; i < columns; ++i) xs[i + 1] = xs[i] + widths[i];
  for (int i = 0; i < rows; ++i) ys[i + 1] = ys[i] + heights[i];

  for (auto& c : children_) {
    if (!c->ownVisible()) continue;
    auto [col, row] = placed[c.get()];
    Rectangle cell{xs[col], ys[row], widths[col], heights[row]};
    Padding m = c->margin();
    Rectangle r = c->rawBounds();
    Rectangle inner{cell.x + m.left, cell.y + m.top, std::max(0, cell.width - m.left - m.right),
                    std::max(0, cell.height - m.top - m.bottom)};
    switch (c->dock()) {
      case DockStyle::Fill:
        r = inner;
        break;
      case DockStyle::Top:
        r = {inner.x, inner.y, inner.width, r.height};
        break;
      case DockStyle::Bottom:
        r = {inner.x, inner.bottom() - r.height, inner.width, r.height};
        break;
      case DockStyle::Left:
        r = {inner.x, inner.y, r.width, inner.height};
        break;
      case DockStyle::Right:
        r = {inner.right() - r.width, inner.y, r.width, inner.height};
        break;
      case DockStyle::None:
        r = {inner.x, inner.y, r.width, r.height};
        break;
    }
    c->setBoundsFromLayout(r);
  }
}

// ---- FlowLayoutPanel

FlowLayoutPanel::FlowLayoutPanel() : Control(typeNamed(L"System.Windows.Forms.FlowLayoutPanel")) {}

void FlowLayoutPanel::layoutChildren() {
  Size cs = clientSize();
  bool vertical = flowDirection == 1 || flowDirection == 3;
  int along = 0, across = 0, lineExtent = 0;
  int limit = vertical ? cs.height : cs.width;
  for (auto& c : children_) {
    if (!c->ownVisible()) continue;
    Rectangle r = c->rawBounds();
    Padding m = c->margin();
    int extent = vertical ? r.height + m.top + m.bottom : r.width + m.left + m.right;
    int thickness = vertical ? r.width + m.left + m.right : r.height + m.top + m.bottom;
    if (wrapContents && along > 0 && along + extent > limit) {
      along = 0;
      across += lineExtent;
      lineExtent = 0;
    }
    Rectangle placed;
    if (vertical) {
      int y = flowDirection == 1 ? along + m.top : cs.height - along - extent + m.top;
      placed = {across + m.left, y, r.width, r.height};
    } else {
      int x = flowDirection == 0 ? along + m.left : cs.width - along - extent + m.left;
      placed = {x, across + m.top, r.width, r.height};
    }
    c->setBoundsFromLayout(placed);
    along += extent;
    lineExtent = std::max(lineExtent, thickness);
  }
}

}  // namespace maxhost::dotnet
