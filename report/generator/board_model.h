#pragma once
// The boards and the fixture as the tester measures them: five measurements (one drifting
// toward its upper limit, one whose limits are tightened halfway through, one negative,
// one large) and as many more parts as asked for, a worn contact in slot 4 (and a little in slot 3)
// that reads a resistor as open, and a few boards with a real defect that fail every time.
#include <random>
#include <string>

namespace generator {

struct board {
    std::string qr;
    bool defective = false;
    int tests = 0;
};

class board_model {
public:
    // `measurements` per board: the five above, and after them parts that pass.
    board_model(uint64_t seed, int measurements) : m_random(seed), m_measurements(measurements) {}

    board new_board(std::string qr);
    // The tester's groups for one board in `slot` (1 to 4) at `progress` (0 to 1) through
    // the period, appended to `text` (UTF-8) with group numbers from `group`.
    void measure(const board& b, int slot, double progress, std::string& text, int& group);
    // A draw with probability p.
    bool chance(double p) { return std::bernoulli_distribution(p)(m_random); }
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

private:
    std::mt19937_64 m_random;
    int m_measurements;
};

} // namespace generator
