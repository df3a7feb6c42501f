// The names of the papers in the job stream: the PJL PAPER value and the
// PCL XL MediaSize text of a Windows paper code.
#pragma once
#include <windows.h>

// One row of a name table: a code, its name and a value byte; a table ends
// with a row whose name is null.
struct PaperNameRow {
    INT16 Code;
    LPCSTR Name;
    BYTE Value;  // PaperNameTable: 1 for a named paper
};

// The papers by Windows paper code. A code not in the table is "CUSTOM".
extern const PaperNameRow PaperNameTable[];
#define PAPER_NAME_DEFAULT "CUSTOM"

// Walks `table` to the row of `code` or to its end; copies that row's name,
// or `defaultName` at the end, into `outName` (`capacity` bytes, cut and
// NUL-terminated) when it is given, and returns the row's value byte (the
// end row's when nothing matched).
BYTE PaperName_Lookup(const PaperNameRow* table, int code, LPSTR outName, int capacity, LPCSTR defaultName);
