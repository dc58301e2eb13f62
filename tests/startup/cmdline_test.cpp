// commandLine: every option's effect on the settings, the cut texts, and the refused forms.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "startup/Sim.h"
#include "startup/cmdLine.h"
#include "startup/getopt.h"
#include "support/Harness.h"

namespace {

using Settings = std::map<std::string, std::string>;

std::string show(const Settings& settings) {
  std::string text;
  for (const auto& [key, value] : settings) text += key + "=" + value + "\n";
  return text;
}

// The settings after commandLine("tavrin", words...), printed by the child.
RunResult parseOptions(const std::vector<std::string>& words) {
  return runInChild([&] {
    std::vector<std::string> args{"tavrin"};
    args.insert(args.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (std::string& word : args) argv.push_back(word.data());
    argv.push_back(nullptr);
    tavrin::resetGetopt();
    commandLine(static_cast<int>(args.size()), argv.data());
    std::fputs(show(dumpSettings()).c_str(), stdout);
  });
}

// The parent process never parses options: its settings are the defaults.
const Settings defaults = dumpSettings();

// Every setting but the changed ones keeps its initial value.
void expectSettings(const std::vector<std::string>& words, const Settings& changed, const std::string& err = "") {
  Settings expected = defaults;
  for (const auto& [key, value] : changed) expected[key] = value;
  RunResult r = parseOptions(words);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, show(expected));
  EXPECT_EQ(r.err, err);
}

}  // namespace

TEST(CommandLine, DefaultsWithoutOptions) { expectSettings({}, {}); }

TEST(CommandLine, FlagsAndToggles) {
  expectSettings({"-E", "-m", "-X"}, {{"earlyExitFlag", "1"}, {"connectMuxOnlyFlag", "1"}, {"useXDisplay", "0"}});
  expectSettings({"-t"}, {{"displayTimeFlag", "1"}});
  expectSettings({"-tt"}, {});
  expectSettings({"-t", "-t", "-t"}, {{"displayTimeFlag", "1"}});
  expectSettings({"-E", "word", "-X"}, {{"earlyExitFlag", "1"}});
  expectSettings({"-tq", "-X"}, {{"displayTimeFlag", "1"}, {"useXDisplay", "0"}}, "tavrin: illegal option -- q\n");
}

TEST(CommandLine, ColoursAndZoom) {
  expectSettings({"-C255", "0", "0"}, {{"red_fg", "255"}});
  expectSettings({"-C", "255", "0", "0", "-X"}, {{"red_fg", "255"}, {"useXDisplay", "0"}});
  expectSettings({"-c", " 12", "7up", "red", "-S", "1", "300", "-4"}, {{"red_bg", "12"}, {"green_bg", "7"}, {"red_sw", "1"}, {"green_sw", "300"}, {"blue_sw", "-4"}});
  expectSettings({"-z", "10", "20", "300", "400"}, {{"zFlagSet", "1"}, {"zSetXa", "10"}, {"zSetYa", "20"}, {"zSetXb", "300"}, {"zSetYb", "400"}});
}

TEST(CommandLine, StopTime) {
  expectSettings({"-T500"}, {{"stopTime", "500"}});
  expectSettings({"-T", "0"}, {});
  expectSettings({"-T", "18446744073709551615"}, {{"stopTime", "18446744073709551615"}});
  expectSettings({"-T", "99999999999999999999999"}, {{"stopTime", "18446744073709551615"}});
  expectSettings({"-X", "-T"}, {{"useXDisplay", "0"}}, "tavrin: option requires an argument -- T\n");
}

TEST(CommandLine, RunTimeFlags) {
  expectSettings({"-u", "3", "0x10"}, {{"userRunTimeFlag", "-1 -1 -1 16 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 #1"}});
  expectSettings({"-p", "0", "017", "-p", "15", "15", "-p", "1", "0X1F"},
                 {{"profRunTimeFlag", "15 31 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 15 #3"}});
  // Out of range: reported, nothing written, the value word still consumed.
  expectSettings({"-p", "16", "5", "-X"}, {{"useXDisplay", "0"}}, "tavrin: -p flag number 16 is outside 0..15; ignored\n");
  expectSettings({"-u", "-1", "5"}, {}, "tavrin: -u flag number -1 is outside 0..15; ignored\n");
}

TEST(CommandLine, TextsAreCutToTheirCapacity) {
  const std::string thirty = "123456789012345678901234567890";
  expectSettings({"-F", thirty, "-K", thirty, "-W", thirty, "-g", thirty},
                 {{"FunctionKeyString", thirty.substr(0, 24)},
                  {"CursorKeyString", thirty.substr(0, 24)},
                  {"WindowLabelString", thirty.substr(0, 24)},
                  {"XW_geometry", thirty.substr(0, 19)}});
  expectSettings({"-F23589DD", "-g", "1000x900+100+50"}, {{"FunctionKeyString", "23589DD"}, {"XW_geometry", "1000x900+100+50"}});
}

TEST(CommandLine, MissingValueWordsEndTheProcess) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"-C", "1", "2"}, "tavrin: option -C needs 3 values\n"},
      {{"-c1"}, "tavrin: option -c needs 3 values\n"},
      {{"-S", "1"}, "tavrin: option -S needs 3 values\n"},
      {{"-z", "1", "2", "3"}, "tavrin: option -z needs 4 values\n"},
      {{"-p", "3"}, "tavrin: option -p needs 2 values\n"},
      {{"-X", "-u", "3"}, "tavrin: option -u needs 2 values\n"},
  };
  for (const auto& [words, message] : cases) {
    RunResult r = parseOptions(words);
    EXPECT_EQ(r.status, 1) << words[0];
    EXPECT_EQ(r.out, "") << words[0];
    EXPECT_EQ(r.err, message);
  }
}
