// A host object for tests: availability and the advanced options are scripted, calls are counted.
#ifndef CORVEL_TESTS_FAKE_PROVIDER_H
#define CORVEL_TESTS_FAKE_PROVIDER_H

#include <corvel/corvel.h>

#include <functional>

class FakeProvider : public SourceControl::SCCProvider::CSCCAbstractGetCommandOptionsFunctionoid {
public:
    enum class Availability { Available, Unavailable, Throws };

    Availability availability = Availability::Available;
    bool showThrows = false;
    // Runs inside ShowAdvancedOptions, for example to open a window of the host's own.
    std::function<void(HWND owner)> onShow;

    int availabilityQueries = 0;
    int showCalls = 0;
    int invocations = 0;
    HWND lastOwner = nullptr;

    void operator()() override { ++invocations; }
    bool ShowAdvancedOptions(HWND owner) override;
    bool AreAdvancedOptionsAvailable() override;
};

#endif // CORVEL_TESTS_FAKE_PROVIDER_H
