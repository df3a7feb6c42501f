// The registry's hive files: a hive (a root key and the keys below it) as
// the bytes of its file, and back.
//
// A hive file is a 24-byte header and a body:
//   0  8 bytes  magic "TAMHIVE" and 0x1A
//   8  u32      format version (1)
//  12  u32      CRC-32 of the body
//  16  u64      length of the body in bytes
// The body is the hive's root key, each key written as
//   name (u32 length in UTF-16 units, then the units), class (the same),
//   u64 last-write time, u32 value count, the values (name, u32 type,
//   u32 data length, data bytes), u32 subkey count, the subkeys.
// All numbers are little-endian. Volatile keys are left out. The root key's
// name is empty.
#pragma once
#include <string>

#include "machine/registry.h"

namespace w32 {

// The whole file for the hive below `root`.
std::string EncodeHive(const RegistryKey& root);

// Reads a hive file's bytes into `root`, a fresh root key of the hive.
// Damage of any kind (a short or long file, a bad header or checksum, a
// record that runs past the end, a name too long or given twice, keys nested
// too deep) throws MachineError naming `file` and the byte it was found at.
void DecodeHive(const std::string& image, const std::string& file, const RegistryKeyPtr& root);

}  // namespace w32
