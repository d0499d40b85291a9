// Stand-ins for the core's seams, without Qt: they answer at once and keep
// every call, so that no test starts a program or a browser.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/launcher.h"
#include "settings/settings_file.h"

namespace morlavin::test {

struct FakeLauncher : platform::Launcher {
  struct Launch {
    std::string file;
    std::vector<std::string> arguments;
    std::string workingDirectory;
  };
  Status openDocument(const std::string& document, const std::string& workingDirectory) override {
    documents.push_back({document, {}, workingDirectory});
    return openResult;
  }
  Status startProgram(const std::string& program,
                      const std::vector<std::string>& arguments) override {
    programs.push_back({program, arguments, {}});
    return startResult;
  }
  std::vector<Launch> documents;
  std::vector<Launch> programs;
  Status startResult;
  Status openResult;
};

struct FakeSettingsMessages : settings::SettingsMessages {
  void notice(std::string_view text) override { notices.emplace_back(text); }
  void failure(std::string_view text) override { failures.emplace_back(text); }
  std::vector<std::string> notices;
  std::vector<std::string> failures;
};

}  // namespace morlavin::test
