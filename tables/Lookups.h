#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Read-only lookups on the process-wide connections: zip codes, courts and states in the places
// database (thePlacesDb), the default attorney in the main database (theMainDb). Each opens its own
// recordset, reads at most the first row and closes it. A missing row is not an error; a database
// failure passes to the caller as CDBException.

/// City and state of a zip code given as digits only. False (outputs untouched) for the empty
/// text, a text that is not all digits, or an unknown zip code; the database is not asked for
/// the first two.
bool LookupZipcode(std::string_view zip, std::string& city, std::string& state);

/// True for "NNNNN" or "NNNNN-NNNN" whose five digits are a known zip code.
bool IsKnownZipcode(std::string_view zip);

/// The description of a court ("New York Southern": the state's name and the direction word of
/// the court name's third character) and, when an office is given (not -1), its office name.
/// The outputs are left unchanged when the court (office) is unknown.
void LookupCourtDescription(std::string_view courtName, int office, std::string& description,
                            std::string& officeName);

/// The court description of a district text, or the empty text when the district is unknown.
std::string LookupDistrictDescription(std::string_view district);

/// The name of a state code, or the empty text when unknown.
std::string LookupStateName(std::string_view stateCode);

bool IsKnownState(std::string_view stateCode);

/// The number of the first attorney marked as default, or -1 when none is.
std::int32_t FindDefaultAttorney();
