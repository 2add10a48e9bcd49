#!/usr/bin/env python3
"""Makes a generated release folder for the benchmarks, ready for tlpublish: product files of
realistic sizes (programs of a few MB, many small support files) and their release.ini.

A first release:
  make-release.py OUT --modules N --support-files M --program V1.so [--base DIR] [--seed S]
A next release of it, with K of its generated files changed (modules get the next version,
support files new bytes and a later date); the rest are hard links to the first release's files:
  make-release.py OUT --next-of FIRST --changed K --program V2.so

--program names a Linux program carrying its version note (the sample's state modules: 1.0.0.1
and 1.0.0.2); each generated module is a copy of it padded to its size. --base takes the files
and the description of a release to start from (the sample release, so that a generated release
installs completely). OUT.changed.txt lists the changed files of a next release, one a line.
"""

import argparse
import os
import random
import shutil
import sys

FIRST_DATE = 1736931600  # 2025-01-15 09:00:00 UTC, the sample release's date
NEXT_DATE = 1748854800   # 2025-06-02 09:00:00 UTC
WORDS = [b"Tallymar ", b"creditor ", b"schedule ", b"petition ", b"trustee ", b"chapter 13 ",
         b"district ", b"\x00\x00\x00\x00", b"\x90\x90\x90\x90"]


def filler(rng, size):
    """Bytes that deflate shrinks to about a half, as program files and data do."""
    parts = []
    total = 0
    while total < size:
        if rng.random() < 0.45:
            chunk = rng.randbytes(2048)
        else:
            chunk = b"".join(rng.choice(WORDS) for _ in range(220))
        parts.append(chunk)
        total += len(chunk)
    return b"".join(parts)[:size]


def support_bytes(rng, size, index):
    """A text file: reference lines, as the product's support files are."""
    line = ("Support file %05d: forms, help pages and reference data of the district courts\r\n"
            % index).encode()
    body = bytearray()
    while len(body) < size:
        body += line if rng.random() < 0.7 else rng.randbytes(48).hex().encode() + b"\r\n"
    return bytes(body[:size])


def write(path, data, mtime, mode=0o644):
    with open(path, "wb") as out:
        out.write(data)
    os.chmod(path, mode)
    os.utime(path, (mtime, mtime))


def module_size(rng):
    return int(rng.uniform(1.0, 5.0) * 1000 * 1000)


def support_size(rng):
    return int(2 ** rng.uniform(10, 16))  # 1 KiB to 64 KiB, most of them small


def first_release(args):
    rng = random.Random(args.seed)
    os.makedirs(args.out)
    description = ""
    if args.base:
        for name in sorted(os.listdir(args.base)):
            source = os.path.join(args.base, name)
            if os.path.isfile(source):
                shutil.copy2(source, os.path.join(args.out, name))
        with open(os.path.join(args.base, "release.ini"), encoding="utf-8") as ini:
            description = ini.read()
    else:
        description = "; A generated release for the benchmarks\n[Release]\nDatabaseLevel=15\nUpdateLevel=1\n"
    with open(args.program, "rb") as program:
        template = program.read()
    sections = []
    for i in range(args.modules):
        name = "TLMGEN%03d.DLL" % i
        size = max(module_size(rng) if args.module_mb is None else int(args.module_mb * 1e6), len(template))
        write(os.path.join(args.out, name), template + filler(rng, size - len(template)), FIRST_DATE, 0o755)
        sections.append("[Module %s]\nDescription=Generated module %d\nFlags=InstallIfAbsent\n" % (name, i))
    for i in range(args.support_files):
        name = "Support%05d.txt" % i
        write(os.path.join(args.out, name), support_bytes(rng, support_size(rng), i), FIRST_DATE)
        # Every tenth one lives in the firm's home directory, as the shared databases do.
        flags = "InstallIfAbsent, SharedFolder" if i % 10 == 9 else "InstallIfAbsent"
        sections.append("[SupportFile %s]\nDescription=Generated support file %d\nFlags=%s\n" % (name, i, flags))
    with open(os.path.join(args.out, "release.ini"), "w", encoding="utf-8") as ini:
        ini.write(description.rstrip("\n") + "\n\n" + "\n".join(sections))


def next_release(args):
    rng = random.Random(args.seed + 1)
    first = args.next_of
    os.makedirs(args.out)
    for name in sorted(os.listdir(first)):
        if os.path.isfile(os.path.join(first, name)):
            os.link(os.path.join(first, name), os.path.join(args.out, name))
    modules = sorted(n for n in os.listdir(first) if n.startswith("TLMGEN"))
    supports = sorted(n for n in os.listdir(first) if n.startswith("Support"))
    # About one in ten changed files is a program, as in a real update.
    changed_modules = modules[:max(1, min(len(modules), args.changed // 10))]
    changed_supports = supports[:args.changed - len(changed_modules)]
    if len(changed_modules) + len(changed_supports) != args.changed:
        sys.exit("make-release.py: the first release has fewer than %d generated files" % args.changed)
    with open(args.program, "rb") as program:
        template = program.read()
    for name in changed_modules:
        path = os.path.join(args.out, name)
        size = os.path.getsize(path)
        os.unlink(path)
        write(path, template + filler(rng, max(size - len(template), 0)), NEXT_DATE, 0o755)
    for index, name in enumerate(changed_supports):
        path = os.path.join(args.out, name)
        size = os.path.getsize(path)
        os.unlink(path)
        write(path, support_bytes(rng, size, 50000 + index), NEXT_DATE)
    with open(args.out.rstrip("/") + ".changed.txt", "w", encoding="utf-8") as listing:
        listing.write("".join(name + "\n" for name in changed_modules + changed_supports))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("out")
    parser.add_argument("--program", required=True)
    parser.add_argument("--modules", type=int, default=0)
    parser.add_argument("--support-files", type=int, default=0)
    parser.add_argument("--module-mb", type=float, help="one size for every module instead of 1 to 5 MB")
    parser.add_argument("--base")
    parser.add_argument("--seed", type=int, default=18)
    parser.add_argument("--next-of")
    parser.add_argument("--changed", type=int, default=0)
    args = parser.parse_args()
    if os.path.exists(args.out):
        shutil.rmtree(args.out)
    if args.next_of:
        next_release(args)
    else:
        first_release(args)


if __name__ == "__main__":
    main()
