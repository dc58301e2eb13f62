// The option parser: grouping, arguments, the end of the options and its two messages.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "startup/getopt.h"
#include "support/Harness.h"

namespace {

const char* const tavrinOptions = "C:c:S:EF:g:K:hmp:T:tu:W:Xz:";

// Each result as a letter (with "=argument" when one was taken), then where parsing stopped.
RunResult parse(const std::vector<std::string>& words, int opterr = 1) {
  return runInChild([&] {
    std::vector<std::string> args{"prog"};
    args.insert(args.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (std::string& word : args) argv.push_back(word.data());
    argv.push_back(nullptr);
    tavrin::resetGetopt();
    tavrin::opterr = opterr;
    int c;
    while ((c = tavrin::getopt(static_cast<int>(args.size()), argv.data(), tavrinOptions)) != -1) {
      std::printf("%c", c);
      if (c != '?' && tavrin::optarg != nullptr) std::printf("=%s", tavrin::optarg);
      std::printf(" ");
    }
    std::printf("end@%d", tavrin::optind);
  });
}

std::string letters(const std::vector<std::string>& words) { return parse(words).out; }

}  // namespace

TEST(Getopt, GroupsAndArguments) {
  EXPECT_EQ(letters({"-tX"}), "t X end@2");
  EXPECT_EQ(letters({"-t", "-X"}), "t X end@3");
  EXPECT_EQ(letters({"-T500"}), "T=500 end@2");
  EXPECT_EQ(letters({"-T", "500", "-E"}), "T=500 E end@4");
  EXPECT_EQ(letters({"-tT5X", "-m"}), "t T=5X m end@3");  // an argument ends its group
  EXPECT_EQ(letters({"-T", "-X"}), "T=-X end@3");
  EXPECT_EQ(letters({"-T", ""}), "T= end@3");
}

TEST(Getopt, EndOfOptions) {
  EXPECT_EQ(letters({}), "end@1");
  EXPECT_EQ(letters({"--", "-X"}), "end@2");
  EXPECT_EQ(letters({"-", "-X"}), "end@1");
  EXPECT_EQ(letters({"-E", "word", "-X"}), "E end@2");
  EXPECT_EQ(letters({"-E", "-X", "word"}), "E X end@3");
}

TEST(Getopt, IllegalOptionsAreReportedAndSkipped) {
  RunResult r = parse({"-q", "-X"});
  EXPECT_EQ(r.out, "? X end@3");
  EXPECT_EQ(r.err, "prog: illegal option -- q\n");

  r = parse({"-tqX", "-E"});
  EXPECT_EQ(r.out, "t ? X E end@3");
  EXPECT_EQ(r.err, "prog: illegal option -- q\n");

  r = parse({"-:"});
  EXPECT_EQ(r.out, "? end@2");
  EXPECT_EQ(r.err, "prog: illegal option -- :\n");

  // Only the exact word "--" ends the options.
  r = parse({"--X"});
  EXPECT_EQ(r.out, "? X end@2");
  EXPECT_EQ(r.err, "prog: illegal option -- -\n");
}

TEST(Getopt, MissingArgumentEndsParsing) {
  RunResult r = parse({"-X", "-T"});
  EXPECT_EQ(r.out, "X ? end@3");
  EXPECT_EQ(r.err, "prog: option requires an argument -- T\n");

  r = parse({"-tW"});
  EXPECT_EQ(r.out, "t ? end@2");
  EXPECT_EQ(r.err, "prog: option requires an argument -- W\n");
}

TEST(Getopt, OptErrZeroSilencesMessages) {
  RunResult r = parse({"-q", "-T"}, 0);
  EXPECT_EQ(r.out, "? ? end@3");
  EXPECT_EQ(r.err, "");
}

TEST(Getopt, ResetForgetsAHalfReadGroup) {
  RunResult r = runInChild([] {
    char prog[] = "prog", group[] = "-tX", e[] = "-E";
    char* first[] = {prog, group, nullptr};
    char* second[] = {prog, e, nullptr};
    tavrin::resetGetopt();
    std::printf("%c", tavrin::getopt(2, first, tavrinOptions));
    tavrin::resetGetopt();
    std::printf("%c", tavrin::getopt(2, second, tavrinOptions));
    std::printf("%d", tavrin::getopt(2, second, tavrinOptions));
  });
  EXPECT_EQ(r.out, "tE-1");
}

TEST(Getopt, Index) {
  const char* text = "abc:";
  EXPECT_EQ(tavrin::index(text, 'a'), text);
  EXPECT_EQ(tavrin::index(text, ':'), text + 3);
  EXPECT_EQ(tavrin::index(text, 'z'), nullptr);
  EXPECT_EQ(tavrin::index(text, '\0'), nullptr);
}
