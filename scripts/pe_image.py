"""Reads what the release checks need from a Windows program's bytes: its
machine and header kind, a resource by type and id, and the functions its
delay-load descriptors name (which objdump does not show: MinGW's delay-load
libraries leave the header's delay-import entry empty)."""
import struct

MACHINE_I386 = 0x14C
MACHINE_AMD64 = 0x8664
PE32 = 0x10B
PE32_PLUS = 0x20B
RESOURCE_DIRECTORY = 2


class PeImage:
    def __init__(self, data):
        self.data = data
        self.valid = data[:2] == b"MZ" and len(data) >= 0x40
        if not self.valid:
            return
        (pe,) = struct.unpack_from("<I", data, 0x3C)
        self.valid = data[pe:pe + 4] == b"PE\0\0"
        if not self.valid:
            return
        self.machine, count = struct.unpack_from("<HH", data, pe + 4)
        (optional_size,) = struct.unpack_from("<H", data, pe + 20)
        optional = pe + 24
        (self.magic,) = struct.unpack_from("<H", data, optional)
        self.pointer_size = 8 if self.magic == PE32_PLUS else 4
        directories = optional + (112 if self.magic == PE32_PLUS else 96)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i)
                            for i in range(16)]
        self.sections = []
        for i in range(count):
            header = optional + optional_size + 40 * i
            virtual_size, address, raw_size, raw_offset = struct.unpack_from(
                "<IIII", data, header + 8)
            self.sections.append((address, max(virtual_size, raw_size), raw_offset, raw_size))

    def offset(self, rva):
        """File offset of an address, or None when no bytes in the file hold it."""
        for address, size, raw_offset, raw_size in self.sections:
            if address <= rva < address + size and rva - address < raw_size:
                return raw_offset + rva - address
        return None

    def rva(self, offset):
        for address, _, raw_offset, raw_size in self.sections:
            if raw_offset <= offset < raw_offset + raw_size:
                return address + offset - raw_offset
        return None

    def text(self, rva):
        start = self.offset(rva)
        if start is None:
            return None
        end = self.data.find(b"\0", start)
        return self.data[start:end].decode("latin-1") if end >= 0 else None

    def resource(self, type_id, name_id):
        """The bytes of the resource (its first language), or None."""
        root_rva, _ = self.directories[RESOURCE_DIRECTORY]
        root = self.offset(root_rva)
        if root is None:
            return None

        def entry(directory, wanted):
            named, numbered = struct.unpack_from("<HH", self.data, directory + 12)
            for i in range(named + numbered):
                key, target = struct.unpack_from("<II", self.data, directory + 16 + 8 * i)
                if wanted is None or (not key & 0x80000000 and key == wanted):
                    return target
            return None

        target = root
        for wanted in (type_id, name_id, None):
            found = entry(target, wanted)
            if found is None:
                return None
            target = root + (found & 0x7FFFFFFF)
        data_rva, size = struct.unpack_from("<II", self.data, target)
        start = self.offset(data_rva)
        return None if start is None else self.data[start:start + size]

    def delay_imports(self):
        """{dll name in lower case: sorted function names} of every delay-load
        descriptor (attributes 1, a DLL name, then the name table)."""
        found = {}
        for offset in range(0, len(self.data) - 32, 4):
            attributes, name_rva = struct.unpack_from("<II", self.data, offset)
            if attributes != 1 or self.offset(name_rva) is None:
                continue
            dll = self.text(name_rva)
            if not dll or not dll.lower().endswith(".dll"):
                continue
            (names_rva,) = struct.unpack_from("<I", self.data, offset + 16)
            names = self.names(names_rva)
            if names:
                found[dll.lower()] = sorted(names)
        return found

    def names(self, table_rva):
        """Function names of a name table (hint-and-name entries), or None."""
        table = self.offset(table_rva)
        if table is None:
            return None
        names = []
        form = "<Q" if self.pointer_size == 8 else "<I"
        while True:
            (entry,) = struct.unpack_from(form, self.data, table)
            if entry == 0:
                return names
            name = None if entry >> (8 * self.pointer_size - 1) else self.text(entry + 2)
            if not name or not name.isidentifier():
                return None
            names.append(name)
            table += self.pointer_size
