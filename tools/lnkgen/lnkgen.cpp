// lnkgen: makes and reads shortcut files through the shell's own link object, to give the
// sandbox's shortcut reader and writer an independent reference (run under Wine or Windows).
//
//   lnkgen make  <folder>         shortcuts made by the shell's link object, with manifest.tsv:
//                                 "<file>\t<target the link object reports>"
//   lnkgen write <folder>         shortcuts made by the sandbox's writer, read back by the link
//                                 object; manifest.tsv: "<file>\t<target>\t<arguments>\t
//                                 <folder 0|1>\t<target the link object reports>"
//   lnkgen read  <file.lnk>...    "<file>\t<target the link object reports>" for each file
//
// Targets are reported as IShellLinkW::GetPath gives them with SLGP_UNCPRIORITY, in UTF-8.
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/sandbox/shell_link.h"
#include "platform/text.h"

namespace {

using vu::platform::Utf16ToUtf8;
using vu::platform::Utf8ToUtf16;

std::wstring Wide(std::string_view utf8) {
  const std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

std::string Narrow(std::wstring_view wide) {
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

// Owns one COM interface pointer.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() {
    if (p_) p_->Release();
  }
  T** Out() { return &p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

// COM for the lifetime of the program.
class ComApartment {
 public:
  ComApartment() : ok_(SUCCEEDED(CoInitialize(nullptr))) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (ok_) CoUninitialize();
  }
  bool ok() const { return ok_; }

 private:
  bool ok_;
};

struct Case {
  const char* file;
  const char* target;
  const char* arguments;
  bool folder;
};

constexpr const char* kTargets = "C:\\vu-lnkgen\\targets";

// Each case names a different way a shortcut's target can be written.
const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"local-file.lnk", "C:\\vu-lnkgen\\targets\\NOTEPAD.EXE", "", false},
      {"long-names.lnk", "C:\\vu-lnkgen\\targets\\Program Files\\Velloria Test\\Long File Name.txt",
       "", false},
      {"deleted-target.lnk", "C:\\vu-lnkgen\\targets\\Old Stuff\\Removed Program.exe", "", false},
      {"never-existed.lnk", "C:\\vu-lnkgen\\targets\\Nowhere\\missing.exe", "", false},
      {"latin1.lnk",
       "C:\\vu-lnkgen\\targets\\Caf\xC3\xA9 Menu\\R\xC3\xA9sum\xC3\xA9 \xE2\x84\xA2.txt", "",
       false},
      {"cjk.lnk",
       "C:\\vu-lnkgen\\targets\\\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\\\xE3\x83\x95\xE3\x82\xA1"
       "\xE3\x82\xA4\xE3\x83\xAB.txt",
       "", false},
      {"deep.lnk", "C:\\vu-lnkgen\\targets\\a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\deep target.dat", "",
       false},
      {"folder.lnk", "C:\\vu-lnkgen\\targets\\Program Files\\Velloria Test", "", true},
      {"network.lnk", "\\\\server\\share\\dir\\file.exe", "", false},
      {"arguments.lnk", "C:\\vu-lnkgen\\targets\\NOTEPAD.EXE", "/p \"read me.txt\"", false},
      {"other-drive.lnk", "D:\\Games\\game.exe", "", false},
      {"drive-root.lnk", "C:\\", "", true},
  };
  return cases;
}

void MakeFolders(const std::wstring& path) {
  for (std::size_t at = path.find(L'\\', 3); at != std::wstring::npos;
       at = path.find(L'\\', at + 1)) {
    CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
  }
  CreateDirectoryW(path.c_str(), nullptr);
}

void MakeFile(const std::wstring& path) {
  MakeFolders(path.substr(0, path.rfind(L'\\')));
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

// Lays out the local targets that should exist when the shortcuts are made.
void MakeTargets() {
  for (const Case& c : Cases()) {
    const std::string target = c.target;
    if (target.rfind(kTargets, 0) != 0 || target.find("Nowhere") != std::string::npos) continue;
    if (c.folder) {
      MakeFolders(Wide(target));
    } else {
      MakeFile(Wide(target));
    }
  }
}

// The target the link object reports for a saved shortcut; nullopt when it cannot load it.
std::optional<std::string> ReportedTarget(const std::wstring& linkPath) {
  ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(link.Out())))) {
    return std::nullopt;
  }
  ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out()))) ||
      FAILED(file->Load(linkPath.c_str(), STGM_READ))) {
    return std::nullopt;
  }
  wchar_t buffer[MAX_PATH] = {};
  WIN32_FIND_DATAW data{};
  link->GetPath(buffer, MAX_PATH, &data, SLGP_UNCPRIORITY);
  return Narrow(buffer);
}

bool SaveWithShell(const Case& c, const std::wstring& linkPath) {
  ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(link.Out())))) {
    return false;
  }
  if (FAILED(link->SetPath(Wide(c.target).c_str()))) return false;
  if (*c.arguments) {
    link->SetArguments(Wide(c.arguments).c_str());
    link->SetWorkingDirectory(Wide(kTargets).c_str());
    link->SetDescription(L"A shortcut with arguments");
    link->SetIconLocation(Wide(c.target).c_str(), 0);
  }
  ComPtr<IPersistFile> file;
  return SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out()))) &&
         SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
}

bool SaveWithSandboxWriter(const Case& c, const std::wstring& linkPath) {
  const std::string bytes = vu::platform::sandbox::BuildShellLink(c.target, c.arguments, c.folder);
  std::ofstream out(linkPath.c_str(), std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

int Make(const std::string& folder, bool sandboxWriter) {
  MakeFolders(Wide(folder));
  MakeTargets();
  std::ofstream manifest(Wide(folder + "\\manifest.tsv").c_str(), std::ios::binary);
  int failures = 0;
  for (const Case& c : Cases()) {
    const std::wstring linkPath = Wide(folder + "\\" + c.file);
    const bool saved =
        sandboxWriter ? SaveWithSandboxWriter(c, linkPath) : SaveWithShell(c, linkPath);
    if (!saved) {
      std::fprintf(stderr, "%s: could not save\n", c.file);
      ++failures;
      continue;
    }
    const auto reported = ReportedTarget(linkPath);
    if (!reported) {
      std::fprintf(stderr, "%s: the link object cannot load it\n", c.file);
      ++failures;
      continue;
    }
    manifest << c.file << '\t';
    if (sandboxWriter) {
      manifest << c.target << '\t' << c.arguments << '\t' << (c.folder ? 1 : 0) << '\t';
    }
    manifest << *reported << '\n';
    std::printf("%s\t%s\n", c.file, reported->c_str());
  }
  // A target that is gone by the time the shortcut is read.
  DeleteFileW(Wide(std::string(kTargets) + "\\Old Stuff\\Removed Program.exe").c_str());
  return failures == 0 ? 0 : 1;
}

int Read(int argc, wchar_t** argv) {
  int failures = 0;
  for (int i = 2; i < argc; ++i) {
    const auto reported = ReportedTarget(argv[i]);
    if (reported) {
      std::printf("%s\t%s\n", Narrow(argv[i]).c_str(), reported->c_str());
    } else {
      std::printf("%s\t!cannot load\n", Narrow(argv[i]).c_str());
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  constexpr const char* kUsage = "usage: lnkgen make|write <folder> | lnkgen read <file.lnk>...\n";
  if (argc == 2 && std::wstring(argv[1]) == L"--help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  const ComApartment com;
  if (!com.ok() || argc < 3) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::wstring mode = argv[1];
  if (mode == L"make") return Make(Narrow(argv[2]), false);
  if (mode == L"write") return Make(Narrow(argv[2]), true);
  if (mode == L"read") return Read(argc, argv);
  std::fprintf(stderr, "unknown mode\n");
  return 2;
}
