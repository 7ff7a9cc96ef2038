// Owners of the system's handles: each closes its handle exactly once and cannot be copied.
// Include <windows.h> (through a .cpp of this folder) before this header.
#pragma once

#include <objbase.h>
#include <windows.h>

#include <utility>

namespace vu::platform::win32 {

// A handle with a close function and an "invalid" value; movable, not copyable.
template <typename H, auto Invalid, auto Close>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(H handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Invalid())) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, Invalid());
    }
    return *this;
  }
  ~UniqueHandle() { Reset(); }

  H get() const { return handle_; }
  bool valid() const { return handle_ != Invalid(); }
  // For calls that hand a new handle back through a pointer.
  H* Receive() {
    Reset();
    return &handle_;
  }
  void Reset() {
    if (handle_ != Invalid()) Close(handle_);
    handle_ = Invalid();
  }

 private:
  H handle_ = Invalid();
};

inline HANDLE InvalidFileHandle() {
  return INVALID_HANDLE_VALUE;
}
inline HANDLE NullHandle() {
  return nullptr;
}
inline HKEY NullKey() {
  return nullptr;
}
inline void CloseFile(HANDLE h) {
  ::CloseHandle(h);
}
inline void CloseFind(HANDLE h) {
  ::FindClose(h);
}
inline void CloseKey(HKEY h) {
  ::RegCloseKey(h);
}

// CreateFile's handles (INVALID_HANDLE_VALUE when none).
using FileHandle = UniqueHandle<HANDLE, InvalidFileHandle, CloseFile>;
// Process, thread and token handles (null when none).
using KernelHandle = UniqueHandle<HANDLE, NullHandle, CloseFile>;
// FindFirstFile's listings.
using FindHandle = UniqueHandle<HANDLE, InvalidFileHandle, CloseFind>;
// Open registry keys.
using KeyHandle = UniqueHandle<HKEY, NullKey, CloseKey>;

// A COM interface pointer, released once.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() {
    if (ptr_ != nullptr) ptr_->Release();
  }
  T* get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }
  // For CoCreateInstance and QueryInterface.
  void** ReceiveVoid() {
    if (ptr_ != nullptr) ptr_->Release();
    ptr_ = nullptr;
    return reinterpret_cast<void**>(&ptr_);
  }

 private:
  T* ptr_ = nullptr;
};

// Memory the shell hands out with CoTaskMemAlloc (item ID lists).
template <typename T>
class TaskMem {
 public:
  TaskMem() = default;
  explicit TaskMem(T* p) : ptr_(p) {}
  TaskMem(const TaskMem&) = delete;
  TaskMem& operator=(const TaskMem&) = delete;
  ~TaskMem() { ::CoTaskMemFree(ptr_); }
  T* get() const { return ptr_; }
  T** Receive() {
    ::CoTaskMemFree(ptr_);
    ptr_ = nullptr;
    return &ptr_;
  }

 private:
  T* ptr_ = nullptr;
};

// COM for the current thread for as long as the scope lives. A thread that already runs COM in
// another apartment model keeps it (RPC_E_CHANGED_MODE), and then nothing is undone.
class ComScope {
 public:
  ComScope() : hr_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope() {
    if (SUCCEEDED(hr_)) ::CoUninitialize();
  }

 private:
  HRESULT hr_;
};

// The desktop window's device context, released with ReleaseDC.
class DesktopDC {
 public:
  DesktopDC() : window_(::GetDesktopWindow()), dc_(::GetDC(window_)) {}
  DesktopDC(const DesktopDC&) = delete;
  DesktopDC& operator=(const DesktopDC&) = delete;
  ~DesktopDC() {
    if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

}  // namespace vu::platform::win32
