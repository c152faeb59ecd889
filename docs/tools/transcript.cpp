#include "transcript.h"

#include <cstdio>

namespace guide {

std::string ShellWord(const std::string& text) {
  std::string out = "'";
  for (char c : text)
    out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string ShownCommand(const std::string& command, const std::vector<std::string>& args) {
  static const char* plain = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
                             "-_./=+,:@%";
  std::string out = "$ " + command;
  for (const std::string& a : args) {
    if (!a.empty() && a.find_first_not_of(plain) == std::string::npos)
      out += " " + a;
    else if (a.find_first_of("\"$`\\!") == std::string::npos)
      out += " \"" + a + "\"";
    else
      out += " " + ShellWord(a);
  }
  return out;
}

std::string Transcript(const std::string& folder, const std::vector<std::string>& program,
                       const std::string& shown, const std::vector<std::string>& args) {
  std::string line = "cd " + ShellWord(folder) + " &&";
  for (const std::string& word : program)
    line += " " + ShellWord(word);
  for (const std::string& a : args)
    line += " " + ShellWord(a);
  std::string out = ShownCommand(shown, args) + "\n";
  FILE* pipe = popen((line + " 2>&1; echo \"(exit status $?)\"").c_str(), "r");
  if (!pipe) return out + "(could not run)\n";
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
    out.append(buffer, n);
  pclose(pipe);
  return out;
}

} // namespace guide
