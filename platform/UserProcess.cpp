#include "UserProcess.h"

#include "CSystemLibrary.h"

#include <memory>
#include <string>

namespace {

constinit CSystemLibrary advapi32("advapi32.dll");

struct HandleCloser {
  void operator()(HANDLE h) const { CloseHandle(h); }
};
using COwnedHandle = std::unique_ptr<void, HandleCloser>;

enum class Outcome { started, noToken, failed };

// Systems without user account control know no elevation: the default.
TOKEN_ELEVATION_TYPE ElevationOf(HANDLE hToken) {
  TOKEN_ELEVATION_TYPE type{};
  DWORD cb = 0;
  if (!GetTokenInformation(hToken, TokenElevationType, &type, sizeof(type), &cb)) return TokenElevationTypeDefault;
  return type;
}

COwnedHandle OwnToken() {
  HANDLE hToken = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &hToken)) return nullptr;
  return COwnedHandle(hToken);
}

// A primary token for a new process; null when the token does not give one.
COwnedHandle PrimaryFrom(HANDLE hToken) {
  HANDLE hPrimary = nullptr;
  if (!DuplicateTokenEx(hToken, TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY | TOKEN_ADJUST_DEFAULT |
                                    TOKEN_ADJUST_SESSIONID,
                        nullptr, SecurityImpersonation, TokenPrimary, &hPrimary))
    return nullptr;
  return COwnedHandle(hPrimary);
}

// The token of the desktop's shell: the user who sits at the desktop, also when an
// administrator's password elevated the setup. A shell that runs elevated itself gives none.
COwnedHandle ShellToken() {
  const HWND hShell = GetShellWindow();
  DWORD dwProcessId = 0;
  if (hShell == nullptr || GetWindowThreadProcessId(hShell, &dwProcessId) == 0) return nullptr;
  // The least access that reads a token; systems with elevation all grant it.
  const COwnedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, dwProcessId));
  HANDLE hToken = nullptr;
  if (!process || !OpenProcessToken(process.get(), TOKEN_QUERY | TOKEN_DUPLICATE, &hToken)) return nullptr;
  const COwnedHandle token(hToken);
  if (ElevationOf(hToken) == TokenElevationTypeFull) return nullptr;
  return PrimaryFrom(hToken);
}

// The unelevated half of this process's own split token.
COwnedHandle LinkedToken() {
  const COwnedHandle own = OwnToken();
  TOKEN_LINKED_TOKEN linked{};
  DWORD cb = 0;
  if (!own || !GetTokenInformation(own.get(), TokenLinkedToken, &linked, sizeof(linked), &cb)) return nullptr;
  const COwnedHandle owner(linked.LinkedToken);
  return PrimaryFrom(linked.LinkedToken);
}

Outcome AfterStart(BOOL bStarted) {
  if (bStarted) return Outcome::started;
  return IsTokenRefused(GetLastError()) ? Outcome::noToken : Outcome::failed;
}

Outcome StartWithShellToken(const wchar_t* pszApplication, PROCESS_INFORMATION* pInfo) {
  const auto pfnCreate = advapi32.Find<decltype(CreateProcessWithTokenW)>("CreateProcessWithTokenW");
  if (pfnCreate == nullptr) return Outcome::noToken;
  const COwnedHandle token = ShellToken();
  if (!token) return Outcome::noToken;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  // Without an environment of its own the program gets its user's, from that user's profile.
  return AfterStart(pfnCreate(token.get(), 0, pszApplication, nullptr, 0, nullptr, nullptr, &si, pInfo));
}

Outcome StartWithLinkedToken(const wchar_t* pszApplication, PROCESS_INFORMATION* pInfo) {
  const COwnedHandle token = LinkedToken();
  if (!token) return Outcome::noToken;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  return AfterStart(
      CreateProcessAsUserW(token.get(), pszApplication, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, pInfo));
}

std::wstring Widened(const char* pszText) {
  const int nLength = MultiByteToWideChar(CP_ACP, 0, pszText, -1, nullptr, 0);
  if (nLength <= 0) return {};
  std::wstring text(static_cast<size_t>(nLength), L'\0');
  MultiByteToWideChar(CP_ACP, 0, pszText, -1, text.data(), nLength);
  text.resize(static_cast<size_t>(nLength - 1));
  return text;
}

}  // namespace

BOOL CreateUserProcess(const char* pszApplication, PROCESS_INFORMATION* pInfo) {
  const COwnedHandle own = OwnToken();
  if (own && ElevationOf(own.get()) == TokenElevationTypeFull) {
    const std::wstring application = Widened(pszApplication);
    if (application.empty()) return FALSE;
    // The shell's token first: on Windows it is the desktop's user, and CreateProcessWithTokenW
    // honours it, while CreateProcessAsUserW refuses the linked token to a program that may not
    // assign tokens. Wine gives no unelevated shell but honours the linked token, where its
    // CreateProcessWithTokenW would start the program with this process's token.
    for (const auto pfnStart : {StartWithShellToken, StartWithLinkedToken}) {
      const Outcome outcome = pfnStart(application.c_str(), pInfo);
      // A program that fails to start unelevated is not started elevated instead.
      if (outcome != Outcome::noToken) return outcome == Outcome::started;
    }
  }
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  return CreateProcessA(pszApplication, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, pInfo);
}

BOOL IsTokenRefused(DWORD dwError) {
  switch (dwError) {
    case ERROR_PRIVILEGE_NOT_HELD:       // assigning a token another process made
    case ERROR_BAD_IMPERSONATION_LEVEL:  // a token for identification only
    case ERROR_SERVICE_DISABLED:         // the secondary logon service, which starts with a token
    case ERROR_CALL_NOT_IMPLEMENTED:
      return TRUE;
    default:
      return FALSE;
  }
}
