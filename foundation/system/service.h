#pragma once
// How a lower layer reaches the application without depending on it.
//
// The lower layer declares a small abstract interface and, beside it, the
// implementation that answers while nothing is installed (usually a null one
// that finds nothing; for the widget tree's drawing sink, the real binding).
// The interface names that fallback with a static `Fallback()` returning a
// reference that lives for the whole process, so this template needs no
// per-interface code:
//
//   Service<X>::Get()        the installed implementation, else X::Fallback()
//   Service<X>::Installed()  the installed implementation, or null
//   ScopedService<X>         installs one implementation for its lifetime
//
// There is at most one installed implementation per interface. Installing
// replaces the one installed; ending a ScopedService clears the slot only
// while its own implementation is still the installed one, so it never
// removes a replacement. Nothing is restored: scopes do not stack.
// Threads: reading (Get, Installed) is safe from any thread, the loading
// thread included; install before the threads that read start, and uninstall
// after they end, since nothing keeps an implementation alive while a caller
// is inside it.

#include <atomic>

template <class Interface>
class Service {
public:
    Service() = delete;

    static Interface& Get() {
        if (Interface* installed = installed_.load(std::memory_order_acquire)) return *installed;
        return Interface::Fallback();
    }

    static Interface* Installed() { return installed_.load(std::memory_order_acquire); }

private:
    template <class>
    friend class ScopedService;

    static inline std::atomic<Interface*> installed_{nullptr};
};

template <class Interface>
class ScopedService {
public:
    // A null implementation installs nothing.
    explicit ScopedService(Interface* implementation) : implementation_(implementation) {
        if (implementation_) Service<Interface>::installed_.store(implementation_, std::memory_order_release);
    }
    ~ScopedService() {
        Interface* expected = implementation_;
        if (expected) Service<Interface>::installed_.compare_exchange_strong(expected, nullptr);
    }
    ScopedService(const ScopedService&) = delete;
    ScopedService& operator=(const ScopedService&) = delete;

private:
    Interface* implementation_;
};
