// The Uninstall program's state object and entry procedure. It identifies the product
// from the command-line argument, reads the product registration record and shows the first
// form. One instance per run of the program; nothing global.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "common/install_log.h"
#include "common/install_record.h"
#include "platform/machine.h"
#include "toolkit/program.h"

namespace vu::uninstaller {

class FrmStart;
class FrmConfirm;

using common::kUninstallKey;

// The name shown to the user: "Velloria" gains its trade-mark sign ("Velloria Optimizer"
// becomes "Velloria™ Optimizer"); any other long name is shown as it is.
std::string DisplayNameOf(std::string_view longName);

// Exit statuses of an unattended uninstallation.
inline constexpr int kRemoved = 0;
inline constexpr int kRemoveIncomplete = 1;
inline constexpr int kUnknownProduct = 2;

class UninstallApp {
 public:
  // |argument|: the command-line argument text, exactly as the system passed it.
  UninstallApp(vu::platform::Machine& machine, toolkit::Program& program, std::string argument);
  UninstallApp(const UninstallApp&) = delete;
  UninstallApp& operator=(const UninstallApp&) = delete;

  // The program's entry procedure: identifies the product, loads the progress form hidden and
  // shows the confirmation. An unknown product ends in the fatal-error dialog.
  void Startup();

  // Sets productKey from the argument; false (after the fatal-error dialog, which ends the
  // program) when the argument names no installed product.
  bool ReadProductKey();
  const std::string& productKey() const { return productKey_; }

  // The record's key, below HKEY_LOCAL_MACHINE.
  std::string RecordKey() const;
  // A value of the record, read afresh at every call; "(Not found)" when missing.
  std::string RecordValue(std::string_view name);
  std::string GetShortName() { return RecordValue(common::kShortNameValue); }
  std::string GetLongName() { return RecordValue(common::kLongNameValue); }
  std::string DisplayName() { return DisplayNameOf(GetLongName()); }
  // What the installer logged placing the product; nullopt for a record without a log.
  std::optional<common::InstallLog> InstallLog();

  // Removes the product with no window, as "VLUN32.exe /S -<long name>" asks: what could not be
  // removed goes to |errors|. Returns kRemoved, kRemoveIncomplete or kUnknownProduct.
  int RunUnattended(std::ostream& errors);

  // What this run could not delete because it was in use and asked Windows to delete when it
  // next starts: files first, then the folders that held only them.
  std::vector<std::string>& scheduled() { return scheduled_; }
  bool IsScheduled(std::string_view path) const;

  // Shows frmErrMessage modally; its Close ends the program.
  void ShowFatalError();

  vu::platform::Machine& machine() const { return machine_; }
  toolkit::Program& program() const { return program_; }
  // The forms, created and loaded on first use.
  FrmStart& start();
  FrmConfirm& confirm();

 private:
  vu::platform::Machine& machine_;
  toolkit::Program& program_;
  std::string argument_;
  std::string productKey_;
  std::vector<std::string> scheduled_;
};

}  // namespace vu::uninstaller
