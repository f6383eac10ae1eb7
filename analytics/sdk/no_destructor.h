// Storage for process-wide objects that must outlive every static destructor: the tracker
// handle is released while static objects are torn down, and its teardown still reaches
// these locks and the SDK singleton. The object is built in place and never destroyed.
#pragma once

#include <new>
#include <utility>

namespace usage_analytics {

template <typename T>
class NoDestructor {
public:
    template <typename... Args>
    explicit NoDestructor(Args&&... arguments) {
        new (m_Storage) T(std::forward<Args>(arguments)...);
    }
    NoDestructor(const NoDestructor&) = delete;
    NoDestructor& operator=(const NoDestructor&) = delete;

    T& get() { return *std::launder(reinterpret_cast<T*>(m_Storage)); }
    T* operator->() { return &get(); }
    T& operator*() { return get(); }

private:
    alignas(T) unsigned char m_Storage[sizeof(T)];
};

}  // namespace usage_analytics
