#include "install/AccessEntry.h"

#include "platform/Format.h"

std::string NetworkUserAccessEntry(const std::string& userSid) {
    return tl::Format("(A;OICI;GASDFA;;;%s)", userSid.c_str());
}

std::string InsertAccessEntry(std::string daclText, const std::string& entry) {
    static constexpr char kNullDacl[] = "NO_ACCESS_CONTROL";
    std::size_t dacl = daclText.find("D:");
    if (dacl == std::string::npos) {
        dacl = daclText.size();
        daclText += "D:";
    }
    const std::size_t flags = dacl + 2;
    std::size_t insertion = daclText.find('(', flags);
    if (insertion == std::string::npos)
        insertion = daclText.size();
    const std::size_t nullDacl = daclText.find(kNullDacl, flags);
    if (nullDacl != std::string::npos && nullDacl < insertion) {
        daclText.erase(nullDacl, sizeof kNullDacl - 1);
        insertion -= sizeof kNullDacl - 1;
    }
    daclText.insert(insertion, entry);
    return daclText;
}
