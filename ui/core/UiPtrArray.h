#pragma once

namespace Weft {

// A growable array of untyped pointers it does not own. Appending keeps at least one slot
// free: the capacity becomes 11 from 0 and doubles whenever the count reaches it.
class CUiPtrArray {
  public:
    explicit CUiPtrArray(int preallocate = 0);
    CUiPtrArray(const CUiPtrArray& other);
    CUiPtrArray& operator=(const CUiPtrArray& other);
    ~CUiPtrArray();

    void Clear();
    void ResizeZeroed(int count);
    int Count() const { return count_; }
    int Capacity() const { return capacity_; }
    bool IsEmpty() const { return count_ == 0; }
    void** Data() const { return items_; }

    // False, with the array unchanged, when memory runs out.
    bool Push(void* item);
    bool InsertAt(int index, void* item);
    bool RemoveAt(int index);
    bool SetAt(int index, void* item);
    void* GetAt(int index) const;
    // Unchecked: the caller keeps the index within 0..count-1.
    void* operator[](int index) const { return items_[index]; }
    int IndexOf(void* item) const;

  private:
    bool GrowForOneMore();

    void** items_ = nullptr;
    int count_ = 0;
    int capacity_ = 0;
};

}  // namespace Weft
