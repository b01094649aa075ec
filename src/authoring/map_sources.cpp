#include "authoring/map_sources.hpp"

#include <sys/stat.h>

#include "authoring/finding.hpp"
#include "platform/game_files.hpp"
#include "text/text.hpp"

namespace vunt {

const MapSources::File* MapSources::file(const std::string& name) {
  if (auto it = byName_.find(name); it != byName_.end()) return it->second;
  const File* found = nullptr;
  // A map names its sources relative to its folder; an absolute name is somewhere else.
  const std::filesystem::path path = name.empty() || name[0] == '/' ? std::filesystem::path() : gameFile(dir_, fromUtf8(name));
  struct stat st{};
  if (!path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    const auto key = std::make_pair(st.st_dev, st.st_ino);
    if (auto it = files_.find(key); it != files_.end()) {
      found = &it->second;
    } else if (bytes_ + std::size_t(st.st_size) <= kMaxMapSourceBytes) {
      if (std::optional<std::string> bytes = readWholeFile(path, kMaxMapSourceBytes - bytes_)) {
        bytes_ += bytes->size();
        File f;
        f.bytes = std::move(*bytes);
        // Lines end at CR LF, a lone CR or a lone LF, as the assembler reads them.
        f.starts.push_back(0);
        for (std::size_t i = 0; i < f.bytes.size(); ++i) {
          if (f.bytes[i] != '\r' && f.bytes[i] != '\n') continue;
          if (f.bytes[i] == '\r' && i + 1 < f.bytes.size() && f.bytes[i + 1] == '\n') ++i;
          f.starts.push_back(i + 1);
        }
        found = &files_.emplace(key, std::move(f)).first->second;
      }
    }
  }
  byName_.emplace(name, found);
  return found;
}

std::u32string MapSources::line(const std::string& name, int n) {
  const File* f = file(name);
  if (!f || n < 1 || std::size_t(n) >= f->starts.size() + (f->starts.back() < f->bytes.size())) return U"";
  const std::size_t begin = f->starts[std::size_t(n - 1)];
  std::size_t end = std::size_t(n) < f->starts.size() ? f->starts[std::size_t(n)] : f->bytes.size();
  while (end > begin && (f->bytes[end - 1] == '\n' || f->bytes[end - 1] == '\r')) --end;
  // A quote shows no more than a window of its line's start (a map names whole lines).
  std::u32string text = fromUtf8(std::string_view(f->bytes).substr(begin, std::min(end - begin, 4 * kMaxQuotedChars)));
  if (text.size() > kMaxQuotedChars + 1) text.resize(kMaxQuotedChars + 1);
  return text;
}

}  // namespace vunt
