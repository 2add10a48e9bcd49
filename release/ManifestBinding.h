#pragma once

#include "xml/XmlBinding.h"

/// The top-level binding table of the online manifest: one row, "CurrentVersion", whose objects
/// are appended to the std::vector<std::unique_ptr<XCurrentVersion>> given as Bind's target (the
/// sheet's manifestObjects). Inside it: "Module", "SupportFile" and "Alert" objects and the
/// "DatabaseLevel" and "UpdateLevel" numbers; inside those, their scalar fields, each given as an
/// attribute or as a child element with text, a file's "Size" and "Sha256" last. Names are
/// matched without regard to case.
extern const XmlBinding kManifestBinding[];
inline constexpr int kManifestBindingCount = 1;

/// The manifest's integers: the leading decimal number of the text after blanks and a sign,
/// 0 when there is none, clamped to the range of a 32-bit integer.
int ManifestInteger(const std::string& text);
