// Storage cut from blocks: texts and nodes that never move, the component list that releases
// its nodes as the flattening copies them, and the handles' names shared when made again.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "construction/Blocks.h"
#include "construction/CompList.h"
#include "construction/Signal.h"
#include "process/Settings.h"

namespace {

TEST(Blocks, TextsStayWhereTheyWereCopied) {
  TextBlocks texts;
  std::vector<std::pair<const char*, std::string>> copies;
  // Far more than a block, and one text longer than the largest block.
  for (int i = 0; i < 20000; ++i) {
    const std::string text = "wire[" + std::to_string(i) + "]";
    copies.push_back({texts.copy(text.c_str()), text});
  }
  const std::string longText(3 << 20, 'x');
  const char* copiedLong = texts.copy(longText.c_str());
  const char* cut = texts.copy("abcdef", 3);
  for (const auto& [copy, text] : copies) ASSERT_EQ(copy, text);
  EXPECT_EQ(copiedLong, longText);
  EXPECT_STREQ(cut, "abc");
  EXPECT_EQ(texts.copy(nullptr), nullptr);

  TextBlocks taken(std::move(texts));
  EXPECT_STREQ(cut, "abc");  // the texts changed hands, not places
}

struct Counted {
  static inline int alive = 0;
  int value = 7;
  Counted() { ++alive; }
  ~Counted() { --alive; }
};

TEST(Blocks, NodesAreMadeAndDestroyedTogether) {
  {
    NodeBlocks<Counted, 4> nodes;
    for (int i = 0; i < 10; ++i) EXPECT_EQ(nodes.make()->value, 7);
    EXPECT_EQ(Counted::alive, 10);
    nodes.release();
    EXPECT_EQ(Counted::alive, 0);
    nodes.make();
  }
  EXPECT_EQ(Counted::alive, 0);
}

TEST(Blocks, ComponentListReleasesFromTheFront) {
  const int quiet = quietFlag;
  quietFlag = 1;  // no count report from the list
  ComponentList& list = *new ComponentList();
  constexpr int count = 5000;  // a few blocks' worth
  for (int i = 0; i < count; ++i) list.add().decal = "c" + std::to_string(i);
  ComponentNode* middle = list.start;
  for (int i = 0; i < 3000; ++i) middle = middle->ptr;

  list.releaseBefore(middle);
  EXPECT_EQ(list.start, middle);
  int left = 0;
  for (const ComponentNode* node = list.start; node != nullptr; node = node->ptr, ++left)
    ASSERT_EQ(node->decal, "c" + std::to_string(3000 + left));
  EXPECT_EQ(left, count - 3000);

  list.releaseBefore(nullptr);
  EXPECT_EQ(list.start, nullptr);
  EXPECT_EQ(list.end, nullptr);
  EXPECT_EQ(list.numberOfComponents, count);  // still the number registered
  ComponentNode& next = list.add();            // and numbering goes on
  EXPECT_EQ(next.componentIndex, count);
  EXPECT_EQ(list.start, &next);
  delete &list;
  quietFlag = quiet;
}

TEST(Blocks, OrderFreeComponentsAreGatheredByKindBehindTheOthers) {
  const int quiet = quietFlag;
  quietFlag = 1;
  ComponentList& list = *new ComponentList();
  using K = ComponentKind;
  const K kinds[] = {K::Probe, K::Or, K::Tsb, K::And, K::Mux, K::Or, K::Dff, K::And, K::Switch};
  for (K kind : kinds) {
    ComponentNode& node = list.add();
    node.kind = kind;
    node.decal = std::to_string(node.componentIndex);
    node.outputs = {node.componentIndex};
  }
  list.gatherOrderFree(list.start);  // the first stays first
  std::string order;
  int index = 0;
  for (const ComponentNode* node = list.start; node != nullptr; node = node->ptr, ++index) {
    EXPECT_EQ(node->componentIndex, index);
    EXPECT_EQ(node->outputs, std::vector<int>{std::stoi(node->decal)});  // the contents moved whole
    order += node->decal + " ";
  }
  EXPECT_EQ(order, "0 2 6 8 3 7 1 5 4 ");
  EXPECT_EQ(index, 9);
  EXPECT_EQ(list.end->decal, "4");
  delete &list;
  quietFlag = quiet;
}

TEST(Blocks, DerivedHandleNamesMadeAgainAreShared) {
  Signal a(2, "a"), b(1, "b");
  const Signal first = (a[1], b), again = (a[1], b), other = (b, a[1]);
  EXPECT_STREQ(first.nameTag, "a[1],b");
  EXPECT_EQ(again.nameTag, first.nameTag);
  EXPECT_STREQ(other.nameTag, "b,a[1]");
}

}  // namespace
