#pragma once

#include <cstdint>

// The version note of the Linux programs we publish as product files. Windows programs carry
// their four-part file version in a version resource; ours carry the same four parts in an ELF
// note, which the version reader (win::GetFileVersionInfo) turns into the same fixed file
// information. cmake's tl_stamp_version(<target> a b c d) adds the note to a program.
//
// Layout, in the file's byte order and with 4-byte alignment like every ELF note:
//   namesz = 9, descsz = 8, type = kElfVersionNoteType,
//   name   = "Tallymar\0" padded to 12 bytes,
//   desc   = four 16-bit parts, most significant first (a.b.c.d gives a, b, c, d).
// The note lives in a section named ".note.tallymar.version" (so the linker keeps it in a PT_NOTE
// segment); the reader finds it through the program headers or, failing that, the section headers.
namespace tl {

inline constexpr char kElfVersionNoteName[] = "Tallymar";
inline constexpr std::uint32_t kElfVersionNoteType = 0x54560001; ///< "TV" and layout version 1
inline constexpr std::uint32_t kElfVersionNoteDescSize = 8;

} // namespace tl
