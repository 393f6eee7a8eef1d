// The host's object for tests: availability, showing the advanced options and their failures are
// options; every call is counted.
#ifndef CORVEL_TESTS_FAKE_PROVIDER_H
#define CORVEL_TESTS_FAKE_PROVIDER_H

#include <corvel/corvel.h>

#include <functional>

class FakeProvider : public SourceControl::SCCProvider::CSCCAbstractGetCommandOptionsFunctionoid {
public:
    enum class Availability { Available, Unavailable, Throws };
    // What a failing operation throws: a standard exception, an int, or a type only the host knows.
    enum class Thrown { StdException, Int, UnknownType };

    Availability availability = Availability::Available;
    bool showThrows = false;
    Thrown thrown = Thrown::StdException;
    // Runs inside ShowAdvancedOptions before any failure, for example to open a window of the host's own.
    std::function<void(HWND owner)> onShow;

    int availabilityQueries = 0;
    int showCalls = 0;
    int invocations = 0;
    HWND lastOwner = nullptr;

    void operator()() override { ++invocations; }
    bool ShowAdvancedOptions(HWND owner) override;
    bool AreAdvancedOptionsAvailable() override;

private:
    [[noreturn]] void Throw() const;
};

const char* Name(FakeProvider::Thrown thrown);

#endif // CORVEL_TESTS_FAKE_PROVIDER_H
