#!/usr/bin/env python3
"""Writes one release zip: package.py WORDSIZE BUILD_DIR OUT_DIR

WORDSIZE is win64 or win32. The zip, OUT_DIR/vorpex-<version>-<wordsize>.zip, holds one folder
Vorpex/ with what goes beside the IDE (every program and library of BUILD_DIR/stage/tool),
zentrel-format.exe when the build has a Windows one, README.txt, LICENSE and sdk/.

The same sources and build give the same bytes: the binaries are stripped copies whose header
dates are fixed, the entries are sorted, every entry carries the same date and permissions, and
text files get Windows line ends. A binary that still names a folder of the build machine stops
the packaging.
"""
import io
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
STRIP = {"win64": "x86_64-w64-mingw32-strip", "win32": "i686-w64-mingw32-strip"}
EDITION = {"win64": "64-bit (x64)", "win32": "32-bit (x86)"}
TEXT_SUFFIXES = (".txt", ".md", ".h", ".c", ".def")
# The zip's one date: the start of the release's year (any fixed value does; the zip format
# cannot go before 1980).
ZIP_DATE = (2026, 1, 1, 0, 0, 0)
SOURCE_DATE_EPOCH = "1767225600"  # the same moment, for the binaries' header dates


def fail(message):
    sys.stderr.write("dist: %s\n" % message)
    sys.exit(1)


def read_version():
    with open(os.path.join(ROOT, "VERSION"), encoding="ascii") as f:
        version = f.read().strip()
    if not re.fullmatch(r"[0-9]+\.[0-9]+\.[0-9]+", version):
        fail("VERSION holds %r, not MAJOR.MINOR.PATCH" % version)
    return version


def windows_text(data):
    return data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def rva_to_offset(sections, rva):
    for virtual_address, virtual_size, raw_offset, raw_size in sections:
        if virtual_address <= rva < virtual_address + max(virtual_size, raw_size):
            return raw_offset + rva - virtual_address
    return None


def fix_pe_dates(data):
    """Sets the date fields that the linker and strip fill with the time of the build (file
    header, export and resource directories) to the fixed date."""
    data = bytearray(data)
    stamp = int(SOURCE_DATE_EPOCH)
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        fail("not a PE file")
    section_count, = struct.unpack_from("<H", data, pe + 6)
    struct.pack_into("<I", data, pe + 8, stamp)
    optional_size, = struct.unpack_from("<H", data, pe + 20)
    optional = pe + 24
    magic, = struct.unpack_from("<H", data, optional)
    directories = optional + (112 if magic == 0x20B else 96)
    section_table = optional + optional_size
    sections = []
    for i in range(section_count):
        entry = section_table + 40 * i
        virtual_size, virtual_address, raw_size, raw_offset = struct.unpack_from("<IIII", data, entry + 8)
        sections.append((virtual_address, virtual_size, raw_offset, raw_size))
    for index in (0, 2):  # export, resource
        rva, size = struct.unpack_from("<II", data, directories + 8 * index)
        if rva and size:
            offset = rva_to_offset(sections, rva)
            if offset is not None:
                struct.pack_into("<I", data, offset + 4, 0 if index == 2 else stamp)
    checksum_at = optional + 64
    if struct.unpack_from("<I", data, checksum_at)[0]:
        struct.pack_into("<I", data, checksum_at, pe_checksum(data, checksum_at))
    return bytes(data)


def pe_checksum(data, checksum_at):
    """The image checksum over the fixed bytes (the field itself counts as 0)."""
    image = bytearray(data)
    image[checksum_at:checksum_at + 4] = b"\0\0\0\0"
    if len(image) % 2:
        image.append(0)
    total = 0
    for (word,) in struct.iter_unpack("<H", image):
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(data)) & 0xFFFFFFFF


def shipped_binary(path, wordsize, scratch):
    """A stripped copy of a program or library with fixed dates; the build's file is untouched."""
    copy = os.path.join(scratch, os.path.basename(path))
    shutil.copyfile(path, copy)
    environment = dict(os.environ, SOURCE_DATE_EPOCH=SOURCE_DATE_EPOCH)
    result = subprocess.run([STRIP[wordsize], "--strip-all", copy], env=environment,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    if result.returncode != 0:
        fail("%s failed on %s: %s" % (STRIP[wordsize], path, result.stdout.decode(errors="replace")))
    with open(copy, "rb") as f:
        data = fix_pe_dates(f.read())
    for folder in build_machine_folders():
        if folder.encode() in data or folder.encode("utf-16-le") in data:
            fail("%s still names %s of the build machine" % (os.path.basename(path), folder))
    return data


def build_machine_folders():
    return sorted({ROOT + "/", "/work/", "/tmp/", "/home/", "/root/", "/usr/src/", "/build/"})


def readme(version, wordsize, with_format):
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "README.txt"), encoding="utf-8") as f:
        text = f.read()
    text = text.replace("@VERSION@", version).replace("@EDITION@", EDITION[wordsize])
    text = text.replace("@WORDSIZE@", wordsize)
    lines = []
    for line in text.split("\n"):
        if line.startswith("@FORMAT@"):
            if not with_format:
                continue
            line = line[len("@FORMAT@"):]
        lines.append(line)
    return "\n".join(lines).encode("utf-8")


def entries(wordsize, build, scratch):
    """(name inside Vorpex/, bytes) of every file of the release."""
    version = read_version()
    tool = os.path.join(build, "stage", "tool")
    shipped = sorted(n for n in os.listdir(tool) if n.lower().endswith((".exe", ".dll")))
    if "toolhost.exe" not in shipped:
        fail("%s has no toolhost.exe: build first" % tool)
    files = [(name, shipped_binary(os.path.join(tool, name), wordsize, scratch)) for name in shipped]
    formatter = os.path.join(build, "tools", "zentrel-format", "zentrel-format.exe")
    with_format = os.path.isfile(formatter)
    if with_format:
        files.append(("zentrel-format.exe", shipped_binary(formatter, wordsize, scratch)))
    files.append(("README.txt", windows_text(readme(version, wordsize, with_format))))
    with open(os.path.join(ROOT, "LICENSE"), "rb") as f:
        files.append(("LICENSE", windows_text(f.read())))
    sdk = os.path.join(ROOT, "sdk")
    for folder, _, names in os.walk(sdk):
        for name in names:
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, ROOT).replace(os.sep, "/")
            with open(path, "rb") as f:
                data = f.read()
            if name.endswith(TEXT_SUFFIXES):
                data = windows_text(data)
            files.append((relative, data))
    return version, with_format, files


def write_zip(path, files):
    names = {""}  # the folder Vorpex/ itself
    for name, _ in files:
        parts = name.split("/")
        for depth in range(1, len(parts)):
            names.add("/".join(parts[:depth]) + "/")
    contents = dict(files)
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as archive:
        for name in sorted(set(contents) | names):
            info = zipfile.ZipInfo("Vorpex/" + name, date_time=ZIP_DATE)
            info.create_system = 3
            if name == "" or name.endswith("/"):
                info.external_attr = (0o40755 << 16) | 0x10
                archive.writestr(info, b"")
            else:
                info.external_attr = 0o100644 << 16
                info.compress_type = zipfile.ZIP_DEFLATED
                archive.writestr(info, contents[name], compresslevel=9)
    data = buffer.getvalue()
    temporary = path + ".part"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, path)


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in STRIP:
        sys.stderr.write("usage: package.py win64|win32 BUILD_DIR OUT_DIR\n")
        sys.exit(2)
    wordsize, build, out = sys.argv[1], os.path.abspath(sys.argv[2]), os.path.abspath(sys.argv[3])
    os.makedirs(out, exist_ok=True)
    with tempfile.TemporaryDirectory(prefix="vorpex-dist-") as scratch:
        version, with_format, files = entries(wordsize, build, scratch)
    path = os.path.join(out, "vorpex-%s-%s.zip" % (version, wordsize))
    write_zip(path, files)
    note = "" if with_format else " (no Windows zentrel-format.exe in this build: left out)"
    shown = os.path.relpath(path)
    if shown.startswith(".."):
        shown = path
    print("dist: %s: %d files, %d bytes%s" % (shown, len(files), os.path.getsize(path), note))


if __name__ == "__main__":
    main()
