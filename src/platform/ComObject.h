#pragma once
// Reference-counted objects and the smart pointer that holds them.
//
// A RefCounted object starts with a count of 0; the first ComPtr that takes it
// raises the count to 1, and the Release that brings it back to 0 deletes it.
// Objects handed to a page or a host are always created with MakeRef and held
// through ComPtr. The count is atomic, so references may be taken and dropped
// on any thread.

#include <atomic>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

namespace platform {

class RefCounted {
  public:
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    // Both return the new count.
    std::uint32_t AddRef() const { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }
    std::uint32_t Release() const {
        const std::uint32_t left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    std::uint32_t RefCount() const { return refs_.load(std::memory_order_relaxed); }

  protected:
    RefCounted() = default;
    virtual ~RefCounted() = default;

  private:
    mutable std::atomic<std::uint32_t> refs_{0};
};

template <class T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference.
    ComPtr(T* p) : p_(p) { AddRefIf(); }
    ComPtr(const ComPtr& other) : p_(other.p_) { AddRefIf(); }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    template <class U>
    requires std::convertible_to<U*, T*> ComPtr(const ComPtr<U>& other) : p_(other.Get()) {
        AddRefIf();
    }
    template <class U>
    requires std::convertible_to<U*, T*> ComPtr(ComPtr<U>&& other)
    noexcept : p_(other.Detach()) {}
    ~ComPtr() { ReleaseIf(); }

    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }

    void Reset() { ComPtr().Swap(*this); }
    void Swap(ComPtr& other) noexcept { std::swap(p_, other.p_); }
    // Takes over a reference the caller already owns (no AddRef).
    void Attach(T* p) {
        ReleaseIf();
        p_ = p;
    }
    // Gives up the reference without releasing it.
    T* Detach() { return std::exchange(p_, nullptr); }

    // A pointer to the same object as another class of its hierarchy; null
    // when the object is not of that class.
    template <class U>
    ComPtr<U> As() const {
        return ComPtr<U>(dynamic_cast<U*>(p_));
    }

    template <class U>
    friend bool operator==(const ComPtr& a, const ComPtr<U>& b) {
        return a.Get() == b.Get();
    }
    friend bool operator==(const ComPtr& a, std::nullptr_t) { return a.p_ == nullptr; }

  private:
    void AddRefIf() {
        if (p_ != nullptr) {
            p_->AddRef();
        }
    }
    void ReleaseIf() {
        if (p_ != nullptr) {
            std::exchange(p_, nullptr)->Release();
        }
    }

    T* p_ = nullptr;
};

template <class T, class... Args>
ComPtr<T> MakeRef(Args&&... args) {
    return ComPtr<T>(new T(std::forward<Args>(args)...));
}

}  // namespace platform
