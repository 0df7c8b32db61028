// Replacing a file on Windows: a new file created exclusively with the old one's security, written
// through to disk, then moved over the old one with the move written through as well.
#include <aclapi.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "core/utf.h"
#include "os/os.h"

namespace os {

namespace {

std::wstring WidePath(const std::string& text) {
  const std::u16string wide = core::Utf8ToUtf16(text);
  return std::wstring(wide.begin(), wide.end());
}

std::string MessageOf(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::u16string message(reinterpret_cast<const char16_t*>(text), text != nullptr ? length : 0);
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == u'\r' || message.back() == u'\n' ||
                              message.back() == u'.' || message.back() == u' ')) {
    message.pop_back();
  }
  return message.empty() ? "error " + std::to_string(code) : core::Utf16ToUtf8(message);
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
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

}  // namespace

ReplaceOutcome ReplaceFileThrough(const std::string& path, const std::string& temporaryPath,
                                  const std::string& bytes, std::string* reason) {
  const auto fail = [reason](const std::string& why) {
    if (reason != nullptr) *reason = why;
    return ReplaceOutcome::kFailed;
  };
  const std::wstring target = WidePath(path), temporary = WidePath(temporaryPath);

  HANDLE original = CreateFileW(target.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (original == INVALID_HANDLE_VALUE) return fail(MessageOf(GetLastError()));
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
  if (!known) return failFreeing(MessageOf(informationError));
  if (information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) {
    return failFreeing("not a regular file");
  }
  if (information.nNumberOfLinks > 1) {
    return failFreeing("has " + std::to_string(information.nNumberOfLinks) +
                       " hard links, which a replacement would split; left as it is");
  }
  if (securityError != ERROR_SUCCESS) {
    return failFreeing("cannot read the file's owner and permissions: " + MessageOf(securityError));
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
    return fail("cannot create a temporary file in " + FolderOf(path) + ": " +
                MessageOf(createError));
  }
  std::string why;
  if (!WriteAll(file, bytes) || !FlushFileBuffers(file)) {
    why = "cannot write the temporary file: " + MessageOf(GetLastError());
  }
  CloseHandle(file);
  if (why.empty() && !MoveFileExW(temporary.c_str(), target.c_str(),
                                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    why = "cannot replace the file: " + MessageOf(GetLastError());
  }
  if (!why.empty()) {
    DeleteFileW(temporary.c_str());
    return fail(why);
  }
  return ReplaceOutcome::kReplaced;
}

}  // namespace os
