#include <cwchar>

#include "ui/core/UiMarkup.h"

namespace Weft {

const wchar_t* CUiMarkupNode::GetName() const {
    if (owner_ == nullptr) return nullptr;
    return owner_->text_ + owner_->elements_[index_].start;
}

CUiMarkupNode CUiMarkupNode::GetChild() const {
    if (owner_ == nullptr) return CUiMarkupNode();
    const std::uint32_t child = owner_->elements_[index_].child;
    return child != 0 ? CUiMarkupNode(owner_, child) : CUiMarkupNode();
}

CUiMarkupNode CUiMarkupNode::GetSibling() const {
    if (owner_ == nullptr) return CUiMarkupNode();
    const std::uint32_t next = owner_->elements_[index_].next;
    return next != 0 ? CUiMarkupNode(owner_, next) : CUiMarkupNode();
}

bool CUiMarkupNode::HasChildren() const {
    return owner_ != nullptr && owner_->elements_[index_].child != 0;
}

// The parser left every name and value zero-terminated between the element's name and its
// content, with only blanks, '=' turned blank and opening quotes between them. Every step stops
// at the content offset, so a malformed stretch can never lead the walk out of the start tag.
void CUiMarkupNode::CacheAttributes() {
    attributeCount_ = 0;
    const wchar_t* text = owner_->text_;
    const std::uint32_t end = owner_->elements_[index_].data;
    std::uint32_t pos = owner_->elements_[index_].start;
    auto skipString = [&] {
        while (pos < end && text[pos] != L'\0') ++pos;
        if (pos < end) ++pos;
    };
    skipString();
    while (pos < end && attributeCount_ < MaxAttributes) {
        while (pos < end && text[pos] <= L' ') ++pos;
        if (pos >= end) return;
        const std::uint32_t name = pos;
        skipString();
        while (pos < end && text[pos] <= L' ') ++pos;
        if (pos >= end || text[pos] != L'"') return;
        const std::uint32_t value = ++pos;
        skipString();
        attributes_[attributeCount_++] = {name, value};
    }
}

int CUiMarkupNode::GetAttributeCount() {
    if (owner_ == nullptr) return 0;
    if (attributeCount_ == 0) CacheAttributes();
    return attributeCount_;
}

bool CUiMarkupNode::HasAttributes() {
    return GetAttributeCount() > 0;
}

const wchar_t* CUiMarkupNode::GetAttributeName(int index) {
    if (owner_ == nullptr) return nullptr;
    if (index < 0 || index >= GetAttributeCount()) return L"";
    return owner_->text_ + attributes_[index].name;
}

const wchar_t* CUiMarkupNode::GetAttributeValue(int index) {
    if (owner_ == nullptr) return nullptr;
    if (index < 0 || index >= GetAttributeCount()) return L"";
    return owner_->text_ + attributes_[index].value;
}

bool CUiMarkupNode::GetAttributeValue(const wchar_t* name, wchar_t* buffer, int capacity) {
    if (owner_ == nullptr || name == nullptr) return false;
    const int count = GetAttributeCount();
    for (int i = 0; i < count; ++i) {
        if (_wcsicmp(owner_->text_ + attributes_[i].name, name) != 0) continue;
        if (buffer != nullptr && capacity > 0) {
            std::wcsncpy(buffer, owner_->text_ + attributes_[i].value,
                         static_cast<size_t>(capacity));
        }
        return true;
    }
    return false;
}

}  // namespace Weft
