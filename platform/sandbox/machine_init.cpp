// What a new sandbox machine holds: a freshly installed Windows 98 as far as the programs look.
#include <filesystem>
#include <system_error>

#include "platform/sandbox/facts.h"
#include "platform/sandbox/file_store.h"
#include "platform/sandbox/host_io.h"
#include "platform/sandbox/layout.h"
#include "platform/sandbox/machine.h"
#include "platform/sandbox/shell.h"

namespace vu::platform::sandbox {
namespace {
namespace fs = std::filesystem;

// Besides the shell's folders: the Quick Launch bar Internet Explorer puts in application data.
constexpr const char* kFolders[] = {
    "C:\\WINDOWS\\APPLICATION DATA\\MICROSOFT\\INTERNET EXPLORER\\QUICK LAUNCH",
};

struct Key {
  RootKey root;
  const char* path;
};
// The default user's keys exist on every Windows 98 machine, so that a run that writes to
// HKEY_CURRENT_USER creates nothing a restore would leave behind.
constexpr Key kKeys[] = {
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs"},
    {HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\Class\\NetTrans\\0000"},
    {HKEY_USERS, ".DEFAULT\\Control Panel\\desktop"},
    {HKEY_USERS, ".DEFAULT\\Software"},
};

constexpr std::string_view kSystemIni =
    "[boot]\r\n"
    "oemfonts.fon=vgaoem.fon\r\n"
    "shell=Explorer.exe\r\n"
    "system.drv=system.drv\r\n"
    "drivers=mmsystem.dll power.drv\r\n"
    "\r\n"
    "[boot.description]\r\n"
    "system.drv=Standard PC\r\n"
    "\r\n"
    "[386Enh]\r\n"
    "ebios=*ebios\r\n"
    "woafont=dosapp.fon\r\n"
    "\r\n"
    "[drivers]\r\n"
    "wave=mmdrv.dll\r\n"
    "timer=timer.drv\r\n";

// Msdos.sys of Windows 98, padded past 1024 bytes as the real one is.
std::string MsdosSys() {
  std::string text =
      "[Paths]\r\n"
      "WinDir=C:\\WINDOWS\r\n"
      "WinBootDir=C:\\WINDOWS\r\n"
      "HostWinBootDrv=C\r\n"
      "\r\n"
      "[Options]\r\n"
      "BootMulti=1\r\n"
      "BootGUI=1\r\n"
      "DoubleBuffer=1\r\n"
      "AutoScan=1\r\n"
      "WinVer=4.10.1998\r\n"
      ";\r\n"
      ";The following lines are required for compatibility with other programs.\r\n"
      ";Do not remove them (MSDOS.SYS needs to be >1024 bytes).\r\n";
  for (char letter = 'a'; letter <= 's'; ++letter)
    text += ";" + std::string(69, 'x') + letter + "\r\n";
  return text;
}

bool Fail(std::string* error, const std::string& what, Status status) {
  *error = what + " failed (error " + std::to_string(status) + ")";
  return false;
}

bool MakeRegistry(const std::string& hostDir, std::string* error) {
  Faults faults;
  std::unique_ptr<SandboxRegistry> registry =
      SandboxRegistry::Open((fs::path(hostDir) / kRegistryDb).string(), faults, error);
  if (!registry) return false;
  for (const Key& wanted : kKeys) {
    std::unique_ptr<vu::platform::RegistryKey> key;
    Status status = registry->CreateKey(wanted.root, wanted.path, key);
    if (status == ERROR_SUCCESS && std::string_view(wanted.path).ends_with("0000"))
      status = key->SetValue("DriverDesc", REG_SZ, std::string_view("TCP/IP", 7));
    if (status != ERROR_SUCCESS)
      return Fail(error, std::string("making key ") + wanted.path, status);
  }
  const Status status = registry->Commit();
  return status == ERROR_SUCCESS || Fail(error, "writing the registry", status);
}

bool Populate(const std::string& hostDir, std::string* error) {
  std::error_code ec;
  fs::create_directories(fs::path(hostDir) / kDrivesFolder / "C", ec);
  if (ec) return Fail(error, "making drive C", StatusFromError(ec));
  FileStore store(hostDir);
  std::string windowsDir;
  std::string systemDir;
  for (const auto& [name, value] : DefaultFacts()) {
    if (name == "WindowsDir") windowsDir = value;
    if (name == "SystemDir") systemDir = value;
  }
  std::vector<std::string> folders = SpecialFolderLocations(windowsDir, systemDir);
  folders.insert(folders.end(), std::begin(kFolders), std::end(kFolders));
  for (const std::string& folder : folders) {
    const Status status = store.MakeDirectories(folder);
    if (status != ERROR_SUCCESS) return Fail(error, "making " + folder, status);
  }
  Status status = store.WriteAll("C:\\WINDOWS\\SYSTEM.INI", kSystemIni);
  if (status != ERROR_SUCCESS) return Fail(error, "writing C:\\WINDOWS\\SYSTEM.INI", status);
  status = store.WriteAll("C:\\MSDOS.SYS", MsdosSys());
  if (status == ERROR_SUCCESS)
    status = store.SetAttributes(
        "C:\\MSDOS.SYS", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  if (status != ERROR_SUCCESS) return Fail(error, "writing C:\\MSDOS.SYS", status);
  if (!MakeRegistry(hostDir, error)) return false;
  status = WriteHostFile((fs::path(hostDir) / kJournal).string(), "");
  if (status != ERROR_SUCCESS) return Fail(error, "making the journal", status);
  // machine.ini last: it is what makes the folder a machine.
  status =
      ReplaceHostFile((fs::path(hostDir) / kMachineIni).string(), FactsFileText(DefaultFacts()));
  if (status != ERROR_SUCCESS) return Fail(error, "writing machine.ini", status);
  return true;
}

}  // namespace

bool SandboxMachine::Init(const std::string& hostDir, std::string* error) {
  std::string ignored;
  if (error == nullptr) error = &ignored;
  if (hostDir.empty()) {
    *error = "no folder given for the machine";
    return false;
  }
  const fs::path dir(hostDir);
  std::error_code ec;
  const bool existed = fs::exists(dir, ec);
  if (existed) {
    if (!fs::is_directory(dir, ec)) {
      *error = hostDir + " is not a folder";
      return false;
    }
    if (fs::is_regular_file(dir / kMachineIni, ec)) return true;  // a machine already
    if (!fs::is_empty(dir, ec) || ec) {
      *error = hostDir + " is not empty and holds no sandbox machine";
      return false;
    }
  } else {
    fs::create_directories(dir, ec);
    if (ec) {
      *error = "cannot make " + hostDir + ": " + ec.message();
      return false;
    }
  }
  if (Populate(hostDir, error)) return true;
  // Leave the folder as it was found: gone, or empty.
  if (existed) {
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
      std::error_code ignoredError;
      fs::remove_all(it->path(), ignoredError);
    }
  } else {
    fs::remove_all(dir, ec);
  }
  return false;
}

}  // namespace vu::platform::sandbox
