#include "platform/faulty_machine.h"

#include <string>
#include <utility>

#include "platform/registry_path.h"

namespace vu::platform {
namespace {

class FaultyKey final : public RegistryKey {
 public:
  FaultyKey(FaultPlan& plan, std::string path, std::unique_ptr<RegistryKey> key)
      : plan_(plan), path_(std::move(path)), key_(std::move(key)) {}

  Status QueryValue(std::string_view name, std::uint32_t& type, std::string& data) override {
    if (auto fault = plan_.Check(Op::RegQueryValue, name)) return *fault;
    return key_->QueryValue(name, type, data);
  }
  Status SetValue(std::string_view name, std::uint32_t type, std::string_view data) override {
    if (auto fault = plan_.Check(Op::RegSetValue, name)) return *fault;
    return key_->SetValue(name, type, data);
  }
  Status Flush() override {
    if (auto fault = plan_.Check(Op::RegFlush, path_)) return *fault;
    return key_->Flush();
  }
  Status DeleteSubKey(std::string_view path) override {
    if (auto fault = plan_.Check(Op::RegDeleteKey, path)) return *fault;
    return key_->DeleteSubKey(path);
  }
  Status DeleteValue(std::string_view name) override {
    if (auto fault = plan_.Check(Op::RegDeleteValue, name)) return *fault;
    return key_->DeleteValue(name);
  }
  Status EnumKey(std::uint32_t index, std::string& name) override {
    if (auto fault = plan_.Check(Op::RegEnumKey, path_)) return *fault;
    return key_->EnumKey(index, name);
  }
  Status EnumValue(std::uint32_t index, std::string& name, std::uint32_t& type,
                   std::string& data) override {
    if (auto fault = plan_.Check(Op::RegEnumValue, path_)) return *fault;
    return key_->EnumValue(index, name, type, data);
  }

 private:
  FaultPlan& plan_;
  std::string path_;
  std::unique_ptr<RegistryKey> key_;
};

class FaultyRegistry final : public Registry {
 public:
  FaultyRegistry(FaultPlan& plan, Registry& registry) : plan_(plan), registry_(registry) {}

  Status OpenKey(RootKey root, std::string_view path, std::unique_ptr<RegistryKey>& key) override {
    return Open(Op::RegOpenKey, root, path, key);
  }
  Status CreateKey(RootKey root, std::string_view path,
                   std::unique_ptr<RegistryKey>& key) override {
    return Open(Op::RegCreateKey, root, path, key);
  }

 private:
  Status Open(Op op, RootKey root, std::string_view path, std::unique_ptr<RegistryKey>& key) {
    key.reset();
    if (auto fault = plan_.Check(op, path)) return *fault;
    std::unique_ptr<RegistryKey> opened;
    const Status status = op == Op::RegOpenKey ? registry_.OpenKey(root, path, opened)
                                               : registry_.CreateKey(root, path, opened);
    if (status == ERROR_SUCCESS && opened) {
      key = std::make_unique<FaultyKey>(plan_, NormalizeKeyPath(path), std::move(opened));
    }
    return status;
  }

  FaultPlan& plan_;
  Registry& registry_;
};

class FaultyFiles final : public FileSystem {
 public:
  FaultyFiles(FaultPlan& plan, FileSystem& files) : plan_(plan), files_(files) {}

  Status FindFirst(std::string_view pattern, FindData& first,
                   std::unique_ptr<Listing>& listing) override {
    listing.reset();
    if (auto fault = plan_.Check(Op::FindFirst, pattern)) return *fault;
    return files_.FindFirst(pattern, first, listing);
  }
  Status FindFirstNames(std::string_view pattern, FindData& first,
                        std::unique_ptr<Listing>& listing) override {
    listing.reset();
    if (auto fault = plan_.Check(Op::FindFirst, pattern)) return *fault;
    return files_.FindFirstNames(pattern, first, listing);
  }
  std::uint32_t Attributes(std::string_view path, Status* error) override {
    if (auto fault = plan_.Check(Op::Attributes, path)) {
      if (error != nullptr) *error = *fault;
      return INVALID_FILE_ATTRIBUTES;
    }
    return files_.Attributes(path, error);
  }
  Status SetAttributes(std::string_view path, std::uint32_t attributes) override {
    if (auto fault = plan_.Check(Op::SetAttributes, path)) return *fault;
    return files_.SetAttributes(path, attributes);
  }
  Status Remove(std::string_view path) override {
    if (auto fault = plan_.Check(Op::Remove, path)) return *fault;
    return files_.Remove(path);
  }
  Status RemoveAtRestart(std::string_view path) override {
    if (auto fault = plan_.Check(Op::RemoveAtRestart, path)) return *fault;
    return files_.RemoveAtRestart(path);
  }
  Status Copy(std::string_view from, std::string_view to, bool failIfExists) override {
    if (auto fault = plan_.Check(Op::Copy, from, to)) return *fault;
    return files_.Copy(from, to, failIfExists);
  }
  Status MakeDirectory(std::string_view path) override {
    if (auto fault = plan_.Check(Op::MakeDirectory, path)) return *fault;
    return files_.MakeDirectory(path);
  }
  Status RemoveDirectory(std::string_view path) override {
    if (auto fault = plan_.Check(Op::RemoveDirectory, path)) return *fault;
    return files_.RemoveDirectory(path);
  }
  Status Length(std::string_view path, std::uint64_t& length) override {
    if (auto fault = plan_.Check(Op::Length, path)) return *fault;
    return files_.Length(path, length);
  }
  Status ReadFirstLine(std::string_view path, std::string& line) override {
    if (auto fault = plan_.Check(Op::ReadFirstLine, path)) return *fault;
    return files_.ReadFirstLine(path, line);
  }
  Status ReadAll(std::string_view path, std::string& bytes) override {
    if (auto fault = plan_.Check(Op::ReadAll, path)) return *fault;
    return files_.ReadAll(path, bytes);
  }
  Status WriteAll(std::string_view path, std::string_view bytes) override {
    if (auto fault = plan_.Check(Op::WriteAll, path)) return *fault;
    return files_.WriteAll(path, bytes);
  }
  Status Append(std::string_view path, std::string_view bytes) override {
    if (auto fault = plan_.Check(Op::Append, path)) return *fault;
    return files_.Append(path, bytes);
  }
  Status WriteProfileString(std::string_view file, std::string_view section, std::string_view key,
                            std::string_view value) override {
    if (auto fault = plan_.Check(Op::WriteProfileString, file)) return *fault;
    return files_.WriteProfileString(file, section, key, value);
  }
  Status ReadProfileString(std::string_view file, std::string_view section, std::string_view key,
                           std::string& value) override {
    if (auto fault = plan_.Check(Op::ReadProfileString, file)) return *fault;
    return files_.ReadProfileString(file, section, key, value);
  }

 private:
  FaultPlan& plan_;
  FileSystem& files_;
};

class FaultyShell final : public Shell {
 public:
  FaultyShell(FaultPlan& plan, Shell& shell) : plan_(plan), shell_(shell) {}

  Status ShortcutTarget(std::string_view linkPath, std::string& target) override {
    target.clear();
    if (auto fault = plan_.Check(Op::ShortcutTarget, linkPath)) return *fault;
    return shell_.ShortcutTarget(linkPath, target);
  }
  Status CreateMenuShortcut(std::string_view group, std::string_view linkName,
                            std::string_view target, std::string_view arguments) override {
    if (auto fault = plan_.Check(Op::CreateMenuShortcut, linkName)) return *fault;
    return shell_.CreateMenuShortcut(group, linkName, target, arguments);
  }
  Status RemoveMenuShortcut(std::string_view group, std::string_view linkName) override {
    if (auto fault = plan_.Check(Op::RemoveMenuShortcut, linkName)) return *fault;
    return shell_.RemoveMenuShortcut(group, linkName);
  }
  Status SpecialFolderPath(int csidl, std::string& path) override {
    path.clear();
    if (auto fault = plan_.Check(Op::SpecialFolderPath, std::to_string(csidl))) return *fault;
    return shell_.SpecialFolderPath(csidl, path);
  }
  std::string BrowseForFolder(std::uintptr_t owner, std::string_view title, std::uint32_t flags,
                              int root) override {
    return shell_.BrowseForFolder(owner, title, flags, root);
  }

 private:
  FaultPlan& plan_;
  Shell& shell_;
};

class FaultySystem final : public System {
 public:
  FaultySystem(FaultPlan& plan, System& system) : plan_(plan), system_(system) {}

  std::string WindowsDirectory() override { return system_.WindowsDirectory(); }
  std::string TempDirectory() override { return system_.TempDirectory(); }
  std::string SystemDirectory() override { return system_.SystemDirectory(); }
  std::string SystemWow64Directory() override { return system_.SystemWow64Directory(); }
  bool Version(OsVersion& version) override { return system_.Version(version); }
  std::uint32_t ProcessorType() override { return system_.ProcessorType(); }
  bool Memory(MemoryStatus& status) override { return system_.Memory(status); }
  bool UserName(std::string& name) override { return system_.UserName(name); }
  bool VolumeSerial(std::string_view root, std::uint32_t& serial) override {
    return system_.VolumeSerial(root, serial);
  }
  int Metric(int index) override { return system_.Metric(index); }
  int LogPixelsX() override { return system_.LogPixelsX(); }
  Status StartProgram(std::string_view commandLine, int show) override {
    if (auto fault = plan_.Check(Op::StartProgram, commandLine)) return *fault;
    return system_.StartProgram(commandLine, show);
  }
  bool Restart(std::uint32_t flags, std::uint32_t reserved) override {
    if (plan_.Check(Op::Restart)) return false;
    return system_.Restart(flags, reserved);
  }
  void Beep() override { system_.Beep(); }
  LocalTime Now() override { return system_.Now(); }
  std::string ProgramFolder() override { return system_.ProgramFolder(); }
  std::string CommandLine() override { return system_.CommandLine(); }

 private:
  FaultPlan& plan_;
  System& system_;
};

}  // namespace

std::unique_ptr<Registry> MakeFaultyRegistry(Registry& registry, FaultPlan& plan) {
  return std::make_unique<FaultyRegistry>(plan, registry);
}

std::unique_ptr<FileSystem> MakeFaultyFiles(FileSystem& files, FaultPlan& plan) {
  return std::make_unique<FaultyFiles>(plan, files);
}

FaultyMachine::FaultyMachine(Machine& machine)
    : machine_(machine),
      registry_(std::make_unique<FaultyRegistry>(plan_, machine.registry())),
      files_(std::make_unique<FaultyFiles>(plan_, machine.files())),
      shell_(std::make_unique<FaultyShell>(plan_, machine.shell())),
      system_(std::make_unique<FaultySystem>(plan_, machine.system())) {}

FaultyMachine::~FaultyMachine() = default;

Registry& FaultyMachine::registry() {
  return *registry_;
}
FileSystem& FaultyMachine::files() {
  return *files_;
}
Shell& FaultyMachine::shell() {
  return *shell_;
}
System& FaultyMachine::system() {
  return *system_;
}

}  // namespace vu::platform
