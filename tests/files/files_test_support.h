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
#include <vector>

#include "core/object_model.h"
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
  void TearDown() override {
    for (RuntimeObject* object : kept_) RuntimeUnlockObject(object);
    std::filesystem::permissions(host_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add);
    std::filesystem::remove_all(host_);
  }

  // An object a service returned, released at the end of the test.
  RuntimeObject* Keep(RuntimeObject* object) {
    if (object) kept_.push_back(object);
    return object;
  }

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
  std::vector<RuntimeObject*> kept_;
};

// The bytes of a string the engine returned, released.
inline std::string Take(RuntimeString* s) {
  std::string text(StringCText(s), static_cast<size_t>(StringLength(s)));
  StringRelease(s);
  return text;
}
