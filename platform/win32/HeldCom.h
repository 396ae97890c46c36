#pragma once

#include <utility>

namespace certvane {

// A COM interface pointer released at the end of its scope.
template <typename Interface>
class HeldCom {
  public:
    HeldCom() = default;
    ~HeldCom() {
        if (pointer_ != nullptr) pointer_->Release();
    }
    HeldCom(const HeldCom&) = delete;
    HeldCom& operator=(const HeldCom&) = delete;
    Interface** out() { return &pointer_; }
    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    Interface& operator*() const { return *pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // Hands the pointer over to the caller, who releases it.
    Interface* release() { return std::exchange(pointer_, nullptr); }

  private:
    Interface* pointer_ = nullptr;
};

}  // namespace certvane
