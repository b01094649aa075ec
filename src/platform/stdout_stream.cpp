#include "platform/stdout_stream.hpp"

#include <cstdio>
#include <streambuf>

namespace vunt {

namespace {

class StdoutBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    return std::fputc(c, stdout) == EOF ? traits_type::eof() : c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    return std::streamsize(std::fwrite(s, 1, std::size_t(n), stdout));
  }
  int sync() override { return std::fflush(stdout) == 0 ? 0 : -1; }
};

}  // namespace

std::ostream& standardOutput() {
  static StdoutBuffer buffer;
  static std::ostream out(&buffer);
  return out;
}

}  // namespace vunt
