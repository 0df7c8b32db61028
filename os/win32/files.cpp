// The OS boundary's files on Windows: the real Win32 ones, with UTF-8 paths turned into UTF-16.
// A library of their own, so that a program over the simulated windows (zentrel-format.exe)
// still reads and replaces real files.
#include <windows.h>
// After windows.h: the file security calls of ReplaceFileThrough.
#include <aclapi.h>

#include <algorithm>
#include <string>

#include "core/paths.h"
#include "os/os.h"
#include "os/win32/wide_text.h"

namespace {

using os::Narrow;
using os::Wide;

// The system's message for an error code, without its line end.
std::string SystemMessage(DWORD code) {
  wchar_t text[512] = {};
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                code, 0, text, 512, nullptr);
  while (length > 0 &&
         (text[length - 1] == L'\r' || text[length - 1] == L'\n' || text[length - 1] == L' ')) {
    --length;
  }
  if (length == 0) return "error " + std::to_string(code);
  return Narrow(std::wstring_view(text, length));
}

// Records why a file operation failed; false, so that callers can return it.
bool Failed(os::FileError* error, DWORD code) {
  if (error) {
    error->notFound = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
    error->reason = SystemMessage(code);
  }
  return false;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    done += written;
  }
  return true;
}

// Writes the bytes over the file itself, then cuts it to their length: the old content is never
// truncated before the new one is written.
bool RewriteInPlace(const std::wstring& path, const std::string& bytes, os::FileError* error) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Failed(error, GetLastError());
  const bool ok = WriteAll(file, bytes) && SetEndOfFile(file);
  const DWORD code = GetLastError();
  if (!CloseHandle(file)) return Failed(error, GetLastError());
  return ok || Failed(error, code);
}

}  // namespace

namespace os {

std::string ExecutablePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return Narrow(std::wstring_view(buffer.data(), length));
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

bool ListFiles(const std::string& folder, const std::string& pattern,
               std::vector<std::string>* names) {
  std::wstring query = Wide(folder);
  if (!query.empty() && query.back() != L'\\' && query.back() != L'/') query += L'\\';
  query += Wide(pattern);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(query.c_str(), &found);
  std::vector<std::string> listed;
  if (search == INVALID_HANDLE_VALUE) {
    // An existing folder without a match is an empty listing, not a failure.
    if (GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    if (names) names->clear();
    return true;
  }
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") listed.push_back(Narrow(name));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  if (names) *names = std::move(listed);
  return true;
}

bool ReadWholeFile(const std::string& path, std::string* bytes, FileError* error) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Failed(error, GetLastError());
  std::string content;
  char buffer[65536];
  DWORD code = ERROR_SUCCESS;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
      code = GetLastError();
      break;
    }
    if (got == 0) break;
    content.append(buffer, got);
  }
  CloseHandle(file);
  if (code != ERROR_SUCCESS) return Failed(error, code);
  if (bytes) *bytes = std::move(content);
  return true;
}

bool ReplaceFile(const std::string& path, const std::string& bytes, FileError* error) {
  const std::wstring target = Wide(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  // A folder, or a file the user marked read-only: Windows refuses to replace either (Wine
  // running as root would not), and says so in the same words.
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
    return Failed(error, ERROR_ACCESS_DENIED);
  }
  static unsigned counter = 0;
  std::wstring temporary;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
    temporary = target + L".tmp" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                std::to_wstring(++counter);
    file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (file == INVALID_HANDLE_VALUE) {
    // No temporary file beside it: the file itself may still be writable.
    if (attributes == INVALID_FILE_ATTRIBUTES) return Failed(error, GetLastError());
    return RewriteInPlace(target, bytes, error);
  }
  bool ok = WriteAll(file, bytes) && FlushFileBuffers(file);
  DWORD code = ok ? ERROR_SUCCESS : GetLastError();
  if (!CloseHandle(file) && ok) {
    ok = false;
    code = GetLastError();
  }
  if (ok && MoveFileExW(temporary.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  if (ok) code = GetLastError();
  DeleteFileW(temporary.c_str());
  return Failed(error, code);
}

// A new file created exclusively with the old one's security, written through to disk, then
// moved over the old one with the move written through as well.
ReplaceOutcome ReplaceFileThrough(const std::string& path, const std::string& temporaryPath,
                                  const std::string& bytes, std::string* reason) {
  const auto fail = [reason](const std::string& why) {
    if (reason != nullptr) *reason = why;
    return ReplaceOutcome::kFailed;
  };
  const std::wstring target = Wide(path), temporary = Wide(temporaryPath);

  HANDLE original = CreateFileW(target.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (original == INVALID_HANDLE_VALUE) return fail(SystemMessage(GetLastError()));
  BY_HANDLE_FILE_INFORMATION information{};
  PSECURITY_DESCRIPTOR security = nullptr;
  const bool known = GetFileInformationByHandle(original, &information) != FALSE;
  const DWORD securityError = GetSecurityInfo(
      original, SE_FILE_OBJECT,
      OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr,
      nullptr, nullptr, nullptr, &security);
  const DWORD informationError = known ? ERROR_SUCCESS : GetLastError();
  CloseHandle(original);
  const auto failFreeing = [&](const std::string& why) {
    if (security != nullptr) LocalFree(security);
    return fail(why);
  };
  if (!known) return failFreeing(SystemMessage(informationError));
  if (information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) {
    return failFreeing("not a regular file");
  }
  if (information.nNumberOfLinks > 1) {
    return failFreeing("has " + std::to_string(information.nNumberOfLinks) +
                       " hard links, which a replacement would split; left as it is");
  }
  if (securityError != ERROR_SUCCESS) {
    return failFreeing("cannot read the file's owner and permissions: " +
                       SystemMessage(securityError));
  }

  // Never through a name that exists, a link included: CREATE_NEW on the name itself.
  SECURITY_ATTRIBUTES attributes{sizeof attributes, security, FALSE};
  HANDLE file = CreateFileW(
      temporary.c_str(), GENERIC_WRITE, 0, &attributes, CREATE_NEW,
      (information.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY) | FILE_FLAG_OPEN_REPARSE_POINT,
      nullptr);
  const DWORD createError = GetLastError();
  LocalFree(security);
  if (file == INVALID_HANDLE_VALUE) {
    if (createError == ERROR_FILE_EXISTS || createError == ERROR_ALREADY_EXISTS) {
      return ReplaceOutcome::kNameTaken;
    }
    return fail("cannot create a temporary file in " + core::FolderOf(path) + ": " +
                SystemMessage(createError));
  }
  std::string why;
  if (!WriteAll(file, bytes) || !FlushFileBuffers(file)) {
    why = "cannot write the temporary file: " + SystemMessage(GetLastError());
  }
  CloseHandle(file);
  if (why.empty() && !MoveFileExW(temporary.c_str(), target.c_str(),
                                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    why = "cannot replace the file: " + SystemMessage(GetLastError());
  }
  if (!why.empty()) {
    DeleteFileW(temporary.c_str());
    return fail(why);
  }
  return ReplaceOutcome::kReplaced;
}

}  // namespace os
