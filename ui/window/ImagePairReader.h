#pragma once

#include "ui/core/UiString.h"

namespace Weft {

// Walks the key='value' pairs of one image text. Pairs are separated by blanks; the first
// malformed pair ends the walk, so the pairs before it still count.
class ImagePairReader {
  public:
    explicit ImagePairReader(const wchar_t* text)
        : cursor_(text != nullptr ? text : L""), rest_(cursor_) {}

    // False when the text is used up or malformed.
    bool Next(CUiString& key, CUiString& value);
    // Where the text goes on after the last well-formed pair and its separator.
    const wchar_t* Rest() const { return rest_; }

  private:
    // Null once the walk has ended.
    const wchar_t* cursor_;
    const wchar_t* rest_;
};

}  // namespace Weft
