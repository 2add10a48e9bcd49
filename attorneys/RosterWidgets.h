#pragma once

#include "platform/TextUtil.h"

#include <QString>
#include <string>
#include <string_view>

class QLineEdit;

// The roster's texts are single-byte text in the Windows ANSI code page (1252), as the product
// stores them; the dialogs show and take them as Unicode. Every byte has its character, so a value
// read and written back is the same bytes, and the edits take only characters that have a byte.

/// The characters of single-byte text.
QString FromAnsi(std::string_view text);
/// The bytes of a text whose characters all have one; any other character becomes "?".
std::string ToAnsi(const QString& text);
/// Whether a character can be stored (it has a byte, and it is not a control character).
bool IsAnsiCharacter(QChar c);

/// Sets up an edit of the roster: it takes at most maxLength characters, each one that can be
/// stored (typed or pasted others are refused).
void SetupRosterEdit(QLineEdit* edit, int maxLength);

/// Masks an edit with "*" for every character.
void SetAsteriskMask(QLineEdit* edit);

/// The secret an edit holds, copied into secret with no unwiped copy left behind.
void ReadSecret(const QLineEdit* edit, tl::SecretString& secret);

/// Overwrites the text an edit holds with 0xCC characters in place, then empties it; for secret
/// edits before their dialog goes away.
void WipeEdit(QLineEdit* edit);
