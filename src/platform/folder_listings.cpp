#include "platform/folder_listings.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <map>
#include <mutex>
#include <unordered_map>
#include <utility>

#include "text/text.hpp"

namespace vunt {

struct FolderListing {
  timespec mtime{}, ctime{};
  std::unordered_map<std::u32string, std::string> byFolded;  // the first entry of each folded name
};

namespace {

using Listing = FolderListing;

bool same(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

std::mutex mutex;
std::map<std::pair<dev_t, ino_t>, std::shared_ptr<const Listing>> listings;
std::size_t reads = 0;
constexpr std::size_t kMaxFolders = 32;

std::shared_ptr<const Listing> readListing(int dirFd, const struct stat& st) {
  auto made = std::make_shared<Listing>();
  Listing& l = *made;
  l.mtime = st.st_mtim;
  l.ctime = st.st_ctim;
  ++reads;
  const int listFd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listFd < 0) return made;
  DIR* list = ::fdopendir(listFd);
  if (!list) {
    ::close(listFd);
    return made;
  }
  std::size_t entries = 0;
  while (const dirent* e = ::readdir(list)) {
    if (++entries > kMaxListedEntries) {
      l.byFolded.clear();
      break;
    }
    l.byFolded.try_emplace(foldedName(fromUtf8(e->d_name)), e->d_name);
  }
  ::closedir(list);
  return made;
}

}  // namespace

std::u32string foldedName(std::u32string s) {
  for (char32_t& c : s) {
    if (c >= U'a' && c <= U'z') c -= 32;
    else if (c >= U'ａ' && c <= U'ｚ') c -= 32;  // full-width letters fold as Windows folds them
  }
  return s;
}

std::string findInListing(int dirFd, const std::u32string& folded, ListingScope& scope) {
  struct stat st{};
  if (::fstat(dirFd, &st) != 0) return {};
  const auto key = std::make_pair(st.st_dev, st.st_ino);
  std::shared_ptr<const Listing>& listing = scope.seen[key];
  if (!listing) {
    std::lock_guard lock(mutex);
    auto it = listings.find(key);
    if (it != listings.end() && same(it->second->mtime, st.st_mtim) && same(it->second->ctime, st.st_ctim)) {
      listing = it->second;
    } else {
      listing = readListing(dirFd, st);
      // A folder changed within the last second may change again without a new time stamp (they
      // advance with the kernel's clock tick): its listing serves this name only. Later changes
      // to its entries give it a new modification time.
      if (std::time(nullptr) > st.st_mtim.tv_sec + 1) {
        if (listings.size() >= kMaxFolders) listings.clear();
        listings.insert_or_assign(key, listing);
      } else if (it != listings.end()) {
        listings.erase(it);
      }
    }
  }
  auto found = listing->byFolded.find(folded);
  return found == listing->byFolded.end() ? std::string() : found->second;
}

std::size_t listingsRead() {
  std::lock_guard lock(mutex);
  return reads;
}

}  // namespace vunt
