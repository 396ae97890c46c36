#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace Weft {

class CUiMarkup;

// A light handle on one element of a parsed document; it may be copied freely. Its attribute
// table is a cache of at most MaxAttributes entries, filled on the first attribute access.
class CUiMarkupNode {
  public:
    static constexpr int MaxAttributes = 64;

    CUiMarkupNode() = default;

    bool IsValid() const { return owner_ != nullptr; }
    const wchar_t* GetName() const;
    CUiMarkupNode GetChild() const;
    CUiMarkupNode GetSibling() const;
    bool HasChildren() const;
    bool HasAttributes();
    int GetAttributeCount();
    // An empty text when the index is out of range; null for an invalid node.
    const wchar_t* GetAttributeName(int index);
    const wchar_t* GetAttributeValue(int index);
    // The first attribute named `name` ignoring case, copied like wcsncpy (no terminator when
    // the value fills the whole capacity).
    bool GetAttributeValue(const wchar_t* name, wchar_t* buffer, int capacity);

  private:
    friend class CUiMarkup;
    CUiMarkupNode(CUiMarkup* owner, std::uint32_t index) : owner_(owner), index_(index) {}
    void CacheAttributes();

    CUiMarkup* owner_ = nullptr;
    std::uint32_t index_ = 0;
    int attributeCount_ = 0;
    struct AttributeOffsets {
        std::uint32_t name;
        std::uint32_t value;
    } attributes_[MaxAttributes] = {};
};

// A layout document: one UTF-16 buffer cut up in place by the parser, and a flat table of
// element records referring into it by offsets. Record 0 stands for the document itself.
class CUiMarkup {
  public:
    // Encodings of LoadFromMem and LoadFromFile.
    static constexpr int EncodingUtf8 = 0;
    static constexpr int EncodingUtf16 = 1;
    static constexpr int EncodingAnsi = 2;
    static constexpr std::uint32_t MaxFileSize = 4194304;

    explicit CUiMarkup(const wchar_t* text = nullptr);
    CUiMarkup(const CUiMarkup&) = delete;
    CUiMarkup& operator=(const CUiMarkup&) = delete;
    ~CUiMarkup();

    bool Load(const wchar_t* text);
    bool LoadFromMem(const void* bytes, DWORD size, int encoding = EncodingUtf8);
    // Reads `name` from the resource folder, or from the resource archive when one is set.
    bool LoadFromFile(const wchar_t* name, int encoding = EncodingUtf8);
    void Release();
    bool IsValid() const { return elements_ != nullptr && elementCount_ > 1; }
    CUiMarkupNode GetRoot();
    const wchar_t* GetErrorMessage() const { return errorMessage_; }
    const wchar_t* GetErrorLocation() const { return errorLocation_; }
    void SetPreserveWhitespace(bool preserve) { preserveWhitespace_ = preserve; }

  private:
    friend class CUiMarkupNode;
    struct Element {
        std::uint32_t start;
        std::uint32_t child;
        std::uint32_t next;
        std::uint32_t parent;
        std::uint32_t data;
    };
    struct OpenElement;

    bool TakeText(wchar_t* text);
    bool LoadFromFolder(const wchar_t* name, int encoding);
    bool LoadFromArchive(const wchar_t* name, int encoding);
    bool Parse();
    bool ParseContent(wchar_t* p);
    bool ParseAttributes(wchar_t*& p);
    bool CloseElement(wchar_t*& p, const OpenElement& element);
    static void EndOpenNames(const std::vector<OpenElement>& open);
    void ReadData(wchar_t*& p, wchar_t*& out, wchar_t end) const;
    std::uint32_t AppendElement();
    void ClearError();
    bool Fail(const wchar_t* message, const wchar_t* location = nullptr);

    wchar_t* text_ = nullptr;
    Element* elements_ = nullptr;
    std::uint32_t elementCount_ = 0;
    std::uint32_t elementCapacity_ = 0;
    wchar_t errorMessage_[100] = {};
    wchar_t errorLocation_[50] = {};
    bool preserveWhitespace_ = true;
};

}  // namespace Weft
