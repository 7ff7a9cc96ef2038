#include "uninstaller/uninstall_app.h"

#include <algorithm>
#include <utility>

#include "common/registry_mod.h"
#include "platform/text.h"
#include "uninstaller/frm_confirm.h"
#include "uninstaller/frm_err_message.h"
#include "uninstaller/frm_start.h"
#include "uninstaller/removal.h"

namespace vu::uninstaller {

namespace {

constexpr std::string_view kBrand = "Velloria";
constexpr std::string_view kTradeMark = "\u2122";

// The length in bytes of the UTF-8 character that starts |text|; a stray byte counts as one.
std::size_t FirstCharacterLength(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text.front());
  std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (length > text.size()) return 1;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 1;
  }
  return length;
}

}  // namespace

std::string DisplayNameOf(std::string_view longName) {
  if (!longName.starts_with(kBrand)) return std::string(longName);
  return std::string(kBrand) + std::string(kTradeMark) +
         std::string(longName.substr(kBrand.size()));
}

UninstallApp::UninstallApp(vu::platform::Machine& machine, toolkit::Program& program,
                           std::string argument)
    : machine_(machine), program_(program), argument_(std::move(argument)) {}

void UninstallApp::Startup() {
  if (!ReadProductKey()) return;
  start();
  confirm().Show();
}

int UninstallApp::RunUnattended(std::ostream& errors) {
  productKey_.clear();
  if (!argument_.empty()) productKey_ = argument_.substr(FirstCharacterLength(argument_));
  if (productKey_.empty() || GetLongName() == common::kRegistryNotFound) {
    errors << "Uninstall: no installed product is named \"" << productKey_ << "\"\n";
    return kUnknownProduct;
  }
  std::vector<std::string> targets = RemoveProgramFiles(*this);
  const std::vector<std::string> shortcuts = RemoveMenuEntries(*this);
  targets.insert(targets.end(), shortcuts.begin(), shortcuts.end());
  DeleteUninstallRecord(*this);
  const std::vector<std::string> left = LeftOver(*this, targets);
  if (!scheduled_.empty()) {
    errors << "Uninstall: in use, removed when Windows restarts:\n";
    for (const std::string& path : scheduled_)
      errors << "  " << path << "\n";
  }
  if (left.empty()) return kRemoved;
  errors << "Uninstall: not removed:\n";
  for (const std::string& path : left)
    errors << "  " << path << "\n";
  return kRemoveIncomplete;
}

bool UninstallApp::ReadProductKey() {
  productKey_.clear();
  if (!argument_.empty()) productKey_ = argument_.substr(FirstCharacterLength(argument_));
  // An empty key would name the list of installed programs itself, not a product in it.
  if (productKey_.empty() || GetLongName() == common::kRegistryNotFound) {
    ShowFatalError();
    return false;
  }
  return true;
}

std::optional<common::InstallLog> UninstallApp::InstallLog() {
  return common::ReadInstallLog(machine_.registry(), RecordKey());
}

std::string UninstallApp::RecordKey() const {
  return std::string(kUninstallKey) + productKey_;
}

std::string UninstallApp::RecordValue(std::string_view name) {
  return common::GetRegistryString(machine_.registry(), HKEY_LOCAL_MACHINE, RecordKey(), name);
}

bool UninstallApp::IsScheduled(std::string_view path) const {
  return std::any_of(scheduled_.begin(), scheduled_.end(), [path](const std::string& scheduled) {
    return platform::EqualsNoCase(scheduled, path);
  });
}

void UninstallApp::ShowFatalError() {
  program_.form<FrmErrMessage>(*this).ShowModal();
}

FrmStart& UninstallApp::start() {
  return program_.form<FrmStart>(*this);
}

FrmConfirm& UninstallApp::confirm() {
  return program_.form<FrmConfirm>(*this);
}

}  // namespace vu::uninstaller
