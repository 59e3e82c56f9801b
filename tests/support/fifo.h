#pragma once
// FIFOs for the tests that check a program refuses to wait on one; Windows has none in its
// file system, so there those tests say so and stop.

#include <gtest/gtest.h>

#include <filesystem>

#ifdef _WIN32
#define SKIP_WITHOUT_FIFOS() GTEST_SKIP() << "Windows has no FIFOs in its file system"
inline bool make_fifo(const std::filesystem::path&) {
    return false;
}
#else
#include <sys/stat.h>
#define SKIP_WITHOUT_FIFOS() static_cast<void>(0)
inline bool make_fifo(const std::filesystem::path& path) {
    return mkfifo(path.c_str(), 0600) == 0;
}
#endif
