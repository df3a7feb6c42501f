// The names of the papers in the job stream: the PJL PAPER value and the
// PCL XL MediaSize text of a Windows paper code.
#pragma once
#include <windows.h>

struct RendDevmode;

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
// The name the job stream gives paper `code` of a job with `settings`: its
// PaperNameTable name ("CUSTOM" for a code the table lacks), except that A5
// is "A5L" when both A5 long-edge flags of the settings are 1 (the printer
// feeds it long edge first). The PJL PAPER value and the PCL XL MediaSize
// both take it from here, so that the two always name the same paper.
void PaperName_OfJob(const RendDevmode& settings, int code, LPSTR outName, int capacity);
