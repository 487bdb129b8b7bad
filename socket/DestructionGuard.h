#pragma once

#include <memory>

// Tells whether an object still exists after it has called out into code
// that may destroy it (a handler of one of its own events). The object owns
// one guard and marks it first thing in its destructor; a Scope taken on the
// stack before the call answers afterwards without touching the object.
// Single-threaded, like the object it guards.
class DestructionGuard {
public:
    DestructionGuard() = default;
    ~DestructionGuard() { MarkDestroyed(); }

    DestructionGuard(const DestructionGuard&) = delete;
    DestructionGuard& operator=(const DestructionGuard&) = delete;

    // The owner's destruction has begun: every Scope answers false from now.
    void MarkDestroyed() { *alive_ = false; }

    class Scope {
    public:
        explicit Scope(const DestructionGuard& guard)
            : alive_(guard.alive_)
        {
        }

        // False once the owner's destruction has begun.
        [[nodiscard]] bool Alive() const { return *alive_; }

    private:
        std::shared_ptr<const bool> alive_;
    };

private:
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
