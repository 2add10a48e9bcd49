#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class AnswerFile;
struct AnswerSection;

/// yes/no, true/false, on/off or 1/0 (any case); nullopt for anything else.
std::optional<bool> ParseYesNo(std::string_view text);

/// An install type written as 0, 1 or 2; nullopt for anything else.
std::optional<int> ParseInstallType(std::string_view text);

/// The state codes of a States answer, separated by commas and/or blanks; empty ones are dropped.
std::vector<std::string> SplitStates(std::string_view text);

/// Converts UTF-8 text to the Windows code page 1252 in which the product keeps its attorneys;
/// nullopt when the text is not UTF-8, holds a control character or a character that code page
/// lacks.
std::optional<std::string> Utf8ToAnsi(std::string_view utf8);

/// Checks what can be checked of the answers before anything runs: install types, yes/no
/// answers, and every attorney (required fields, field lengths, characters, logins). Appends one
/// message per fault, each naming the file, line and key, and returns whether there was none.
bool ValidateAnswers(const AnswerFile& answers, const std::string& source, std::vector<std::string>& errors);
