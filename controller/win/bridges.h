#pragma once
// Starting and closing the serial bridges (qel_link.exe), one process per serial port.
#include <windows.h>

#include <vector>

struct BridgeLaunch {
    int port;
    // Null when the program could not be started.
    HANDLE process;
};

// Starts qel_link.exe from the controller's own directory, first "<portQel> 0" (tester),
// then "<portIo> 1" (control board). The caller owns the process handles.
std::vector<BridgeLaunch> StartBridges(int portQel, int portIo);

// Sends the close command to every window titled "qel_link_com1" to "qel_link_com99" or for
// one of the configured ports, scans again until a scan finds none, then waits for the
// closed bridges' processes to end (each holds its port until then), or gives up after a
// few seconds. Returns the ports whose windows or processes were still there then.
std::vector<int> CloseBridges(std::vector<int> configured);
