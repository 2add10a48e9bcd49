#include "release/ManifestNames.h"

#include "app/CSetupSheet.h"

#include <algorithm>

namespace {

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

} // namespace

bool IsPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    constexpr std::string_view kForbidden = "\\/:*?\"<>|";
    return std::none_of(name.begin(), name.end(),
                        [&](char c) { return IsControl(c) || kForbidden.find(c) != std::string_view::npos; });
}

std::string PrintableName(std::string_view name) {
    std::string printable(name);
    std::replace_if(printable.begin(), printable.end(), IsControl, '?');
    return printable;
}

void LogRefusedFileName(CSetupSheet& sheet, std::string_view name) {
    sheet.Log("**** Refusing file name %s from the file manifest: not a plain file name",
              PrintableName(name).c_str());
}
