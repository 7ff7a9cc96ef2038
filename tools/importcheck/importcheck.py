#!/usr/bin/env python3
"""Whether 32-bit Windows programs load on Windows 98 SE, judged from their files alone.

Reads every import of each program (the import table and the delay-load table) and fails on any
function that the Windows 98 SE system DLLs do not export by name (win98/*.txt), on any import by
number, on a DLL with no list, and on a subsystem or system version above 4.0 in the PE header.
Wide-character functions that Windows 9x only carries as stubs load there but do nothing: such an
import fails too unless nt_only.txt names it (the programs call those only on the NT path).

  importcheck.py [--list] PROGRAM.exe...
  importcheck.py --expect-missing DLL!NAME[,DLL!NAME...] PROGRAM.exe   (tests the checker)
"""
import argparse
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
LISTS = os.path.join(HERE, "win98")


class PeError(Exception):
    pass


class Pe:
    """The parts of a PE32 image the check needs: sections, data directories, header versions."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeError("not an MZ program")
        (pe,) = struct.unpack_from("<I", data, 0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeError("no PE header")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        (magic,) = struct.unpack_from("<H", data, optional)
        if magic != 0x10B:
            raise PeError("not a 32-bit (PE32) image")
        (self.os_major, self.os_minor, _, _, self.subsystem_major,
         self.subsystem_minor) = struct.unpack_from("<HHHHHH", data, optional + 40)
        (count,) = struct.unpack_from("<I", data, optional + 92)
        self.directories = [struct.unpack_from("<II", data, optional + 96 + 8 * i)
                            for i in range(min(count, 16))]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            _, vsize, vaddr, rsize, raddr = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((vaddr, max(vsize, rsize), raddr, rsize))

    def offset(self, rva):
        for vaddr, size, raddr, rsize in self.sections:
            if vaddr <= rva < vaddr + size:
                if rva - vaddr >= rsize:
                    raise PeError("address 0x%x lies in a section's unstored tail" % rva)
                return raddr + rva - vaddr
        raise PeError("address 0x%x lies in no section" % rva)

    def u32(self, rva):
        return struct.unpack_from("<I", self.data, self.offset(rva))[0]

    def text(self, rva):
        start = self.offset(rva)
        end = self.data.index(b"\0", start)
        return self.data[start:end].decode("ascii")

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def _thunks(self, table_rva):
        """Names (or "#ordinal") of one DLL's lookup table."""
        names = []
        rva = table_rva
        while True:
            entry = self.u32(rva)
            if entry == 0:
                return names
            if entry & 0x80000000:
                names.append("#%d" % (entry & 0xFFFF))
            else:
                names.append(self.text(entry + 2))  # after the hint
            rva += 4

    def imports(self):
        """[(dll, name, delay-loaded)] for every imported function."""
        found = []
        rva, _ = self.directory(1)
        while rva:
            lookup, _, _, name, address = struct.unpack_from("<IIIII", self.data, self.offset(rva))
            if name == 0:
                break
            dll = self.text(name)
            for function in self._thunks(lookup or address):
                found.append((dll, function, False))
            rva += 20
        rva, _ = self.directory(13)
        while rva:
            attributes, name, _, _, names, _, _, _ = struct.unpack_from(
                "<IIIIIIII", self.data, self.offset(rva))
            if name == 0:
                break
            # Old-style descriptors hold addresses, not RVAs (attribute bit 0 clear).
            base = 0 if attributes & 1 else self.image_base()
            dll = self.text(name - base)
            for function in self._thunks(names - base):
                if not function.startswith("#"):
                    function = function
                found.append((dll, function, True))
            rva += 32
        return found

    def image_base(self):
        (pe,) = struct.unpack_from("<I", self.data, 0x3C)
        return struct.unpack_from("<I", self.data, pe + 24 + 28)[0]


def read_names(path):
    with open(path, encoding="utf-8") as f:
        return {line.strip() for line in f if line.strip() and not line.startswith("#")}


def load_nt_only():
    return read_names(os.path.join(HERE, "nt_only.txt"))


def load_lists():
    """{dll (lower case, no extension): set of names exported by name}, and the W stubs."""
    exports = {}
    for folder in (LISTS, os.path.join(LISTS, "extra")):
        for entry in sorted(os.listdir(folder)):
            stem, ext = os.path.splitext(entry)
            if ext == ".txt" and stem.isalnum() and stem.lower() == stem:
                exports[stem] = read_names(os.path.join(folder, entry))
    ordinal_only = {}
    stubs = set()
    with open(os.path.join(LISTS, "ordinal_only_98se.tsv"), encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            dll, name, number = line.rstrip("\n").split("\t")[:3]
            ordinal_only[(dll, name)] = number
    with open(os.path.join(LISTS, "w_functions_9x.tsv"), encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            fields = line.rstrip("\n").split("\t")
            if fields[0] != "native":
                stubs.add(fields[1])
    return exports, ordinal_only, stubs, load_nt_only()


def judge(path, lists):
    """(imports, missing, stubs, header problems) of one program."""
    exports, ordinal_only, stub_names, nt_only = lists
    with open(path, "rb") as f:
        pe = Pe(f.read())
    imports = pe.imports()
    missing, stubs, problems = [], [], []
    if (pe.subsystem_major, pe.subsystem_minor) > (4, 0):
        problems.append("subsystem version %d.%d (Windows 9x needs 4.0 or lower)"
                        % (pe.subsystem_major, pe.subsystem_minor))
    if (pe.os_major, pe.os_minor) > (4, 0):
        problems.append("system version %d.%d (Windows 9x needs 4.0 or lower)"
                        % (pe.os_major, pe.os_minor))
    for dll, name, delayed in imports:
        stem = os.path.splitext(dll.lower())[0]
        known = exports.get(stem)
        if known is None:
            missing.append((dll, name, "no Windows 98 SE list for this DLL"))
        elif name.startswith("#"):
            missing.append((dll, name, "imported by number"))
        elif name not in known:
            number = ordinal_only.get((stem, name))
            why = "exported only as number %s" % number if number else "not exported"
            missing.append((dll, name, why + (" (delay-loaded)" if delayed else "")))
        elif name in stub_names:
            stubs.append((dll, name))
            if name not in nt_only:
                missing.append((dll, name, "a stub on Windows 9x, and not one of the NT path's"))
    return imports, missing, stubs, problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("programs", nargs="+")
    parser.add_argument("--list", action="store_true", help="print every import, by DLL")
    parser.add_argument("--expect-missing", help="pass only when exactly these DLL!NAME are missing")
    args = parser.parse_args()
    lists = load_lists()
    failed = False
    for path in args.programs:
        try:
            imports, missing, stubs, problems = judge(path, lists)
        except (PeError, OSError, struct.error, ValueError) as e:
            print("%s: cannot read: %s" % (path, e))
            failed = True
            continue
        name = os.path.basename(path)
        if args.expect_missing is not None:
            want = {tuple(item.lower().split("!")) for item in args.expect_missing.split(",")}
            got = {(dll.lower(), fn.lower()) for dll, fn, _ in missing}
            if want != got or problems:
                print("%s: expected missing %s, found %s %s" % (name, sorted(want), sorted(got),
                                                                problems))
                failed = True
            else:
                print("%s: the check finds exactly the expected names" % name)
            continue
        if args.list:
            by_dll = {}
            for dll, function, delayed in imports:
                by_dll.setdefault(dll.upper(), []).append(function + (" (delay)" if delayed else ""))
            print("%s imports %d functions:" % (name, len(imports)))
            for dll in sorted(by_dll):
                print("  %s: %s" % (dll, " ".join(sorted(by_dll[dll], key=str.lower))))
            if stubs:
                print("  wide-character functions that are stubs on Windows 9x (NT path only): %s"
                      % " ".join(sorted(n for _, n in stubs)))
        for problem in problems:
            print("%s: %s" % (name, problem))
        for dll, function, why in missing:
            print("%s: %s!%s: %s" % (name, dll, function, why))
        if missing or problems:
            failed = True
        else:
            print("%s: loads on Windows 98 SE (%d imports)" % (name, len(imports)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
