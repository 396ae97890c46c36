#pragma once

#include "ui/core/UiString.h"

namespace Weft {

// A chained hash table from case-sensitive string keys to untyped pointers. The map owns its
// nodes and keys, never the values. A hit moves its node to the head of the chain, so keys in
// frequent use are found first.
class CUiStringPtrMap {
  public:
    static constexpr int MinimumBuckets = 16;

    explicit CUiStringPtrMap(int buckets = 83);
    CUiStringPtrMap(const CUiStringPtrMap&) = delete;
    CUiStringPtrMap& operator=(const CUiStringPtrMap&) = delete;
    ~CUiStringPtrMap();

    void* Find(const wchar_t* key, bool moveToFront = true);
    // A key whose stored value is null counts as absent, so the map is meant for non-null values.
    bool Insert(const wchar_t* key, void* value);
    // Returns the replaced value, null for a new key, or `value` itself when there are no buckets.
    void* Set(const wchar_t* key, void* value);
    bool Remove(const wchar_t* key);
    void Rebuild(int buckets);
    void RemoveAll();
    int Count() const { return itemCount_; }
    int BucketCount() const { return bucketCount_; }
    // Iteration runs over the buckets from the last down to the first, each chain from its head.
    const wchar_t* KeyAt(int index) const;

  private:
    struct Node {
        CUiString key;
        void* value;
        Node* prev;
        Node* next;
    };

    Node*& Chain(const wchar_t* key) const;
    Node* FindNode(const wchar_t* key, bool moveToFront);
    void FreeAll();

    Node** buckets_ = nullptr;
    int bucketCount_ = 0;
    int itemCount_ = 0;
};

}  // namespace Weft
