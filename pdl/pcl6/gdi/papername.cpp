// The paper name table of the job stream.
#include <windows.h>
#include <strsafe.h>

#include <cstring>

#include "pcl6/gdi/papername.h"
#include "pcl6/intrface/renddevmode.h"

const PaperNameRow PaperNameTable[] = {
    {1, "LETTER", 1},      {5, "LEGAL", 1},       {14, "FOLIO", 1},      {7, "EXEC", 1},
    {9, "A4", 1},          {13, "JIS B5", 1},     {11, "A5", 1},         {27, "DL", 1},
    {28, "C5", 1},         {20, "COM10", 1},      {37, "MONARCH", 1},    {150, "NAGAGATA3", 1},
    {70, "A6", 1},         {34, "B5", 1},         {31, "C6", 1},         {6, "STATEMENT", 1},
    {250, "BIG16K", 1},    {252, "BIG32K", 1},    {245, "16K", 1},       {246, "32K", 1},
    {242, "ZL", 1},        {43, "JPOST", 1},      {146, "YOUGATA6", 1},  {148, "NAGAGATA4", 1},
    {243, "OFICIO", 1},    {241, "B6", 1},        {276, "YOUGATA4", 1},  {277, "JPOSTCARD", 1},
    {278, "YOUNAGA3", 1},  {279, "NAGAGATA3", 1}, {280, "YOUGATA2", 1},  {82, "JPOSTD", 1},
    {144, "YOUGATA3", 1},  {145, "YOUGATA4", 1},  {147, "YOUNAGA3", 1},  {149, "KAGUGATA3", 1},
    {0, nullptr, 0},
};

BYTE PaperName_Lookup(const PaperNameRow* table, int code, LPSTR outName, int capacity, LPCSTR defaultName) {
    if (!table) return 0;
    const PaperNameRow* row = table;
    while (row->Name && row->Code != code) ++row;
    if (outName && capacity > 0) {
        const LPCSTR name = row->Name ? row->Name : defaultName;
        StringCchCopyA(outName, size_t(capacity), name ? name : "");
    }
    return row->Value;
}

void PaperName_OfJob(const RendDevmode& settings, int code, LPSTR outName, int capacity) {
    if (!outName || capacity <= 0) return;
    PaperName_Lookup(PaperNameTable, code, outName, capacity, PAPER_NAME_DEFAULT);
    const BYTE* longEdge = settings.priv.A5FeedFlags;
    if (std::strcmp(outName, "A5") == 0 && longEdge[0] == 1 && longEdge[1] == 1)
        StringCchCopyA(outName, size_t(capacity), "A5L");
}
