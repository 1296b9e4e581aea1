#pragma once
// The serial ports of the bridges: what the settings accept, and which bridges the
// controller closes.

// A bridge's port, as the settings accept it.
inline constexpr int kFirstPort = 1;
inline constexpr int kLastPort = 100;
// Bridges on these ports are closed whether or not this station configured them; a bridge
// on port 100 is closed only when it is configured.
inline constexpr int kLastScannedPort = 99;
