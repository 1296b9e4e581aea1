#pragma once
// The result records of a cycle: the tester's text, one record per enabled station and the
// programming summary, as UTF-8 text files under the data root. Each write returns the
// progress line that reports its outcome; the cycle goes on whatever happens.
#include "clock.h"
#include "data_root.h"
#include "file_system.h"
#include "station_controller_flags.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

// One station as the programming summary reports it.
struct StationSummary {
    bool enabled = false;
    int32_t flags = 0;
    std::u16string qr; // latched at the start of the test
};
using ProgramSummary = std::array<StationSummary, kStationCount>;

// What the cycle writes; tests of the cycle may count the calls instead.
class RecordWriter {
public:
    virtual ~RecordWriter() = default;
    // root\qel_str\<date>_<time>_0.txt: the tester text unchanged.
    virtual std::u16string SaveTesterText(std::u16string_view text) = 0;
    // root\qel_data\<date>\<date>_<time>_QR<qr>.txt: errors, "\r\n", passes.
    virtual std::u16string SaveStationRecord(std::u16string_view qr, std::u16string_view errors,
                                             std::u16string_view passes) = 0;
    // root\qel_data\<date>\<date>_<time>Program_Result.txt: one line per station.
    virtual std::u16string SaveProgramResult(const ProgramSummary& stations) = 0;
};

class Records : public RecordWriter {
public:
    // The data root is looked up anew for every record, the time for every name.
    Records(framework::FileSystem& files, framework::Clock& clock, ShowMessageBox showMessageBox)
        : m_files(files), m_clock(clock), m_showMessageBox(std::move(showMessageBox)) {}

    std::u16string SaveTesterText(std::u16string_view text) override;
    std::u16string SaveStationRecord(std::u16string_view qr, std::u16string_view errors,
                                     std::u16string_view passes) override;
    std::u16string SaveProgramResult(const ProgramSummary& stations) override;

private:
    // Makes root\qel_data\<date> in `path`; on failure `path` is the one that failed.
    bool MakeDateDirectory(std::u16string& path);
    // False only when a parent is missing; an existing directory is fine.
    bool MakeDirectory(const std::u16string& path);
    // The first of name, name_2, name_3 ... that no file in `directory` holds yet.
    std::u16string UnusedPath(const std::u16string& directory, std::u16string_view name);
    std::u16string Write(const std::u16string& directory, std::u16string_view name,
                         std::initializer_list<std::u16string_view> pieces,
                         std::u16string_view saved);

    framework::FileSystem& m_files;
    framework::Clock& m_clock;
    ShowMessageBox m_showMessageBox;
};
