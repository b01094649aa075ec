// vunt-asm SOURCE [-o FILE] [--utf8]: assembles the authors' labelled source into the script
// vunt-n.zad and writes the line map vunt-n.map beside it. vunt-asm --init DIR writes a starter
// game.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "authoring/assembler.hpp"
#include "authoring/starter.hpp"
#include "authoring/output_file.hpp"
#include "help/vunt-asm.hpp"

namespace fs = std::filesystem;

namespace {

// The help text, made from docs/man/vunt-asm.txt like the manual page.
const char* kUsage = vunt::kHelpText;

int usageError(const std::string& what) {
  std::fprintf(stderr, "vunt-asm: %s (try 'vunt-asm --help')\n", what.c_str());
  return 2;
}

bool writeFile(const fs::path& path, const std::string& bytes) {
  std::string error;
  if (vunt::writeOutputFile(path, bytes, error)) return true;
  std::fprintf(stderr, "vunt-asm: cannot write %s: %s\n", path.string().c_str(), error.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  std::string source, output, init;
  bool utf8 = false, anywhere = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (a == "--utf8") {
      utf8 = true;
    } else if (a == "--include-anywhere") {
      anywhere = true;
    } else if (a == "-o") {
      if (i + 1 >= argc) return usageError("-o needs a file");
      output = argv[++i];
    } else if (a == "--init") {
      if (i + 1 >= argc) return usageError("--init needs a directory");
      init = argv[++i];
    } else if (a.size() > 1 && a[0] == '-') {
      return usageError("unknown option " + a);
    } else if (source.empty()) {
      source = a;
    } else {
      return usageError("give one source file");
    }
  }
  if (!init.empty()) {
    if (!source.empty() || !output.empty()) return usageError("--init takes only a directory");
    std::string error;
    if (!vunt::writeStarterGame(init, error)) {
      std::fprintf(stderr, "vunt-asm: %s\n", error.c_str());
      return 1;
    }
    std::printf("%s: a starter game; play it with: vunt %s\n", init.c_str(), init.c_str());
    return 0;
  }
  if (source.empty()) return usageError("give a source file");
  std::error_code ec;
  if (!fs::is_regular_file(source, ec)) {
    std::fprintf(stderr, "vunt-asm: %s: %s\n", source.c_str(),
                 fs::exists(source, ec) ? "not a regular file" : "no such file");
    return 1;
  }
  const fs::path out = output.empty() ? fs::path(source).parent_path() / "vunt-n.zad" : fs::path(output);
  fs::path mapPath = out;
  mapPath.replace_extension(".map");
  // Both files are checked before either is written, so a refused map leaves no lone script.
  for (const fs::path& p : {out, mapPath})
    if (std::string problem = vunt::outputFileProblem(p); !problem.empty()) {
      std::fprintf(stderr, "vunt-asm: %s\n", problem.c_str());
      return 1;
    }

  vunt::Assembly a = vunt::assemble(source, utf8, vunt::readSourceFile, anywhere);
  int errors = 0, warnings = 0;
  for (const vunt::Finding& f : a.findings) {
    std::fputs(vunt::formatFinding(f, a.sourceLine(f.file, f.line)).c_str(), stderr);
    errors += f.severity == vunt::Finding::Error;
    warnings += f.severity == vunt::Finding::Warning;
  }
  if (a.errorsLeftOut + a.warningsLeftOut)
    std::fprintf(stderr, "vunt-asm: %zu more findings not shown\n", a.errorsLeftOut + a.warningsLeftOut);
  errors += int(a.errorsLeftOut);
  warnings += int(a.warningsLeftOut);
  if (errors) {
    std::fprintf(stderr, "vunt-asm: %d error%s, %d warning%s; nothing written\n", errors, errors == 1 ? "" : "s",
                 warnings, warnings == 1 ? "" : "s");
    return 1;
  }
  std::optional<std::string> bytes = vunt::encodeScript(a, utf8);
  if (!bytes) {
    std::fputs("vunt-asm: the script cannot be converted to code page 932\n", stderr);
    return 1;
  }
  if (!writeFile(out, *bytes)) return 1;
  if (!writeFile(mapPath, vunt::formatLineMap(vunt::lineMapOf(a, *bytes, mapPath.parent_path())))) return 1;
  std::printf("%s: %zu lines, %zu labels\n", out.string().c_str(), a.lines.size(), a.labels.size());
  return 0;
}
