// Encodings, error messages, flag-clock and register-timing warnings of the assembler.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "Assembler.h"

namespace {

using tavrin::assembler::assemble;

std::string messages(const tavrin::assembler::Result& result) {
  std::string text;
  for (const auto& diagnostic : result.diagnostics) text += diagnostic.text + "\n";
  return text;
}

// Each line at the address given by .org; the expected words are worked out by hand.
TEST(Assembler, EncodesEveryMnemonic) {
  const std::vector<std::pair<std::string, unsigned>> cases = {
      {"add r2, r1, r2", 0x100A},      {"ADD R2, R1, R2", 0x100A},     {"adds r1, r2, r3", 0x0C13},
      {"sub r7, r6, r5", 0x38B5},      {"subs r1, r1, 1", 0x0CC9},     {"and r3, r4, -4", 0x1964},
      {"ands r0, r0, r0", 0x0500},     {"or r5, r1, 3", 0x29CB},       {"ors r6, r2, r7", 0x3597},
      {"add r1, r1, 0x3", 0x084B},     {"setlo r1, 0x3e", 0x0A3E},     {"setlo r4, -1", 0x22FF},
      {"setlos r2, 255", 0x16FF},      {"sethi r3, 0x12", 0x1B12},     {"sethis r7, 0x80", 0x3F80},
      {"setlo r1, here", 0x0A05},      {"load r4, r1, 0", 0x6048},     {"load r5, r6, r7", 0x6837},
      {"store r4, r2, 0", 0xA050},     {"store r1, r2, -1", 0x8857},   {"nop", 0x0000},
      {"bra 49", 0xC02C},              {"beq 0", 0xCFFB},              {"bne here", 0xD000},
      {"blt 6", 0xD801},               {"ble 4", 0xE7FF},              {"bgt 1028", 0xEBFF},
      {"bge -1019", 0xF400},           {"brn", 0xF800},                {"brn 3", 0xFFFE},
      {".word -1", 0xFFFF},            {".word 0x8000", 0x8000},       {".word here", 0x0005},
  };
  for (const auto& [line, word] : cases) {
    auto result = assemble(".org 5\nhere: " + line + " ; comment\n", "t.s");
    ASSERT_TRUE(result.ok()) << line << "\n" << messages(result);
    EXPECT_EQ(result.words[5], word) << line;
    EXPECT_EQ(result.lineOfWord[5], 2) << line;
  }
}

TEST(Assembler, LayoutOfLabelsWordsAndComments) {
  auto result = assemble("# comment only\n\nstart:\n  .word 1, 2, -32768 ; three words\na: b: nop\n"
                         "  bra start  # back\n.org 63\nlast: .word 65535\n",
                         "t.s");
  ASSERT_TRUE(result.ok()) << messages(result);
  EXPECT_EQ(result.words[0], 1);
  EXPECT_EQ(result.words[1], 2);
  EXPECT_EQ(result.words[2], 0x8000);
  EXPECT_EQ(result.words[3], 0);
  EXPECT_EQ(result.words[4], 0xC7FC);  // displacement -4
  EXPECT_EQ(result.words[63], 0xFFFF);
  for (int w = 5; w < 63; ++w) EXPECT_EQ(result.words[w], 0) << w;
}

TEST(Assembler, ReportsEveryMalformedInputWithItsLine) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"frob r1, r2, r3", "unknown mnemonic 'frob'"},
      {".byte 3", "unknown directive '.byte'"},
      {"add r8, r1, r2", "bad register 'r8' (registers are r0 to r7)"},
      {"add r1, x2, r2", "bad register 'x2' (registers are r0 to r7)"},
      {"setlo 3, 4", "bad register '3' (registers are r0 to r7)"},
      {"add r1, r2, 4", "immediate '4' out of range (-4 to 3)"},
      {"sub r1, r2, -5", "immediate '-5' out of range (-4 to 3)"},
      {"load r1, r2, zz", "expected a register or an immediate, got 'zz'"},
      {"setlo r1, 256", "constant '256' out of range (-128 to 255)"},
      {"sethi r1, -129", "constant '-129' out of range (-128 to 255)"},
      {".word 65536", "value '65536' out of range (-32768 to 65535)"},
      {"bra nowhere", "undefined label 'nowhere'"},
      {"x: nop\nx: nop", "duplicate label 'x' (first defined on line 1)"},
      {"r3: nop", "bad label name 'r3' (register names are reserved)"},
      {"3x: nop", "bad label name '3x'"},
      {"bra 1025", "branch out of range: target 1025 is 1025 words away (limit -1024 to 1023)"},
      {"nop\nbge -1024", "branch out of range: target -1024 is -1025 words away (limit -1024 to 1023)"},
      {"setlo r1, 0x", "bad number '0x'"},
      {"setlo r1, 12a", "bad number '12a'"},
      {"add r1, r2, 0x1g", "bad number '0x1g'"},
      {".word 99999999999", "bad number '99999999999'"},
      {"bra $3", "bad branch target '$3'"},
      {"add r1, r2, r3 r4", "unexpected 'r4' after 'r3'"},
      {"add r1, r2, r3, r4", "unexpected 'r4' after the operands of 'add'"},
      {"nop r1", "unexpected 'r1' after the operands of 'nop'"},
      {"add r1, r2", "missing operand: 'add' takes rd, rs1, rs2 or immediate"},
      {"bra", "missing operand: 'bra' takes target"},
      {"add r1, , r2", "missing operand"},
      {"add r1, r2,", "missing operand"},
      {", nop", "unexpected ','"},
      {"nop\n.org 0", "'.org 0' moves backwards (the next address is 1)"},
      {".org 65", "'.org 65' lies beyond the 64-word ROM"},
      {".org 60\n.word 1, 2, 3, 4, 5", "program longer than 64 words"},
  };
  for (const auto& [source, message] : cases) {
    auto result = assemble(source + "\n", "prog.s");
    int line = source.find('\n') == std::string::npos ? 1 : 2;
    EXPECT_EQ(messages(result), "prog.s:" + std::to_string(line) + ": error: " + message + "\n") << source;
    EXPECT_FALSE(result.ok());
  }
}

TEST(Assembler, ReportsAllErrorsInLineOrder) {
  auto result = assemble("bra later\nadd r9, r1, r1\nnop\nfoo\nlater: nop\n", "p.s");
  EXPECT_EQ(messages(result), "p.s:2: error: bad register 'r9' (registers are r0 to r7)\n"
                              "p.s:4: error: unknown mnemonic 'foo'\n");
  EXPECT_EQ(result.errors, 2);
  // 64 words fit; the 65th is reported once.
  std::string full;
  for (int i = 0; i < 66; ++i) full += "nop\n";
  EXPECT_TRUE(assemble(full.substr(0, 64 * 4), "p.s").ok());
  EXPECT_EQ(messages(assemble(full, "p.s")), "p.s:65: error: program longer than 64 words\n");
}

TEST(Assembler, WarnsAboutTheFlagClockHazards) {
  // The flag-clock warnings alone: the register-timing ones some of these sources draw are checked below.
  auto warnings = [](const std::string& source) {
    auto result = assemble(source, "w.s");
    EXPECT_TRUE(result.ok()) << source;
    std::string text;
    for (const auto& diagnostic : result.diagnostics)
      if (diagnostic.text.find("N and Z may latch XXX") != std::string::npos) text += diagnostic.text + "\n";
    return text;
  };
  const std::string backward =
      ": warning: bit 10 set right after an ALU-class word in execute (";
  const std::string advice = "): N and Z may latch XXX; put a load, store, forward branch or 'brn' in front\n";
  // A backward branch straight after an ALU-class word, and the ways around it.
  EXPECT_EQ(warnings("setlo r1, 1\nadd r2, r2, r1\nbne 0\n"), "w.s:3" + backward + "line 2" + advice);
  EXPECT_EQ(warnings("add r2, r2, r1\nbrn\nbne 0\n"), "");
  EXPECT_EQ(warnings("add r2, r2, r1\nstore r2, r0, 0\nbne 0\n"), "");
  EXPECT_EQ(warnings("add r2, r2, r1\nbra 5\nbne 0\n"), "");
  // The bubble a load leaves three fetches later is an ALU-class word too.
  EXPECT_EQ(warnings("load r1, r0, 0\nnop\nbrn\nbra 0\n"),
            "w.s:4" + backward + "the bubble of the load or store on line 1" + advice);
  // Nothing for code that never runs, nor for a branch to itself.
  EXPECT_EQ(warnings("bra 10\nnop\nnop\nnop\nnop\nbra 0\n"), "");
  EXPECT_EQ(warnings("nop\nhalt: bra halt\n"), "");
  // Through the RAM half and round to word 0, which follows a no-operation fetched from RAM.
  EXPECT_EQ(warnings("brn -10\n"), "w.s:1" + backward + "a no-operation fetched from RAM" + advice);
  EXPECT_EQ(warnings(".org 3\nbra 0\n"), "w.s:2" + backward + "the no-operation at unused address 2" + advice);

  // A flag-setting word followed by one that sets no flags and changes bit 9.
  const std::string changed = ": warning: flag-setting word followed in execute by one with another bit 9 that sets no "
                              "flags (";
  const std::string keep = "): N and Z may latch XXX; follow it with a flag-setting word or one that keeps bit 9\n";
  EXPECT_EQ(warnings("subs r1, r1, 1\nsetlo r2, 1\n"), "w.s:1" + changed + "line 2" + keep);
  EXPECT_EQ(warnings("setlos r1, 5\nnop\n"), "w.s:1" + changed + "line 2" + keep);
  EXPECT_EQ(warnings("ands r1, r1, r1\nor r2, r2, r2\nsubs r1, r1, 1\nadds r2, r2, 1\nsub r1, r1, r1\n"), "");
  EXPECT_EQ(warnings("load r1, r0, 0\nnop\nsetlos r1, 1\nnop\n"),
            "w.s:3" + changed + "the bubble of the load or store on line 1" + keep);
}

// A word reads its registers one cycle after its fetch and writes its result four cycles after it:
// a register is read correctly by a word fetched three cycles after the writer, not earlier.
TEST(Assembler, WarnsWhereARegisterIsReadBeforeItIsWritten) {
  auto early = [](int line, int reg, int words, int writer) {
    return "w.s:" + std::to_string(line) + ": warning: r" + std::to_string(reg) + " is read " + std::to_string(words) +
           (words == 1 ? " word" : " words") + " after line " + std::to_string(writer) +
           " writes it; it is read correctly 3 words after the write (put " + (words == 1 ? "2 nops" : "1 nop") +
           " between them)\n";
  };
  const std::vector<std::pair<std::string, std::string>> cases = {
      // Distance 1, 2 and 3 after an ALU result, through rs1 or rs2; an immediate reads no register.
      {"setlo r1, 3\nadd r2, r1, r1\n",
       "w.s:2: warning: r1 is read 1 word after line 1 writes it; it is read correctly 3 words after the write (put "
       "2 nops between them)\n"},
      {"setlo r1, 3\nnop\nsub r2, r0, r1\n", early(3, 1, 2, 1)},
      {"setlo r1, 3\nnop\nnop\nadd r2, r1, r1\n", ""},
      {"setlo r1, 3\nadd r2, r3, 1\n", ""},
      {"setlo r1, 3\nsetlo r2, 4\nor r3, r1, r2\n", early(3, 1, 2, 1) + early(3, 2, 1, 2)},
      // A load's result follows the same rule; a load reads its address registers.
      {"load r1, r0, 3\nnop\nadd r2, r1, r1\n",
       "w.s:3: warning: r1 is read 2 words after line 1 loads it; the load's result is read correctly 3 words after "
       "the load (put 1 nop between them)\n"},
      {"load r1, r0, 3\nnop\nnop\nadd r2, r1, r1\n", ""},
      {"setlo r1, 3\nload r2, r1, r0\n", early(2, 1, 1, 1)},
      // A store reads rd and writes no register; setlo reads rd, sethi reads nothing.
      {"setlo r1, 3\nnop\nstore r1, r0, -1\n", early(3, 1, 2, 1)},
      {"store r1, r0, -1\nadd r2, r1, r1\n", ""},
      {"sethi r1, 0x12\nsetlo r1, 0x34\n", early(2, 1, 1, 1)},
      {"setlo r1, 3\nsethi r1, 4\n", ""},
      // r0 reads 0 whatever was written to it.
      {"setlo r0, 3\nadd r2, r0, r0\nstore r0, r0, r0\n", ""},
      // A bubble between writer and reader counts as a word; one before the writer can make up a nop.
      {"store r0, r0, -1\nnop\nsetlo r1, 3\nadd r2, r1, r1\n",
       "w.s:4: warning: r1 is read 2 words after line 3 writes it, counting the bubble of the load or store on line "
       "1; it is read correctly 3 words after the write (put 1 nop between them)\n"},
      {"store r0, r0, -1\nsetlo r1, 3\nnop\nadd r2, r1, r1\n", ""},
      // The last delay slot is followed by the target; taken and not-taken paths are both followed, and the
      // closer one is reported.
      {"bra t\nnop\nnop\nsetlo r1, 3\nadd r2, r1, r1\n.org 10\nt: add r3, r1, r1\n", early(7, 1, 1, 4)},
      {"beq t\nnop\nnop\nsetlo r1, 3\nnop\nt: add r2, r1, r1\n", early(6, 1, 1, 4)},
      {"beq t\nnop\nnop\nsetlo r1, 3\nadd r2, r1, r1\n.org 10\nt: add r3, r1, r1\n",
       early(5, 1, 1, 4) + early(7, 1, 1, 4)},
      {"loop: add r2, r1, r1\nbrn\nbra loop\nnop\nnop\nsetlo r1, 3\n", early(1, 1, 1, 6)},
  };
  for (const auto& [source, expected] : cases) {
    auto result = assemble(source, "w.s");
    EXPECT_TRUE(result.ok()) << source;
    EXPECT_EQ(messages(result), expected) << source;
  }
}

}  // namespace
