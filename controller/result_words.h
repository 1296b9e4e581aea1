#pragma once
// The words that mark a programming run as failed, looked for in its result file.
#include "unifile.h"

#include <cstdint>

// Result files up to this size are decoded whole, as text. A tool's result is a few
// kilobytes; 16 MiB is far beyond any real one, and decoding it costs about three times
// its size, still well within what a 32-bit process can hold. A larger file (a wrong path
// to some big file) is only searched in its bytes.
inline constexpr uint64_t kMaxDecodedResult = 16 * 1024 * 1024;

// True when the file says "failed" or "cancel": in its decoded text when it is small
// enough to decode, or in its raw bytes, as ASCII or UTF-16 LE. Also true when its bytes
// cannot be read to their end (a read failing midway): a verdict on part of it is no verdict. The
// raw search finds the words where a decoding cannot: a UTF-8 file read with the ANSI code page
// (because of a control byte) can swallow a letter into a two-byte character, and text ends at a
// zero. Of an XLG file only the header is searched, as only the header is its text.
bool ResultCountsAsFailure(CUniFile& file);
