#pragma once

#include "ui/core/UiRect.h"

namespace Weft {

// Percentage scaling of geometry given by attributes. A non-zero value never scales to 0, so a
// one-pixel border stays visible at any percentage.
class CUiScale {
  public:
    static constexpr int ModeNone = 0;
    static constexpr int ModePercentage = 2;

    int GetPercentage() const { return percentage_; }
    void SetPercentage(int percentage) { percentage_ = percentage; }
    int GetMode() const { return mode_; }
    void SetMode(int mode) { mode_ = mode; }

    int Scale(int value) const;
    CUiSize Scale(const SIZE& size) const;
    POINT Scale(const POINT& point) const;
    // The width and height are scaled and added to the scaled left and top.
    CUiRect Scale(const RECT& rect) const;
    // A display length back in stored units, rounded to the nearest: what a drag measured in
    // pixels stores so that Scale gives the pixels back.
    int Unscale(int pixels) const;

  private:
    int percentage_ = 100;
    int mode_ = ModePercentage;
};

}  // namespace Weft
