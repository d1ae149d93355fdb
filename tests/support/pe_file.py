"""pe_file - the parts of a PE file that the host-side checks of the Windows builds read.

They read the files on the host, so the 32-bit build is checked where it cannot run.
"""
import struct


class PeFile:
    """The sections, the export table and the resource tree of a PE file, read from its
    bytes alone."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        directories = optional + (96 if magic == 0x10B else 112)
        self.export_rva, self.export_size = struct.unpack_from("<II", data, directories)
        self.resource_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            size, rva, raw_size, raw = struct.unpack_from("<IIII", data, table + 40 * i + 8)
            self.sections.append((rva, max(size, raw_size), raw))

    def offset(self, rva):
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError("address 0x%x lies in no section" % rva)

    def exported_names(self):
        """The names in the export table, in its order."""
        if self.export_size == 0:
            return []
        count, names_rva = struct.unpack_from("<I4xI", self.data, self.offset(self.export_rva) + 24)
        names = []
        for i in range(count):
            name_rva = struct.unpack_from("<I", self.data, self.offset(names_rva) + 4 * i)[0]
            start = self.offset(name_rva)
            names.append(self.data[start:self.data.index(b"\0", start)].decode("ascii"))
        return names

    def resources(self, type_id):
        """Every resource of the type: {(name id, language): bytes}."""
        if self.resource_rva == 0:
            return {}
        base = self.offset(self.resource_rva)
        found = {}
        for tid, types in self._entries(base, base):
            if tid != type_id:
                continue
            for name, languages in self._entries(base, types):
                for language, leaf in self._entries(base, languages):
                    rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    start = self.offset(rva)
                    found[(name, language)] = self.data[start:start + size]
        return found

    def _entries(self, base, table):
        named, ids = struct.unpack_from("<HH", self.data, table + 12)
        for i in range(named + ids):
            ident, target = struct.unpack_from("<II", self.data, table + 16 + 8 * i)
            yield ident, base + (target & 0x7FFFFFFF) if target & 0x80000000 else target
