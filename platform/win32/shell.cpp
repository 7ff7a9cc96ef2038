#include <windows.h>
// (windows.h first: the shell headers build on it)
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "platform/win32/shell.h"

#include "platform/win32/handles.h"
#include "platform/win32/paths.h"
#include "platform/win32/wide.h"

namespace vu::platform::win32 {
namespace {

Status FolderPath(int csidl, std::string& path) {
  path.clear();
  wchar_t buffer[MAX_PATH + 1] = {};
  const HRESULT hr = ::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer);
  // S_FALSE: a known folder that does not exist (and was not asked to be created).
  if (hr == S_FALSE) return ERROR_FILE_NOT_FOUND;
  if (FAILED(hr)) return StatusFromHresult(hr);
  path = NarrowZ(buffer);
  return path.empty() ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
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
    const std::wstring part = WidePath(folder.substr(0, i));
    if (!::CreateDirectoryW(part.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
      if (i == folder.size()) return LastError();
    }
  }
  return ERROR_SUCCESS;
}

class Win32Shell final : public Shell {
 public:
  Status ShortcutTarget(std::string_view linkPath, std::string& target) override {
    target.clear();
    if (linkPath.empty()) return ERROR_FILE_NOT_FOUND;
    const ComScope com;
    ComPtr<IShellLinkW> link;
    HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    link.ReceiveVoid());
    if (FAILED(hr)) return StatusFromHresult(hr);
    ComPtr<IPersistFile> file;
    hr = link->QueryInterface(IID_IPersistFile, file.ReceiveVoid());
    if (FAILED(hr)) return StatusFromHresult(hr);
    hr = file->Load(WidePath(linkPath).c_str(), STGM_READ);
    if (FAILED(hr)) return StatusFromHresult(hr);
    wchar_t buffer[MAX_PATH + 1] = {};
    WIN32_FIND_DATAW data{};
    hr = link->GetPath(buffer, MAX_PATH, &data, SLGP_UNCPRIORITY);
    if (FAILED(hr)) return StatusFromHresult(hr);
    // S_FALSE: the link has no file-system target (a virtual item).
    if (hr == S_FALSE || buffer[0] == L'\0') return ERROR_INVALID_DATA;
    target = NarrowZ(buffer);
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
      ::SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHW, Wide(folder).c_str(), nullptr);
    }
    const std::string linkPath = folder + "\\" + std::string(linkName) + ".lnk";

    const ComScope com;
    ComPtr<IShellLinkW> link;
    HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    link.ReceiveVoid());
    if (FAILED(hr)) return StatusFromHresult(hr);
    if (FAILED(hr = link->SetPath(Wide(target).c_str())) ||
        FAILED(hr = link->SetArguments(Wide(arguments).c_str())) ||
        FAILED(hr = link->SetWorkingDirectory(Wide(FolderOf(target)).c_str()))) {
      return StatusFromHresult(hr);
    }
    ComPtr<IPersistFile> file;
    hr = link->QueryInterface(IID_IPersistFile, file.ReceiveVoid());
    if (FAILED(hr)) return StatusFromHresult(hr);
    hr = file->Save(WidePath(linkPath).c_str(), TRUE);
    if (FAILED(hr)) return StatusFromHresult(hr);
    ::SHChangeNotify(SHCNE_CREATE, SHCNF_PATHW, Wide(linkPath).c_str(), nullptr);
    return ERROR_SUCCESS;
  }

  Status RemoveMenuShortcut(std::string_view group, std::string_view linkName) override {
    std::string folder;
    const Status status = GroupFolder(group, folder);
    if (status != ERROR_SUCCESS) return status;
    const std::string linkPath = folder + "\\" + std::string(linkName) + ".lnk";
    if (!::DeleteFileW(WidePath(linkPath).c_str())) return LastError();
    ::SHChangeNotify(SHCNE_DELETE, SHCNF_PATHW, Wide(linkPath).c_str(), nullptr);
    // The group goes only when the shortcut was its last entry; never the program menu itself.
    if (!group.empty() && ::RemoveDirectoryW(WidePath(folder).c_str())) {
      ::SHChangeNotify(SHCNE_RMDIR, SHCNF_PATHW, Wide(folder).c_str(), nullptr);
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
