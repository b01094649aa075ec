#pragma once
// Standard output as a C++ stream, made at first use. A program that includes <iostream> starts
// the C++ streams and their locales before main (about half a megabyte, on every start); the
// window never writes a stream to standard output, so only the headless transcript pays for one.
#include <ostream>

namespace vunt {

// Writes straight through the C library's stdout, as std::cout does while it is synchronised with
// stdio: output keeps its order with printf's, and flush() flushes stdout.
std::ostream& standardOutput();

}  // namespace vunt
