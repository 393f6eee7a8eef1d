#include "FakeProvider.h"

#include <stdexcept>

namespace {

// Declared only here: nothing in the library can name it, so only a catch-all stops it.
struct KnownOnlyToTheHost {
    int code;
};

} // namespace

const char* Name(FakeProvider::Thrown thrown) {
    switch (thrown) {
    case FakeProvider::Thrown::StdException:
        return "StdException";
    case FakeProvider::Thrown::Int:
        return "Int";
    case FakeProvider::Thrown::UnknownType:
        return "UnknownType";
    }
    return "?";
}

void FakeProvider::Throw() const {
    switch (thrown) {
    case Thrown::StdException:
        throw std::runtime_error("the provider went away");
    case Thrown::Int:
        throw 42;
    case Thrown::UnknownType:
        throw KnownOnlyToTheHost{7};
    }
    throw 0;
}

bool FakeProvider::ShowAdvancedOptions(HWND owner) {
    ++showCalls;
    lastOwner = owner;
    if (onShow)
        onShow(owner);
    if (showThrows)
        Throw();
    return true;
}

bool FakeProvider::AreAdvancedOptionsAvailable() {
    ++availabilityQueries;
    if (availability == Availability::Throws)
        Throw();
    return availability == Availability::Available;
}
