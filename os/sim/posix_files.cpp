// Files for native builds: real POSIX files behind the Windows-shaped functions.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/ascii.h"
#include "os/sim/world.h"

namespace {

// "*" any run, "?" one character; without regard to case, as Windows matches file names.
bool GlobMatches(std::string_view pattern, std::string_view name) {
  std::size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || core::AsciiLower(pattern[p]) == core::AsciiLower(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(written);
  }
  return true;
}

// Records why a file operation failed; false, so that callers can return it.
bool Failed(os::FileError* error, int code) {
  if (error) {
    error->notFound = code == ENOENT || code == ENOTDIR;
    error->reason = std::strerror(code);
  }
  return false;
}

// A failure the test put on the file (a lock by another program, say); false when there is none.
bool InjectedFailure(const std::string& path, os::FileError* error) {
  const auto& failures = os::sim::detail::TheWorld().fileFailures;
  const auto found = failures.find(path);
  if (found == failures.end()) return false;
  if (error) *error = {false, found->second};
  return true;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The new file takes the old one's owner first: a change of owner clears the set-id bits, which
// the exact permissions then put back.
bool TakeOwnerAndPermissions(int fd, const struct stat& original) {
  struct stat created {};
  if (::fstat(fd, &created) != 0) return false;
  if ((created.st_uid != original.st_uid || created.st_gid != original.st_gid) &&
      ::fchown(fd, original.st_uid, original.st_gid) != 0) {
    return false;
  }
  return ::fchmod(fd, original.st_mode & 07777) == 0;
}

// Writes the bytes over the file itself: the old content is replaced, never truncated first,
// so a failed write leaves at worst a mix rather than nothing.
bool RewriteInPlace(const std::string& path, const std::string& bytes, os::FileError* error) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return Failed(error, errno);
  bool ok = WriteAll(fd, bytes) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
  const int code = errno;
  if (::close(fd) != 0) return Failed(error, errno);
  return ok || Failed(error, code);
}

}  // namespace

// The files' test controls live with the files they act on: the Windows build's simulated windows
// have real Win32 files, which know nothing of them.
namespace os::sim {

void SetExecutablePath(const std::string& path) { detail::TheWorld().executablePath = path; }

void FailFileAccess(const std::string& path, const std::string& reason) {
  auto& failures = detail::TheWorld().fileFailures;
  if (reason.empty()) {
    failures.erase(detail::NormalisePath(path));
  } else {
    failures[detail::NormalisePath(path)] = reason;
  }
}

}  // namespace os::sim

namespace os {

std::string ExecutablePath() {
  const std::string& overridden = sim::detail::TheWorld().executablePath;
  if (!overridden.empty()) return overridden;
  std::string path(256, '\0');
  for (;;) {
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < path.size()) {
      path.resize(static_cast<std::size_t>(length));
      return path;
    }
    path.resize(path.size() * 2);
  }
}

bool ListFiles(const std::string& folder, const std::string& pattern,
               std::vector<std::string>* names) {
  const std::string where = sim::detail::NormalisePath(folder);
  DIR* directory = ::opendir(where.empty() ? "." : where.c_str());
  if (directory == nullptr) return false;
  std::vector<std::string> found;
  while (const dirent* entry = ::readdir(directory)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (GlobMatches(pattern, name)) found.push_back(name);
  }
  ::closedir(directory);
  // NTFS lists names in case-insensitive order; the same here, so runs are reproducible.
  std::sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
    const int order = core::CompareIgnoreCase(a, b);
    return order != 0 ? order < 0 : a < b;
  });
  if (names) *names = std::move(found);
  return true;
}

bool ReadWholeFile(const std::string& path, std::string* bytes, FileError* error) {
  const std::string where = sim::detail::NormalisePath(path);
  if (InjectedFailure(where, error)) return false;
  const int fd = ::open(where.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Failed(error, errno);
  std::string content;
  char buffer[65536];
  int code = 0;
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      code = errno;  // a folder, for instance
      break;
    }
    if (got == 0) break;
    content.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  if (code != 0) return Failed(error, code);
  if (bytes) *bytes = std::move(content);
  return true;
}

bool ReplaceFile(const std::string& path, const std::string& bytes, FileError* error) {
  const std::string target = sim::detail::NormalisePath(path);
  if (InjectedFailure(target, error)) return false;
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) return Failed(error, EISDIR);

  static unsigned counter = 0;
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = target + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    // No temporary file beside it (a read-only folder, say): the file itself may still be
    // writable.
    const int code = errno;
    if (exists && ::access(target.c_str(), W_OK) == 0) return RewriteInPlace(target, bytes, error);
    return Failed(error, code);
  }
  if (exists) ::fchmod(fd, existing.st_mode & 07777);
  bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  int code = ok ? 0 : errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    code = errno;
  }
  if (ok && ::rename(temporary.c_str(), target.c_str()) == 0) return true;
  if (ok) code = errno;
  ::unlink(temporary.c_str());
  return Failed(error, code);
}

// Nothing is written through a name that another program has put in the way, and nothing is
// half written when the system stops.
ReplaceOutcome ReplaceFileThrough(const std::string& path, const std::string& temporaryPath,
                                  const std::string& bytes, std::string* reason) {
  const auto fail = [reason](const std::string& why) {
    if (reason != nullptr) *reason = why;
    return ReplaceOutcome::kFailed;
  };
  struct stat original {};
  if (::lstat(path.c_str(), &original) != 0) return fail(std::strerror(errno));
  if (!S_ISREG(original.st_mode)) return fail("not a regular file");
  if (original.st_nlink > 1) {
    return fail("has " + std::to_string(original.st_nlink) +
                " hard links, which a replacement would split; left as it is");
  }

  // Never wider than the file's own permissions, not even before they are set exactly.
  const int fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        original.st_mode & 0777);
  if (fd < 0) {
    if (errno == EEXIST) return ReplaceOutcome::kNameTaken;
    return fail("cannot create a temporary file in " + FolderOf(path) + ": " +
                std::strerror(errno));
  }
  std::string why;
  if (!TakeOwnerAndPermissions(fd, original)) {
    why = std::string("cannot keep the file's owner and permissions: ") + std::strerror(errno);
  } else if (!WriteAll(fd, bytes) || ::fsync(fd) != 0) {
    why = std::string("cannot write the temporary file: ") + std::strerror(errno);
  }
  if (::close(fd) != 0 && why.empty()) {
    why = std::string("cannot write the temporary file: ") + std::strerror(errno);
  }
  if (why.empty() && ::rename(temporaryPath.c_str(), path.c_str()) != 0) {
    why = std::string("cannot replace the file: ") + std::strerror(errno);
  }
  if (!why.empty()) {
    ::unlink(temporaryPath.c_str());
    return fail(why);
  }
  // The rename lives in the folder: flush it too, or a crash may bring the old name back.
  const int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return ReplaceOutcome::kReplaced;
}

}  // namespace os
