#pragma once

/// Base of process-wide services: one instance, made on the first call of
/// instance() and destroyed at program exit. GUI thread only.
template <typename T>
class Singleton
{
public:
    static T* instance()
    {
        static T theInstance;
        return &theInstance;
    }

    Singleton(const Singleton&) = delete;
    Singleton& operator=(const Singleton&) = delete;

protected:
    Singleton() = default;
    ~Singleton() = default;
};
