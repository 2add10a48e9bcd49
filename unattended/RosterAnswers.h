#pragma once

#include <string>
#include <vector>

class AnswerFileUserInterface;
class CSetupSheet;
struct AnswerSection;

/// Checks an [Attorney <name>] section before anything runs, as the attorney dialogs check what
/// is typed: Name, Address1 and Zipcode are required; every field takes at most what its column
/// can store and only characters of the code page the product keeps its text in; Default is yes
/// or no; each electronic filing login (Ecf<n>District, Ecf<n>UserName, Ecf<n>Password,
/// Ecf<n>BarNumber) names its district. Appends a message per fault.
void ValidateAttorney(const AnswerSection& section, const std::string& source,
                      std::vector<std::string>& errors);

/// The attorney roster of an unattended first installation: stores every attorney of the answer
/// file, in the order written, through the roster store, after the checks the attorney dialog
/// makes on its address (a known zip code, city and state filled from it when both are empty, a
/// known state, a confirmation when they differ from the zip code's) and the login dialog's
/// districts. An attorney refused is not stored and the others still are. Each attorney stored,
/// and each that the database refused, is a line of the install log.
void AnswerAttorneyRoster(CSetupSheet& sheet, AnswerFileUserInterface& ui);
