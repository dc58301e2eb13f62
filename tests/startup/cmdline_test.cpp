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

std::string triple(int r, int g, int b) {
  return std::to_string(r) + "," + std::to_string(g) + "," + std::to_string(b);
}

std::string flags(const int* entries, int count) {
  std::string text;
  for (int i = 0; i < numberOfRunTimeFlagEntries; ++i) text += std::to_string(entries[i]) + " ";
  return text + "#" + std::to_string(count);
}

Settings currentSettings() {
  return {
      {"E", std::to_string(earlyExitFlag)},
      {"z", std::to_string(zFlagSet) + ":" + std::to_string(zSetXa) + "," + std::to_string(zSetYa) + "," +
                std::to_string(zSetXb) + "," + std::to_string(zSetYb)},
      {"T", std::to_string(stopTime)},
      {"t", std::to_string(displayTimeFlag)},
      {"m", std::to_string(connectMuxOnlyFlag)},
      {"X", std::to_string(useXDisplay)},
      {"F", FunctionKeyString},
      {"K", CursorKeyString},
      {"W", WindowLabelString},
      {"g", XW_geometry},
      {"C", triple(red_fg, green_fg, blue_fg)},
      {"c", triple(red_bg, green_bg, blue_bg)},
      {"S", triple(red_sw, green_sw, blue_sw)},
      {"u", flags(userRunTimeFlag, numberOfUserRunTimeFlags)},
      {"p", flags(profRunTimeFlag, numberOfProfRunTimeFlags)},
  };
}

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
    std::fputs(show(currentSettings()).c_str(), stdout);
  });
}

const Settings defaults = {
    {"E", "0"}, {"z", "0:0,0,0,0"}, {"T", "0"}, {"t", "0"}, {"m", "0"}, {"X", "1"}, {"F", ""}, {"K", ""},
    {"W", ""}, {"g", ""}, {"C", "0,0,0"}, {"c", "0,0,0"}, {"S", "0,0,0"},
    {"u", "-1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 #0"},
    {"p", "-1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 #0"},
};

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
  expectSettings({"-E", "-m", "-X"}, {{"E", "1"}, {"m", "1"}, {"X", "0"}});
  expectSettings({"-t"}, {{"t", "1"}});
  expectSettings({"-tt"}, {});
  expectSettings({"-t", "-t", "-t"}, {{"t", "1"}});
  expectSettings({"-E", "word", "-X"}, {{"E", "1"}});
  expectSettings({"-tq", "-X"}, {{"t", "1"}, {"X", "0"}}, "tavrin: illegal option -- q\n");
}

TEST(CommandLine, ColoursAndZoom) {
  expectSettings({"-C255", "0", "0"}, {{"C", "255,0,0"}});
  expectSettings({"-C", "255", "0", "0", "-X"}, {{"C", "255,0,0"}, {"X", "0"}});
  expectSettings({"-c", " 12", "7up", "red", "-S", "1", "300", "-4"}, {{"c", "12,7,0"}, {"S", "1,300,-4"}});
  expectSettings({"-z", "10", "20", "300", "400"}, {{"z", "1:10,20,300,400"}});
}

TEST(CommandLine, StopTime) {
  expectSettings({"-T500"}, {{"T", "500"}});
  expectSettings({"-T", "0"}, {});
  expectSettings({"-T", "18446744073709551615"}, {{"T", "18446744073709551615"}});
  expectSettings({"-T", "99999999999999999999999"}, {{"T", "18446744073709551615"}});
  expectSettings({"-X", "-T"}, {{"X", "0"}}, "tavrin: option requires an argument -- T\n");
}

TEST(CommandLine, RunTimeFlags) {
  expectSettings({"-u", "3", "0x10"}, {{"u", "-1 -1 -1 16 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 #1"}});
  expectSettings({"-p", "0", "017", "-p", "15", "15", "-p", "1", "0X1F"},
                 {{"p", "15 31 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 15 #3"}});
  // Out of range: reported, nothing written, the value word still consumed.
  expectSettings({"-p", "16", "5", "-X"}, {{"X", "0"}}, "tavrin: -p flag number 16 is outside 0..15; ignored\n");
  expectSettings({"-u", "-1", "5"}, {}, "tavrin: -u flag number -1 is outside 0..15; ignored\n");
}

TEST(CommandLine, TextsAreCutToTheirCapacity) {
  const std::string thirty = "123456789012345678901234567890";
  expectSettings({"-F", thirty, "-K", thirty, "-W", thirty, "-g", thirty},
                 {{"F", thirty.substr(0, 24)},
                  {"K", thirty.substr(0, 24)},
                  {"W", thirty.substr(0, 24)},
                  {"g", thirty.substr(0, 19)}});
  expectSettings({"-F23589DD", "-g", "1000x900+100+50"}, {{"F", "23589DD"}, {"g", "1000x900+100+50"}});
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
