// The guide's transcripts: every word reaches the program as written, and the line shown is
// one a reader can type into a shell to the same effect.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "transcript.h"

namespace {

const std::vector<std::string> WORDS = {"Drop 2nd+4th", "it's",       "$HOME", "a\"b",
                                        "--out",        "x.musicxml", ""};

TEST(Transcript, PassesEveryWordIntactAndEndsWithTheExitStatus) {
  // A program that prints each of its arguments between bars and ends with status 3.
  std::vector<std::string> program = {"/bin/sh", "-c", "printf '|%s' \"$@\"; echo; exit 3", "sh"};
  std::string out = guide::Transcript("/", program, "./run", WORDS);
  EXPECT_EQ(guide::ShownCommand("./run", WORDS) +
                "\n|Drop 2nd+4th|it's|$HOME|a\"b|--out|x.musicxml|\n(exit status 3)\n",
            out);
}

TEST(Transcript, ShowsALineAShellReadsBackIntoTheSameWords) {
  std::string shown = guide::ShownCommand("./run", WORDS);
  EXPECT_EQ("$ ./run \"Drop 2nd+4th\" \"it's\" '$HOME' 'a\"b' --out x.musicxml \"\"", shown);
  // The shell itself reads the line back, with ./run standing for a program that lists them.
  std::string line = "run() { printf '|%s' \"$@\"; }; " + shown.substr(2).replace(0, 5, "run");
  FILE* pipe = popen(("sh -c " + guide::ShellWord(line)).c_str(), "r");
  ASSERT_NE(nullptr, pipe);
  char buffer[256] = {0};
  size_t n = fread(buffer, 1, sizeof buffer - 1, pipe);
  pclose(pipe);
  EXPECT_EQ("|Drop 2nd+4th|it's|$HOME|a\"b|--out|x.musicxml|", std::string(buffer, n));
}

} // namespace
