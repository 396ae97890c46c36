#pragma once

#include <windows.h>

#include "ui/core/UiString.h"

namespace Weft {

// Process-wide settings every paint manager and loader reads. They are set once at start-up
// on the window thread and only read afterwards.

void SetModuleInstance(HINSTANCE instance);
HINSTANCE GetModuleInstance();
void SetResourceInstance(HINSTANCE instance);
// The resource instance when one is set, else the module instance.
HINSTANCE GetResourceInstance();
// The module file's folder with its trailing backslash; empty while no instance is set.
CUiString GetModuleDirectory();
// A non-empty path is kept ending in a backslash or slash, so names can be appended directly.
void SetResourceDirectory(const wchar_t* path);
const CUiString& GetResourceDirectory();

class CUiZipArchive;

// A zip archive under the resource directory that holds the resource files instead of the
// folder itself. With `keepOpen` the archive is opened once and cached for every load.
struct ResourceArchiveSettings {
    CUiString name;
    CUiString password;
    bool keepOpen = false;
    CUiZipArchive* cached = nullptr;
};

// An empty name switches the archive off and the resource directory is read again.
void SetResourceArchive(const wchar_t* name, const wchar_t* password, bool keepOpen);
const ResourceArchiveSettings& GetResourceArchive();
// The archive for one load: the cached one, or one opened now; null when none is set or it
// cannot be opened. Every acquired archive is handed back to ReleaseResourceArchive, which
// closes it unless it is the cached one.
CUiZipArchive* AcquireResourceArchive();
void ReleaseResourceArchive(CUiZipArchive* archive);

// Colour adjustment applied to images loaded with their pixels kept.
struct ColourAdjustment {
    bool enabled = false;
    short hue = 180;
    short saturation = 100;
    short lightness = 100;
};

void SetColourAdjustment(const ColourAdjustment& adjustment);
const ColourAdjustment& GetColourAdjustment();

}  // namespace Weft
