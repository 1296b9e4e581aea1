#pragma once
// The bridges qel has just started, until each shows its window: one whose process ends
// first, or that shows none in time (it waits behind a refusal or another message box),
// could not start.
#include <windows.h>

#include <vector>

class CBridgeWatch {
public:
    CBridgeWatch() = default;
    ~CBridgeWatch();
    CBridgeWatch(const CBridgeWatch&) = delete;
    CBridgeWatch& operator=(const CBridgeWatch&) = delete;

    // Watches the bridge of the port; takes the process handle.
    void Add(int port, HANDLE process);
    // The ports of the bridges found not started since the last call; the bridges found up
    // or not started are no longer watched.
    std::vector<int> Check();
    bool Empty() const { return m_launches.empty(); }
    // Stops watching every bridge.
    void Clear();

private:
    struct Launch {
        int port;
        HANDLE process;
        ULONGLONG deadline;
    };
    std::vector<Launch> m_launches;
};
