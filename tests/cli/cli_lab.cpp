#include "tests/cli/cli_lab.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

// This program's state folder, the XDG_STATE_HOME of every netvora-cli run.
std::string StateHome() { return TempPath("state"); }

// Removes the state folder when the test program ends.
class StateCleanup : public ::testing::Environment {
 public:
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(StateHome(), ignored);
  }
};

[[maybe_unused]] ::testing::Environment* const g_stateCleanup =
    ::testing::AddGlobalTestEnvironment(new StateCleanup);

}  // namespace

std::string DefaultChangeLog() { return StateHome() + "/netvora/changes.jsonl"; }

CliResult RunCli(const NetnsLab& lab, const std::string& args) {
  const std::string errPath = TempPath("cli.err");
  CliResult result;
  result.status = lab.RunIn(
      lab.ClientNamespace(),
      "XDG_STATE_HOME=" + StateHome() + " " + NETVORA_CLI_PATH + " " + args + " 2>" + errPath,
      &result.out);
  result.err = ReadFile(errPath);
  std::remove(errPath.c_str());
  return result;
}
