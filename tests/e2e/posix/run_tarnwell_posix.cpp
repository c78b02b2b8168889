#include "tests/e2e/posix/run_tarnwell_posix.h"

#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace tarnwell::e2e {
namespace {

constexpr char kRegistryVariable[] = "TARNWELL_REGISTRY=";

std::vector<std::string> ReadLines(std::FILE* file) {
  std::rewind(file);
  std::vector<std::string> lines;
  std::string line;
  for (int c; (c = std::fgetc(file)) != EOF;) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line.push_back(static_cast<char>(c));
    }
  }
  if (!line.empty()) lines.push_back(line + "<no line end>");
  std::fclose(file);
  return lines;
}

// Root passes every permission check through these two; without them chmod 000 holds.
bool DropAccessOverride() {
  return prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0) == 0 &&
         prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0) == 0;
}

}  // namespace

bool CanDropAccessOverride() {
  const pid_t child = fork();
  if (child == 0) _exit(DropAccessOverride() ? 0 : 1);
  int status = 0;
  return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

RunResult RunTarnwell(const std::vector<std::string>& arguments, const PosixRunOptions& options) {
  std::vector<std::string> environment;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    if (std::strncmp(*variable, kRegistryVariable, sizeof kRegistryVariable - 1) != 0) {
      environment.emplace_back(*variable);
    }
  }
  environment.push_back(kRegistryVariable + options.registry_file);

  std::vector<char*> argv{const_cast<char*>(TARNWELL_PROGRAM)};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (std::string& variable : environment) envp.push_back(variable.data());
  envp.push_back(nullptr);

  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  if (out == nullptr || err == nullptr) throw std::runtime_error("no temporary file");
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    dup2(fileno(out), STDOUT_FILENO);
    dup2(fileno(err), STDERR_FILENO);
    if (options.without_access_override && !DropAccessOverride()) _exit(126);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  RunResult result;
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child) {
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  result.messages = ReadLines(out);
  result.errors = ReadLines(err);
  return result;
}

RunResult RunTarnwell(const std::vector<std::string>& arguments) {
  return RunTarnwell(arguments, PosixRunOptions{});
}

}  // namespace tarnwell::e2e
