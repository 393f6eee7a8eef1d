// The seven C functions as a table, for the suites that run every one of them alike: each called with
// Unicode arguments, and what its user edits. What a call wrote is read back as text, its results given
// back with corvel_release.
#ifndef CORVEL_TESTS_ROBUSTNESS_C_CALLS_H
#define CORVEL_TESTS_ROBUSTNESS_C_CALLS_H

#include "UiDriver.h"

#include <windows.h>

#include <corvel/corvel_c.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace robust {

// Where a call writes, filled with values no call writes, so that any write shows.
struct Slots {
    char** list = reinterpret_cast<char**>(0x11);
    size_t count = 0x22;
    char* text1 = reinterpret_cast<char*>(0x33);
    char* text2 = reinterpret_cast<char*>(0x44);
    int flags[4] = {7, 0, 7, 0};
};

// What a call wrote, as text; outputs it left alone read "-". The outputs are given back.
std::string Outcome(int result, Slots& slots);

// One C function: how it is called with the arguments above and what the user edits in its dialog.
struct Function {
    const char* name;
    std::function<int(Slots&, HWND)> call;
    std::function<void(ui::Window)> edit;
};

const std::vector<Function>& CFunctions();

} // namespace robust

#endif // CORVEL_TESTS_ROBUSTNESS_C_CALLS_H
