// The record of a job that lies beside its job file ("00007.SHD"): a fixed
// header and then counted fields, so that the list of jobs survives the
// machine being closed and opened again.
//
//   header     JobShadowHeader (44 bytes)
//   fields     fieldCount times: DWORD byte count, then the bytes. In order:
//              printer, document, user, datatype, file, driver, print
//              processor (UTF-16 without terminator), then the DEVMODE.
//
// Numbers are little-endian. A reader takes the fields it knows and skips
// any that a later layout adds after them.
#pragma once
#include <windows.h>

#include <cstddef>
#include <vector>

#include "winspool/jobs.h"

namespace w32::spool {

#pragma pack(push, 1)
struct JobShadowHeader {
    BYTE magic[4];  // 'J' 'O' 'B' 0x1A
    DWORD version;  // 1
    DWORD jobId;
    DWORD state;  // JobState
    ULONGLONG size;
    DWORD pages;
    DWORD flags;  // kShadowToOutputFile
    FILETIME submitted;
    DWORD fieldCount;
};
#pragma pack(pop)
static_assert(sizeof(JobShadowHeader) == 44);
static_assert(offsetof(JobShadowHeader, size) == 16);
static_assert(offsetof(JobShadowHeader, submitted) == 32);

constexpr DWORD kShadowVersion = 1;
constexpr DWORD kShadowToOutputFile = 0x1;

std::vector<BYTE> EncodeJobShadow(const JobInfo& job);
// False when the bytes are not a whole record of a known version.
bool DecodeJobShadow(const std::vector<BYTE>& bytes, JobInfo& job);

}  // namespace w32::spool
