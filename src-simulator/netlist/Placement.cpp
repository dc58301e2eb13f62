#include "netlist/Placement.h"

#include <algorithm>
#include <cstdint>

namespace netlist {
namespace {

constexpr int base = 93;

char digit(int d) {
  const char c = static_cast<char>('!' + d);
  return c >= '.' ? static_cast<char>(c + 1) : c;  // '.' separates fields
}

// Compressed adjacency: the items each item leads to, or comes from.
struct Graph {
  std::vector<uint32_t> first;  // per item, into to
  std::vector<int32_t> to;
  void build(size_t items, const std::vector<std::pair<int32_t, int32_t>>& edges, bool reverse) {
    first.assign(items + 1, 0);
    for (const auto& e : edges) ++first[static_cast<size_t>(reverse ? e.second : e.first) + 1];
    for (size_t i = 0; i < items; ++i) first[i + 1] += first[i];
    to.assign(edges.size(), 0);
    std::vector<uint32_t> fill(first.begin(), first.end() - 1);
    for (const auto& e : edges) {
      const int32_t from = reverse ? e.second : e.first;
      to[fill[static_cast<size_t>(from)]++] = reverse ? e.first : e.second;
    }
  }
  template <class F>
  void each(int32_t item, F f) const {
    for (uint32_t k = first[static_cast<size_t>(item)]; k < first[static_cast<size_t>(item) + 1]; ++k) f(to[k]);
  }
};

class Placer {
public:
  Placer(const Netlist& n, const std::vector<std::vector<NetId>>& p) : netlist(n), probes(p) {
    cellCount = static_cast<int32_t>(n.cells.size());
    boxCount = static_cast<int32_t>(n.boxes.size());
    portCount = static_cast<int32_t>(n.ports.size());
    items = static_cast<size_t>(cellCount + boxCount + portCount) + p.size();
  }

  Placement run() {
    scopes();
    edges();
    levels();
    rows();
    return positions();
  }

private:
  const Netlist& netlist;
  const std::vector<std::vector<NetId>>& probes;
  int32_t cellCount, boxCount, portCount;
  size_t items;
  // Item numbers: cells, then boxes, then ports, then probes.
  int32_t boxItem(int box) const { return cellCount + box; }
  int32_t portItem(size_t port) const { return cellCount + boxCount + static_cast<int32_t>(port); }
  int32_t probeItem(size_t probe) const { return cellCount + boxCount + portCount + static_cast<int32_t>(probe); }

  std::vector<int32_t> scope;  // the box whose grid holds the item (-1: box 0 itself)
  std::vector<uint8_t> output;  // placed in the outputs' column
  Graph succ, pred;
  std::vector<int32_t> level, row;
  std::vector<int32_t> columnsOf, rowsOf;  // per box: its grid's size

  void scopes() {
    scope.assign(items, 0);
    output.assign(items, 0);
    for (int32_t c = 0; c < cellCount; ++c) scope[static_cast<size_t>(c)] = netlist.cells[static_cast<size_t>(c)].box;
    for (int32_t b = 0; b < boxCount; ++b) scope[static_cast<size_t>(boxItem(b))] = netlist.boxes[static_cast<size_t>(b)].parent;
    for (size_t p = 0; p < netlist.ports.size(); ++p) output[static_cast<size_t>(portItem(p))] = !netlist.ports[p].input;
    for (size_t p = 0; p < probes.size(); ++p) output[static_cast<size_t>(probeItem(p))] = 1;
  }

  int depthOf(int32_t item) const {
    const int32_t s = scope[static_cast<size_t>(item)];
    return s < 0 ? -1 : netlist.boxes[static_cast<size_t>(s)].depth;
  }

  // The two items lifted to the grid they share; false when they are one item there.
  bool lift(int32_t& a, int32_t& b) const {
    while (depthOf(a) > depthOf(b)) a = boxItem(scope[static_cast<size_t>(a)]);
    while (depthOf(b) > depthOf(a)) b = boxItem(scope[static_cast<size_t>(b)]);
    while (scope[static_cast<size_t>(a)] != scope[static_cast<size_t>(b)]) {
      a = boxItem(scope[static_cast<size_t>(a)]);
      b = boxItem(scope[static_cast<size_t>(b)]);
    }
    return a != b;
  }

  void edges() {
    // The item driving each net; flip-flops and latches drive nothing for the levels.
    std::vector<int32_t> driver(static_cast<size_t>(netlist.netCount), -1);
    for (size_t p = 0; p < netlist.ports.size(); ++p)
      if (netlist.ports[p].input)
        for (NetId bit : netlist.ports[p].bits)
          if (bit >= firstNet && bit < netlist.netCount) driver[static_cast<size_t>(bit)] = portItem(p);
    for (int32_t c = 0; c < cellCount; ++c) {
      const Cell& cell = netlist.cells[static_cast<size_t>(c)];
      if (cell.output < firstNet || cell.output >= netlist.netCount) continue;
      if (cell.kind == CellKind::Dff || cell.kind == CellKind::Latch) continue;
      driver[static_cast<size_t>(cell.output)] = c;
    }
    std::vector<std::pair<int32_t, int32_t>> list;
    auto read = [&](NetId net, int32_t reader) {
      if (net < firstNet || net >= netlist.netCount) return;
      int32_t from = driver[static_cast<size_t>(net)];
      if (from < 0) return;
      int32_t to = reader;
      if (lift(from, to)) list.emplace_back(from, to);
    };
    for (int32_t c = 0; c < cellCount; ++c) {
      const Cell& cell = netlist.cells[static_cast<size_t>(c)];
      const NetId* in = netlist.inputsOf(cell);
      for (uint32_t k = 0; k < cell.inputCount; ++k) read(in[k], c);
    }
    for (size_t p = 0; p < netlist.ports.size(); ++p)
      if (!netlist.ports[p].input)
        for (NetId bit : netlist.ports[p].bits) read(bit, portItem(p));
    for (size_t p = 0; p < probes.size(); ++p)
      for (NetId bit : probes[p]) read(bit, probeItem(p));
    succ.build(items, list, false);
    pred.build(items, list, true);
  }

  // Longest path from the sources, in one topological pass; a loop is entered at its first item.
  void levels() {
    // On the top grid column 0 is the inputs': everything else starts at column 1.
    level.assign(items, 0);
    for (size_t i = 0; i < items; ++i)
      if (scope[i] == 0) level[i] = 1;
    for (size_t p = 0; p < netlist.ports.size(); ++p)
      if (netlist.ports[p].input) level[static_cast<size_t>(portItem(p))] = 0;
    std::vector<uint32_t> waiting(items, 0);
    std::vector<uint8_t> done(items, 0);
    for (size_t i = 0; i < items; ++i) waiting[i] = pred.first[i + 1] - pred.first[i];
    std::vector<int32_t> queue;
    queue.reserve(items);
    for (size_t i = 0; i < items; ++i)
      if (waiting[i] == 0) queue.push_back(static_cast<int32_t>(i));
    size_t head = 0, next = 0;
    while (true) {
      if (head == queue.size()) {
        while (next < items && done[next] != 0) ++next;
        if (next == items) break;
        const int32_t item = static_cast<int32_t>(next);
        int32_t l = scope[next] == 0 ? 1 : 0;
        pred.each(item, [&](int32_t p) {
          if (done[static_cast<size_t>(p)] != 0) l = std::max(l, level[static_cast<size_t>(p)] + 1);
        });
        level[next] = l;
        waiting[next] = 0;
        queue.push_back(item);
      }
      const int32_t item = queue[head++];
      if (done[static_cast<size_t>(item)] != 0) continue;
      done[static_cast<size_t>(item)] = 1;
      succ.each(item, [&](int32_t s) {
        level[static_cast<size_t>(s)] = std::max(level[static_cast<size_t>(s)], level[static_cast<size_t>(item)] + 1);
        if (waiting[static_cast<size_t>(s)] > 0 && --waiting[static_cast<size_t>(s)] == 0) queue.push_back(s);
      });
    }
    // Inputs in column 0, outputs after the last column of their grid.
    for (size_t p = 0; p < netlist.ports.size(); ++p)
      if (netlist.ports[p].input) level[static_cast<size_t>(portItem(p))] = 0;
    std::vector<int32_t> deepest(static_cast<size_t>(boxCount), 0);
    for (size_t i = 0; i < items; ++i) {
      const int32_t s = scope[i];
      if (s >= 0 && output[i] == 0) deepest[static_cast<size_t>(s)] = std::max(deepest[static_cast<size_t>(s)], level[i]);
    }
    for (size_t i = 0; i < items; ++i)
      if (output[i] != 0) level[i] = deepest[0] + 1;
  }

  // Rows: column by column, each ordered by the mean row of its drivers, by counting sort.
  void rows() {
    row.assign(items, 0);
    columnsOf.assign(static_cast<size_t>(boxCount), 0);
    rowsOf.assign(static_cast<size_t>(boxCount), 1);
    for (size_t i = 0; i < items; ++i)
      if (scope[i] >= 0)
        columnsOf[static_cast<size_t>(scope[i])] = std::max(columnsOf[static_cast<size_t>(scope[i])], level[i] + 1);
    // The items of each (box, column), in item order: offsets per box, then per column.
    std::vector<size_t> boxFirst(static_cast<size_t>(boxCount) + 1, 0);
    for (int32_t b = 0; b < boxCount; ++b)
      boxFirst[static_cast<size_t>(b) + 1] = boxFirst[static_cast<size_t>(b)] + static_cast<size_t>(columnsOf[static_cast<size_t>(b)]);
    std::vector<uint32_t> columnFirst(boxFirst.back() + 1, 0);
    auto slot = [&](size_t i) { return boxFirst[static_cast<size_t>(scope[i])] + static_cast<size_t>(level[i]); };
    for (size_t i = 0; i < items; ++i)
      if (scope[i] >= 0) ++columnFirst[slot(i) + 1];
    for (size_t k = 0; k + 1 < columnFirst.size(); ++k) columnFirst[k + 1] += columnFirst[k];
    std::vector<int32_t> members(columnFirst.back());
    std::vector<uint32_t> fill(columnFirst.begin(), columnFirst.end() - 1);
    for (size_t i = 0; i < items; ++i)
      if (scope[i] >= 0) members[fill[slot(i)]++] = static_cast<int32_t>(i);

    std::vector<double> key;
    std::vector<uint32_t> count;
    std::vector<int32_t> sorted;
    for (int32_t b = 0; b < boxCount; ++b) {
      int32_t tallest = 1;  // rows of the columns so far
      for (int32_t column = 0; column < columnsOf[static_cast<size_t>(b)]; ++column) {
        const size_t k = boxFirst[static_cast<size_t>(b)] + static_cast<size_t>(column);
        const uint32_t begin = columnFirst[k], end = columnFirst[k + 1];
        const uint32_t size = end - begin;
        if (size == 0) continue;
        // Barycentres as fractions of the height so far; no driver to the left: its own place.
        key.assign(size, 0);
        for (uint32_t m = 0; m < size; ++m) {
          const int32_t item = members[begin + m];
          double sum = 0;
          int n = 0;
          pred.each(item, [&](int32_t p) {
            if (level[static_cast<size_t>(p)] < column) {
              sum += row[static_cast<size_t>(p)];
              ++n;
            }
          });
          key[m] = n > 0 ? (sum / n + 0.5) / tallest : (m + 0.5) / size;
        }
        count.assign(size + 1, 0);
        auto bucket = [&](uint32_t m) {
          return std::min<uint32_t>(size - 1, static_cast<uint32_t>(std::max(0.0, key[m]) * size));
        };
        for (uint32_t m = 0; m < size; ++m) ++count[bucket(m) + 1];
        for (uint32_t m = 0; m < size; ++m) count[m + 1] += count[m];
        sorted.assign(size, 0);
        for (uint32_t m = 0; m < size; ++m) sorted[count[bucket(m)]++] = members[begin + m];
        for (uint32_t m = 0; m < size; ++m) {
          members[begin + m] = sorted[m];
          row[static_cast<size_t>(sorted[m])] = static_cast<int32_t>(m);
        }
        tallest = std::max(tallest, static_cast<int32_t>(size));
      }
      rowsOf[static_cast<size_t>(b)] = tallest;
      // Each column centred.
      for (int32_t column = 0; column < columnsOf[static_cast<size_t>(b)]; ++column) {
        const size_t k = boxFirst[static_cast<size_t>(b)] + static_cast<size_t>(column);
        const int32_t shift = (tallest - static_cast<int32_t>(columnFirst[k + 1] - columnFirst[k])) / 2;
        for (uint32_t m = columnFirst[k]; m < columnFirst[k + 1]; ++m) row[static_cast<size_t>(members[m])] += shift;
      }
    }
  }

  Placement positions() {
    Placement p;
    p.cells.resize(static_cast<size_t>(cellCount));
    p.boxes.resize(static_cast<size_t>(boxCount));
    p.ports.resize(static_cast<size_t>(portCount));
    p.probes.resize(probes.size());
    p.columns = columnsOf.empty() ? 0 : columnsOf[0];
    p.rows = rowsOf.empty() ? 0 : rowsOf[0];
    // Boxes before their contents: a box's number is above its parent's.
    auto text = [&](size_t i) {
      const int32_t s = scope[i];
      const std::string here = gridPosition(row[i], level[i], rowsOf[static_cast<size_t>(s)],
                                            std::max(1, columnsOf[static_cast<size_t>(s)]));
      return s == 0 ? here : p.boxes[static_cast<size_t>(s)] + "." + here;
    };
    for (int32_t b = 1; b < boxCount; ++b) p.boxes[static_cast<size_t>(b)] = text(static_cast<size_t>(boxItem(b)));
    for (int32_t c = 0; c < cellCount; ++c) p.cells[static_cast<size_t>(c)] = text(static_cast<size_t>(c));
    for (size_t k = 0; k < netlist.ports.size(); ++k) p.ports[k] = text(static_cast<size_t>(portItem(k)));
    for (size_t k = 0; k < probes.size(); ++k) p.probes[k] = text(static_cast<size_t>(probeItem(k)));
    return p;
  }
};

}  // namespace

std::string gridPosition(int row, int column, int rows, int columns) {
  // A small grid is lettered as circuits are written by hand.
  if (rows <= 26 && columns <= 26) return {static_cast<char>('a' + row), static_cast<char>('a' + column)};
  int fields = 1;
  for (long long span = base; span < std::max(rows, columns); span *= base) ++fields;
  std::string text;
  long long scale = 1;
  for (int f = 1; f < fields; ++f) scale *= base;
  for (int f = 0; f < fields; ++f) {
    if (f > 0) text += '.';
    text += digit(static_cast<int>(row / scale % base));
    text += digit(static_cast<int>(column / scale % base));
    scale /= base;
  }
  return text;
}

Placement place(const Netlist& netlist, const std::vector<std::vector<NetId>>& probes) {
  return Placer(netlist, probes).run();
}

}  // namespace netlist
