#pragma once
// Stand-ins for the main window, the programming command and the clock, shared by the
// controller's tests and its fuzz target.
#include "clock.h"
#include "cycle_text.h"
#include "programming.h"
#include "station_controller_shell.h"

#include "file_system.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <map>
#include <memory>
#include <set>
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

    uint32_t Start(std::u16string_view commandLine) override {
        started.emplace_back(commandLine);
        if (failingStarts > 0) {
            --failingStarts;
            held = false;
            state = ProcessPoll::Failed;
            return kErrorInternal;
        }
        held = !commandLine.empty();
        state = held ? ProcessPoll::Running : ProcessPoll::Failed;
        return held ? 0 : kErrorFileNotFound;
    }
    static constexpr uint32_t kErrorFileNotFound = 2;
    static constexpr uint32_t kErrorInternal = 1359;
    int failingStarts = 0; // starts that fail before one works
    ProcessPoll Poll() override { return state; }
    KillResult Kill() override {
        using Outcome = KillResult::Outcome;
        if (!held) {
            return {Outcome::NoProcess};
        }
        ++terminated;
        if (!terminateWorks || !waitWorks) {
            return {terminateWorks ? Outcome::WaitFailed : Outcome::TerminateFailed};
        }
        held = false;
        return {Outcome::Ended};
    }
    void Release() override { held = false; }
};

class FakeClock : public framework::Clock {
public:
    framework::LocalTime time{2025, 10, 1, 27, 9, 30, 15, 0};
    framework::LocalTime Now() override { return time; }
};

// Files in memory. `rootless`: no drive takes the data root, so every record asks for the
// "No disk space!" box and is then written relative to the current drive. A file may claim
// a length far beyond the bytes it serves.
class MemoryFiles : public framework::FileSystem {
public:
    std::map<std::u16string, std::string> files;
    std::map<std::u16string, uint64_t> claimed_length;
    std::set<std::u16string> undeletable; // held open by someone, or read-only
    bool rootless = false;

    uint32_t MakeDirectory(const std::u16string& path) override {
        return rootless && path.ends_with(u"xlog.data") ? framework::kErrorAccessDenied
                                                        : framework::kErrorSuccess;
    }
    bool IsDirectory(const std::u16string&) override { return true; }
    std::unique_ptr<framework::FileHandle> OpenFile(const std::u16string& path, unsigned flags,
                                                    uint32_t& error) override {
        if ((flags & framework::kModeCreate) != 0) {
            files[path].clear();
        } else if (!files.contains(path)) {
            error = framework::kErrorFileNotFound;
            return nullptr;
        }
        auto claimed = claimed_length.find(path);
        return std::make_unique<Handle>(files[path],
                                        claimed == claimed_length.end() ? 0 : claimed->second);
    }
    uint32_t RemoveFile(const std::u16string& path) override {
        if (undeletable.contains(path)) {
            return framework::kErrorAccessDenied;
        }
        claimed_length.erase(path);
        return files.erase(path) != 0 ? framework::kErrorSuccess : framework::kErrorFileNotFound;
    }

private:
    class Handle : public framework::FileHandle {
    public:
        Handle(std::string& bytes, uint64_t claimed) : bytes(bytes), claimed(claimed) {}
        size_t Read(void* buffer, size_t count) override {
            const size_t left = position < bytes.size() ? bytes.size() - position : 0;
            count = std::min(count, left);
            bytes.copy(static_cast<char*>(buffer), count, position);
            position += count;
            return count;
        }
        bool Write(const void* data, size_t count) override {
            bytes.append(static_cast<const char*>(data), count);
            position = bytes.size();
            return true;
        }
        bool Seek(uint64_t to) override {
            position = to;
            return true;
        }
        uint64_t Position() const override { return position; }
        uint64_t Length() const override { return std::max<uint64_t>(bytes.size(), claimed); }

    private:
        std::string& bytes;
        uint64_t claimed;
        uint64_t position = 0;
    };
};
