#include "shell/saved_files.hpp"

#include <cctype>
#include <system_error>
#include <utility>
#include <vector>

#include "aids/slot_file.hpp"
#include "platform/file_replace.hpp"
#include "platform/game_files.hpp"
#include "script/save_format.hpp"
#include "shell/snapshot_format.hpp"

namespace vunt {

namespace {

constexpr std::string_view kMagic = "VUNTSAVES";
constexpr int kVersion = 1;
constexpr std::string_view kSaveName = "VUNT.DAT";

// Every name a saved file has, the save file first.
std::vector<std::string> allNames() {
  std::vector<std::string> names{std::string(kSaveName)};
  for (int slot = kQuickSlot; slot <= kSlotCount; ++slot) names.push_back(slotPath("", slot).string());
  return names;
}

bool sameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// A browser names a second download of the same file "name (1).ext": the " (1)" goes.
std::string withoutCopyNumber(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  const std::string_view stem = name.substr(0, dot), ext = dot == std::string_view::npos ? "" : name.substr(dot);
  const std::size_t open = stem.rfind(" (");
  if (open == std::string_view::npos || stem.size() < open + 4 || stem.back() != ')') return std::string(name);
  for (char c : stem.substr(open + 2, stem.size() - open - 3))
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::string(name);
  return std::string(stem.substr(0, open)) + std::string(ext);
}

void put(std::string& out, std::size_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += char((v >> (8 * i)) & 255);
}

// The files of a saves file, or why it does not hold together.
std::optional<std::vector<std::pair<std::string, std::string_view>>> unpack(std::string_view in, std::string& error) {
  std::size_t at = kMagic.size();
  auto number = [&](int bytes, std::size_t& v) {
    if (in.size() - at < std::size_t(bytes)) return false;
    v = 0;
    for (int i = 0; i < bytes; ++i) v |= std::size_t(std::uint8_t(in[at + std::size_t(i)])) << (8 * i);
    at += std::size_t(bytes);
    return true;
  };
  auto take = [&](std::size_t n, std::string_view& s) {
    if (in.size() - at < n) return false;
    s = in.substr(at, n);
    at += n;
    return true;
  };
  std::size_t version = 0, count = 0;
  if (!number(1, version) || version != kVersion) {
    error = "the saves file was written by another version of Vunt (version " + std::to_string(version) + ")";
    return std::nullopt;
  }
  std::vector<std::pair<std::string, std::string_view>> files;
  bool whole = number(1, count);
  for (std::size_t n = 0; whole && n < count; ++n) {
    std::size_t nameLength = 0, size = 0;
    std::string_view name, bytes;
    whole = number(1, nameLength) && take(nameLength, name) && number(4, size) && take(size, bytes);
    if (!whole) break;
    std::optional<std::string> kept = savedFileName(name);
    if (!kept || *kept != name) {
      error = "the saves file names a file that is no saved file of Vunt";
      return std::nullopt;
    }
    for (const auto& f : files)
      if (f.first == name) {
        error = "the saves file holds " + std::string(name) + " twice";
        return std::nullopt;
      }
    files.emplace_back(std::string(name), bytes);
  }
  if (!whole || at != in.size()) {
    error = "the saves file is damaged (its parts do not add up)";
    return std::nullopt;
  }
  return files;
}

}  // namespace

std::optional<std::string> savedFileName(std::string_view name) {
  const std::string plain = withoutCopyNumber(name);
  for (const std::string& n : allNames())
    if (sameLetters(plain, n)) return n;
  return std::nullopt;
}

std::optional<std::string> savedFileProblem(std::string_view name, std::string_view bytes) {
  if (name == kSaveName) {
    // The engine's own words when LOAD meets a bad save file.
    SaveFileRead read = readSaveFile(bytes);
    if (read.ok) return std::nullopt;
    return std::to_string(read.bad + 1) + " 番目の値: " + read.reason;
  }
  std::string error;
  std::optional<SlotFile> slot = readSlot(bytes, error);
  if (slot && readSnapshot(slot->snapshot, error)) return std::nullopt;
  return error;
}

std::optional<std::string> packSavedFiles(const std::filesystem::path& folder, std::string& error) {
  std::string out(kMagic);
  put(out, kVersion, 1);
  std::string files;
  int count = 0;
  for (const std::string& name : allNames()) {
    const std::filesystem::path path = folder / name;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) continue;
    std::optional<std::string> bytes = readWholeFile(path);
    if (!bytes) {
      error = path.string() + ": " + whyUnreadable(path);
      return std::nullopt;
    }
    put(files, name.size(), 1);
    files += name;
    put(files, bytes->size(), 4);
    files += *bytes;
    ++count;
  }
  if (count == 0) {
    error = "there is no save yet";
    return std::nullopt;
  }
  put(out, std::size_t(count), 1);
  return out + files;
}

bool replaceSavedFile(const std::filesystem::path& path, std::string_view bytes, std::string& error) {
  return replaceFile(path, bytes, error, true);
}

SavedFilesImport importSavedFiles(const std::filesystem::path& folder, std::string_view name, std::string_view bytes,
                                  const SavedFileWriter& write) {
  SavedFilesImport result;
  std::vector<std::pair<std::string, std::string_view>> files;
  if (bytes.substr(0, kMagic.size()) == kMagic) {
    auto unpacked = unpack(bytes, result.message);
    if (!unpacked) return result;
    files = std::move(*unpacked);
  } else if (std::optional<std::string> kept = savedFileName(name)) {
    files.emplace_back(*kept, bytes);
  } else {
    result.message = std::string(name) + ": not a saved file of Vunt (VUNT.DAT, quick.vsav, slot-01.vsav to slot-" +
                     std::to_string(kSlotCount) + ".vsav, or the saves file the page exported)";
    return result;
  }
  for (const auto& [fileName, fileBytes] : files)
    if (std::optional<std::string> problem = savedFileProblem(fileName, fileBytes)) {
      result.message = fileName + ": " + *problem;
      return result;
    }
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    result.message = "cannot make " + folder.string() + ": " + ec.message();
    return result;
  }
  for (const auto& [fileName, fileBytes] : files) {
    std::string why;
    if (!write(folder / fileName, fileBytes, why)) {
      result.message = (folder / fileName).string() + ": " + why;
      return result;
    }
    ++result.files;
  }
  result.ok = true;
  return result;
}

}  // namespace vunt
