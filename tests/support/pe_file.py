"""pe_file - the one reader of PE files on the host: the headers that the build checks and
scripts/wine-run read, and the sections, exports and resources that the tests read.

It reads the files on the host, so the 32-bit build is checked where it cannot run.
"""
import struct

MACHINE_I386 = 0x14C
MACHINE_AMD64 = 0x8664
MAGIC_PE32 = 0x10B  # the optional header of a 32-bit program; 0x20B for PE32+
SUBSYSTEM_GUI = 2
SUBSYSTEM_CONSOLE = 3
DIRECTORY_EXPORT = 0
DIRECTORY_RESOURCE = 2
DIRECTORY_SECURITY = 4  # the certificate table: a file offset, not an address


class PeFile:
    """The headers, the sections, the export table and the resource tree of a PE file, read
    from its bytes alone. The headers need only the start of the file (its first 4096 bytes
    hold them in every program we build); the rest needs the whole file."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        self.machine, self._section_count = struct.unpack_from("<HH", data, pe + 4)
        optional_size = struct.unpack_from("<H", data, pe + 20)[0]
        optional = pe + 24
        self.magic = struct.unpack_from("<H", data, optional)[0]
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        # Where the header keeps its checksum, the field that signing rewrites.
        self.checksum_offset = optional + 64
        self._directories = optional + (96 if self.magic == MAGIC_PE32 else 112)
        self._section_table = optional + optional_size
        self._sections = None

    @classmethod
    def read(cls, path, headers_only=False):
        """The file at path; with headers_only just enough of it for the header fields."""
        with open(path, "rb") as f:
            return cls(f.read(4096) if headers_only else f.read())

    def directory_offset(self, index):
        """Where the header keeps data directory index (its address and size)."""
        return self._directories + 8 * index

    def directory(self, index):
        """Data directory index as (address, size)."""
        return struct.unpack_from("<II", self.data, self.directory_offset(index))

    @property
    def sections(self):
        """(address, size, file offset) of every section, in the table's order."""
        if self._sections is None:
            self._sections = []
            for i in range(self._section_count):
                size, rva, raw_size, raw = struct.unpack_from(
                    "<IIII", self.data, self._section_table + 40 * i + 8)
                self._sections.append((rva, max(size, raw_size), raw))
        return self._sections

    def offset(self, rva):
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError("address 0x%x lies in no section" % rva)

    def exported_names(self):
        """The names in the export table, in its order."""
        export_rva, export_size = self.directory(DIRECTORY_EXPORT)
        if export_size == 0:
            return []
        count, names_rva = struct.unpack_from("<I4xI", self.data, self.offset(export_rva) + 24)
        names = []
        for i in range(count):
            name_rva = struct.unpack_from("<I", self.data, self.offset(names_rva) + 4 * i)[0]
            start = self.offset(name_rva)
            names.append(self.data[start:self.data.index(b"\0", start)].decode("ascii"))
        return names

    def resources(self, type_id):
        """Every resource of the type: {(name id, language): bytes}."""
        resource_rva = self.directory(DIRECTORY_RESOURCE)[0]
        if resource_rva == 0:
            return {}
        base = self.offset(resource_rva)
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
