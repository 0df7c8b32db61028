// Replacing a file natively: POSIX calls, so that nothing is written through a name that another
// program has put in the way and nothing is half written when the system stops.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "os/os.h"

namespace os {

namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
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

}  // namespace

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
