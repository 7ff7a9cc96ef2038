#include "tools/vmachine/reg_commands.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "common/regedit4.h"
#include "common/registry_mod.h"
#include "platform/faulty_machine.h"
#include "platform/registry_path.h"
#include "platform/sandbox/registry.h"
#include "tools/vmachine/command_support.h"

namespace vu::tools {

namespace {

using vu::platform::RootKey;
using vu::platform::Status;
using namespace vu::platform::sandbox;
using namespace vu::common;
using namespace vu::platform;

constexpr int kBadInput = 2;

constexpr std::string_view kUsage =
    "usage: vmachine reg import DIR FILE | reg export DIR [KEY] | reg get DIR KEY NAME";

class Command {
 public:
  Command(std::ostream& out, std::ostream& err, FaultPlan& faults)
      : out_(out), err_(err), faults_(faults) {}

  int Import(const std::string& dir, const std::string& file) {
    if (!CheckMachine(dir, true)) return kBadInput;
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec))
      return Error("cannot read " + file + ": it is a folder");
    std::ifstream in(file, std::ios::binary);
    if (!in) return Error("cannot read " + file);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<RegFileEdit> edits;
    RegFileProblem problem;
    if (!ParseRegFile(bytes, edits, problem)) return Error(file, problem);
    if (!OpenRegistry(dir)) return kBadInput;
    // Nothing becomes durable until every edit has been made.
    registry_->DeferCommits(true);
    if (!ApplyRegFile(*faulty_, edits, problem)) {
      registry_->Rollback();
      return Error(file, problem);
    }
    if (const Status status = registry_->Commit(); status != ERROR_SUCCESS) {
      registry_->Rollback();
      return Error("cannot save the registry of " + dir + " (error " + std::to_string(status) +
                   ")");
    }
    return 0;
  }

  int Export(const std::string& dir, const std::string* keyName) {
    if (!CheckMachine(dir, false)) return kBadInput;
    std::vector<RegBranch> branches;
    if (keyName) {
      RegBranch branch;
      if (!ParseKey(*keyName, branch.root, branch.path)) return kBadInput;
      branches.push_back(branch);
    } else {
      // The aliased roots are branches of these two.
      branches = {{HKEY_LOCAL_MACHINE, ""}, {HKEY_USERS, ""}};
    }
    if (!OpenRegistry(dir)) return kBadInput;
    std::string text;
    const Status status = ExportRegFile(*faulty_, branches, text);
    // Reading may have made an aliased root's key; an export leaves the machine as it was.
    registry_->Rollback();
    if (status == ERROR_FILE_NOT_FOUND) return Error("no such key: " + *keyName);
    if (status != ERROR_SUCCESS) {
      return Error("cannot read the registry of " + dir + " (error " + std::to_string(status) +
                   ")");
    }
    out_ << text;
    return out_ ? 0 : 1;
  }

  int Get(const std::string& dir, const std::string& keyName, const std::string& valueName) {
    if (!CheckMachine(dir, false)) return kBadInput;
    RootKey root = 0;
    std::string path;
    if (!ParseKey(keyName, root, path)) return kBadInput;
    if (!OpenRegistry(dir)) return kBadInput;
    const std::string text = vu::common::GetRegistryString(*faulty_, root, path, valueName);
    registry_->Rollback();
    out_ << text << '\n';
    return out_ ? 0 : 1;
  }

  int Error(const std::string& message) {
    err_ << "vmachine reg: " << message << '\n';
    return kBadInput;
  }

 private:
  int Error(const std::string& file, const RegFileProblem& problem) {
    return Error(file + " line " + std::to_string(problem.line) + ": " + problem.message);
  }

  bool CheckMachine(const std::string& dir, bool forChanges) {
    return vu::tools::CheckMachine(dir, "reg", err_, forChanges);
  }

  bool ParseKey(const std::string& keyName, RootKey& root, std::string& path) {
    if (ParseFullKeyName(keyName, root, path)) return true;
    Error("unknown root key in \"" + keyName +
          "\" (expected HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE or HKEY_USERS)");
    return false;
  }

  bool OpenRegistry(const std::string& dir) {
    std::string error;
    registry_ =
        SandboxRegistry::Open((std::filesystem::path(dir) / "registry.db").string(), &error);
    if (!registry_) {
      Error(error);
      return false;
    }
    faulty_ = MakeFaultyRegistry(*registry_, faults_);
    return true;
  }

  std::ostream& out_;
  std::ostream& err_;
  FaultPlan& faults_;
  std::unique_ptr<SandboxRegistry> registry_;
  std::unique_ptr<Registry> faulty_;  // the registry as the commands reach it, behind --fault
};

}  // namespace

int RunRegCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  vu::platform::FaultPlan& faults) {
  Command command(out, err, faults);
  const std::string verb = args.empty() ? std::string() : args[0];
  if (verb == "import" && args.size() == 3) return command.Import(args[1], args[2]);
  if (verb == "export" && (args.size() == 2 || args.size() == 3)) {
    return command.Export(args[1], args.size() == 3 ? &args[2] : nullptr);
  }
  if (verb == "get" && args.size() == 4) return command.Get(args[1], args[2], args[3]);
  return command.Error(std::string(kUsage));
}

}  // namespace vu::tools
