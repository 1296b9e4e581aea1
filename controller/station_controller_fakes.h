#pragma once
// Stand-ins for the main window, the programming command and the clock, shared by the
// controller's tests and its fuzz target.
#include "clock.h"
#include "cycle_text.h"
#include "programming.h"
#include "station_controller_shell.h"

#include <array>
#include <chrono>
#include <string>
#include <utility>
#include <vector>

// Keeps every request in order, as readable lines: "post qel_start", "progress Started".
class FakeShell : public ControllerShell {
public:
    std::vector<std::u16string> events;
    std::u16string progress, result; // what the panes show
    std::array<int, 4> images{};
    std::array<std::u16string, 4> qr;
    std::u16string busy;

    void PostKeyword(std::string_view keyword) override { Note(u"post " + Widen(keyword)); }
    void AppendPaneLine(PaneId pane, std::u16string_view line) override {
        Text(pane) += std::u16string(line) + u"\r\n";
        Note((pane == PaneId::Progress ? u"progress " : u"result ") + std::u16string(line));
    }
    void ClearPane(PaneId pane) override {
        Text(pane).clear();
        Note(pane == PaneId::Progress ? u"clear progress" : u"clear result");
    }
    void SetStationImage(int station, int bitmapId) override { images.at(station) = bitmapId; }
    void Pause(std::chrono::milliseconds duration) override {
        Note(u"pause " + Decimal(duration.count()));
    }
    void ShowBusyImage(std::u16string_view fileName) override { busy = fileName; }
    std::array<std::u16string, 4> ReadQrEdits() override { return qr; }
    void ClearQrEdits() override { qr = {}; }
    void FocusFirstQr() override { Note(u"focus"); }
    void ShowMessage(std::u16string_view text) override {
        Note(u"message " + std::u16string(text));
    }

private:
    std::u16string& Text(PaneId pane) { return pane == PaneId::Progress ? progress : result; }
    void Note(std::u16string event) { events.push_back(std::move(event)); }
};

// A command that runs until the test says how it ended.
class FakeProcess : public ProgramProcess {
public:
    std::vector<std::u16string> started;
    ProcessPoll state = ProcessPoll::Failed;
    bool held = false, terminateWorks = true, waitWorks = true;
    int terminated = 0;

    void Start(std::u16string_view commandLine) override {
        started.emplace_back(commandLine);
        held = !commandLine.empty();
        state = held ? ProcessPoll::Running : ProcessPoll::Failed;
    }
    bool HasProcess() const override { return held; }
    ProcessPoll Poll() override { return state; }
    bool Terminate() override {
        ++terminated;
        return terminateWorks;
    }
    bool WaitForExit() override { return waitWorks; }
    bool CloseProcessHandle() override { return std::exchange(held, false); }
    bool CloseThreadHandle() override { return true; }
};

class FakeClock : public framework::Clock {
public:
    framework::LocalTime time{2025, 10, 1, 27, 9, 30, 15, 0};
    framework::LocalTime Now() override { return time; }
};
