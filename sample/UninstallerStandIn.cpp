// TLMUINST.EXE of the sample release until the uninstaller itself is published with it: it reads
// the uninstall manifest beside it and says what the uninstaller would remove, removing nothing.
#include "xml/XmlDocument.h"
#include "xml/XmlElement.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

int main() {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path folder = fs::read_symlink("/proc/self/exe", error).parent_path();
    fs::path manifest;
    for (const char* name : {"TLMUINST.xml", "TLMUINST.XML"}) {
        if (fs::exists(folder / name, error))
            manifest = folder / name;
    }
    std::ifstream in(manifest, std::ios::binary);
    if (manifest.empty() || !in) {
        std::fprintf(stderr, "TLMUINST.EXE (stand-in): no uninstall manifest TLMUINST.xml in %s\n",
                     folder.c_str());
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    XmlDocument document(false);
    if (!document.Parse(text.str())) {
        std::fprintf(stderr, "TLMUINST.EXE (stand-in): %s is not well-formed\n", manifest.c_str());
        return 1;
    }
    std::printf(
        "TLMUINST.EXE (stand-in): the uninstaller would remove, and this stand-in removes nothing:\n");
    for (const auto& root : document.roots) {
        for (const auto& entry : root->children) {
            const char* what = entry->name == "DeleteKey" ? "registry key" : "file";
            std::printf("  %s %s\n", what, entry->Text().c_str());
        }
    }
    return 0;
}
