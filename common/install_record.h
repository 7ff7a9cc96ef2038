// The installation record: the product's entry in the system's list of installed programs, which
// the installer writes, the uninstaller reads and the Optimizer's cleaner of that list judges;
// with the product's names and the program-menu group they share.
#pragma once

namespace vu::common {

// The list of installed programs, below HKEY_LOCAL_MACHINE; a product's key follows the last
// backslash and is its long name.
inline constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// The record's values, as the installer writes them and the uninstaller reads them.
inline constexpr char kProgramfilePathValue[] = "ProgramfilePath";
inline constexpr char kUninstallStringValue[] = "UninstallString";
inline constexpr char kDisplayNameValue[] = "DisplayName";
inline constexpr char kShortNameValue[] = "ShortName";
inline constexpr char kLongNameValue[] = "LongName";
inline constexpr char kStartmenuPathValue[] = "StartmenuPath";
// What the list of installed programs shows and runs besides: the program's icon, version,
// publisher and folder, its size in KB, no Change or Repair button, and the command that removes
// it with no window.
inline constexpr char kDisplayIconValue[] = "DisplayIcon";
inline constexpr char kDisplayVersionValue[] = "DisplayVersion";
inline constexpr char kPublisherValue[] = "Publisher";
inline constexpr char kInstallLocationValue[] = "InstallLocation";
inline constexpr char kEstimatedSizeValue[] = "EstimatedSize";
inline constexpr char kNoModifyValue[] = "NoModify";
inline constexpr char kNoRepairValue[] = "NoRepair";
inline constexpr char kQuietUninstallStringValue[] = "QuietUninstallString";

// The product's names: the long one keys the record and is shown, the short one names the
// program's files and its shortcut.
inline constexpr char kProductLongName[] = "Velloria Optimizer";
inline constexpr char kProductShortName[] = "Optimizer";
inline constexpr char kProgramFile[] = "Optimizer.exe";
inline constexpr char kHelpFile[] = "Optimizer.hlp";
inline constexpr char kHelpContentsFile[] = "Optimizer.cnt";
inline constexpr char kProductVersion[] = "1.0";
inline constexpr char kPublisher[] = "Velloria Utilities";

// The program-menu group every product's shortcut goes into; it also names the folder in
// Program Files that holds the products' folders.
inline constexpr char kMenuGroup[] = "Velloria Utilities";

// The uninstaller as it comes on the installation medium, and as it is installed in the Windows
// folder, where the record's UninstallString starts it.
inline constexpr char kUninstallerSourceFile[] = "Uninstall.exe";
inline constexpr char kUninstallerFile[] = "VLUN32.exe";

}  // namespace vu::common
