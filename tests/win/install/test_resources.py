"""install.exe's resources read straight from the PE file: the message table, dialog 1000 and icon
group 1010, all in language 1033, exactly as the program's users see them."""
import struct
import unittest

import winetest

EXE = winetest.WIN_BIN / "install.exe"

MESSAGES = {
    2000: "Self-extracting archive",
    2005: "Usage: install [tmp_path]\n\nWhere tmp_path is a path to temporary directory\n"
          "with enough space for holding extracted archive.",
    2010: "Error extracting archive",
    2020: "Error opening archive file: ",
    2021: "Error getting file size: ",
    2022: "Error mapping file to memory: ",
    2023: "Error creating view of memory mapped file: ",
    2024: "Error: not enough memmory: ",
    2025: "Unable to get path to temporary files from system: ",
    2026: "Unable to get temporary file name: ",
    2027: "Unable to delete temporary file: ",
    2028: "Unable to create temporary directory: ",
    2029: "Unable to create new thread: ",
    2030: "Unable to create dialog window: ",
    2031: "Unable to wait for thread termination: ",
    2032: "Unable to get thread exit code: ",
    2033: "Unable to spawn external program: ",
    2034: "Error opening file: ",
    2035: "Error writing file: ",
    2036: "Error closing file: ",
    2037: "Error creating directory: ",
    2050: "Maximal archive size reached.",
    2051: "No EXE signature found.",
    2052: "No PE executable signature found.",
    2053: "Archive corrupted, invalid compressed data.",
    2054: "Unsupported compression method.",
    2055: "Encrypted archives not supported.",
    2056: "Multipart archives not supported.",
    2057: "Unknown compression flags.",
    2058: "Archive type not recognised.",
    2059: "Archive corrupted, premature end of file.",
    2060: "Extraction terminated on user request.",
    2061: "Archive corrupted, CRC error.",
    2062: "Archive corrupted, bad archive length.",
    2063: "Unsupported compressed block.",
    2064: 'Bad command-line parameters, use switch "-h" for help.',
    2065: "Corrupted archive, bad data.",
    2066: "Corrupted archive, invalid checksum.",
    2067: 'Target disk is full. Please free aditional space or redirect\nto another drive using path '
          'parameter (use "-h" for help).',
}

WS_CHILD_VISIBLE = 0x50000000
# (id, class, text, x, y, cx, cy, style)
DIALOG_ITEMS = [
    (2, "BUTTON", "Cancel", 72, 52, 50, 14, WS_CHILD_VISIBLE | 0x00010000),
    (0xFFFF, "STATIC", "Extracting file:", 6, 5, 50, 9, WS_CHILD_VISIBLE | 0x00020000),
    (0xFFFF, "STATIC", "To directory:", 6, 19, 50, 9, WS_CHILD_VISIBLE | 0x00020000),
    (1003, "STATIC", "file", 60, 5, 130, 9, WS_CHILD_VISIBLE | 0x00020000),
    (1001, "STATIC", "dir", 60, 19, 130, 9, WS_CHILD_VISIBLE | 0x00020000),
    (1002, "MSCTLS_PROGRESS32", "", 5, 35, 184, 10, WS_CHILD_VISIBLE | 0x00800000),
]
ATOMS = {0x80: "BUTTON", 0x81: "EDIT", 0x82: "STATIC"}


def resources(path):
    """{(type, name, language): bytes} of every resource in the PE file."""
    data = path.read_bytes()
    pe = struct.unpack_from("<I", data, 60)[0]
    sections = struct.unpack_from("<H", data, pe + 6)[0]
    optional = struct.unpack_from("<H", data, pe + 20)[0]
    table = pe + 24 + optional
    rsrc = None
    for i in range(sections):
        name, vsize, va, rawsize, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
        if name.rstrip(b"\0") == b".rsrc":
            rsrc = (va, raw)
    assert rsrc, "no resource section"
    va, raw = rsrc

    def directory(offset):
        named, ids = struct.unpack_from("<HH", data, raw + offset + 12)
        for i in range(named + ids):
            key, target = struct.unpack_from("<II", data, raw + offset + 16 + 8 * i)
            assert not key & 0x80000000, "named resources are not used"
            yield key, target

    out = {}
    for rtype, t in directory(0):
        for name, n in directory(t & 0x7FFFFFFF):
            for lang, leaf in directory(n & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", data, raw + leaf)
                out[(rtype, name, lang)] = data[raw + rva - va: raw + rva - va + size]
    return out


def utf16z(data, offset):
    end = offset
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[offset:end].decode("utf-16-le"), end + 2


def sz_or_ord(data, offset):
    if data[offset:offset + 2] == b"\xff\xff":
        return struct.unpack_from("<H", data, offset + 2)[0], offset + 4
    return utf16z(data, offset)


class Resources(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.res = resources(EXE)

    def test_everything_is_us_english(self):
        self.assertEqual({lang for (_, _, lang) in self.res}, {1033})
        self.assertEqual({t for (t, _, _) in self.res}, {3, 5, 6, 14})  # icons, dialog, strings, group

    def test_message_table(self):
        strings = {}
        for (rtype, block, _), data in self.res.items():
            if rtype != 6:
                continue
            offset = 0
            for index in range(16):
                length = struct.unpack_from("<H", data, offset)[0]
                if length:
                    strings[(block - 1) * 16 + index] = data[offset + 2: offset + 2 + 2 * length].decode(
                        "utf-16-le")
                offset += 2 + 2 * length
        self.assertEqual(strings, MESSAGES)

    def test_progress_dialog_template(self):
        data = self.res[(5, 1000, 1033)]
        style, exstyle, count, x, y, cx, cy = struct.unpack_from("<IIHhhhh", data, 0)
        self.assertEqual((style, exstyle, count, x, y, cx, cy), (0x90C000C4, 0, 6, 61, 48, 194, 72))
        menu, offset = sz_or_ord(data, 18)
        cls, offset = sz_or_ord(data, offset)
        caption, offset = utf16z(data, offset)
        self.assertEqual((menu, cls, caption), ("", "", "Extracting files"))
        points = struct.unpack_from("<H", data, offset)[0]
        font, offset = utf16z(data, offset + 2)
        self.assertEqual((points, font), (8, "MS Sans Serif"))
        items = []
        for _ in range(count):
            offset = (offset + 3) & ~3
            style, exstyle, x, y, cx, cy, ident = struct.unpack_from("<IIhhhhH", data, offset)
            cls, offset = sz_or_ord(data, offset + 18)
            text, offset = sz_or_ord(data, offset)
            extra = struct.unpack_from("<H", data, offset)[0]
            offset += 2 + extra
            cls = ATOMS.get(cls, cls) if isinstance(cls, int) else cls.upper()
            items.append((ident, cls, text, x, y, cx, cy, style))
            self.assertEqual(exstyle, 0)
        self.assertEqual(items, DIALOG_ITEMS)

    def test_icon_group_holds_32_and_16_pixel_images_of_16_colours(self):
        group = self.res[(14, 1010, 1033)]
        reserved, kind, count = struct.unpack_from("<HHH", group, 0)
        self.assertEqual((reserved, kind, count), (0, 1, 2))
        sizes = set()
        for i in range(count):
            w, h, colours, _, planes, bits, size, ident = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
            image = self.res[(3, ident, 1033)]
            self.assertEqual(len(image), size)
            header = struct.unpack_from("<IiiHH", image, 0)
            self.assertEqual(header, (40, w, 2 * h, 1, 4))
            self.assertEqual((colours, bits), (16, 4))
            sizes.add((w, h))
        self.assertEqual(sizes, {(32, 32), (16, 16)})


if __name__ == "__main__":
    winetest.main()
