// TLMFIMPRT.EXE, the import proxy: reads one of the product's reference-data files for the setup
// program and sends its records over the pipe that the setup program names (tools/README.md).
#include "import/ImportProtocol.h"
#include "tools/ImportProxyService.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// The default source lies beside the program.
std::filesystem::path DefaultSource() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return (ec ? std::filesystem::path(".") : self.parent_path()) / "TLMFIMPRT.INI";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <pipe name>\n", importproxy::kProgramName);
        return 2;
    }
    std::string error;
    const int result = ServeImportRequest(argv[1], DefaultSource(), &error);
    if (result != 0)
        std::fprintf(stderr, "%s: %s\n", importproxy::kProgramName, error.c_str());
    return result;
}
