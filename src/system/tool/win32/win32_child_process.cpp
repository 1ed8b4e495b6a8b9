// Child processes on Windows: CreateProcessW with a quoted wide command
// line, in one job that ends its processes when the tool ends.
#include "system/win32/win32_windows.h"

#include <algorithm>

#include "system/tool/child_process.h"
#include "system/win32/win32_text.h"

namespace portico {

namespace {
// How long Stop waits between asking and forcing, and for a forced end.
constexpr DWORD StopGraceMs = 2000;
constexpr DWORD ForcedEndMs = 5000;
// The exit code of a process we end by force: an error status (as a
// crash leaves), so that it reads as "not exited by itself".
constexpr UINT ForcedEndCode = 0xC000013A;

HANDLE Handle(uintptr_t h) { return reinterpret_cast<HANDLE>(h); }

// Exit codes from 0xC0000000 up are error statuses: the process crashed
// or was ended, and did not choose them.
TProcessEnd EndOf(DWORD code) {
  TProcessEnd end;
  end.Exited = code < 0xC0000000u;
  end.Code = end.Exited ? int(code) : 0;
  return end;
}

// Appends one argument the way the C runtime's CommandLineToArgvW reads
// it back: quoted when it holds blanks or quotes (or is empty), with the
// backslashes before a quote doubled.
void AppendArgument(std::wstring& line, const std::wstring& arg) {
  if (!line.empty()) line.push_back(L' ');
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += arg;
    return;
  }
  line.push_back(L'"');
  size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    line.push_back(c);
  }
  line.append(backslashes * 2, L'\\');
  line.push_back(L'"');
}

std::wstring SystemPath(const std::string& path) {
  std::wstring wide = Utf8ToWide(path);
  std::replace(wide.begin(), wide.end(), L'/', L'\\');
  return wide;
}

// The job every child joins. Its handle is closed only when the tool
// ends, however it ends, and the system then ends the children with it.
// Their own children (a browser opened from the launcher) stay out.
HANDLE ChildrenJob() {
  static const HANDLE job = [] {
    HANDLE j = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags =
        JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_SILENT_BREAKAWAY_OK;
    if (j &&
        !SetInformationJobObject(j, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
      CloseHandle(j);
      j = nullptr;
    }
    return j;
  }();
  return job;
}

// An inheritable copy of one of our standard handles, for the child;
// null when we have none.
HANDLE InheritableStd(DWORD which) {
  HANDLE ours = GetStdHandle(which), copy = nullptr;
  if (ours && ours != INVALID_HANDLE_VALUE)
    DuplicateHandle(GetCurrentProcess(), ours, GetCurrentProcess(), &copy, 0, TRUE,
                    DUPLICATE_SAME_ACCESS);
  return copy;
}

// Posts WM_CLOSE to the visible top-level windows of a process, as a
// user closing them would; false when it shows none.
bool AskToClose(DWORD pid) {
  struct TAsk {
    DWORD Pid;
    bool Asked;
  } ask{pid, false};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* a = reinterpret_cast<TAsk*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == a->Pid && IsWindowVisible(window) && PostMessageW(window, WM_CLOSE, 0, 0))
          a->Asked = true;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&ask));
  return ask.Asked;
}
}  // namespace

std::unique_ptr<TChildProcess> TChildProcess::Start(const std::string& program,
                                                    const std::vector<std::string>& args,
                                                    const std::string& folder, std::string& why) {
  const std::wstring application = SystemPath(program);
  const std::wstring directory = SystemPath(folder);
  std::wstring line;
  AppendArgument(line, application);
  for (const std::string& a : args) AppendArgument(line, Utf8ToWide(a));

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = InheritableStd(STD_INPUT_HANDLE);
  startup.hStdOutput = InheritableStd(STD_OUTPUT_HANDLE);
  startup.hStdError = InheritableStd(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  // Suspended until it is in the job, so that nothing it starts escapes.
  const BOOL started =
      CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED,
                     nullptr, directory.empty() ? nullptr : directory.c_str(), &startup, &process);
  const DWORD error = GetLastError();
  for (HANDLE h : {startup.hStdInput, startup.hStdOutput, startup.hStdError})
    if (h) CloseHandle(h);
  if (!started) {
    why = SystemErrorText(error);
    return nullptr;
  }
  if (HANDLE job = ChildrenJob()) AssignProcessToJobObject(job, process.hProcess);
  ResumeThread(process.hThread);
  CloseHandle(process.hThread);
  return std::unique_ptr<TChildProcess>(new TChildProcess(
      TProcessId(process.dwProcessId), reinterpret_cast<uintptr_t>(process.hProcess)));
}

TChildProcess::~TChildProcess() {
  if (!end_) Stop();
  CloseHandle(Handle(handle_));
}

std::optional<TProcessEnd> TChildProcess::Poll() {
  if (end_) return end_;
  const DWORD state = WaitForSingleObject(Handle(handle_), 0);
  DWORD code = 0;
  if (state == WAIT_OBJECT_0 && GetExitCodeProcess(Handle(handle_), &code))
    end_ = EndOf(code);
  else if (state == WAIT_FAILED)
    end_ = TProcessEnd{};  // not ours to wait for any more
  return end_;
}

TProcessEnd TChildProcess::Stop() {
  if (Poll()) return *end_;
  // Without a window to close there is nobody to ask.
  if (!AskToClose(DWORD(id_)) ||
      WaitForSingleObject(Handle(handle_), StopGraceMs) != WAIT_OBJECT_0) {
    TerminateProcess(Handle(handle_), ForcedEndCode);
    WaitForSingleObject(Handle(handle_), ForcedEndMs);
  }
  if (!Poll()) end_ = TProcessEnd{};
  return *end_;
}

std::string SiblingProgram(const std::string& name) {
  std::wstring self(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, self.data(), DWORD(self.size()));
    if (n == 0) return name + ".exe";
    if (n < self.size()) {
      self.resize(n);
      break;
    }
    if (self.size() >= 32768) return name + ".exe";
    self.resize(self.size() * 2);
  }
  return WideToUtf8(self.substr(0, self.find_last_of(L"\\/") + 1)) + name + ".exe";
}

}  // namespace portico
