// A base for the tests' scoped helpers: each holds a hook, a patched import, a timer or a window for its
// lifetime, which a copy would release twice.
#ifndef CORVEL_TESTS_NO_COPY_H
#define CORVEL_TESTS_NO_COPY_H

class NoCopy {
public:
    NoCopy(const NoCopy&) = delete;
    NoCopy& operator=(const NoCopy&) = delete;

protected:
    NoCopy() = default;
    ~NoCopy() = default;
};

#endif // CORVEL_TESTS_NO_COPY_H
