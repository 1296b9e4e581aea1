#pragma once
// File names of the result records, formed from the local time. A QR code comes from a
// scanned label, so it is made fit for a file name here; the record's content keeps it.
#include "clock.h"

#include <string>
#include <string_view>

// "%d%02d%02d": the name of a date directory.
std::u16string DateDirectoryName(const framework::LocalTime& time);

// "%d%02d%02d_%02d%02d%02d_0.txt"; the last part is always 0.
std::u16string TesterRecordName(const framework::LocalTime& time);
// "%d%02d%02d_%02d%02d%02d_QR" + the QR code made fit for a file name + ".txt".
std::u16string StationRecordName(const framework::LocalTime& time, std::u16string_view qr);
// "%d%02d%02d_%02d%02d%02dProgram_Result.txt".
std::u16string ProgramResultName(const framework::LocalTime& time);

// `text` with every character that a Windows file name cannot hold (\ / : * ? " < > | and
// the control characters) replaced by "_", so the name stays in its directory.
std::u16string FileNameSafe(std::u16string_view text);

// The name of the n-th record that would share `name` (n from 2): "_n" before ".txt".
std::u16string NumberedName(std::u16string_view name, int n);
