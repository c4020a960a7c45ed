#pragma once

#include <string>

namespace corvat {

// A security's files are F<n> with these extensions, beside its master.
inline constexpr const char* kDataExtension = ".DAT";
inline constexpr const char* kDescriptionExtension = ".DOP";
// Securities numbered from 256 on (in XMASTER) keep their records in
// F<n>.MWD, laid out as F<n>.DAT, and have no description file.
inline constexpr const char* kWideDataExtension = ".MWD";

// "F3.DAT": the name of security file number `fileNumber`.
inline std::string SecurityFileName(int fileNumber, const char* extension) {
    // Built piece by piece: GCC 12 at -O2 misreads `"F" + std::to_string(...)`
    // as an overlapping copy and -Werror turns that into a failed build.
    std::string name(1, 'F');
    name += std::to_string(fileNumber);
    name += extension;
    return name;
}

// Suffixes of the copies a rewrite makes beside the file it replaces: a
// new master is first written as MASTER.~NU, a changed one as MASTER.NEW
// and a data file F<n>.DAT as F<n>.NEW; MASTER.BAK keeps the master as it
// was before a conversion into it.
inline constexpr const char* kNewMasterSuffix = ".~NU";
inline constexpr const char* kReplacementSuffix = ".NEW";
inline constexpr const char* kBackupSuffix = ".BAK";

}  // namespace corvat
