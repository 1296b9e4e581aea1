#pragma once
// The numbers of a judgement line.
#include <string>

// Appends `value` as "%.3f" prints it: three decimals, rounded to nearest with ties to even.
void AppendFixed3(std::u16string& out, float value);
