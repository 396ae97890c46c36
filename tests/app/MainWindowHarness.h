#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "app/MainWnd.h"
#include "tests/support/ScriptedMachine.h"

namespace certvane::test {

// Pumps the calling thread's messages until `done` holds; false after `milliseconds`.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 20000);

// What a message box of this process showed, as read from its dialog window.
struct SeenBox {
    std::wstring caption;
    std::wstring text;
    bool yes = false;  // which buttons it had
    bool no = false;
    bool ok = false;
    LPCWSTR icon = nullptr;  // IDI_WARNING, IDI_INFORMATION, IDI_ERROR or null
    // The characters of the text the box's font shows as empty squares (GlyphsMissingIn).
    std::wstring missingGlyphs;
};

// Answers the next message box this process shows, from a thread of its own: it waits for the
// box, reads it and presses `answer` (IDYES, IDNO or IDOK). Made before the click that opens
// the box, as the box blocks the window's thread.
class BoxAnswerer {
  public:
    explicit BoxAnswerer(int answer);
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    // Waits for the answering thread; the box it saw, or an empty caption when none came.
    const SeenBox& Seen();

  private:
    int answer_;
    SeenBox seen_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// The main window on a scripted machine, created as the program creates it (title, style,
// size), with the first refresh started by its creation.
class MainWindowUnderTest {
  public:
    explicit MainWindowUnderTest(ScriptedMachine& machine,
                                 CMainWnd::Operations operations = CMainWnd::EngineOperations());
    ~MainWindowUnderTest();

    CMainWnd& Window() { return *window_; }
    HWND Handle() const { return window_->GetHandle(); }
    Weft::CControlUI* Named(const wchar_t* name);
    std::wstring TextOf(const wchar_t* name);
    std::wstring ToolTipOf(const wchar_t* name);
    bool IsEnabled(const wchar_t* name);
    std::wstring AttributeColour(const wchar_t* name, const wchar_t* attribute);

    // Lets the running worker finish without handling its message, so the window's thread may
    // use the scripted machine meanwhile; false when it does not end.
    bool WaitForWorker();
    // Waits for the worker and handles its completion message.
    bool FinishWork();
    // A left click by real mouse messages at the centre of the named control.
    void Click(const wchar_t* name);
    // Paints the window now, so pixels and layout are current.
    void Paint();
    std::uint32_t RgbAt(int x, int y);

  private:
    std::unique_ptr<CMainWnd> window_;
};

}  // namespace certvane::test
