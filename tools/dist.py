#!/usr/bin/env python3
"""Writes the release zip and checks it as a user would get it.

The zip holds, at its top, exactly: Pixlet32.exe (PE32), Pixlet64.exe (PE32+), README.txt (the
user's README with the version filled in, CR LF line ends), libpng-LICENSE.txt and
zlib-LICENSE.txt. Each program must be a GUI program importing system DLLs only (checked by
cmake/CheckImports.cmake with the objdump of its architecture) and carry a version resource with
this version.
"""
import argparse
import os
import pathlib
import struct
import subprocess
import sys
import tempfile
import time
import zipfile

PROGRAMS = {
    # name in the zip: (architecture, description in its version resource)
    "Pixlet32.exe": ("i686", "Pixlet32 screen capture"),
    "Pixlet64.exe": ("x86_64", "Pixlet32 screen capture (64-bit)"),
}
CONTENTS = sorted(list(PROGRAMS) + ["README.txt", "libpng-LICENSE.txt", "zlib-LICENSE.txt"])


def crlf(text: str) -> bytes:
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def zlib_licence(header: pathlib.Path) -> str:
    """The licence at the head of zlib.h, from its first line to the authors' addresses."""
    lines = []
    for line in header.read_text(encoding="latin-1").splitlines():
        lines.append(line[3:] if line.startswith("/* ") else line)
        if "madler@" in line:
            return "\n".join(lines) + "\n"
    raise SystemExit(f"{header}: no licence found at its head")


def version_blocks(data: bytes, at: int, end: int):
    """The (key, value, children) nodes of a version resource's block list."""
    while at + 6 <= end:
        length, value_length, kind = struct.unpack_from("<HHH", data, at)
        if length == 0:
            break
        key_end = at + 6
        while data[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = data[at + 6:key_end].decode("utf-16-le")
        value_at = (key_end + 2 + 3) & ~3
        value_size = value_length * 2 if kind == 1 else value_length
        value = data[value_at:value_at + value_size]
        children_at = (value_at + value_size + 3) & ~3
        yield key, value, list(version_blocks(data, children_at, at + length))
        at = (at + length + 3) & ~3


def version_resource(exe: bytes):
    """The fixed file version and the strings of the program's version resource."""
    key = "VS_VERSION_INFO".encode("utf-16-le")
    found = exe.find(key)
    if found < 6:
        raise SystemExit("no version resource")
    start = found - 6
    (length,) = struct.unpack_from("<H", exe, start)
    (root,) = list(version_blocks(exe, start, start + length))
    _, fixed, children = root
    signature, _, ms, ls = struct.unpack_from("<IIII", fixed)
    if signature != 0xFEEF04BD:
        raise SystemExit("the version resource has no fixed file information")
    strings = {}
    for name, _, tables in children:
        if name == "StringFileInfo":
            for _, _, values in tables:
                for entry, value, _ in values:
                    strings[entry] = value.decode("utf-16-le").rstrip("\0")
    return (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF), strings


def check_program(name: str, exe: bytes, args, scratch: pathlib.Path):
    arch, description = PROGRAMS[name]
    path = scratch / name
    path.write_bytes(exe)
    objdump = args.objdump_i686 if arch == "i686" else args.objdump_x86_64
    subprocess.run([args.cmake, f"-DOBJDUMP={objdump}", f"-DEXE={path}", f"-DARCH={arch}", "-P", args.check_imports],
                   check=True)
    fixed, strings = version_resource(exe)
    wanted = tuple(int(part) for part in args.version.split(".")) + (0,)
    problems = []
    if fixed != wanted:
        problems.append(f"file version {fixed}, not {wanted}")
    expected = {"ProductName": "Pixlet32", "ProductVersion": args.version, "FileVersion": args.version,
                "FileDescription": description, "OriginalFilename": name}
    for entry, value in expected.items():
        if strings.get(entry) != value:
            problems.append(f"{entry} is {strings.get(entry)!r}, not {value!r}")
    if problems:
        raise SystemExit(f"{name}: " + "; ".join(problems))
    print(f"{name}: version {args.version}, {description}")


def check(args):
    with zipfile.ZipFile(args.out) as archive:
        names = sorted(archive.namelist())
        if names != CONTENTS:
            raise SystemExit(f"{args.out} holds {names}, not {CONTENTS}")
        with tempfile.TemporaryDirectory() as scratch:
            for name in PROGRAMS:
                check_program(name, archive.read(name), args, pathlib.Path(scratch))
        readme = archive.read("README.txt")
        if b"\n" in readme.replace(b"\r\n", b"") or args.version.encode() not in readme:
            raise SystemExit("README.txt must have CR LF line ends and name the version")
    print(f"{args.out}: {', '.join(names)}")


def make(args):
    readme = pathlib.Path(args.readme).read_text(encoding="utf-8").replace("@VERSION@", args.version)
    files = {
        "Pixlet32.exe": pathlib.Path(args.pixlet32).read_bytes(),
        "Pixlet64.exe": pathlib.Path(args.pixlet64).read_bytes(),
        "README.txt": crlf(readme),
        "libpng-LICENSE.txt": crlf(pathlib.Path(args.libpng_licence).read_text(encoding="utf-8")),
        "zlib-LICENSE.txt": crlf(zlib_licence(pathlib.Path(args.zlib_header))),
    }
    out = pathlib.Path(args.out)
    out.parent.mkdir(parents=True, exist_ok=True)
    partial = out.with_suffix(".partial")
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED) as archive:
        for name in sorted(files):
            info = zipfile.ZipInfo(name, date_time=time.localtime()[:6])
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            archive.writestr(info, files[name])
    os.replace(partial, out)


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__)
    for option in ("out", "version", "pixlet32", "pixlet64", "readme", "libpng-licence", "zlib-header",
                   "objdump-i686", "objdump-x86_64", "check-imports"):
        parser.add_argument("--" + option, required=True)
    parser.add_argument("--cmake", default="cmake")
    args = parser.parse_args()
    make(args)
    check(args)
    return 0


if __name__ == "__main__":
    sys.exit(main())
