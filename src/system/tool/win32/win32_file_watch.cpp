// Watching files on Windows: a change notification on each file's folder
// wakes the watch, which then compares what the system says of each
// watched file (size, times, attributes, whether it exists) with what it
// said before. The folder, not the file, because editors save by writing a
// new file and renaming it over the old one; the file system itself
// matches the names, without regard to case.
#include "system/win32/win32_windows.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "system/tool/file_watch.h"
#include "system/win32/win32_text.h"

namespace portico {

namespace {
constexpr DWORD Changes = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE |
                          FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_ATTRIBUTES;
// Files in folders without a notification (beyond the system's limit of
// handles to wait on, or when the system refuses one) are compared this
// often instead.
constexpr int64_t RecheckMs = 1000;

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// What the system says of a file; all zero when it does not exist.
WIN32_FILE_ATTRIBUTE_DATA StateOf(const std::wstring& name) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data)) data = {};
  return data;
}

bool SameTime(const FILETIME& a, const FILETIME& b) {
  return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

// The last access does not count: reading a file (as the launcher does)
// changes it.
bool SameState(const WIN32_FILE_ATTRIBUTE_DATA& a, const WIN32_FILE_ATTRIBUTE_DATA& b) {
  return a.dwFileAttributes == b.dwFileAttributes && a.nFileSizeLow == b.nFileSizeLow &&
         a.nFileSizeHigh == b.nFileSizeHigh && SameTime(a.ftCreationTime, b.ftCreationTime) &&
         SameTime(a.ftLastWriteTime, b.ftLastWriteTime);
}

// The folder of a path with '\' separators, with its last separator;
// "." for a bare name.
std::wstring FolderOf(const std::wstring& path) {
  const size_t separator = path.rfind(L'\\');
  if (separator != std::wstring::npos) return path.substr(0, separator + 1);
  if (path.size() >= 2 && path[1] == L':') return path.substr(0, 2);  // "C:name"
  return L".";
}

bool SameName(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), int(a.size()), b.c_str(), int(b.size()), TRUE) ==
         CSTR_EQUAL;
}
}  // namespace

struct TFileWatch::TImpl {
  struct TFile {
    std::wstring Name;
    std::string Path;  // as given
    WIN32_FILE_ATTRIBUTE_DATA State;
  };
  std::vector<std::string> Changed;
  std::vector<std::wstring> FolderNames;  // one per handle in Folders
  std::vector<HANDLE> Folders;            // change notifications
  std::vector<TFile> Files;
  bool Unnotified = false;  // some files are compared without a notification
  std::string Error;

  void CloseFolders() {
    for (HANDLE h : Folders) FindCloseChangeNotification(h);
    Folders.clear();
    FolderNames.clear();
  }

  // Whether some file changed since it was last compared; remembers how
  // each one is now.
  bool CompareFiles() {
    bool changed = false;
    for (TFile& file : Files) {
      const WIN32_FILE_ATTRIBUTE_DATA now = StateOf(file.Name);
      if (!SameState(now, file.State)) {
        changed = true;
        if (std::find(Changed.begin(), Changed.end(), file.Path) == Changed.end())
          Changed.push_back(file.Path);
      }
      file.State = now;
    }
    return changed;
  }
};

TFileWatch::TFileWatch() : impl_(std::make_unique<TImpl>()) {}

TFileWatch::~TFileWatch() { impl_->CloseFolders(); }

bool TFileWatch::Ok() const { return true; }
const std::string& TFileWatch::Error() const { return impl_->Error; }

void TFileWatch::Watch(const std::vector<std::string>& paths) {
  impl_->CloseFolders();
  impl_->Files.clear();
  impl_->Unnotified = false;
  for (const std::string& path : paths) {
    std::wstring name = Utf8ToWide(path);
    if (name.empty()) continue;
    std::replace(name.begin(), name.end(), L'/', L'\\');
    const std::wstring folder = FolderOf(name);
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    const bool known = std::any_of(impl_->FolderNames.begin(), impl_->FolderNames.end(),
                                   [&](const std::wstring& f) { return SameName(f, folder); });
    if (!known) {
      HANDLE h = impl_->Folders.size() < MAXIMUM_WAIT_OBJECTS
                     ? FindFirstChangeNotificationW(folder.c_str(), FALSE, Changes)
                     : INVALID_HANDLE_VALUE;
      if (h == INVALID_HANDLE_VALUE) {
        impl_->Unnotified = true;
      } else {
        impl_->Folders.push_back(h);
        impl_->FolderNames.push_back(folder);
      }
    }
    // After the notification is set up: a change from now on is seen.
    impl_->Files.push_back({name, path, StateOf(name)});
  }
}

bool TFileWatch::WaitForChange(int64_t timeout_ms) {
  const int64_t deadline = NowMs() + std::max<int64_t>(timeout_ms, 0);
  for (;;) {
    const int64_t left = std::max<int64_t>(deadline - NowMs(), 0);
    const DWORD wait = DWORD(std::min<int64_t>(impl_->Unnotified ? RecheckMs : left, left));
    const DWORD count = DWORD(impl_->Folders.size());
    const DWORD woke = count ? WaitForMultipleObjects(count, impl_->Folders.data(), FALSE, wait)
                             : (Sleep(wait), WAIT_TIMEOUT);
    bool compare = impl_->Unnotified;
    if (woke < WAIT_OBJECT_0 + count) {
      // Each signalled folder is armed again before the files are
      // compared, so that a change from now on wakes the next wait.
      for (size_t i = 0; i < impl_->Folders.size();) {
        HANDLE h = impl_->Folders[i];
        if (WaitForSingleObject(h, 0) == WAIT_OBJECT_0 && !FindNextChangeNotification(h)) {
          // Its folder went away: its files are compared now and then.
          FindCloseChangeNotification(h);
          impl_->Folders.erase(impl_->Folders.begin() + ptrdiff_t(i));
          impl_->FolderNames.erase(impl_->FolderNames.begin() + ptrdiff_t(i));
          impl_->Unnotified = true;
          continue;
        }
        ++i;
      }
      compare = true;
    } else if (woke == WAIT_FAILED) {
      // No notifications to wait on after all: compare now and then.
      impl_->CloseFolders();
      impl_->Unnotified = true;
    }
    if (compare && impl_->CompareFiles()) return true;
    if (NowMs() >= deadline) return false;
  }
}

std::vector<std::string> TFileWatch::TakeChanged() { return std::exchange(impl_->Changed, {}); }

}  // namespace portico
