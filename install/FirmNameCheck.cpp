#include "install/FirmNameCheck.h"

std::size_t CharacterCount(std::string_view utf8) {
    std::size_t count = 0;
    for (const char byte : utf8) {
        if ((static_cast<unsigned char>(byte) & 0xC0) != 0x80)
            ++count;
    }
    return count;
}

FirmNameProblem CheckFirmName(std::string_view firmName, std::string_view password,
                              std::string_view retyped) {
    if (firmName.empty())
        return FirmNameProblem::EmptyFirmName;
    const std::size_t length = CharacterCount(password);
    if (length < kMinimumMasterPasswordLength)
        return FirmNameProblem::PasswordTooShort;
    if (length > CharacterCount(firmName))
        return FirmNameProblem::PasswordLongerThanFirmName;
    if (retyped != password)
        return FirmNameProblem::RetypeDiffers;
    return FirmNameProblem::None;
}
