// The string's inline and heap storage rules and its text operations.
#include "ui/core/UiString.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <string>

namespace Weft {
namespace {

std::wstring Letters(int count, wchar_t first = L'a') {
    std::wstring text;
    for (int i = 0; i < count; ++i) text += static_cast<wchar_t>(first + i % 26);
    return text;
}

// The inline buffer is part of the object, so a pointer into the object means inline storage.
bool IsInline(const CUiString& s) {
    const auto* begin = reinterpret_cast<const char*>(&s);
    const auto* data = reinterpret_cast<const char*>(s.GetData());
    return data >= begin && data < begin + sizeof(CUiString);
}

// Units of the heap block behind a string that lives on the heap.
size_t HeapUnits(const CUiString& s) {
    return _msize(const_cast<wchar_t*>(s.GetData())) / sizeof(wchar_t);
}

TEST(CUiString, HoldsTheFieldsInTheDocumentedShape) {
    EXPECT_EQ(sizeof(CUiString), sizeof(wchar_t*) + 64 * sizeof(wchar_t));
}

TEST(CUiString, SixtyTwoCharactersStayInline) {
    const std::wstring text = Letters(62);
    CUiString s(text.c_str());
    EXPECT_TRUE(IsInline(s));
    EXPECT_EQ(s.GetLength(), 62);
    EXPECT_EQ(std::wstring(s.GetData()), text);
}

TEST(CUiString, SixtyThreeCharactersGoToTheHeapAndShortTextsReturn) {
    const std::wstring text = Letters(63);
    CUiString s;
    s.Assign(text.c_str());
    EXPECT_FALSE(IsInline(s));
    EXPECT_EQ(HeapUnits(s), 64u);
    EXPECT_EQ(std::wstring(s.GetData()), text);
    s.Assign(L"0123456789");
    EXPECT_TRUE(IsInline(s));
    EXPECT_EQ(std::wstring(s.GetData()), L"0123456789");
}

TEST(CUiString, AShorterLongTextReusesTheHeapBlockAndALongerOneMovesIt) {
    const std::wstring longText = Letters(100);
    CUiString s(longText.c_str());
    const wchar_t* block = s.GetData();
    const std::wstring shorter = Letters(70, L'A');
    s.Assign(shorter.c_str());
    EXPECT_EQ(s.GetData(), block);
    EXPECT_EQ(HeapUnits(s), 101u);
    EXPECT_EQ(std::wstring(s.GetData()), shorter);
    // The block still has room for 100, but the current text is 70 long, so it is remade.
    s.Assign(Letters(80).c_str());
    EXPECT_EQ(std::wstring(s.GetData()), Letters(80));
    EXPECT_EQ(HeapUnits(s), 81u);
}

TEST(CUiString, AssignHonoursTheLengthAndTreatsNullAsEmpty) {
    CUiString s;
    s.Assign(L"abcdef", 3);
    EXPECT_EQ(std::wstring(s.GetData()), L"abc");
    s.Assign(L"abcdef", -1);
    EXPECT_EQ(std::wstring(s.GetData()), L"abcdef");
    s.Assign(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    s = Letters(90).c_str();
    s = static_cast<const wchar_t*>(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_TRUE(IsInline(s));
}

TEST(CUiString, AssigningFromItsOwnTextIsSafe) {
    const std::wstring text = Letters(120);
    CUiString s(text.c_str());
    s.Assign(s.GetData() + 10);
    EXPECT_EQ(std::wstring(s.GetData()), text.substr(10));
    s.Assign(s.GetData() + 50);
    EXPECT_EQ(std::wstring(s.GetData()), text.substr(60));
    EXPECT_TRUE(IsInline(s));
    s = s;
    EXPECT_EQ(std::wstring(s.GetData()), text.substr(60));
}

TEST(CUiString, AppendingPastSixtyTwoMovesToTheHeap) {
    const std::wstring text = Letters(61);
    CUiString s(text.c_str());
    s.Append(L"xyz");
    EXPECT_FALSE(IsInline(s));
    EXPECT_EQ(s.GetLength(), 64);
    EXPECT_EQ(HeapUnits(s), 65u);
    EXPECT_EQ(std::wstring(s.GetData()), text + L"xyz");
    s.Append(L"!");
    EXPECT_EQ(HeapUnits(s), 66u);
}

TEST(CUiString, AppendingToAShortenedHeapStringReturnsInline) {
    CUiString s(Letters(80).c_str());
    s.SetAt(5, L'\0');
    EXPECT_EQ(s.GetLength(), 5);
    s.Append(L"XY");
    EXPECT_TRUE(IsInline(s));
    EXPECT_EQ(std::wstring(s.GetData()), L"abcdeXY");
}

TEST(CUiString, AppendingItselfDoublesTheText) {
    CUiString s(Letters(40).c_str());
    s.Append(s.GetData());
    EXPECT_EQ(std::wstring(s.GetData()), Letters(40) + Letters(40));
    s += s;
    EXPECT_EQ(s.GetLength(), 160);
    CUiString small(L"ab");
    small += small;
    EXPECT_EQ(std::wstring(small.GetData()), L"abab");
}

TEST(CUiString, AppendCharConcatAndCopiesAreIndependent) {
    CUiString a(L"ab");
    a.AppendChar(L'c');
    a += L'd';
    const CUiString b = a.Concat(CUiString(L"ef"));
    EXPECT_EQ(std::wstring(b.GetData()), L"abcdef");
    EXPECT_EQ(std::wstring(a.GetData()), L"abcd");
    CUiString longCopy(Letters(70).c_str());
    CUiString other(longCopy);
    EXPECT_NE(other.GetData(), longCopy.GetData());
    longCopy.SetAt(0, L'Z');
    EXPECT_EQ(other.GetAt(0), L'a');
    EXPECT_EQ(std::wstring((a + L"!").GetData()), L"abcd!");
}

TEST(CUiString, EmptyFreesAndClears) {
    CUiString s(Letters(70).c_str());
    s.Empty();
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_TRUE(IsInline(s));
    EXPECT_EQ(CUiString(L'x').GetLength(), 1);
}

TEST(CUiString, ComparesOrdinallyAndIgnoringCase) {
    CUiString s(L"Button");
    EXPECT_EQ(s.Compare(L"Button"), 0);
    EXPECT_LT(s.Compare(L"button"), 0);
    EXPECT_GT(s.Compare(L"Box"), 0);
    EXPECT_EQ(s.CompareIgnoreCase(L"BUTTON"), 0);
    EXPECT_NE(s.CompareIgnoreCase(L"BUTTONS"), 0);
    EXPECT_TRUE(s == L"Button");
    EXPECT_TRUE(s != L"button");
    EXPECT_TRUE(s < L"Buttons");
    s.ToLowerInPlace();
    EXPECT_EQ(std::wstring(s.GetData()), L"button");
}

TEST(CUiString, PrefixSuffixAndSubstringClamp) {
    const CUiString s(L"abcdef");
    EXPECT_EQ(std::wstring(s.Prefix(2).GetData()), L"ab");
    EXPECT_EQ(std::wstring(s.Prefix(-3).GetData()), L"");
    EXPECT_EQ(std::wstring(s.Prefix(10).GetData()), L"abcdef");
    EXPECT_EQ(std::wstring(s.Suffix(2).GetData()), L"ef");
    EXPECT_EQ(std::wstring(s.Suffix(9).GetData()), L"abcdef");
    EXPECT_EQ(std::wstring(s.Suffix(0).GetData()), L"");
    EXPECT_EQ(std::wstring(s.Substring(2).GetData()), L"cdef");
    EXPECT_EQ(std::wstring(s.Substring(2, 3).GetData()), L"cde");
    EXPECT_EQ(std::wstring(s.Substring(4, 100).GetData()), L"ef");
    EXPECT_EQ(std::wstring(s.Substring(6, 1).GetData()), L"");
}

TEST(CUiString, FindCharacterStartMustLieInsideTheText) {
    const CUiString s(L"abcabc");
    EXPECT_EQ(s.Find(L'b'), 1);
    EXPECT_EQ(s.Find(L'b', 2), 4);
    EXPECT_EQ(s.Find(L'c', 5), 5);
    EXPECT_EQ(s.Find(L'c', 6), -1);
    EXPECT_EQ(s.Find(L'a', -1), -1);
    EXPECT_EQ(s.Find(L'z'), -1);
    EXPECT_EQ(CUiString().Find(L'a'), -1);
}

TEST(CUiString, FindTextAllowsStartAtTheEnd) {
    const CUiString s(L"abcabc");
    EXPECT_EQ(s.Find(L"ca"), 2);
    EXPECT_EQ(s.Find(L"bc", 2), 4);
    EXPECT_EQ(s.Find(L"", 6), 6);
    EXPECT_EQ(s.Find(L"c", 6), -1);
    EXPECT_EQ(s.Find(L"a", 7), -1);
    EXPECT_EQ(s.Find(L"a", -1), -1);
    EXPECT_EQ(s.FindLast(L'a'), 3);
    EXPECT_EQ(s.FindLast(L'z'), -1);
}

TEST(CUiString, ReplaceDoesNotRescanReplacedText) {
    CUiString s(L"aaa");
    EXPECT_EQ(s.Replace(L"a", L"aa"), 3);
    EXPECT_EQ(std::wstring(s.GetData()), L"aaaaaa");
    CUiString t(L"x.png.png");
    EXPECT_EQ(t.Replace(L".", L"@150."), 2);
    EXPECT_EQ(std::wstring(t.GetData()), L"x@150.png@150.png");
    CUiString u(L"abab");
    EXPECT_EQ(u.Replace(L"ab", L""), 2);
    EXPECT_TRUE(u.IsEmpty());
    EXPECT_EQ(u.Replace(L"q", L"r"), 0);
}

TEST(CUiString, ReplaceOfAnEmptyPatternChangesNothing) {
    CUiString s(L"abc");
    EXPECT_EQ(s.Replace(L"", L""), 0);
    EXPECT_EQ(s.Replace(L"", L"x"), 0);
    EXPECT_EQ(std::wstring(s.GetData()), L"abc");
}

TEST(CUiString, FormatHasNoLengthLimit) {
    CUiString s;
    const std::wstring part = Letters(150);
    EXPECT_EQ(s.Format(L"%s-%d", part.c_str(), 42), 153);
    EXPECT_EQ(std::wstring(s.GetData()), part + L"-42");
    EXPECT_EQ(s.Format(L"dest='%d,%d,%d,%d'", 1, -2, 3, 40), 16);
    EXPECT_EQ(std::wstring(s.GetData()), L"dest='1,-2,3,40'");
}

TEST(CUiString, FormatShortCutsAtSixtyThree) {
    CUiString s;
    EXPECT_EQ(s.FormatShort(L"dest='%d,%d,%d,%d'", 4, 5, 6, 7), 14);
    EXPECT_EQ(std::wstring(s.GetData()), L"dest='4,5,6,7'");
    const std::wstring exact = Letters(63);
    EXPECT_EQ(s.FormatShort(L"%s", exact.c_str()), 63);
    EXPECT_EQ(std::wstring(s.GetData()), exact);
    EXPECT_EQ(s.FormatShort(L"%s", Letters(80).c_str()), -1);
    EXPECT_EQ(std::wstring(s.GetData()), exact);
}

TEST(CUiString, TrimsWhiteSpace) {
    CUiString s(L" \t ab c \r\n");
    s.TrimRight();
    EXPECT_EQ(std::wstring(s.GetData()), L" \t ab c");
    s.TrimLeft();
    EXPECT_EQ(std::wstring(s.GetData()), L"ab c");
    CUiString t(L"   ");
    t.Trim();
    EXPECT_TRUE(t.IsEmpty());
    const std::wstring padded = L"  " + Letters(70) + L"  ";
    CUiString u(padded.c_str());
    u.Trim();
    EXPECT_EQ(std::wstring(u.GetData()), Letters(70));
}

TEST(CUiString, FormatMayTakeItsOwnTextAsArgument) {
    CUiString inline_(L"abc");
    EXPECT_EQ(inline_.Format(L"%s-%s", inline_.GetData(), inline_.GetData()), 7);
    EXPECT_EQ(inline_, L"abc-abc");
    CUiString heap(std::wstring(100, L'x').c_str());
    EXPECT_EQ(heap.Format(L"[%s]", heap.GetData()), 102);
    EXPECT_EQ(heap, (L"[" + std::wstring(100, L'x') + L"]").c_str());
    CUiString shortText(L"ab");
    EXPECT_EQ(shortText.FormatShort(L"%s%s", shortText.GetData(), shortText.GetData()), 4);
    EXPECT_EQ(shortText, L"abab");
}

}  // namespace
}  // namespace Weft
