#include "tools/vmachine/command_support.h"

#include "platform/sandbox/machine_check.h"

namespace vu::tools {

int Complain(std::ostream& err, std::string_view command, std::string_view problem, int status) {
  std::string line(problem);
  for (char& c : line) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  err << "vmachine " << command << ": " << line << "\n";
  return status;
}

bool CheckMachine(const std::string& dir, std::string_view command, std::ostream& err,
                  bool forChanges) {
  std::string problem;
  if (vu::platform::sandbox::CheckMachineFolder(dir, forChanges, &problem)) return true;
  Complain(err, command, problem);
  return false;
}

std::string Describe(vu::platform::Status status) {
  std::string text;
  switch (status) {
    case ERROR_FILE_NOT_FOUND:
      text = "the file was not found";
      break;
    case ERROR_PATH_NOT_FOUND:
      text = "the drive or a folder on the path does not exist";
      break;
    case ERROR_ACCESS_DENIED:
      text = "access is denied";
      break;
    case ERROR_BAD_NETPATH:
      text = "network paths are not on the machine";
      break;
    case ERROR_INVALID_NAME:
      text = "the name is not a valid Windows name";
      break;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      text = "the name is taken";
      break;
    default:
      text = "the operation failed";
      break;
  }
  return text + " (" + std::to_string(status) + ")";
}

}  // namespace vu::tools
