// The image reader and the tavrin-asm executable end to end.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "RomImage.h"
#include "support/Harness.h"

namespace {

class TempDir {
 public:
  TempDir() {
    char name[] = "/tmp/tavrin-asm-XXXXXX";
    path = mkdtemp(name);
  }
  ~TempDir() { std::system(("rm -rf '" + path + "'").c_str()); }
  std::string file(const std::string& name, const std::string& text) const {
    std::string full = path + "/" + name;
    std::ofstream(full) << text;
    return full;
  }
  std::string path;
};

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

std::string contents(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

RunResult asm_(std::vector<std::string> args) {
  args.insert(args.begin(), TAVRIN_ASM_EXE);
  return runProcess(args);
}

TEST(RomImage, ReadsWordsIntoTheRomByteLayout) {
  TempDir dir;
  unsigned char bytes[128];
  std::string error;
  ASSERT_TRUE(readRomImage(dir.file("a.hex", "# header\n0a3e\n\n  1201  # trailing\nFFFE\n7\r\n"), bytes, error))
      << error;
  const unsigned char expected[10] = {0x0A, 0x3E, 0x12, 0x01, 0xFF, 0xFE, 0x00, 0x07, 0, 0};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(bytes[i], expected[i]) << i;
  for (int i = 10; i < 128; ++i) EXPECT_EQ(bytes[i], 0) << i;

  std::string sixtyFour;
  for (int w = 0; w < 64; ++w) sixtyFour += "ffff\n";
  EXPECT_TRUE(readRomImage(dir.file("full.hex", sixtyFour), bytes, error));
  EXPECT_EQ(bytes[127], 0xFF);
  EXPECT_TRUE(readRomImage(dir.file("empty.hex", ""), bytes, error));
  EXPECT_EQ(bytes[0], 0);
}

TEST(RomImage, RejectsMalformedFilesWithOneLine) {
  TempDir dir;
  unsigned char bytes[128];
  std::string error;
  auto failure = [&](const std::string& path) {
    EXPECT_FALSE(readRomImage(path, bytes, error));
    return error;
  };
  std::string sixtyFive;
  for (int w = 0; w < 65; ++w) sixtyFive += "0000\n";
  EXPECT_EQ(failure(dir.file("b.hex", "0000\n12345\n")),
            dir.path + "/b.hex:2: bad word '12345' (expected 1 to 4 hexadecimal digits)");
  EXPECT_EQ(failure(dir.file("c.hex", "00 01\n")), dir.path + "/c.hex:1: bad word '00 01' (expected 1 to 4 hexadecimal digits)");
  EXPECT_EQ(failure(dir.file("d.hex", "0x12\n")), dir.path + "/d.hex:1: bad word '0x12' (expected 1 to 4 hexadecimal digits)");
  EXPECT_EQ(failure(dir.file("e.hex", sixtyFive)), dir.path + "/e.hex:65: more than 64 words");
  EXPECT_EQ(failure(dir.path + "/missing.hex"), "cannot open '" + dir.path + "/missing.hex': No such file or directory");
  EXPECT_EQ(failure(dir.path), "cannot read '" + dir.path + "'");
}

TEST(Executable, AssemblesNextToTheSourceOrToTheGivenFile) {
  TempDir dir;
  std::string source = dir.file("prog.s", "setlo r1, 0x3e\n.org 63\n.word 0x1234\n");
  RunResult result = asm_({source});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  std::string image = contents(dir.path + "/prog.hex");
  std::string expected = "# ROM image of prog.s\n0a3e\n";
  for (int w = 1; w < 63; ++w) expected += "0000\n";
  expected += "1234\n";
  EXPECT_EQ(image, expected);

  unsigned char bytes[128];
  std::string error;
  ASSERT_TRUE(readRomImage(dir.path + "/prog.hex", bytes, error)) << error;
  EXPECT_EQ(bytes[0], 0x0A);
  EXPECT_EQ(bytes[127], 0x34);

  EXPECT_EQ(asm_({"-o", dir.path + "/other.hex", source}).status, 0);
  EXPECT_EQ(contents(dir.path + "/other.hex"), expected);
  result = asm_({"-o", "-", source});
  EXPECT_EQ(result.out, expected);
  EXPECT_FALSE(exists(dir.path + "/prog.hex.tmp"));
}

TEST(Executable, ErrorsLeaveNoOutput) {
  TempDir dir;
  std::string source = dir.file("bad.s", "nop\nadd r1, r2, 9\n");
  RunResult result = asm_({source});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, source + ":2: error: immediate '9' out of range (-4 to 3)\n");
  EXPECT_FALSE(exists(dir.path + "/bad.hex"));

  result = asm_({dir.path + "/none.s"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "tavrin-asm: cannot open '" + dir.path + "/none.s': No such file or directory\n");

  std::string hexSource = dir.file("x.hex", "nop\n");
  result = asm_({hexSource});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(contents(hexSource), "nop\n");

  std::string good = dir.file("good.s", "nop\n");
  result = asm_({"-o", dir.path + "/no/such/dir/out.hex", good});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err.rfind("tavrin-asm: cannot write '" + dir.path + "/no/such/dir/out.hex'", 0), 0u) << result.err;
}

TEST(Executable, WarningsKeepTheImage) {
  TempDir dir;
  std::string source = dir.file("w.s", "add r1, r1, 1\nbne 0\n");
  RunResult result = asm_({source});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err.rfind(source + ":2: warning: bit 10 set right after an ALU-class word", 0), 0u) << result.err;
  EXPECT_TRUE(exists(dir.path + "/w.hex"));

  // -w leaves out every warning, and only the warnings.
  std::string both = dir.file("both.s", "setlo r1, 1\nadd r2, r1, r1\nbne 0\n");
  result = asm_({"-w", both});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(exists(dir.path + "/both.hex"));
  EXPECT_NE(asm_({"-o", "-", both}).err.find(both + ":2: warning: r1 is read 1 word after line 1 writes it"),
            std::string::npos);
  result = asm_({"-w", dir.file("bad.s", "add r2, r1, r1\nadd r1, r9, 0\n")});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, dir.path + "/bad.s:2: error: bad register 'r9' (registers are r0 to r7)\n");
}

TEST(Executable, Usage) {
  RunResult help = asm_({"-h"}), none = asm_({});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: tavrin-asm [-w] [-o out.hex] prog.s\n", 0), 0u);
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.err, help.out);
  EXPECT_EQ(asm_({"-x", "a.s"}).err, "tavrin-asm: unknown option '-x'\n" + help.out);
  EXPECT_EQ(asm_({"a.s", "b.s"}).err, "tavrin-asm: more than one source file\n" + help.out);
}

}  // namespace
