#include "ui/core/UiStringPtrMap.h"

#include <cwchar>

namespace Weft {
namespace {

unsigned HashKey(const wchar_t* key) {
    unsigned hash = 0;
    for (size_t i = std::wcslen(key); i > 0; --i) hash = hash * 33 + key[i - 1];
    return hash;
}

}  // namespace

CUiStringPtrMap::CUiStringPtrMap(int buckets) {
    Rebuild(buckets < MinimumBuckets ? MinimumBuckets : buckets);
}

CUiStringPtrMap::~CUiStringPtrMap() {
    FreeAll();
}

CUiStringPtrMap::Node*& CUiStringPtrMap::Chain(const wchar_t* key) const {
    return buckets_[HashKey(key) % static_cast<unsigned>(bucketCount_)];
}

CUiStringPtrMap::Node* CUiStringPtrMap::FindNode(const wchar_t* key, bool moveToFront) {
    if (bucketCount_ == 0 || itemCount_ == 0 || key == nullptr) return nullptr;
    Node*& head = Chain(key);
    for (Node* node = head; node != nullptr; node = node->next) {
        if (node->key.Compare(key) != 0) continue;
        if (moveToFront && node != head) {
            node->prev->next = node->next;
            if (node->next != nullptr) node->next->prev = node->prev;
            node->prev = nullptr;
            node->next = head;
            head->prev = node;
            head = node;
        }
        return node;
    }
    return nullptr;
}

void* CUiStringPtrMap::Find(const wchar_t* key, bool moveToFront) {
    Node* node = FindNode(key, moveToFront);
    return node ? node->value : nullptr;
}

bool CUiStringPtrMap::Insert(const wchar_t* key, void* value) {
    if (bucketCount_ == 0 || key == nullptr || Find(key) != nullptr) return false;
    Node*& head = Chain(key);
    Node* node = new Node{CUiString(key), value, nullptr, head};
    if (head != nullptr) head->prev = node;
    head = node;
    ++itemCount_;
    return true;
}

void* CUiStringPtrMap::Set(const wchar_t* key, void* value) {
    if (bucketCount_ == 0) return value;
    if (Node* node = FindNode(key, true)) {
        void* old = node->value;
        node->value = value;
        return old;
    }
    Insert(key, value);
    return nullptr;
}

bool CUiStringPtrMap::Remove(const wchar_t* key) {
    Node* node = FindNode(key, false);
    if (node == nullptr) return false;
    if (node->prev != nullptr) {
        node->prev->next = node->next;
    } else {
        Chain(key) = node->next;
    }
    if (node->next != nullptr) node->next->prev = node->prev;
    delete node;
    --itemCount_;
    return true;
}

void CUiStringPtrMap::FreeAll() {
    for (int i = 0; i < bucketCount_; ++i) {
        for (Node* node = buckets_[i]; node != nullptr;) {
            Node* next = node->next;
            delete node;
            node = next;
        }
    }
    delete[] buckets_;
    buckets_ = nullptr;
    bucketCount_ = 0;
    itemCount_ = 0;
}

void CUiStringPtrMap::Rebuild(int buckets) {
    FreeAll();
    if (buckets <= 0) return;
    buckets_ = new Node*[static_cast<size_t>(buckets)]();
    bucketCount_ = buckets;
}

void CUiStringPtrMap::RemoveAll() {
    Rebuild(bucketCount_);
}

const wchar_t* CUiStringPtrMap::KeyAt(int index) const {
    if (index < 0 || index >= itemCount_) return nullptr;
    for (int bucket = bucketCount_ - 1; bucket >= 0; --bucket) {
        for (const Node* node = buckets_[bucket]; node != nullptr; node = node->next) {
            if (index-- == 0) return node->key.GetData();
        }
    }
    return nullptr;
}

}  // namespace Weft
