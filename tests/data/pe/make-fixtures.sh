#!/usr/bin/env bash
# Rebuilds the small PE files of this folder. Not run by the build: the files are committed, so
# neither CI nor developers need the tools. Needs binutils-mingw-w64-x86-64 (windres, as, ld) and
# cpp. The 32-bit files reuse the 64-bit linker's default script with the output format changed,
# because that package ships no i386pe script.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

prefix=x86_64-w64-mingw32
printf '    .text\n    .globl start\nstart:\n    xor %%eax, %%eax\n    ret\n' > "$work/entry.s"
$prefix-as -o "$work/entry64.o" "$work/entry.s"
$prefix-as --32 -o "$work/entry32.o" "$work/entry.s"
$prefix-ld --verbose | sed -n '/^======/,/^======/p' | sed '1d;$d' \
    | sed -e 's/pei-x86-64/pei-i386/g' -e 's/pe-x86-64/pe-i386/g' > "$work/i386pe.x"

# version_rc <a> <b> <c> <d>: a version resource with FILEVERSION a,b,c,d.
version_rc() {
    cat <<RC
1 VERSIONINFO
FILEVERSION $1,$2,$3,$4
PRODUCTVERSION $1,$2,$3,$4
FILEFLAGSMASK 0x3f
FILEFLAGS 0x0
FILEOS 0x40004
FILETYPE 0x1
FILESUBTYPE 0x0
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "040904b0"
    BEGIN
      VALUE "FileDescription", "Version test module\\0"
      VALUE "FileVersion", "$1.$2.$3.$4\\0"
    END
  END
  BLOCK "VarFileInfo"
  BEGIN
    VALUE "Translation", 0x409, 1200
  END
END
RC
}

# link <bits> <exe|dll> <output> [resource object]
link() {
    local bits=$1 kind=$2 output=$3 resource=${4:-}
    local args=(-s --no-insert-timestamp -e start -o "$output" "$work/entry$bits.o")
    [[ $bits == 32 ]] && args=(-m i386pe -T "$work/i386pe.x" "${args[@]}")
    [[ $kind == dll ]] && args=(--dll "${args[@]}")
    [[ -n $resource ]] && args+=("$resource")
    $prefix-ld "${args[@]}"
}

# resource <bits> <a> <b> <c> <d>: compiles a version resource, prints the object's path.
resource() {
    local bits=$1 target=pe-x86-64
    [[ $bits == 32 ]] && target=pe-i386
    local object="$work/version$bits-$2.$3.$4.$5.o"
    version_rc "$2" "$3" "$4" "$5" > "$work/version.rc"
    $prefix-windres --preprocessor=cpp -F $target -i "$work/version.rc" -o "$object"
    echo "$object"
}

link 64 exe pe64_2.0.0.5.exe "$(resource 64 2 0 0 5)"
link 64 dll pe64_1.0.0.10.dll "$(resource 64 1 0 0 10)"
link 32 exe pe32_65535.1.300.4.exe "$(resource 32 65535 1 300 4)"
link 32 dll pe32_2.0.0.5.dll "$(resource 32 2 0 0 5)"
link 64 exe pe64_no_version_resource.exe

# A version resource whose fixed information lost its signature (0xFEEF04BD): the block is there,
# its root value is not.
cp pe32_2.0.0.5.dll pe32_bad_fixed_info_signature.dll
offset=$(LC_ALL=C grep -obUaP '\xbd\x04\xef\xfe' pe32_bad_fixed_info_signature.dll | head -1 | cut -d: -f1)
printf '\x00\x00\x00\x00' | dd of=pe32_bad_fixed_info_signature.dll bs=1 seek="$offset" conv=notrunc status=none

# Headers cut off inside the section table.
head -c 300 pe64_2.0.0.5.exe > pe64_truncated_headers.exe
