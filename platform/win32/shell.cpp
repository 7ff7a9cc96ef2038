#include <windows.h>
// (windows.h first: the shell headers build on it)
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "platform/win32/shell.h"

#include "platform/win32/family.h"
#include "platform/win32/handles.h"
#include "platform/win32/paths.h"
#include "platform/win32/wide.h"

namespace vu::platform::win32 {
namespace {

// Windows 95/98 without Internet Explorer 5's shell: "Shell Folders" in the registry names the
// user's folders (and the all-users ones when profiles are on).
Status FolderFromRegistry(int csidl, std::string& path) {
  const char* name = nullptr;
  HKEY root = HKEY_CURRENT_USER;
  switch (csidl & 0xFF) {
    case CSIDL_DESKTOPDIRECTORY:
      name = "Desktop";
      break;
    case CSIDL_PROGRAMS:
      name = "Programs";
      break;
    case CSIDL_PERSONAL:
      name = "Personal";
      break;
    case CSIDL_STARTMENU:
      name = "Start Menu";
      break;
    case CSIDL_STARTUP:
      name = "Startup";
      break;
    case CSIDL_COMMON_PROGRAMS:
      name = "Common Programs";
      root = HKEY_LOCAL_MACHINE;
      break;
    case CSIDL_COMMON_STARTMENU:
      name = "Common Start Menu";
      root = HKEY_LOCAL_MACHINE;
      break;
    default:
      return ERROR_FILE_NOT_FOUND;
  }
  HKEY key = nullptr;
  if (::RegOpenKeyExA(root, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                      0, KEY_READ, &key) != ERROR_SUCCESS) {
    return ERROR_FILE_NOT_FOUND;
  }
  char buffer[MAX_PATH + 1] = {};
  DWORD size = MAX_PATH;
  DWORD type = 0;
  const LSTATUS status =
      ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  ::RegCloseKey(key);
  if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return ERROR_FILE_NOT_FOUND;
  }
  path = FromAnsiZ(buffer);
  if ((csidl & CSIDL_FLAG_CREATE) != 0) ::CreateDirectoryA(buffer, nullptr);
  return path.empty() ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
}

Status FolderPath(int csidl, std::string& path) {
  path.clear();
  if (!WideCalls()) {
    // Windows 98's own shell call; SHGetFolderPath came with later shells.
    char buffer[MAX_PATH + 1] = {};
    if (::SHGetSpecialFolderPathA(nullptr, buffer, csidl & 0xFF,
                                  (csidl & CSIDL_FLAG_CREATE) != 0 ? TRUE : FALSE) &&
        buffer[0] != '\0') {
      path = FromAnsiZ(buffer);
      return ERROR_SUCCESS;
    }
    return FolderFromRegistry(csidl, path);
  }
  // Not in NT 4's shell either (it came with Internet Explorer 5).
  using FolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
  static const auto folderPath = FindFunction<FolderPathFn>("shell32.dll", "SHGetFolderPathW");
  wchar_t buffer[MAX_PATH + 1] = {};
  if (folderPath == nullptr) {
    if (!::SHGetSpecialFolderPathW(nullptr, buffer, csidl & 0xFF,
                                   (csidl & CSIDL_FLAG_CREATE) != 0 ? TRUE : FALSE)) {
      return ERROR_FILE_NOT_FOUND;
    }
  } else {
    const HRESULT hr = folderPath(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer);
    // S_FALSE: a known folder that does not exist (and was not asked to be created).
    if (hr == S_FALSE) return ERROR_FILE_NOT_FOUND;
    if (FAILED(hr)) return StatusFromHresult(hr);
  }
  path = NarrowZ(buffer);
  return path.empty() ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
}

// The shell's change notification for a path, in the family's own text.
void NotifyPath(LONG event, const std::string& path) {
  if (WideCalls()) {
    ::SHChangeNotify(event, SHCNF_PATHW, Wide(path).c_str(), nullptr);
  } else {
    ::SHChangeNotify(event, SHCNF_PATHA, AnsiPath(path).c_str(), nullptr);
  }
}

// The path for IPersistFile, which takes wide text on every Windows.
std::wstring LinkFilePath(std::string_view path) {
  if (WideCalls()) return WidePath(path);
  const std::string ansi = AnsiPath(path);
  std::wstring wide(ansi.size() + 1, L'\0');
  const int length = ::MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide.data(),
                                           static_cast<int>(wide.size()));
  wide.resize(length > 0 ? length - 1 : 0);
  return wide;
}

// "<user's program menu>\<group>", the group's folders not created.
Status GroupFolder(std::string_view group, std::string& folder) {
  const Status status = FolderPath(CSIDL_PROGRAMS | CSIDL_FLAG_CREATE, folder);
  if (status != ERROR_SUCCESS) return status;
  if (!group.empty()) folder += "\\" + std::string(group);
  return ERROR_SUCCESS;
}

// Creates |folder| and every missing folder above it; the ones that exist already are fine.
Status MakeFolders(const std::string& folder) {
  for (std::size_t i = 3; i <= folder.size(); ++i) {
    if (i < folder.size() && folder[i] != '\\' && folder[i] != '/') continue;
    const std::string part = folder.substr(0, i);
    const BOOL made = WideCalls() ? ::CreateDirectoryW(WidePath(part).c_str(), nullptr)
                                  : ::CreateDirectoryA(AnsiPath(part).c_str(), nullptr);
    if (!made && ::GetLastError() != ERROR_ALREADY_EXISTS) {
      if (i == folder.size()) return LastError();
    }
  }
  return ERROR_SUCCESS;
}

// The shell's link object in the family's own text: IShellLinkW on NT, IShellLinkA on Windows 9x
// (whose IShellLinkW is not implemented).
class LinkObject {
 public:
  HRESULT Create() {
    return WideCalls() ? ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                            IID_IShellLinkW, wide_.ReceiveVoid())
                       : ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                            IID_IShellLinkA, ansi_.ReceiveVoid());
  }
  HRESULT File(ComPtr<IPersistFile>& file) {
    return WideCalls() ? wide_->QueryInterface(IID_IPersistFile, file.ReceiveVoid())
                       : ansi_->QueryInterface(IID_IPersistFile, file.ReceiveVoid());
  }
  // S_FALSE (and |path| empty) for a link without a file-system target.
  HRESULT Path(std::string& path) {
    path.clear();
    HRESULT hr;
    if (WideCalls()) {
      wchar_t buffer[MAX_PATH + 1] = {};
      WIN32_FIND_DATAW data{};
      hr = wide_->GetPath(buffer, MAX_PATH, &data, SLGP_UNCPRIORITY);
      if (hr == S_OK) path = NarrowZ(buffer);
    } else {
      char buffer[MAX_PATH + 1] = {};
      WIN32_FIND_DATAA data{};
      hr = ansi_->GetPath(buffer, MAX_PATH, &data, SLGP_UNCPRIORITY);
      if (hr == S_OK) path = FromAnsiZ(buffer);
    }
    return hr;
  }
  HRESULT Set(std::string_view target, std::string_view arguments, std::string_view folder) {
    HRESULT hr;
    if (WideCalls()) {
      if (FAILED(hr = wide_->SetPath(Wide(target).c_str())) ||
          FAILED(hr = wide_->SetArguments(Wide(arguments).c_str()))) {
        return hr;
      }
      return wide_->SetWorkingDirectory(Wide(folder).c_str());
    }
    if (FAILED(hr = ansi_->SetPath(AnsiPath(target).c_str())) ||
        FAILED(hr = ansi_->SetArguments(Ansi(arguments).c_str()))) {
      return hr;
    }
    return ansi_->SetWorkingDirectory(AnsiPath(folder).c_str());
  }

 private:
  ComPtr<IShellLinkW> wide_;
  ComPtr<IShellLinkA> ansi_;
};

class Win32Shell final : public Shell {
 public:
  Status ShortcutTarget(std::string_view linkPath, std::string& target) override {
    target.clear();
    if (linkPath.empty()) return ERROR_FILE_NOT_FOUND;
    const ComScope com;
    LinkObject link;
    HRESULT hr = link.Create();
    if (FAILED(hr)) return StatusFromHresult(hr);
    ComPtr<IPersistFile> file;
    hr = link.File(file);
    if (FAILED(hr)) return StatusFromHresult(hr);
    hr = file->Load(LinkFilePath(linkPath).c_str(), STGM_READ);
    if (FAILED(hr)) return StatusFromHresult(hr);
    std::string path;
    hr = link.Path(path);
    if (FAILED(hr)) return StatusFromHresult(hr);
    // S_FALSE: the link has no file-system target (a virtual item).
    if (hr == S_FALSE || path.empty()) return ERROR_INVALID_DATA;
    target = path;
    return ERROR_SUCCESS;
  }

  Status CreateMenuShortcut(std::string_view group, std::string_view linkName,
                            std::string_view target, std::string_view arguments) override {
    std::string folder;
    Status status = GroupFolder(group, folder);
    if (status != ERROR_SUCCESS) return status;
    if (!group.empty()) {
      status = MakeFolders(folder);
      if (status != ERROR_SUCCESS) return status;
      NotifyPath(SHCNE_MKDIR, folder);
    }
    const std::string linkPath = folder + "\\" + std::string(linkName) + ".lnk";

    const ComScope com;
    LinkObject link;
    HRESULT hr = link.Create();
    if (FAILED(hr)) return StatusFromHresult(hr);
    if (FAILED(hr = link.Set(target, arguments, FolderOf(target)))) return StatusFromHresult(hr);
    ComPtr<IPersistFile> file;
    hr = link.File(file);
    if (FAILED(hr)) return StatusFromHresult(hr);
    hr = file->Save(LinkFilePath(linkPath).c_str(), TRUE);
    if (FAILED(hr)) return StatusFromHresult(hr);
    NotifyPath(SHCNE_CREATE, linkPath);
    return ERROR_SUCCESS;
  }

  Status RemoveMenuShortcut(std::string_view group, std::string_view linkName) override {
    std::string folder;
    const Status status = GroupFolder(group, folder);
    if (status != ERROR_SUCCESS) return status;
    const std::string linkPath = folder + "\\" + std::string(linkName) + ".lnk";
    const BOOL removed = WideCalls() ? ::DeleteFileW(WidePath(linkPath).c_str())
                                     : ::DeleteFileA(AnsiPath(linkPath).c_str());
    if (!removed) return LastError();
    NotifyPath(SHCNE_DELETE, linkPath);
    // The group goes only when the shortcut was its last entry; never the program menu itself.
    if (!group.empty() && (WideCalls() ? ::RemoveDirectoryW(WidePath(folder).c_str())
                                       : ::RemoveDirectoryA(AnsiPath(folder).c_str()))) {
      NotifyPath(SHCNE_RMDIR, folder);
    }
    return ERROR_SUCCESS;
  }

  Status SpecialFolderPath(int csidl, std::string& path) override {
    return FolderPath(csidl, path);
  }

  std::string BrowseForFolder(std::uintptr_t owner, std::string_view title, std::uint32_t flags,
                              int root) override {
    const ComScope com;
    const HWND window = reinterpret_cast<HWND>(owner);
    TaskMem<ITEMIDLIST> rootList;
    std::string rootPath;
    if (root >= 0 && FolderPath(root | CSIDL_FLAG_CREATE, rootPath) == ERROR_SUCCESS) {
      if (FAILED(::SHGetSpecialFolderLocation(window, root, rootList.Receive()))) {
        rootList.Receive();  // the desktop then
      }
    }
    if (!WideCalls()) {
      const std::string ansiTitle = Ansi(title);
      BROWSEINFOA info{};
      info.hwndOwner = window;
      info.pidlRoot = rootList.get();
      info.lpszTitle = ansiTitle.c_str();
      info.ulFlags = flags;
      TaskMem<ITEMIDLIST> chosen(::SHBrowseForFolderA(&info));
      if (chosen.get() == nullptr) return {};
      char buffer[MAX_PATH + 1] = {};
      if (!::SHGetPathFromIDListA(chosen.get(), buffer)) return {};
      return FromAnsiZ(buffer);
    }
    const std::wstring wideTitle = Wide(title);
    BROWSEINFOW info{};
    info.hwndOwner = window;
    info.pidlRoot = rootList.get();
    info.lpszTitle = wideTitle.c_str();
    info.ulFlags = flags;
    TaskMem<ITEMIDLIST> chosen(::SHBrowseForFolderW(&info));
    if (chosen.get() == nullptr) return {};
    wchar_t buffer[MAX_PATH + 1] = {};
    if (!::SHGetPathFromIDListW(chosen.get(), buffer)) return {};
    return NarrowZ(buffer);
  }
};

}  // namespace

std::unique_ptr<Shell> MakeShell() {
  return std::make_unique<Win32Shell>();
}

}  // namespace vu::platform::win32
