#pragma once
// The source files a game folder's line map names, read to quote the lines findings stand on. The
// map comes with the folder, so it is as untrusted as the script: a name is read only inside the
// folder (no absolute name, no "..", no link leading out, as the engine reads game files), each
// file once however many spellings name it, and no more than kMaxMapSourceBytes in all.
#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vunt {

constexpr std::size_t kMaxMapSourceBytes = 32 << 20;

class MapSources {
 public:
  explicit MapSources(std::filesystem::path gameDir) : dir_(std::move(gameDir)) {}

  // Line `line` (from 1) of the file the map calls `name`; empty when that file is outside the
  // folder, unreadable, past the budget, or shorter.
  std::u32string line(const std::string& name, int line);

  std::size_t filesRead() const { return files_.size(); }

 private:
  struct File {
    std::string bytes;
    std::vector<std::size_t> starts;  // offset of each line
  };
  const File* file(const std::string& name);

  std::filesystem::path dir_;
  std::map<std::pair<dev_t, ino_t>, File> files_;
  std::map<std::string, const File*, std::less<>> byName_;
  std::size_t bytes_ = 0;
};

}  // namespace vunt
