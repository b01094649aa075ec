// The picture loading path of GHG and GHGD, on the bytes of a ".szg" file.
//
// Beyond the sanitizers: a picture that loads has pixels.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.hpp"
#include "platform/picture.hpp"

using namespace vunt;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string error;
  const auto picture = decodePicture({reinterpret_cast<const char*>(data), size}, error);
  if (picture) VUNT_FUZZ_CHECK(!picture->empty(), "a picture that loads has pixels");
  else VUNT_FUZZ_CHECK(!error.empty(), "a picture that does not load says why");
  return 0;
}
