#pragma once
// A callable passed down a call and called before that call returns, without
// a copy of it: a lambda's captures stay where they are, where a
// std::function would copy them, to the heap once they are more than a
// pointer or two, at every call. It refers to the callable it was made
// from, so it must not outlive it.

#include <functional>
#include <memory>
#include <type_traits>

template <class Signature>
class FunctionRef;

template <class R, class... Args>
class FunctionRef<R(Args...)> {
public:
    template <class F>
    requires(!std::is_same_v<std::remove_cvref_t<F>, FunctionRef> && std::is_invocable_r_v<R, F&, Args...>)
        FunctionRef(F&& f)
    noexcept  // NOLINT(google-explicit-constructor): made where a lambda is passed
        : object_(const_cast<void*>(static_cast<const void*>(std::addressof(f)))),
          call_([](void* object, Args... args) -> R {
              return std::invoke(*static_cast<std::remove_reference_t<F>*>(object), std::forward<Args>(args)...);
          }) {}

    R operator()(Args... args) const { return call_(object_, std::forward<Args>(args)...); }

private:
    void* object_;
    R (*call_)(void*, Args...);
};
