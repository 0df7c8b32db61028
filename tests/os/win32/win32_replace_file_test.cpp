// Replacing a file through a temporary name on Windows: only a free name is used, a hard-linked
// file is refused, and the file ends with the new content and no temporary file beside it.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "core/utf.h"
#include "os/os.h"
#include "os/win32/wide_text.h"

namespace {

using os::Wide;

std::string Content(const std::string& path) {
  std::string bytes;
  return os::ReadWholeFile(path, &bytes) ? bytes : "(unreadable)";
}

void Write(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

TEST(Win32ReplaceFile, ThroughAFreeNameOnlyAndNeverSplittingHardLinks) {
  wchar_t base[MAX_PATH];
  ASSERT_GT(GetTempPathW(MAX_PATH, base), 0u);
  const std::string folder =
      core::Utf16ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(base))) +
      "vorpex-replace-test-" + std::to_string(GetCurrentProcessId());
  ASSERT_TRUE(CreateDirectoryW(Wide(folder).c_str(), nullptr));
  const std::string file = folder + "\\code.pb", taken = folder + "\\.code.pb.0";
  Write(file, "old");
  Write(taken, "taken");
  std::string reason;
  EXPECT_EQ(os::ReplaceFileThrough(file, taken, "new", &reason), os::ReplaceOutcome::kNameTaken);
  EXPECT_EQ(Content(file), "old");
  EXPECT_EQ(Content(taken), "taken");

  const std::string free = folder + "\\.code.pb.1";
  EXPECT_EQ(os::ReplaceFileThrough(file, free, "new", &reason), os::ReplaceOutcome::kReplaced)
      << reason;
  EXPECT_EQ(Content(file), "new");
  EXPECT_EQ(GetFileAttributesW(Wide(free).c_str()), INVALID_FILE_ATTRIBUTES);

  const std::string other = folder + "\\other.pb";
  ASSERT_TRUE(CreateHardLinkW(Wide(other).c_str(), Wide(file).c_str(), nullptr));
  EXPECT_EQ(os::ReplaceFileThrough(file, free, "split", &reason), os::ReplaceOutcome::kFailed);
  EXPECT_NE(reason.find("hard links"), std::string::npos) << reason;
  EXPECT_EQ(Content(file), "new");
  EXPECT_EQ(Content(other), "new");
  EXPECT_EQ(GetFileAttributesW(Wide(free).c_str()), INVALID_FILE_ATTRIBUTES);

  EXPECT_EQ(os::ReplaceFileThrough(folder + "\\missing.pb", free, "x", &reason),
            os::ReplaceOutcome::kFailed);

  for (const std::string& name : {file, taken, other}) DeleteFileW(Wide(name).c_str());
  RemoveDirectoryW(Wide(folder).c_str());
}

}  // namespace
