#pragma once
// A folder of its own for one test in one process (builds may run the same tests
// at once), made empty when the object is made and removed with it.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

class ScratchDir {
  public:
    explicit ScratchDir(const std::string& prefix) {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                (prefix + "-" + std::to_string(getpid()) + "-" +
                 (test ? std::string(test->test_suite_name()) + "-" + test->name() : "none"));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};
