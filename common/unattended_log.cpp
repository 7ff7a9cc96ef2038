#include "common/unattended_log.h"

#include "common/paths.h"
#include "platform/text.h"

namespace vu::common {

bool ReadLogSwitch(std::string_view word, std::string& file) {
  std::string bare;
  for (char c : word) {
    if (c != '"') bare += c;
  }
  if (bare.size() < 5 || !platform::EqualsNoCase(std::string_view(bare).substr(0, 5), "/LOG="))
    return false;
  file = std::string(Trim(std::string_view(bare).substr(5)));
  return true;
}

std::string DefaultLogPath(platform::System& system, std::string_view program) {
  const std::string temp = system.TempDirectory();
  if (temp.empty()) return temp;
  return QualifyPath(temp) + "Velloria " + std::string(program) + ".log";
}

platform::Status WriteUnattendedReport(platform::Machine& machine, std::string_view program,
                                       std::string_view logFile, std::string_view report,
                                       std::ostream& errors) {
  errors << report << std::flush;
  platform::FileSystem& files = machine.files();
  std::string path(logFile);
  platform::Status status = ERROR_SUCCESS;
  if (!path.empty()) {
    status = files.WriteAll(path, report);
  } else {
    path = DefaultLogPath(machine.system(), program);
    if (path.empty()) {
      status = ERROR_PATH_NOT_FOUND;
    } else {
      // A machine whose TEMP variable names a folder that is not there yet.
      const std::string folder = GetParentFolder(path);
      if (!PathExists(files, folder)) files.MakeDirectory(folder);
      status = files.Append(path, report);
    }
  }
  if (status != ERROR_SUCCESS)
    errors << program << ": the log " << path << " could not be written (" << status << ")\n";
  return status;
}

}  // namespace vu::common
