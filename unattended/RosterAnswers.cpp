#include "unattended/RosterAnswers.h"

#include "app/CSetupSheet.h"
#include "app/UserInterface.h"
#include "db/CDBException.h"
#include "platform/Format.h"
#include "platform/TextUtil.h"
#include "platform/WinTypes.h"
#include "tables/AttorneyRoster.h"
#include "tables/DistrictCache.h"
#include "tables/Lookups.h"
#include "unattended/AnswerFile.h"
#include "unattended/AnswerFileUserInterface.h"
#include "unattended/AnswerValues.h"

#include <map>

namespace {

constexpr char kFormName[] = "Attorney Information";

struct AttorneyField {
    const char* key;
    const char* label; ///< as the dialog's messages name it
    int limit;
    std::string AttorneyInfo::*member;
};

constexpr AttorneyField kFields[] = {
    {"Name", "Name", RosterFieldLimits::Name, &AttorneyInfo::Name},
    {"Initials", "Initials", RosterFieldLimits::Initials, &AttorneyInfo::Initials},
    {"Firm", "Firm", RosterFieldLimits::Firm, &AttorneyInfo::Firm},
    {"Address1", "Address", RosterFieldLimits::Address, &AttorneyInfo::Address1},
    {"Address2", "Address", RosterFieldLimits::Address, &AttorneyInfo::Address2},
    {"City", "City", RosterFieldLimits::City, &AttorneyInfo::City},
    {"State", "State", RosterFieldLimits::State, &AttorneyInfo::State},
    {"Zipcode", "Zipcode", RosterFieldLimits::Zipcode, &AttorneyInfo::Zipcode},
    {"Telephone", "Telephone", RosterFieldLimits::Telephone, &AttorneyInfo::Telephone},
    {"Fax", "Fax", RosterFieldLimits::Fax, &AttorneyInfo::Fax},
    {"Email", "Email", RosterFieldLimits::email, &AttorneyInfo::email},
    {"PacerId", "PACER ID", RosterFieldLimits::PacerId, &AttorneyInfo::PacerId},
};

constexpr const char* kRequired[] = {"Name", "Address1", "Zipcode"};

struct LoginField {
    const char* suffix;
    int limit;
};

constexpr LoginField kLoginFields[] = {{"District", RosterFieldLimits::District},
                                       {"UserName", RosterFieldLimits::EcfUserName},
                                       {"Password", RosterFieldLimits::EcfPassword},
                                       {"BarNumber", RosterFieldLimits::BarNumber}};

std::string NotGiven(const AnswerSection& section, const std::string& source, const char* key) {
    return tl::Format("%s(%d): %s %s (not given)", source.c_str(), section.line, section.Header().c_str(),
                      key);
}

// The login numbers of a section in order, from its Ecf<n>... keys.
std::vector<int> LoginNumbers(const AnswerSection& section) {
    std::map<int, bool> numbers;
    for (const Answer& answer : section.answers) {
        if (tl::StartsWithNoCase(answer.key, "Ecf"))
            numbers[std::atoi(answer.key.c_str() + 3)] = true;
    }
    std::vector<int> ordered;
    for (const auto& [number, present] : numbers)
        ordered.push_back(number);
    return ordered;
}

std::string LoginKey(int number, const char* suffix) {
    return tl::Format("Ecf%d%s", number, suffix);
}

// A value within its column and code page; the message never shows a password's value.
void CheckValue(const Answer& answer, int limit, std::vector<std::string>& errors) {
    std::optional<std::string> ansi = Utf8ToAnsi(answer.value);
    if (!ansi) {
        errors.push_back(
            answer.Where() +
            " holds a character that Tallymar cannot store (it keeps the attorneys in the Windows "
            "code page 1252) or a control character");
        return;
    }
    if (ansi->size() > static_cast<std::size_t>(limit))
        errors.push_back(tl::Format("%s takes at most %d characters", answer.Where().c_str(), limit));
    tl::WipeString(*ansi);
}

std::string Ansi(const AnswerSection& section, const std::string& key) {
    const Answer* answer = section.Find(key);
    return answer != nullptr ? Utf8ToAnsi(answer->value).value_or(std::string()) : std::string();
}

void AssignAnsiSecret(tl::SecretString& secret, const AnswerSection& section, const std::string& key) {
    const Answer* answer = section.Find(key);
    std::optional<std::string> value = answer != nullptr ? Utf8ToAnsi(answer->value) : std::nullopt;
    AssignSecret(secret, value ? std::string_view(*value) : std::string_view());
    if (value)
        tl::WipeString(*value);
}

// The attorney as the information dialog would hand it to the roster.
void ReadAttorney(const AnswerSection& section, AttorneyInfo& info, EcfLoginList& logins,
                  tl::SecretString& key) {
    for (const AttorneyField& field : kFields)
        info.*field.member = Ansi(section, field.key);
    const Answer* isDefault = section.Find("Default");
    info.Default = isDefault != nullptr && ParseYesNo(isDefault->value).value_or(false);
    AssignAnsiSecret(info.Password, section, "Password");
    AssignAnsiSecret(key, section, "NationalDataCenterKey");
    for (const int number : LoginNumbers(section)) {
        EcfLogin login;
        login.District = Ansi(section, LoginKey(number, "District"));
        login.UserName = Ansi(section, LoginKey(number, "UserName"));
        AssignAnsiSecret(login.Password, section, LoginKey(number, "Password"));
        login.BarNumber = Ansi(section, LoginKey(number, "BarNumber"));
        logins.push_back(std::move(login));
    }
}

/// One attorney's checks against the places database, as the dialogs make them.
struct AttorneyChecks {
    const AnswerSection& section;
    AnswerFileUserInterface& ui;

    std::string Where(const char* key) const {
        const Answer* answer = section.Find(key);
        return answer != nullptr ? answer->Where() : NotGiven(section, ui.Source(), key);
    }

    bool Stop(const char* key, const std::string& message) {
        AppMessageBox(message, win::MB_OK | win::MB_ICONERROR);
        ui.Refuse(Where(key), "the attorney " + section.label + " is not stored");
        return false;
    }

    // A zip code known to the places database; city and state filled from it when both are empty;
    // both required then, the state known, and confirmed when they differ from the zip code's.
    bool Address(AttorneyInfo& info) {
        if (!IsKnownZipcode(info.Zipcode))
            return Stop("Zipcode", "You entered an invalid or non-existent zipcode.");
        std::string city;
        std::string state;
        const std::string fiveDigits = info.Zipcode.substr(0, info.Zipcode.find('-'));
        const bool found = LookupZipcode(fiveDigits, city, state);
        if (found && info.City.empty() && info.State.empty()) {
            info.City = city;
            info.State = state;
        }
        for (const auto& [key, value] : {std::pair<const char*, const std::string*>{"City", &info.City},
                                         std::pair<const char*, const std::string*>{"State", &info.State}}) {
            if (value->empty())
                return Stop(
                    key, tl::Format("A value is required for the %s field on the %s form", key, kFormName));
        }
        info.State = tl::ToUpper(info.State);
        if (!IsKnownState(info.State))
            return Stop("State", "You entered an unknown state code.");
        if (!found || (tl::EqualsNoCase(city, info.City) && tl::EqualsNoCase(state, info.State)))
            return true;
        return ui.RunCheck(Where("City"), [] {
            return AppMessageBox(
                       "The city and/or state you specified doesn't match the zip code. Do you want to "
                       "use that city and state anyway?",
                       win::MB_YESNO | win::MB_ICONQUESTION) == win::IDYES;
        });
    }

    // Every login names a district of the court table.
    bool Districts(const EcfLoginList& logins) {
        if (theDistrictCache.IsEmpty() && !logins.empty())
            theDistrictCache.Fill();
        const std::vector<int> numbers = LoginNumbers(section);
        for (std::size_t i = 0; i < logins.size(); ++i) {
            if (theDistrictCache.Find(logins[i].District) >= 0)
                continue;
            const std::string key = LoginKey(numbers[i], "District");
            ui.Refuse(Where(key.c_str()), "the places database knows no judicial district \"" +
                                              logins[i].District + "\"; the attorney " + section.label +
                                              " is not stored");
            return false;
        }
        return true;
    }
};

void StoreAttorney(CSetupSheet& sheet, AnswerFileUserInterface& ui, AttorneyRoster& roster,
                   const AnswerSection& section) {
    AttorneyInfo info;
    EcfLoginList logins;
    tl::SecretString key;
    ReadAttorney(section, info, logins, key);
    AttorneyChecks checks{section, ui};
    try {
        if (!checks.Address(info) || !checks.Districts(logins))
            return;
        roster.Add(info, logins, key.str());
    } catch (const CDBException& e) {
        sheet.Log("**** Error trying to store attorney %s - %s", info.Name.c_str(),
                  e.GetErrorMessage().c_str());
        ui.Fail(tl::Format("%s: the database refused the attorney: %s", section.Header().c_str(),
                           e.GetErrorMessage().c_str()));
        return;
    }
    sheet.Log("Setup stored attorney %s", info.Name.c_str());
    ui.PrintPage("Attorney Setup", tl::Format("%s stored%s, %zu electronic filing login%s", info.Name.c_str(),
                                              info.Default ? " as the default attorney" : "", logins.size(),
                                              logins.size() == 1 ? "" : "s"));
}

} // namespace

void ValidateAttorney(const AnswerSection& section, const std::string& source,
                      std::vector<std::string>& errors) {
    for (const char* key : kRequired) {
        const Answer* answer = section.Find(key);
        if (answer == nullptr || answer->value.empty()) {
            const char* label = key == std::string_view("Address1") ? "Address" : key;
            errors.push_back(tl::Format("%s: A value is required for the %s field on the %s form",
                                        answer != nullptr ? answer->Where().c_str()
                                                          : NotGiven(section, source, key).c_str(),
                                        label, kFormName));
        }
    }
    for (const AttorneyField& field : kFields) {
        if (const Answer* answer = section.Find(field.key))
            CheckValue(*answer, field.limit, errors);
    }
    for (const auto& [key, limit] :
         {std::pair<const char*, int>{"Password", RosterFieldLimits::Password},
          std::pair<const char*, int>{"NationalDataCenterKey", RosterFieldLimits::NationalDataCenterKey}}) {
        if (const Answer* answer = section.Find(key))
            CheckValue(*answer, limit, errors);
    }
    if (const Answer* isDefault = section.Find("Default");
        isDefault != nullptr && !ParseYesNo(isDefault->value))
        errors.push_back(isDefault->Where() + " must be yes or no");
    for (const int number : LoginNumbers(section)) {
        for (const LoginField& field : kLoginFields) {
            if (const Answer* answer = section.Find(LoginKey(number, field.suffix)))
                CheckValue(*answer, field.limit, errors);
        }
        const std::string district = LoginKey(number, "District");
        const Answer* answer = section.Find(district);
        if (answer == nullptr || answer->value.empty())
            errors.push_back(tl::Format("%s: an electronic filing login needs its judicial district",
                                        answer != nullptr
                                            ? answer->Where().c_str()
                                            : NotGiven(section, source, district.c_str()).c_str()));
    }
}

void AnswerAttorneyRoster(CSetupSheet& sheet, AnswerFileUserInterface& ui) {
    const std::vector<const AnswerSection*> attorneys = ui.Answers().Attorneys();
    if (attorneys.empty()) {
        ui.PrintPage("Attorney Setup", "the answer file lists no attorneys");
        return;
    }
    AttorneyRoster roster;
    try {
        roster.Load();
    } catch (const CDBException& e) {
        sheet.Log("**** Error trying to read the attorney list - %s", e.GetErrorMessage().c_str());
        ui.Fail("the attorney list could not be read: " + e.GetErrorMessage());
        return;
    }
    for (const AnswerSection* section : attorneys)
        StoreAttorney(sheet, ui, roster, *section);
}
