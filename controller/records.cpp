#include "records.h"

#include "cycle_text.h"
#include "record_names.h"
#include "unifile.h"

namespace {

constexpr std::u16string_view kSavedTo = u"Saved to ";
constexpr std::u16string_view kProgramResultSavedTo = u"Program result Saved to ";

std::u16string CannotCreateDirectory(const std::u16string& path) {
    return u"can not create directory:" + path;
}

// A name is taken when a file of that name opens; any other refusal is left to the
// creation to report.
bool IsTaken(framework::FileSystem& files, const std::u16string& path) {
    uint32_t error = framework::kErrorSuccess;
    return files.OpenFile(path, framework::kModeRead, error) != nullptr;
}

std::u16string SummaryLine(int index, const StationSummary& station) {
    static constexpr std::u16string_view kOutcomeText[] = {u" 写入成功", u" 写入失败",
                                                           u" QEL未通过，未执行写入操作"};
    const std::u16string_view outcome =
        station.enabled ? kOutcomeText[static_cast<size_t>(OutcomeOf(station.flags))]
                        : u" 该位置未使能，未执行写入操作";
    return Decimal(index + 1) + u"#QR" + station.qr + std::u16string(outcome) + u"\r\n";
}

} // namespace

std::u16string Records::SaveTesterText(std::u16string_view text) {
    std::u16string directory = GetDataRoot(m_files, m_showMessageBox) + u"\\qel_str";
    if (!MakeDirectory(directory)) {
        return CannotCreateDirectory(directory);
    }
    return Write(directory, TesterRecordName(m_clock.Now()), {text}, kSavedTo);
}

std::u16string Records::SaveStationRecord(std::u16string_view qr, std::u16string_view errors,
                                          std::u16string_view passes) {
    std::u16string directory;
    if (!MakeDateDirectory(directory)) {
        return CannotCreateDirectory(directory);
    }
    return Write(directory, StationRecordName(m_clock.Now(), qr), {errors, u"\r\n", passes},
                 kSavedTo);
}

std::u16string Records::SaveProgramResult(const ProgramSummary& stations) {
    std::u16string directory;
    if (!MakeDateDirectory(directory)) {
        return CannotCreateDirectory(directory);
    }
    std::u16string lines;
    for (int i = 0; i < kStationCount; ++i) {
        lines += SummaryLine(i, stations[i]);
    }
    return Write(directory, ProgramResultName(m_clock.Now()), {lines}, kProgramResultSavedTo);
}

bool Records::MakeDateDirectory(std::u16string& path) {
    path = GetDataRoot(m_files, m_showMessageBox) + u"\\qel_data";
    if (!MakeDirectory(path)) {
        return false;
    }
    path += u'\\';
    path += DateDirectoryName(m_clock.Now());
    return MakeDirectory(path);
}

bool Records::MakeDirectory(const std::u16string& path) {
    return m_files.MakeDirectory(path) != framework::kErrorPathNotFound;
}

std::u16string Records::UnusedPath(const std::u16string& directory, std::u16string_view name) {
    std::u16string path = directory + u"\\" + std::u16string(name);
    for (int n = 2; IsTaken(m_files, path); ++n) {
        path = directory + u"\\" + NumberedName(name, n);
    }
    return path;
}

std::u16string Records::Write(const std::u16string& directory, std::u16string_view name,
                              std::initializer_list<std::u16string_view> pieces,
                              std::u16string_view saved) {
    std::u16string path = UnusedPath(directory, name);
    CUniFile file(m_files);
    if (!file.Open(path, framework::kModeCreate | framework::kModeWrite)) {
        return u"can not create file:" + path;
    }
    bool written = true;
    for (std::u16string_view piece : pieces) {
        written = file.WriteText(piece) && written;
    }
    file.Close();
    if (!written) {
        return u"can not write file:" + path;
    }
    return std::u16string(saved) + path;
}
