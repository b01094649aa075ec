#pragma once
// Finding a name in a folder without regard to letter case means reading the folder's listing.
// A script may name many files, each through many parts, in a folder of thousands of files: the
// listings are kept, by folder, and read again only when the folder has changed, so the work per
// name stays bounded by its number of parts.
#include <sys/types.h>

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace vunt {

// Letters folded as Windows folds them (ASCII and full-width).
std::u32string foldedName(std::u32string s);

struct FolderListing;

// The listings one name's lookup has used: the parts of one name see each folder as it was when
// first listed, even one changed a moment ago (whose listing is not kept for later names).
struct ListingScope {
  std::map<std::pair<dev_t, ino_t>, std::shared_ptr<const FolderListing>> seen;
};

// The entry of the folder open as dirFd whose folded name is `folded`; empty when none is (or
// when the folder holds more than kMaxListedEntries entries, which are not listed).
std::string findInListing(int dirFd, const std::u32string& folded, ListingScope& scope);

constexpr std::size_t kMaxListedEntries = 65536;

// How many listings were read from the file system so far (for tests of the bound).
std::size_t listingsRead();

}  // namespace vunt
