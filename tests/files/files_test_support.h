// A fresh host folder per test, named by its Windows path, and helpers over its files.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/runtime_string.h"
#include "platform/kernel/paths.h"

class FolderFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kwfilesXXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    host_ = pattern;
    windows_ = kwplatform::WindowsPathFromHostPath(host_);
  }
  void TearDown() override { std::filesystem::remove_all(host_); }

  std::string Windows(const std::string& name) const { return windows_ + "\\" + name; }
  std::string Host(const std::string& name) const { return host_ + "/" + name; }

  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(Host(name), std::ios::binary) << bytes;
  }
  std::string Get(const std::string& name) const {
    std::ifstream in(Host(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::string host_;
  std::string windows_;
};

// The bytes of a string the engine returned, released.
inline std::string Take(RuntimeString* s) {
  std::string text(StringCText(s), static_cast<size_t>(StringLength(s)));
  StringRelease(s);
  return text;
}
