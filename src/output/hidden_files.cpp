#include "output/hidden_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <map>
#include <mutex>

namespace pindot {

std::string HiddenPrefix(const std::string& name) {
  constexpr size_t kNameKept = 200;
  return "." + name.substr(0, kNameKept) + ".";
}

std::string HiddenName(const std::string& name, std::string_view end) {
  static std::atomic<unsigned> counter{0};
  return HiddenPrefix(name) + std::to_string(getpid()) + "-" +
         std::to_string(counter.fetch_add(1)) + std::string(end);
}

bool IsHiddenName(std::string_view entry, std::string_view prefix, std::string_view end) {
  if (entry.size() < prefix.size() + end.size() || entry.substr(0, prefix.size()) != prefix ||
      entry.substr(entry.size() - end.size()) != end) {
    return false;
  }
  const std::string_view numbers =
      entry.substr(prefix.size(), entry.size() - prefix.size() - end.size());
  const size_t dash = numbers.find('-');
  if (dash == std::string_view::npos) return false;
  auto isNumber = [](std::string_view digits) {
    return !digits.empty() &&
           std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  return isNumber(numbers.substr(0, dash)) && isNumber(numbers.substr(dash + 1));
}

int OpenAbandoned(int folderFd, const std::string& leftover) {
  const int fd = openat(folderFd, leftover.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat locked {
  }, named{};
  if (flock(fd, LOCK_EX | LOCK_NB) == 0 && fstat(fd, &locked) == 0 && S_ISREG(locked.st_mode) &&
      fstatat(folderFd, leftover.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
      named.st_dev == locked.st_dev && named.st_ino == locked.st_ino) {
    return fd;
  }
  close(fd);
  return -1;
}

std::vector<std::string> Leftovers(int folderFd, const std::string& name, std::string_view end) {
  std::vector<std::string> leftovers;
  const int listFd = openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listFd < 0) return leftovers;
  DIR* listing = fdopendir(listFd);
  if (listing == nullptr) {
    close(listFd);
    return leftovers;
  }
  const std::string prefix = HiddenPrefix(name);
  while (const dirent* entry = readdir(listing)) {
    if (IsHiddenName(entry->d_name, prefix, end)) leftovers.push_back(entry->d_name);
  }
  closedir(listing);
  return leftovers;
}

std::shared_ptr<const int> ShareFolder(int fd) {
  static std::mutex mutex;
  static std::map<std::pair<dev_t, ino_t>, std::weak_ptr<const int>> open;
  struct stat status {};
  if (fstat(fd, &status) != 0) {
    return std::shared_ptr<const int>(new int(fd), [](const int* each) {
      close(*each);
      delete each;
    });
  }
  const std::lock_guard<std::mutex> lock(mutex);
  std::weak_ptr<const int>& entry = open[{status.st_dev, status.st_ino}];
  if (std::shared_ptr<const int> shared = entry.lock()) {
    close(fd);
    return shared;
  }
  const std::pair<dev_t, ino_t> key{status.st_dev, status.st_ino};
  std::shared_ptr<const int> shared(new int(fd), [key](const int* each) {
    {
      const std::lock_guard<std::mutex> lock(mutex);
      const auto found = open.find(key);
      if (found != open.end() && found->second.expired()) open.erase(found);
    }
    close(*each);
    delete each;
  });
  entry = shared;
  return shared;
}

bool WriterRuns(std::string_view leftover, std::string_view prefix) {
  const std::string_view numbers = leftover.substr(prefix.size());
  const long pid =
      std::strtol(std::string(numbers.substr(0, numbers.find('-'))).c_str(), nullptr, 10);
  return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

}  // namespace pindot
