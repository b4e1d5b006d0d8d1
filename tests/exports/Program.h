// Runs a program the way a shell user would and collects what it printed and its exit status.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace qv::test {

struct TProgramResult {
  int Exit = -1;  // -1: did not exit normally
  std::string Out;
  std::string Err;

  // The last line of standard output.
  std::string LastLine() const {
    std::string text = Out;
    while (!text.empty() && text.back() == '\n') text.pop_back();
    const auto start = text.rfind('\n');
    return start == std::string::npos ? text : text.substr(start + 1);
  }
};

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs program with args in directory cwd. The locale comes from `lang` alone (LANG), so the
// environment of the test run does not decide the language.
inline TProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                                 const std::string& cwd, const std::string& lang = "C.UTF-8") {
  const std::string outPath = cwd + "/.program_stdout";
  const std::string errPath = cwd + "/.program_stderr";
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 || ::chdir(cwd.c_str()))
      ::_exit(127);
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LC_NUMERIC", "LANGUAGE"}) ::unsetenv(name);
    ::setenv("LANG", lang.c_str(), 1);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  TProgramResult result;
  int status = 0;
  if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
    result.Exit = WEXITSTATUS(status);
  result.Out = ReadText(outPath);
  result.Err = ReadText(errPath);
  ::unlink(outPath.c_str());
  ::unlink(errPath.c_str());
  return result;
}

}  // namespace qv::test
