#pragma once

#include "platform/TextUtil.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// An attorney as the roster's dialogs handle it, field for field with AttorneyTable. The password
/// (the table's PacerPassword) is held in clear and wiped with 0xCC when its storage is released;
/// it is stored encrypted.
struct AttorneyInfo {
    std::int32_t AttorneyNumber = -1; ///< the table's counter key; -1 when none
    std::string Name;
    std::string Initials;
    std::string Address1;
    std::string Address2;
    std::string City;
    std::string State;
    std::string Zipcode;
    std::string Telephone;
    std::string Fax;
    std::string email;
    std::string Firm;
    std::string Chap13Annex;
    bool Default = false; ///< default attorney for new cases
    std::string PacerId;
    tl::SecretString Password;
};

/// One electronic filing login of an attorney, its fields in the order EcfTable's columns are
/// written. The password is held in clear and wiped when released; it is stored encrypted.
struct EcfLogin {
    std::string District; ///< the judicial district as the court table names it
    std::string UserName; ///< the ECF login id
    tl::SecretString Password;
    std::string BarNumber; ///< the state bar number
};

/// An attorney's logins, in the order they are stored.
using EcfLoginList = std::vector<EcfLogin>;

/// Replaces a secret's value, wiping the old one first so that no copy of it is released unwiped.
inline void AssignSecret(tl::SecretString& secret, std::string_view value) {
    tl::WipeString(secret.str());
    secret.str().assign(value.data(), value.size());
}

/// The longest value each roster field can be stored with, in characters: a plain field holds as
/// many as its column, a secret half as many, since its column holds the hexadecimal text of the
/// encrypted value (two digits per character). The dialogs accept no longer values, so whatever
/// the user types can be stored.
struct RosterFieldLimits {
    // AttorneyTable
    static constexpr int Name = 255;
    static constexpr int Initials = 50;
    static constexpr int Address = 255;
    static constexpr int City = 255;
    static constexpr int State = 50;
    static constexpr int Zipcode = 50;
    static constexpr int Telephone = 50;
    static constexpr int email = 255;
    static constexpr int Firm = 255;
    static constexpr int Fax = 50;
    static constexpr int PacerId = 255;
    static constexpr int Password = 255 / 2; ///< PacerPassword TEXT(255)
    // Ch13Login: the National Data Center key is the NDC row's Password TEXT(255).
    static constexpr int NationalDataCenterKey = 255 / 2;
    // EcfTable
    static constexpr int District = 50;
    static constexpr int EcfUserName = 50;
    static constexpr int EcfPassword = 50 / 2; ///< Password TEXT(50)
    static constexpr int BarNumber = 255;
};
