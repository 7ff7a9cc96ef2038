#include "platform/sandbox/host_io.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include <fcntl.h>
#include <unistd.h>

namespace vu::platform::sandbox {
namespace {

Status LastHostError() {
  return StatusFromError(std::error_code(errno, std::generic_category()));
}

Status WriteWithMode(const std::string& path, std::string_view bytes, const char* mode) {
  HostFile file(path, mode);
  if (!file) return LastHostError();
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
    return LastHostError();
  return file.Close();
}

}  // namespace

Status StatusFromError(std::error_code error) {
  if (!error) return ERROR_SUCCESS;
  switch (static_cast<std::errc>(error.default_error_condition().value())) {
    case std::errc::no_such_file_or_directory:
      return ERROR_FILE_NOT_FOUND;
    case std::errc::not_a_directory:
      return ERROR_PATH_NOT_FOUND;
    case std::errc::file_exists:
      return ERROR_ALREADY_EXISTS;
    case std::errc::directory_not_empty:
      return ERROR_DIR_NOT_EMPTY;
    case std::errc::no_space_on_device:
      return ERROR_DISK_FULL;
    case std::errc::filename_too_long:
      return ERROR_FILENAME_EXCED_RANGE;
    case std::errc::not_enough_memory:
      return ERROR_NOT_ENOUGH_MEMORY;
    case std::errc::device_or_resource_busy:
    case std::errc::text_file_busy:
      return ERROR_SHARING_VIOLATION;
    case std::errc::read_only_file_system:
      return ERROR_WRITE_PROTECT;
    case std::errc::invalid_argument:
      return ERROR_INVALID_NAME;
    default:
      return ERROR_ACCESS_DENIED;
  }
}

HostFile::HostFile(const std::string& path, const char* mode)
    : file_(std::fopen(path.c_str(), mode)) {}

HostFile::~HostFile() {
  if (file_ != nullptr) std::fclose(file_);
}

Status HostFile::Close() {
  if (file_ == nullptr) return ERROR_INVALID_HANDLE;
  const bool failed = std::ferror(file_) != 0;
  const int closed = std::fclose(file_);
  file_ = nullptr;
  if (closed != 0) return LastHostError();
  return failed ? ERROR_CANTWRITE : ERROR_SUCCESS;
}

Status ReadHostFile(const std::string& path, std::string& bytes, std::size_t limit) {
  bytes.clear();
  HostFile file(path, "rb");
  if (!file) return LastHostError();
  char chunk[16384];
  while (bytes.size() < limit) {
    const std::size_t want = std::min(sizeof chunk, limit - bytes.size());
    const std::size_t got = std::fread(chunk, 1, want, file.get());
    bytes.append(chunk, got);
    if (got < want) {
      if (std::ferror(file.get()) != 0) return LastHostError();
      break;
    }
  }
  return ERROR_SUCCESS;
}

Status ForEachHostLine(const std::string& path,
                       const std::function<void(std::string_view)>& visit) {
  HostFile file(path, "rb");
  if (!file) return LastHostError();
  std::string rest;  // the start of a line that goes on in the next piece
  char chunk[65536];
  auto hand = [&visit](std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    visit(line);
  };
  for (;;) {
    const std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
    std::string_view piece(chunk, got);
    for (std::size_t end = piece.find('\n'); end != std::string_view::npos;
         end = piece.find('\n')) {
      if (rest.empty()) {
        hand(piece.substr(0, end));
      } else {
        rest.append(piece.substr(0, end));
        hand(rest);
        rest.clear();
      }
      piece.remove_prefix(end + 1);
    }
    rest.append(piece);
    if (got < sizeof chunk) {
      if (std::ferror(file.get()) != 0) return LastHostError();
      break;
    }
  }
  if (!rest.empty()) hand(rest);
  return ERROR_SUCCESS;
}

Status WriteHostFile(const std::string& path, std::string_view bytes) {
  return WriteWithMode(path, bytes, "wb");
}

Status ReplaceHostFile(const std::string& path, std::string_view bytes,
                       const std::string& scratch) {
  // A name of its own, so that no other file there is ever written over.
  const std::string stem =
      scratch.empty() ? path : scratch + "/" + std::filesystem::path(path).filename().string();
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temporary = stem + ".vu-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return LastHostError();
  }
  if (fd < 0) return LastHostError();
  Status written = ERROR_SUCCESS;
  for (std::size_t done = 0; done < bytes.size() && written == ERROR_SUCCESS;) {
    const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      written = LastHostError();
    } else {
      done += static_cast<std::size_t>(wrote);
    }
  }
  if (::close(fd) != 0 && written == ERROR_SUCCESS) written = LastHostError();
  std::error_code ec;
  if (written != ERROR_SUCCESS) {
    std::filesystem::remove(temporary, ec);
    return written;
  }
  std::filesystem::rename(temporary, path, ec);
  if (ec) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    // A drive kept on another host file system: the file is written beside itself instead.
    if (ec == std::errc::cross_device_link && !scratch.empty()) return ReplaceHostFile(path, bytes);
  }
  return StatusFromError(ec);
}

Status AppendHostFile(const std::string& path, std::string_view bytes) {
  return WriteWithMode(path, bytes, "ab");
}

Status AppendHostFileDurably(const std::string& path, std::string_view bytes) {
  // The folder's entry needs flushing only for a file this call makes: an append to an existing
  // file then costs one flush, not two.
  bool made = false;
  int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) {
    fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    made = fd >= 0;
    if (fd < 0 && errno == EEXIST) fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  }
  if (fd < 0) return LastHostError();
  Status status = ERROR_SUCCESS;
  for (std::size_t done = 0; done < bytes.size() && status == ERROR_SUCCESS;) {
    const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      status = LastHostError();
    } else {
      done += static_cast<std::size_t>(wrote);
    }
  }
  // The data and the length that reaches it; the file's times may follow later.
  if (status == ERROR_SUCCESS && ::fdatasync(fd) != 0) status = LastHostError();
  if (::close(fd) != 0 && status == ERROR_SUCCESS) status = LastHostError();
  if (status != ERROR_SUCCESS || !made) return status;
  // A file just made is only found again after a crash once its folder's entry is durable too.
  const std::string folder = std::filesystem::path(path).parent_path().string();
  const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return ERROR_SUCCESS;
}

}  // namespace vu::platform::sandbox
