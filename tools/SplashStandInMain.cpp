// TlSplash.exe, a stand-in for the product's splash program, which the program links point at:
// it starts the product, Tallymar.exe from its own folder, in its place (same process, same
// arguments).
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <unistd.h>

int main(int, char** argv) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::filesystem::path product =
        (error ? std::filesystem::path(".") : self.parent_path()) / "Tallymar.exe";
    ::execv(product.c_str(), argv);
    std::fprintf(stderr, "TlSplash.exe: cannot start %s: %s\n", product.c_str(), std::strerror(errno));
    return 1;
}
