#pragma once

#include <windows.h>

#include <richedit.h>

#include <cstdint>

#include "ui/controls/ContainerUI.h"
#include "ui/controls/TextHost.h"
#include "ui/controls/UiEvents.h"

namespace Weft {

class CTxtWinHost;

// A windowless rich text box: the system's text services edit, lay out and draw the text,
// and drive the container's scroll bars through the host.
class CRichEditUI : public CContainerUI, public IMessageFilterUI {
  public:
    CRichEditUI();
    ~CRichEditUI() override;

    const wchar_t* ClassName() const override;
    void* CastTo(const wchar_t* interfaceName) override;
    std::uint32_t Flags() const override;
    void SetText(const wchar_t* text) override;
    CUiString GetText() const override;
    void SetEnabled(bool enable = true) override;
    void OnInitialized() override;
    void ProcessEvent(EventRecord& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void SetPos(CUiRect rect, bool invalidate = true) override;
    void SetScrollOffset(SIZE offset, bool notify = true) override;
    bool PaintSelf(HDC dc, const RECT& paintArea, CControlUI* stopAt) override;
    void DrawStateImage(HDC dc) override;
    LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    bool HasHost() const { return host_ != nullptr; }
    // The services themselves, for messages this class has no operation for; null without a
    // host.
    ITextServices* GetTextServices() const;
    // Where the services lay out and draw the text: the control less its inset, its visible
    // scroll bars and its text padding.
    CUiRect GetTextArea() const;
    bool IsReadOnly() const { return readOnly_; }
    std::uint32_t GetStyleBits() const { return style_; }
    void SelectAll();
    void Copy();
    bool CanUndo();
    // The character format of the selection; false without a host.
    bool GetSelectionFormat(CHARFORMAT2W& format);
    // The services' vertical scroll state; false without a host.
    bool GetVerticalScroll(LONG& maximum, LONG& position, LONG& page);

    // The context menu's command ids, as WM_COMMAND brings them back.
    static constexpr UINT kEditUndo = 101;
    static constexpr UINT kEditCut = 102;
    static constexpr UINT kEditCopy = 103;
    static constexpr UINT kEditPaste = 104;
    static constexpr UINT kEditClear = 105;
    static constexpr UINT kEditSelectAll = 106;
    static constexpr UINT kEditRedo = 107;
    // The context menu, its items greyed as the selection and the read-only state allow; the
    // caller destroys it. Null without a host.
    HMENU CreateEditMenu();
    // Runs one of the menu's commands; false for another id or without a host.
    bool RunEditCommand(UINT id);

    // Shows the vertical bar, with the services' range and position, only while the text
    // leaves something to scroll.
    void SyncVerticalBar();
    // From the host: a notification of the text services.
    void OnTextNotify(DWORD code, void* data);
    // Hands the text services the control's font again, as the manager's table holds it now
    // (after its fonts were created anew for another display scale).
    void ApplyFont();

  private:
    // The control timer started for the caret; the caret itself is the window's.
    static constexpr std::uint32_t kCaretTimer = 20;

    void ShowEditMenu(POINT screen);
    // The mouse messages and WM_SETCURSOR the services are to see: false when the point is
    // outside the text area or over another control, unless the services hold the capture.
    bool ForServices(UINT message, LPARAM lParam) const;
    // Places the input method's composition window at the caret.
    void PlaceComposition();
    // The placeholder, drawn in the text area while the box is empty and unfocused.
    void PaintTipValue(HDC dc);
    std::uint32_t HostTextColour() const;

    CTxtWinHost* host_ = nullptr;
    bool wantTab_ = true;
    bool wantReturn_ = true;
    bool wantCtrlReturn_ = true;
    bool transparent_ = true;
    bool rich_ = true;
    bool readOnly_ = false;
    int font_ = -1;
    int maxChar_ = 32767;
    std::uint32_t style_ = ES_MULTILINE;
    std::uint32_t textColour_ = 0;
    bool initialised_ = false;
    CUiRect textPadding_;
    CUiString normalImage_;
    CUiString hotImage_;
    CUiString focusedImage_;
    CUiString disabledImage_;
    bool hot_ = false;
    CUiString tipValue_;
    std::uint32_t tipValueColour_ = 0xFFBAC0C5;
    UINT tipValueAlign_ = DT_SINGLELINE;
};

}  // namespace Weft
