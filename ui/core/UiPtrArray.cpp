#include "ui/core/UiPtrArray.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace Weft {
namespace {

constexpr int FirstCapacity = 11;

size_t SlotBytes(int count) {
    return sizeof(void*) * static_cast<size_t>(count);
}

}  // namespace

CUiPtrArray::CUiPtrArray(int preallocate) {
    if (preallocate > 0) {
        items_ = static_cast<void**>(std::malloc(SlotBytes(preallocate)));
        if (items_ != nullptr) capacity_ = preallocate;
    }
}

CUiPtrArray::CUiPtrArray(const CUiPtrArray& other) {
    for (int i = 0; i < other.count_; ++i) Push(other.items_[i]);
}

CUiPtrArray& CUiPtrArray::operator=(const CUiPtrArray& other) {
    if (this != &other) {
        Clear();
        for (int i = 0; i < other.count_; ++i) Push(other.items_[i]);
    }
    return *this;
}

CUiPtrArray::~CUiPtrArray() {
    std::free(items_);
}

void CUiPtrArray::Clear() {
    std::free(items_);
    items_ = nullptr;
    count_ = capacity_ = 0;
}

void CUiPtrArray::ResizeZeroed(int count) {
    Clear();
    if (count <= 0) return;
    items_ = static_cast<void**>(std::calloc(static_cast<size_t>(count), sizeof(void*)));
    if (items_ != nullptr) count_ = capacity_ = count;
}

// Makes room so that the count may grow by one and still leave a free slot.
bool CUiPtrArray::GrowForOneMore() {
    if (count_ + 1 < capacity_) return true;
    if (capacity_ > INT_MAX / 2) return false;
    const int capacity = capacity_ == 0 ? FirstCapacity : capacity_ * 2;
    void** items = static_cast<void**>(std::realloc(items_, SlotBytes(capacity)));
    if (items == nullptr) return false;
    items_ = items;
    capacity_ = capacity;
    return true;
}

bool CUiPtrArray::Push(void* item) {
    if (!GrowForOneMore()) return false;
    items_[count_++] = item;
    return true;
}

bool CUiPtrArray::InsertAt(int index, void* item) {
    if (index == count_) return Push(item);
    if (index < 0 || index > count_) return false;
    if (!GrowForOneMore()) return false;
    std::memmove(items_ + index + 1, items_ + index, SlotBytes(count_ - index));
    items_[index] = item;
    ++count_;
    return true;
}

bool CUiPtrArray::RemoveAt(int index) {
    if (index < 0 || index >= count_) return false;
    std::memmove(items_ + index, items_ + index + 1, SlotBytes(count_ - index - 1));
    --count_;
    return true;
}

bool CUiPtrArray::SetAt(int index, void* item) {
    if (index < 0 || index >= count_) return false;
    items_[index] = item;
    return true;
}

void* CUiPtrArray::GetAt(int index) const {
    if (index < 0 || index >= count_) return nullptr;
    return items_[index];
}

int CUiPtrArray::IndexOf(void* item) const {
    for (int i = 0; i < count_; ++i) {
        if (items_[i] == item) return i;
    }
    return -1;
}

}  // namespace Weft
