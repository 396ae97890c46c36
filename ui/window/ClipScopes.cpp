#include "ui/window/RenderEngine.h"

namespace Weft {
namespace {

void Enter(HDC dc, const CUiRect& rect, HRGN region, ClipScope& scope) {
    RECT box{};
    ::GetClipBox(dc, &box);
    scope.rect = rect;
    scope.dc = dc;
    scope.region = region;
    scope.previousRegion = ::CreateRectRgnIndirect(&box);
    ::ExtSelectClipRgn(dc, region, RGN_AND);
}

}  // namespace

void CRenderEngine::EnterRectClip(HDC dc, const CUiRect& rect, ClipScope& scope) {
    Enter(dc, rect, ::CreateRectRgnIndirect(&rect), scope);
}

void CRenderEngine::EnterRoundClip(HDC dc, const CUiRect& rect, int width, int height,
                                   ClipScope& scope) {
    const HRGN region = ::CreateRectRgnIndirect(&rect);
    const HRGN round =
        ::CreateRoundRectRgn(rect.left, rect.top, rect.right + 1, rect.bottom + 1, width, height);
    ::CombineRgn(region, region, round, RGN_AND);
    ::DeleteObject(round);
    Enter(dc, rect, region, scope);
}

// A scope restored once is left empty, so restoring it again (or one never entered) leaves the
// DC's clipping alone instead of selecting a null region, which would remove all clipping.
void CRenderEngine::RestoreClip(ClipScope& scope) {
    if (scope.dc == nullptr) return;
    ::SelectClipRgn(scope.dc, scope.previousRegion);
    ::DeleteObject(scope.previousRegion);
    ::DeleteObject(scope.region);
    scope.previousRegion = nullptr;
    scope.region = nullptr;
    scope.dc = nullptr;
}

void CRenderEngine::SelectPreviousClip(const ClipScope& scope) {
    ::SelectClipRgn(scope.dc, scope.previousRegion);
}

void CRenderEngine::SelectScopeClip(const ClipScope& scope) {
    ::SelectClipRgn(scope.dc, scope.region);
}

}  // namespace Weft
