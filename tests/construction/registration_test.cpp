// Designations, component registration, the switch list and the end-of-construction report.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "construction/Ph1.h"
#include "construction/Schmtc.h"
#include "construction/SwList.h"
#include "construction/addStCmp.h"
#include "support/Harness.h"

namespace {

std::string text(const char* t) { return t == nullptr ? "(null)" : t; }

const int someIcon[] = {0};
void evaluateA(int) {}
void drawA(int) {}
void keyA(int) {}
void queueA(int) {}

const ComponentKind kindA = defineComponentKind({.name = "KindA",
                                                 .logicEvaluate = evaluateA,
                                                 .drawDynamic = drawA,
                                                 .xEventTriggered = keyA,
                                                 .heapQueueEventTriggered = queueA,
                                                 .icon = someIcon,
                                                 .outputOverloadable = 1,
                                                 .selfActivating = 1});
const ComponentKind nandLike = defineComponentKind({.name = "Nand", .logicEvaluate = evaluateA, .icon = someIcon});

ComponentList& components() { return phaseOne->componentList; }

}  // namespace

TEST(Designations, Composition) {
  SD top("da-ea");
  EXPECT_EQ(top.graphicLevel, 1);
  EXPECT_EQ(text(top.graphicPosition), "da-ea");
  EXPECT_EQ(top.decal, nullptr);

  SD child(top, "aa");
  SD grandchild(child, "ab-bc");
  EXPECT_EQ(child.graphicLevel, 2);
  EXPECT_EQ(text(child.graphicPosition), "da-ea.aa");
  EXPECT_EQ(grandchild.graphicLevel, 3);
  EXPECT_EQ(text(grandchild.graphicPosition), "da-ea.aa.ab-bc");
  EXPECT_EQ(grandchild.decal, nullptr);

  SD labelled("aa", "A");
  EXPECT_EQ(text(SD(labelled, "ab", "B").decal), "AB");
  EXPECT_EQ(text(SD(labelled, "ab").decal), "A");
  EXPECT_EQ(text(SD(top, "ab", "B").decal), "B");

  SD relabelled = (SD(labelled, "ab"), "New");
  EXPECT_EQ(relabelled.graphicLevel, 2);
  EXPECT_EQ(text(relabelled.graphicPosition), "aa.ab");
  EXPECT_EQ(text(relabelled.decal), "New");

  SD copy(child);
  EXPECT_EQ(copy.decal, nullptr);
  EXPECT_NE(copy.graphicPosition, child.graphicPosition);
  EXPECT_EQ(text(copy.graphicPosition), "da-ea.aa");

  // The texts are copied: the caller's buffer may change afterwards.
  char buffer[] = "ff";
  SD fromBuffer(buffer, buffer);
  buffer[0] = 'x';
  EXPECT_EQ(text(fromBuffer.graphicPosition), "ff");
  EXPECT_EQ(text(fromBuffer.decal), "ff");
}

TEST(Registration, FullFormRecordsEverything) {
  int first = components().numberOfComponents;
  Signal in(2, "in"), control(1, "ctl"), out(3, "out");
  int integers[] = {5, 6};
  unsigned char bytes[] = {1, 2, 3};
  addComponent(kindA, SD(SD("da"), "aa"), {.data = in, .control = control, .outputs = out},
               {.integers = integers,
                .bytes = bytes,
                .internal32BitVariables = 4,
                .internal16BitVariables = 5,
                .internal8BitVariables = 6},
               "Own");
  integers[0] = 99;  // the node keeps its own copy
  ComponentNode* node = components().end;
  EXPECT_EQ(node->componentIndex, first);
  EXPECT_EQ(node->ptr, nullptr);
  EXPECT_EQ(node->kind, kindA);
  EXPECT_EQ(node->iconArray, someIcon);
  EXPECT_EQ(node->graphicLevel, 2);
  EXPECT_EQ(node->graphicPosition, "da.aa");
  EXPECT_EQ(node->decal, "Own");
  ASSERT_EQ(node->dataInputs.size(), 2u);
  EXPECT_EQ(node->dataInputs[1], in.serialNumber[1]);
  ASSERT_EQ(node->controlInputs.size(), 1u);
  EXPECT_EQ(node->controlInputs[0], control.serialNumber[0]);
  ASSERT_EQ(node->outputs.size(), 3u);
  EXPECT_EQ(node->outputs[2], out.serialNumber[2]);
  EXPECT_EQ(node->integerParameters, (std::vector<int>{5, 6}));
  EXPECT_EQ(node->byteParameters, (std::vector<unsigned char>{1, 2, 3}));
  EXPECT_EQ(node->numberOfInternal32BitVariables, 4);
  EXPECT_EQ(node->numberOfInternal16BitVariables, 5);
  EXPECT_EQ(node->numberOfInternal8BitVariables, 6);
}

// A defined kind is numbered after the library's and keeps the row it was given.
TEST(Registration, DefinedKindsFollowTheLibrary) {
  EXPECT_GE(static_cast<int>(kindA), static_cast<int>(ComponentKind::numberOfLibraryKinds));
  EXPECT_EQ(static_cast<int>(nandLike), static_cast<int>(kindA) + 1);
  EXPECT_GT(numberOfComponentKinds(), static_cast<int>(nandLike));
  const ComponentKindRow& row = componentKind(kindA);
  EXPECT_EQ(row.kind, kindA);
  EXPECT_EQ(text(row.name), "KindA");
  EXPECT_EQ(row.logicEvaluate, evaluateA);
  EXPECT_EQ(row.drawDynamic, drawA);
  EXPECT_EQ(row.xEventTriggered, keyA);
  EXPECT_EQ(row.heapQueueEventTriggered, queueA);
  EXPECT_EQ(row.outputOverloadable, 1);
  EXPECT_EQ(row.selfActivating, 1);
  EXPECT_EQ(text(defaultLabel(kindA)), "KindA");
}

TEST(Registration, ShortFormNumberingLabelsAndVisibility) {
  int first = components().numberOfComponents;
  addComponent(nandLike, SD("aa"), {});
  ComponentNode* bare = components().end;
  addComponent(nandLike, SD("ab", "Mine"), {.data = Zero, .outputs = One});
  visibleFlag = 0;
  addComponent(nandLike, SD("ac"), {.data = Zero, .outputs = One}, {}, "Hidden");
  visibleFlag = 1;
  ComponentNode* hidden = components().end;

  EXPECT_EQ(components().numberOfComponents, first + 3);
  EXPECT_EQ(bare->componentIndex, first);
  EXPECT_EQ(bare->ptr->componentIndex, first + 1);
  EXPECT_EQ(bare->ptr->ptr, hidden);
  EXPECT_EQ(hidden->componentIndex, first + 2);

  EXPECT_TRUE(bare->dataInputs.empty());
  EXPECT_TRUE(bare->controlInputs.empty());
  EXPECT_TRUE(bare->outputs.empty());
  EXPECT_TRUE(bare->integerParameters.empty());
  EXPECT_TRUE(bare->byteParameters.empty());
  EXPECT_EQ(bare->iconArray, someIcon);
  EXPECT_EQ(bare->decal, "Nand");
  EXPECT_EQ(bare->ptr->decal, "Mine");

  EXPECT_EQ(hidden->iconArray, nullptr);
  EXPECT_EQ(hidden->kind, nandLike);
  EXPECT_EQ(hidden->decal, "Hidden");
  EXPECT_EQ(hidden->outputs[0], 1);
}

TEST(Registration, SwitchesTakeTheNextComponentNumber) {
  SwitchList& switches = phaseOne->switchList;
  int count = switches.numberOfSwitches;
  Signal key(1, "key");
  switches.add(key.serialNumber[0], 'k');
  addComponent(nandLike, SD("aa"), {.outputs = key});
  EXPECT_EQ(switches.numberOfSwitches, count + 1);
  EXPECT_EQ(switches.end->componentNumber, components().end->componentIndex);
  EXPECT_EQ(switches.end->signalSerialNumber, key.serialNumber[0]);
  EXPECT_EQ(switches.end->keyChar, 'k');
  EXPECT_EQ(switches.end->ptr, nullptr);

  // With no component of its own, it carries the number of whatever is registered next.
  switches.add(key.serialNumber[0], 'j');
  int next = components().numberOfComponents;
  EXPECT_EQ(switches.end->componentNumber, next);
}

TEST(Registration, NodePrint) {
  RunResult r = runInChild([] {
    ComponentNode node;
    node.componentIndex = 7;
    node.decal = "Adder";
    node.print();
  });
  EXPECT_EQ(r.err, "  componentIndex = 7 decal = Adder\n");
}
