#pragma once
// A shared library opened when the program first needs it rather than when it starts: every
// library linked to the program is mapped and relocated before main(), with all the libraries
// it brings in, even when the game never uses it.
#include <string>

namespace vunt {

class SharedLibrary {
 public:
  // Opens the library by its soname, once for the life of the program (it is never closed: its
  // threads and the data it hands out may outlive any one user).
  explicit SharedLibrary(const char* soname);
  // Resolves the function of that name into f. A missing one makes ok() false.
  template <class F>
  void resolve(F& f, const char* name) {
    f = reinterpret_cast<F>(address(name));
  }
  // Whether the library and every function asked for were found; why() says what failed.
  bool ok() const { return why_.empty(); }
  const std::string& why() const { return why_; }

 private:
  void* address(const char* name);

  void* handle_ = nullptr;
  std::string why_;
};

}  // namespace vunt
