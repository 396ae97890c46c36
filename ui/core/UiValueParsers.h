#pragma once

#include <cstdint>

#include "ui/core/UiRect.h"

namespace Weft {

// Attribute value parsers shared by every attribute setter. Each reads a zero-terminated text;
// a null text reads like an empty one. Bad values never fail, they read as 0.

// #AARRGGBB with optional leading white space (code units up to 32) and an optional '#'.
std::uint32_t ParseColour(const wchar_t* text);
// The border colour setters skip only the '#', so a leading blank makes the colour 0.
std::uint32_t ParseBorderColour(const wchar_t* text);
int ParseInteger(const wchar_t* text);
// Reads up to `count` base-10 numbers, each followed by one separator character of any kind.
// Fields missing at the end of the text read as 0.
void ParseIntegerList(const wchar_t* text, long* values, int count);
void ParseRealList(const wchar_t* text, double* values, int count);
CUiRect ParseRect(const wchar_t* text);
CUiSize ParseSize(const wchar_t* text);
// True exactly for "true" in any case.
bool ParseBoolean(const wchar_t* text);

}  // namespace Weft
