// The removal sequence: four stages on the progress form, each animating the bar and then doing
// its part, all from the product registration record. Everything the sequence means to remove is
// checked at the end, so that the completion text never claims more than was done.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vu::uninstaller {

class UninstallApp;

// The pause after one progress step for the generator's next value |r| in [0, 1):
// |r x 100 - 50| + 1 milliseconds (1 to 51) in single precision, rounded half to even.
int ProgressPauseMs(float r);

// Animates the progress bar from its value to 100 in steps of 4, pausing and yielding after each.
void ProgressFill(UninstallApp& app);
// Waits |ms| milliseconds; the forms keep repainting and the timers ticking meanwhile.
void Pause(UninstallApp& app, int ms);

// Called by the confirmation's Yes after the progress form is shown; returns with the completion
// text up and Close enabled.
void RunUninstall(UninstallApp& app);

// The product's own files in the program directory, the directory, and its parent when that is
// left empty. Returns what it meant to remove (the files and the directory).
std::vector<std::string> RemoveProgramFiles(UninstallApp& app);
// The product's shortcuts in the program-menu group and in the recorded menu folder, and that
// folder when it is left empty. Returns the shortcuts it meant to remove.
std::vector<std::string> RemoveMenuEntries(UninstallApp& app);
// Removes "<program menu>\<group>\<linkName>.lnk" (blanks around the name trimmed), and the group
// when that leaves it empty; a missing shortcut is no failure.
void RemoveMenuShortcut(UninstallApp& app, std::string_view group, std::string_view linkName);
// Deletes the record, unless the program file is still there (and not going at the next start
// of Windows): the entry in the list of installed programs is then the way to try again.
void DeleteUninstallRecord(UninstallApp& app);

// Those of |targets| that still exist, but for those deleted when Windows next starts.
std::vector<std::string> LeftOver(UninstallApp& app, const std::vector<std::string>& targets);

// The sentence in front of the files deleted when Windows next starts.
inline constexpr const char* kRestartText =
    "The following files will be removed when Windows restarts: ";
// The completion text: success when nothing was left, else what was left; then the files
// |scheduled| for the next start of Windows, when there are any.
std::string CompletionText(const std::vector<std::string>& left,
                           const std::vector<std::string>& scheduled = {});

}  // namespace vu::uninstaller
