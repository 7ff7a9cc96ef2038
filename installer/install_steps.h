// The installation steps: placing the installation set on the machine. Every file comes from the
// folder that holds the running installer; paths are joined with a backslash, so a drive root
// yields a doubled one, which the file system accepts.
#pragma once

#include <string>
#include <string_view>

namespace vu::installer {

class InstallerApp;

// The Windows and system directories as the system reports them (no trailing backslash but at a
// drive root).
std::string GetWindowsDir(InstallerApp& app);
std::string GetSystemDir(InstallerApp& app);

// Copies each missing run-time file into the system directory and starts the registration tool
// for it. Files already there (as normal files) are neither replaced nor registered again.
void InstallSystemFiles(InstallerApp& app);

// Places the program and its help files in the install directory (made level by level) and the
// uninstaller in the Windows directory as VLUN32.exe; records in the outcome which of the program
// and the uninstaller are not in place afterwards.
void InstallProgramFiles(InstallerApp& app);

// Makes the program-menu folder level by level and, when the program was placed, its shortcut.
void CreateProgramMenu(InstallerApp& app);

// fCreateShellLink: a shortcut |linkName| in the program-menu group |group| (relative to the
// user's program menu). Blanks around the link name and the target are trimmed.
void MakeMenuShortcut(InstallerApp& app, std::string_view target, std::string_view group,
                      std::string_view arguments, std::string_view linkName);

// Deletes the installation files from the installer's folder, each only when its copy is in place
// at its target with the same content; run-time files this installer did not copy stay, and so do
// the help files.
void RemoveSourceFiles(InstallerApp& app);

}  // namespace vu::installer
