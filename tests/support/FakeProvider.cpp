#include "FakeProvider.h"

#include <stdexcept>

bool FakeProvider::ShowAdvancedOptions(HWND owner) {
    ++showCalls;
    lastOwner = owner;
    if (onShow)
        onShow(owner);
    if (showThrows)
        throw std::runtime_error("provider went away");
    return true;
}

bool FakeProvider::AreAdvancedOptionsAvailable() {
    ++availabilityQueries;
    if (availability == Availability::Throws)
        throw 42; // not even a std::exception
    return availability == Availability::Available;
}
