// Owning wrappers for the Windows handle kinds the installer uses. Each is movable, not
// copyable, and closes its handle exactly once.
#pragma once

#include <windows.h>

#include <utility>

namespace Utils {

template <typename Traits>
class UniqueResource {
public:
    using Type = typename Traits::Type;

    UniqueResource() = default;
    explicit UniqueResource(Type value) : m_Value(value) {}
    ~UniqueResource() { reset(); }

    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : m_Value(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    Type get() const { return m_Value; }
    bool valid() const { return Traits::IsValid(m_Value); }
    explicit operator bool() const { return valid(); }

    Type release() {
        Type value = m_Value;
        m_Value = Traits::Invalid();
        return value;
    }

    void reset(Type value = Traits::Invalid()) {
        if (Traits::IsValid(m_Value)) Traits::Close(m_Value);
        m_Value = value;
    }

    // For APIs that hand a new handle back through a pointer.
    Type* out() {
        reset();
        return &m_Value;
    }

private:
    Type m_Value = Traits::Invalid();
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type value) { return value != nullptr && value != INVALID_HANDLE_VALUE; }
    static void Close(Type value) { ::CloseHandle(value); }
};

struct RegistryKeyTraits {
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type value) { return value != nullptr; }
    static void Close(Type value) { ::RegCloseKey(value); }
};

struct ModuleTraits {
    using Type = HMODULE;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type value) { return value != nullptr; }
    static void Close(Type value) { ::FreeLibrary(value); }
};

template <typename Interface>
struct ComPointerTraits {
    using Type = Interface*;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type value) { return value != nullptr; }
    static void Close(Type value) { value->Release(); }
};

// Holds one COM reference.
template <typename Interface>
class UniqueComPtr : public UniqueResource<ComPointerTraits<Interface>> {
public:
    using UniqueResource<ComPointerTraits<Interface>>::UniqueResource;
    Interface* operator->() const { return this->get(); }
};

using UniqueHandle = UniqueResource<KernelHandleTraits>;
using UniqueRegKey = UniqueResource<RegistryKeyTraits>;
using UniqueModule = UniqueResource<ModuleTraits>;

}  // namespace Utils
