#pragma once

#include <cstring>

#include "ui/core/UiPtrArray.h"

namespace Weft {

// One listener: an object and a member function of it taking an untyped pointer. Two delegates
// are equal when they bind the same object and the same function.
class CDelegateBase {
  public:
    virtual ~CDelegateBase() = default;
    virtual CDelegateBase* Copy() const = 0;
    virtual bool Invoke(void* param) = 0;
    bool Equals(const CDelegateBase& other) const {
        return object_ == other.object_ && functionSize_ == other.functionSize_ &&
               std::memcmp(function_, other.function_, functionSize_) == 0;
    }

  protected:
    template <typename F>
    CDelegateBase(void* object, const F& function) : object_(object), functionSize_(sizeof(F)) {
        static_assert(sizeof(F) <= sizeof(function_));
        std::memcpy(function_, &function, sizeof(F));
    }
    void* Object() const { return object_; }

  private:
    void* object_;
    unsigned char function_[2 * sizeof(void*)] = {};
    std::size_t functionSize_;
};

template <typename T>
class CDelegate : public CDelegateBase {
  public:
    using Function = bool (T::*)(void*);
    CDelegate(T* object, Function function)
        : CDelegateBase(object, function), function_(function) {}
    CDelegateBase* Copy() const override { return new CDelegate(*this); }
    bool Invoke(void* param) override { return (static_cast<T*>(Object())->*function_)(param); }

  private:
    Function function_;
};

template <typename T>
CDelegate<T> MakeDelegate(T* object, bool (T::*function)(void*)) {
    return CDelegate<T>(object, function);
}

// A list of owned delegate copies, invoked in order until one answers false.
class CEventSource {
  public:
    CEventSource() = default;
    CEventSource(const CEventSource&) = delete;
    CEventSource& operator=(const CEventSource&) = delete;
    ~CEventSource();

    // A delegate equal to one already present is not added again.
    CEventSource& operator+=(const CDelegateBase& delegate);
    CEventSource& operator-=(const CDelegateBase& delegate);
    bool IsEmpty() const { return delegates_.IsEmpty(); }
    // True when every delegate answered true (and for an empty list).
    bool operator()(void* param);

  private:
    CUiPtrArray delegates_;
};

}  // namespace Weft
