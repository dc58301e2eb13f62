// Designations, component registration, the switch list and the end-of-construction report.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

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
  SecondaryEvaluatePointer none{};
  addStandardComponent(evaluateA, none, someIcon, drawA, keyA, queueA, 1, 1, "Own", SD(SD("da"), "aa"), in, control,
                       out, 2, integers, 3, bytes, 4, 5, 6);
  integers[0] = 99;  // the node keeps its own copy
  ComponentNode* node = components().end;
  EXPECT_EQ(node->componentIndex, first);
  EXPECT_EQ(node->ptr, nullptr);
  EXPECT_EQ(node->logicEvaluate, evaluateA);
  EXPECT_EQ(node->drawDynamic, drawA);
  EXPECT_EQ(node->xEventTriggered, keyA);
  EXPECT_EQ(node->heapQueueEventTriggered, queueA);
  EXPECT_EQ(node->iconArray, someIcon);
  EXPECT_EQ(node->outputOverloadable, 1);
  EXPECT_EQ(node->selfActivating, 1);
  EXPECT_EQ(node->graphicLevel, 2);
  EXPECT_EQ(text(node->graphicPosition), "da.aa");
  EXPECT_EQ(text(node->decal), "Own");
  ASSERT_EQ(node->numberOfDataInputs, 2);
  EXPECT_EQ(node->dataInputs[1], in.serialNumber[1]);
  ASSERT_EQ(node->numberOfControlInputs, 1);
  EXPECT_EQ(node->controlInputs[0], control.serialNumber[0]);
  ASSERT_EQ(node->numberOfOutputs, 3);
  EXPECT_EQ(node->outputs[2], out.serialNumber[2]);
  ASSERT_EQ(node->numberOfIntegerParameters, 2);
  EXPECT_EQ(node->integerParameters[0], 5);
  ASSERT_EQ(node->numberOfByteParameters, 3);
  EXPECT_EQ(node->byteParameters[2], 3);
  EXPECT_EQ(node->numberOfInternal32BitVariables, 4);
  EXPECT_EQ(node->numberOfInternal16BitVariables, 5);
  EXPECT_EQ(node->numberOfInternal8BitVariables, 6);
}

TEST(Registration, ShortFormNumberingLabelsAndVisibility) {
  int first = components().numberOfComponents;
  addStandardComponent(evaluateA, someIcon, "Nand", SD("aa"), Signal(), Signal(), Signal());
  ComponentNode* bare = components().end;
  addStandardComponent(evaluateA, someIcon, "Nand", SD("ab", "Mine"), Zero, Signal(), One);
  visibleFlag = 0;
  addStandardComponent(evaluateA, someIcon, "Hidden", SD("ac"), Zero, Signal(), One);
  visibleFlag = 1;
  ComponentNode* hidden = components().end;

  EXPECT_EQ(components().numberOfComponents, first + 3);
  EXPECT_EQ(bare->componentIndex, first);
  EXPECT_EQ(bare->ptr->componentIndex, first + 1);
  EXPECT_EQ(bare->ptr->ptr, hidden);
  EXPECT_EQ(hidden->componentIndex, first + 2);

  EXPECT_EQ(bare->numberOfDataInputs, 0);
  EXPECT_EQ(bare->dataInputs, nullptr);
  EXPECT_EQ(bare->numberOfControlInputs, 0);
  EXPECT_EQ(bare->controlInputs, nullptr);
  EXPECT_EQ(bare->numberOfOutputs, 0);
  EXPECT_EQ(bare->outputs, nullptr);
  EXPECT_EQ(bare->drawDynamic, nullptr);
  EXPECT_EQ(bare->selfActivating, 0);
  EXPECT_EQ(bare->numberOfIntegerParameters, 0);
  EXPECT_EQ(bare->integerParameters, nullptr);
  EXPECT_EQ(text(bare->decal), "Nand");
  EXPECT_EQ(text(bare->ptr->decal), "Mine");

  EXPECT_EQ(hidden->iconArray, nullptr);
  EXPECT_EQ(hidden->logicEvaluate, evaluateA);
  EXPECT_EQ(text(hidden->decal), "Hidden");
  EXPECT_EQ(hidden->outputs[0], 1);
}

TEST(Registration, SwitchesTakeTheNextComponentNumber) {
  SwitchList& switches = phaseOne->switchList;
  int count = switches.numberOfSwitches;
  Signal key(1, "key");
  switches.add(key.serialNumber[0], 'k');
  addStandardComponent(evaluateA, someIcon, "Switch", SD("aa"), Signal(), Signal(), key);
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
    node.decal = const_cast<char*>("Adder");
    node.print();
  });
  EXPECT_EQ(r.err, "  componentIndex = 7 decal = Adder\n");
}
