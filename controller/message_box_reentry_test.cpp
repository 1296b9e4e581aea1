// A modal message box keeps dispatching bus events to the main window: the controller must
// not run again under a caller that holds its texts.
#include "station_controller.h"

#include "keywords.h"
#include "station_controller_fakes.h"
#include "type_word.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The box of the first record brings a long tester line, a silent board's "paralyzed" and
// a second "qel_end" with it, as the window's message loop would while the box is up.
class ReenteringShell : public FakeShell {
public:
    CStationController* qel = nullptr;
    int boxes = 0;

    void ShowMessage(std::u16string_view text) override {
        FakeShell::ShowMessage(text);
        if (++boxes == 1) {
            qel->OnBusEvent(bus::kBridgeKeyword, std::string(10000, '.'));
            qel->OnBusEvent(bus::kBridgeKeyword, "paralyzed");
            qel->OnBusEvent(bus::kBridgeKeyword, bus::keyword::kQelEnd);
        }
    }
};

std::string Group(int station, const char* value) {
    return std::string("{show:1/R1_") + std::to_string(station) + "/x/" + value +
           "/1.10/0.90/a/kOhm/b} and a tester comment long enough to live on the heap";
}

// A controller on a drive where no data root can be made: every record asks for the box.
struct FullDiskStation {
    explicit FullDiskStation(FakeShell& shell) : qel(shell, process, records, files) {
        files.rootless = true;
    }
    MemoryFiles files;
    FakeClock clock;
    FakeProcess process;
    Records records{files, clock,
                    [this](const std::u16string& text) { qel.ShowMessageLater(text); }};
    CStationController qel;
};

} // namespace

TEST(MessageBoxReentry, EventsDuringTheBoxFindTheCycleWhole) {
    ReenteringShell shell;
    shell.qr = {u"Q1", u"Q2", u"Q3", u"Q4"};
    FullDiskStation station(shell);
    CStationController& qel = station.qel;
    MemoryFiles& files = station.files;
    shell.qel = &qel;

    qel.OnTest();
    for (int station = 1; station <= 4; ++station) {
        qel.OnBusEvent(bus::kBridgeKeyword, Group(station, station == 2 ? "1.50" : "1.00"));
    }
    qel.OnBusEvent(bus::kBridgeKeyword, bus::keyword::kQelEnd);

    EXPECT_GE(shell.boxes, 1);
    int station_records = 0;
    for (const auto& [path, bytes] : files.files) {
        auto qr = path.find(u"_QRQ");
        if (qr == std::u16string::npos) {
            continue;
        }
        ++station_records;
        const std::string number(1, static_cast<char>(path[qr + 4]));
        const std::string line =
            number == "2" ? "2# 错误 R1=1.500kOhm" : number + "# PASS R1=1.000kOhm";
        EXPECT_NE(bytes.find(line), std::string::npos) << "record of station " << number;
    }
    EXPECT_EQ(station_records, 8) << "both judgements, each station's record its own";
}

// Every record of a cycle on a full disk asks for the box; the operator needs one.
TEST(MessageBoxReentry, SameTextWaitsInOneBoxOnly) {
    FakeShell shell;
    FullDiskStation station(shell);
    CStationController& qel = station.qel;

    qel.OnTest();
    qel.OnBusEvent(bus::kBridgeKeyword, bus::keyword::kQelEnd);

    EXPECT_EQ(std::count(shell.events.begin(), shell.events.end(), u"message No disk space!"), 1);
}
