// The save file's reader on random bytes, and the writer and reader together on random flags.
//
// Input: the bytes of a save file. The same bytes, taken two at a time, are also 31 flag values
// that must come back unchanged from a save file written for them.
//
// Beyond the sanitizers: a file that reads is read the same after it is written again; a file
// that does not read gives no flags (all 0) and names the value at fault.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.hpp"
#include "script/save_format.hpp"

using namespace vunt;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const SaveFileRead read = readSaveFile(bytes);
  if (read.ok) {
    VUNT_FUZZ_CHECK(read.bad == -1 && read.reason.empty(), "a good read names no fault");
    const SaveFileRead again = readSaveFile(saveFileText(read.flags));
    VUNT_FUZZ_CHECK(again.ok && again.flags == read.flags, "what was read survives a save");
  } else {
    VUNT_FUZZ_CHECK(read.bad >= 0 && read.bad < kSavedFlags, "a bad read names the value at fault");
    VUNT_FUZZ_CHECK(!read.reason.empty(), "a bad read says why");
    VUNT_FUZZ_CHECK(read.flags == SavedFlags{}, "a bad read gives no flags");
  }

  SavedFlags flags{};
  for (std::size_t i = 0; i < flags.size() && 2 * i + 1 < size; ++i)
    flags[i] = std::int16_t(data[2 * i] | data[2 * i + 1] << 8);
  const std::string text = saveFileText(flags);
  VUNT_FUZZ_CHECK(text.size() >= 31 * 4 && text.size() <= 31 * 8, "31 lines of a sign, 1 to 5 digits and CR LF");
  const SaveFileRead back = readSaveFile(text);
  VUNT_FUZZ_CHECK(back.ok && back.flags == flags, "a save reads back exactly");
  return 0;
}
