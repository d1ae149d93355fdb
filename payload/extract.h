// extract.h - selecting, writing and skipping the file entries of the payload.
//
// All work on installState and its scratch buffer; nothing here allocates. Operations
// return non-zero for success and 0 for a failure they have already reported.
#pragma once

#include <cstdint>

#include "payload/explode.h"

// Non-zero if the filter table installs the file entry with option.
int FilterSelects(const char* name, uint8_t option);

// Non-zero if the file entry is to be installed with installState.option. Records a
// read-me ("readme.*") on the way, whatever the filter decides.
int SelectEntry(const char* name);

// Reads the current entry's data (size in installState.remaining) through ReadPayloadChunk
// and hands them to write, as Explode hands out its output: an imploded entry exploded, a
// stored one in copy chunks. Non-zero if they were read whole and an imploded stream ended
// exactly at its size; 0, unreported, if not. Clears installState.readError first.
int DecodeEntryData(ExplodeWrite write, void* param);

// Writes the current entry (size in installState.remaining) below installState.installDir.
int ExtractEntry(const char* name);

// Reads past the current entry's data, moving the meter as extraction would.
int SkipEntry();

// Applies installState.chunk to the counters and sets the meter to 1..99.
void AccountProgress();

// Explode's read callback, also used by the stored copy: at most the entry's remaining bytes.
uint32_t ReadPayloadChunk(char* buffer, uint32_t* size, void* param);

// Explode's write callback: appends to installState.outputFile, noting a failure.
void WriteOutputChunk(char* buffer, uint32_t* size, void* param);

// Switches the output directory for a '>' item: the text after the '>' goes to
// installState.installDir at dirEnd, makePath makes it, and it gains its trailing
// backslash. An unsafe or over-long name is reported as damage.
int EnterSubdirectory(const char* item, int (*makePath)(char* path));
