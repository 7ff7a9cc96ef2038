// The engine on a fresh sandbox machine, with shorthands for laying out the files, shortcuts and
// registry values the cleaners judge.
#pragma once

#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "common/registry_mod.h"
#include "engine_world.h"
#include "platform/sandbox/shell_link.h"

namespace vu::optimizer::testing {

class CleanerTest : public ::testing::Test {
 protected:
  Engine engine() { return world.engine; }
  vu::test_support::TestMachine& machine() { return world.temp.machine(); }
  vu::platform::FileSystem& files() { return machine().files(); }
  vu::platform::Registry& registry() { return machine().registry(); }

  // Makes |path| a file, with every missing folder above it.
  void File(const std::string& path, std::string_view bytes = "x") {
    vu::test_support::PlantFile(files(), path, bytes);
  }
  void Folder(const std::string& path) { vu::test_support::PlantFolder(files(), path); }
  void Link(const std::string& path, const std::string& target) {
    vu::test_support::PlantLink(files(), path, target);
  }
  bool Exists(const std::string& path) {
    return files().Attributes(path) != INVALID_FILE_ATTRIBUTES;
  }

  void Sz(vu::platform::RootKey root, const std::string& key, const std::string& name,
          const std::string& text) {
    common::SetRegistryValue(registry(), root, key, name, REG_SZ, text);
  }
  // A value of any type with exactly |bytes| stored (no terminator added).
  void Raw(vu::platform::RootKey root, const std::string& key, const std::string& name,
           std::uint32_t type, std::string_view bytes) {
    std::unique_ptr<vu::platform::RegistryKey> handle;
    ASSERT_EQ(registry().CreateKey(root, key, handle), ERROR_SUCCESS);
    ASSERT_EQ(handle->SetValue(name, type, bytes), ERROR_SUCCESS);
  }
  bool HasValue(vu::platform::RootKey root, const std::string& key, const std::string& name) {
    return common::GetRegistryString(registry(), root, key, name) != common::kRegistryNotFound;
  }
  bool HasKey(vu::platform::RootKey root, const std::string& key) {
    std::unique_ptr<vu::platform::RegistryKey> handle;
    return registry().OpenKey(root, key, handle) == ERROR_SUCCESS && handle;
  }

  EngineWorld world;
};

}  // namespace vu::optimizer::testing
