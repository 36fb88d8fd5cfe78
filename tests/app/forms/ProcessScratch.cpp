// Every main-window test runs the start-up handlers, which read and write option.ini and make
// the default output folder under $HOME: point both into a scratch folder of this process so the
// tests never touch the build folder's option.ini or the real home folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "app/forms/OptionIni.h"

namespace {

namespace fs = std::filesystem;

class ProcessScratch : public ::testing::Environment {
public:
  void SetUp() override {
    root_ = (fs::temp_directory_path() / ("ombrel_forms_" + std::to_string(::getpid()))).string();
    std::error_code ec;
    fs::remove_all(root_, ec);
    fs::create_directories(root_ + "/home", ec);
    ::setenv("HOME", (root_ + "/home").c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    options::SetOptionIniPath(root_ + "/option.ini");
    // A selected row opens in the preview: its player draws and plays nowhere.
    ::setenv("SDL_VIDEODRIVER", "dummy", 1);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  }
  void TearDown() override {
    options::SetOptionIniPath("");
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

private:
  std::string root_;
};

[[maybe_unused]] ::testing::Environment* const kScratch = ::testing::AddGlobalTestEnvironment(new ProcessScratch);

}  // namespace
