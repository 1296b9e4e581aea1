// Arbitrary bus texts, tester text, buttons, ticks and command outcomes through the
// controller, including "qel_end" and so the whole judgement.
#include "keywords.h"
#include "posix/posix_file_system.h"
#include "record_names.h"
#include "station_controller.h"
#include "station_controller_fakes.h"
#include "type_word.h"
#include "unifile.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Checks the name every station record would get instead of writing it.
class NameCheckingRecords : public RecordWriter {
public:
    std::u16string SaveTesterText(std::u16string_view) override { return u"tester"; }
    std::u16string SaveStationRecord(std::u16string_view qr, std::u16string_view,
                                     std::u16string_view) override {
        for (char16_t c : StationRecordName({2025, 10, 1, 27, 9, 30, 15, 0}, qr)) {
            if (c < 0x20 || std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string::npos) {
                std::abort();
            }
        }
        return u"station";
    }
    std::u16string SaveProgramResult(const ProgramSummary&) override { return u"summary"; }
};

// Reads the input as a list of steps; each takes what it needs and the next one goes on.
class Steps {
public:
    Steps(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool More() const { return m_at < m_size; }
    uint8_t Byte() { return More() ? m_data[m_at++] : 0; }
    std::string Text() {
        const size_t length = std::min<size_t>(Byte(), m_size - m_at);
        std::string text(reinterpret_cast<const char*>(m_data + m_at), length);
        m_at += length;
        return text;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

void CheckInvariants(const CStationController& qel) {
    bool sound = qel.m_programStation >= 0 && qel.m_programStation <= kStationCount &&
                 qel.m_programCountdown <= 10;
    for (int32_t flags : qel.m_stationFlags) {
        sound = sound && (flags & ~(FLAG_TEST_PASS | FLAG_PROGRAM_OK)) == 0;
    }
    if (!sound) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static constexpr const char* kKeywords[] = {bus::keyword::kSqueezed, bus::keyword::kSlack,
                                                bus::keyword::kQelEnd, bus::keyword::kPowered};
    FakeShell shell;
    FakeProcess process;
    NameCheckingRecords records;
    framework::PosixFileSystem files; // no drive mapped: the result file never opens
    CStationController qel(shell, process, records, files);
    qel.m_settings.programExecute = u"prog.exe";
    qel.m_settings.programResult = u"d:\\result.txt";

    Steps steps(data, size);
    while (steps.More()) {
        const uint8_t step = steps.Byte();
        const int station = step / 16 % kStationCount;
        switch (step % 16) {
        case 0:
        case 1:
            qel.OnBusEvent(bus::kBridgeKeyword, steps.Text());
            break;
        case 2:
            qel.OnBusEvent(bus::kBridgeKeyword, "{show:0/" + steps.Text() + "}");
            break;
        case 3:
        case 4:
            qel.OnBusEvent(bus::kBridgeKeyword, kKeywords[station]);
            break;
        case 5: {
            uint32_t type = 0;
            for (int i = 0; i < 4; ++i) {
                type = type << 8 | steps.Byte();
            }
            qel.OnBusEvent(type, steps.Text());
            break;
        }
        case 6:
        case 7:
            qel.OnTimer();
            break;
        case 8:
            qel.OnTest();
            break;
        case 9:
            qel.OnWrite();
            break;
        case 10:
            qel.OnClamp();
            break;
        case 11:
            process.state = static_cast<ProcessPoll>(station % 3);
            break;
        case 12:
            qel.m_settings.stationEnabled[station] = !qel.m_settings.stationEnabled[station];
            break;
        case 13:
            qel.m_settings.programExecute =
                qel.m_settings.programExecute.empty() ? u"prog.exe" : u"";
            break;
        case 14:
            shell.qr[station] = ConvertAnsiToUnicode(steps.Text());
            break;
        default:
            qel.ResetStations(station % 2 == 0);
            break;
        }
        CheckInvariants(qel);
    }
    return 0;
}
