// Parsing layout text held in memory: the tree, attributes, entities and every parse error.
#include "ui/core/UiMarkup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace Weft {
namespace {

std::wstring Str(const wchar_t* text) {
    return text ? std::wstring(text) : std::wstring(L"<null>");
}

std::vector<std::wstring> ChildNames(const CUiMarkupNode& node) {
    std::vector<std::wstring> names;
    for (CUiMarkupNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) {
        names.emplace_back(child.GetName());
    }
    return names;
}

struct ParseError {
    std::wstring message;
    std::wstring location;
};

ParseError FailureOf(const wchar_t* text) {
    CUiMarkup markup;
    EXPECT_FALSE(markup.Load(text)) << "should fail: " << std::string(text, text + wcslen(text));
    EXPECT_FALSE(markup.GetRoot().IsValid());
    return {markup.GetErrorMessage(), markup.GetErrorLocation()};
}

void ExpectFailure(const wchar_t* text, const wchar_t* message, const wchar_t* location) {
    const ParseError error = FailureOf(text);
    EXPECT_EQ(error.message, message);
    EXPECT_EQ(error.location, location);
}

TEST(CUiMarkup, BuildsTheElementTree) {
    CUiMarkup markup(
        L"<Window size=\"800,600\">\r\n"
        L"  <Font id=\"0\" name=\"Arial\"/>\n"
        L"  <VerticalLayout>\n"
        L"    <Label text=\"a\"/><Button/>\n"
        L"  </VerticalLayout>\n"
        L"  <Default name=\"Button\" value=\"x\" />\n"
        L"</Window>\n");
    CUiMarkupNode root = markup.GetRoot();
    ASSERT_TRUE(root.IsValid());
    EXPECT_EQ(Str(root.GetName()), L"Window");
    EXPECT_TRUE(root.HasChildren());
    EXPECT_EQ(ChildNames(root),
              (std::vector<std::wstring>{L"Font", L"VerticalLayout", L"Default"}));
    const CUiMarkupNode layout = root.GetChild().GetSibling();
    EXPECT_EQ(ChildNames(layout), (std::vector<std::wstring>{L"Label", L"Button"}));
    EXPECT_FALSE(layout.GetSibling().HasChildren());
    EXPECT_FALSE(layout.GetSibling().GetSibling().IsValid());
    EXPECT_FALSE(root.GetSibling().IsValid());
    EXPECT_EQ(Str(root.GetAttributeValue(0)), L"800,600");
    CUiMarkupNode defaults = layout.GetSibling();
    EXPECT_EQ(defaults.GetAttributeCount(), 2);
    EXPECT_EQ(Str(defaults.GetAttributeName(1)), L"value");
    EXPECT_EQ(Str(defaults.GetAttributeValue(1)), L"x");
}

TEST(CUiMarkup, DeclarationsAndCommentsCreateNoElement) {
    CUiMarkup markup;
    ASSERT_TRUE(
        markup.Load(L"<?xml version=\"1.0\" encoding=\"utf-16\" standalone=\"yes\" ?>\n"
                    L"<!-- the main window -->\n"
                    L"<Window><!-- <Label/> --><Button/></Window>"));
    CUiMarkupNode root = markup.GetRoot();
    EXPECT_EQ(Str(root.GetName()), L"Window");
    EXPECT_EQ(ChildNames(root), (std::vector<std::wstring>{L"Button"}));
}

TEST(CUiMarkup, AnEmptyDocumentHasNoRoot) {
    CUiMarkup markup;
    EXPECT_TRUE(markup.Load(L"  \r\n "));
    EXPECT_FALSE(markup.GetRoot().IsValid());
    EXPECT_TRUE(markup.Load(L"<?xml version=\"1.0\"?>"));
    EXPECT_FALSE(markup.GetRoot().IsValid());
    EXPECT_FALSE(markup.Load(nullptr));
}

TEST(CUiMarkup, TextMayEndInsideTheRoot) {
    CUiMarkup markup;
    ASSERT_TRUE(markup.Load(L"<Window><Font/>"));
    EXPECT_EQ(Str(markup.GetRoot().GetName()), L"Window");
    EXPECT_EQ(ChildNames(markup.GetRoot()), (std::vector<std::wstring>{L"Font"}));
    ASSERT_TRUE(markup.Load(L"<Window><Font>text"));
    EXPECT_EQ(Str(markup.GetRoot().GetName()), L"Window");
    EXPECT_EQ(ChildNames(markup.GetRoot()), (std::vector<std::wstring>{L"Font"}));
    ASSERT_TRUE(markup.Load(L"<Window>text"));
    EXPECT_EQ(Str(markup.GetRoot().GetName()), L"Window");
    ExpectFailure(L"<Window><Layout><Label>text", L"Expected end-tag start", L"");
}

TEST(CUiMarkup, ReportsEachParseErrorWithItsLocation) {
    ExpectFailure(L"Window", L"Expected start tag", L"Window");
    ExpectFailure(L"<Window><A><B/>", L"Expected start tag", L"");
    ExpectFailure(L"<Window><A>x</A> junk</Window>", L"Expected start tag", L"junk</Window>");
    ExpectFailure(L"<Window", L"Error parsing element name", L"");
    ExpectFailure(L"<Window a=\"1\"/ >", L"Expected start-tag closing", L"/ >");
    ExpectFailure(L"<Window a=\"1\"", L"Expected start-tag closing", L"");
    ExpectFailure(L"<Window></window>", L"Unmatched closing tag", L"window>");
    ExpectFailure(L"<Window></Windows>", L"Unmatched closing tag", L"s>");
    ExpectFailure(L"<Window size>", L"Error while parsing attributes", L">");
    ExpectFailure(L"<Window size=1>", L"Expected attribute value", L"1>");
    ExpectFailure(L"<Window size=\"1,2", L"Error while parsing attribute string", L"");
}

TEST(CUiMarkup, TheLocationIsCutAtFortyNineUnits) {
    const std::wstring tail(80, L'q');
    const ParseError start = FailureOf(tail.c_str());
    EXPECT_EQ(start.location, std::wstring(49, L'q'));
}

TEST(CUiMarkup, EndTagsCompareCaseSensitivelyAndAllowBlanks) {
    CUiMarkup markup;
    EXPECT_TRUE(markup.Load(L"<Window></ Window >"));
    ExpectFailure(L"<Window><Label></LABEL></Window>", L"Unmatched closing tag",
                  L"LABEL></Window>");
}

TEST(CUiMarkup, SingleQuotedValuesAreRefused) {
    ExpectFailure(L"<Window size='1,2'/>", L"Expected attribute value", L"'1,2'/>");
}

TEST(CUiMarkup, DecodesTheFiveEntities) {
    CUiMarkup markup(
        L"<Label a=\"x&amp;y\" b=\"&lt;&gt;&quot;&apos;\" c=\"&nbsp;z\" "
        L"d=\"&amp;amp;\" e=\"&&lt;\" f=\"tail&\">&lt;content&gt;</Label>");
    CUiMarkupNode root = markup.GetRoot();
    ASSERT_EQ(root.GetAttributeCount(), 6);
    EXPECT_EQ(Str(root.GetAttributeValue(0)), L"x&y");
    EXPECT_EQ(Str(root.GetAttributeValue(1)), L"<>\"'");
    EXPECT_EQ(Str(root.GetAttributeValue(2)), L"&nbsp;z");
    EXPECT_EQ(Str(root.GetAttributeValue(3)), L"&amp;");
    EXPECT_EQ(Str(root.GetAttributeValue(4)), L"&<");
    EXPECT_EQ(Str(root.GetAttributeValue(5)), L"tail&");
    EXPECT_EQ(Str(root.GetAttributeName(5)), L"f");
}

TEST(CUiMarkup, ShortenedValuesLeaveTheFollowingAttributesReadable) {
    CUiMarkup markup(L"<A one=\"&amp;&amp;&amp;&amp;\"two=\"2\"  three = \"&quot;3&quot;\"/>");
    CUiMarkupNode root = markup.GetRoot();
    ASSERT_EQ(root.GetAttributeCount(), 3);
    EXPECT_EQ(Str(root.GetAttributeValue(0)), L"&&&&");
    EXPECT_EQ(Str(root.GetAttributeName(1)), L"two");
    EXPECT_EQ(Str(root.GetAttributeValue(1)), L"2");
    EXPECT_EQ(Str(root.GetAttributeName(2)), L"three");
    EXPECT_EQ(Str(root.GetAttributeValue(2)), L"\"3\"");
}

TEST(CUiMarkup, BlanksInValuesArePreservedUnlessSwitchedOff) {
    CUiMarkup markup;
    ASSERT_TRUE(markup.Load(L"<A v=\"a   b\t\tc\"/>"));
    EXPECT_EQ(Str(markup.GetRoot().GetAttributeValue(0)), L"a   b\t\tc");
    markup.SetPreserveWhitespace(false);
    ASSERT_TRUE(markup.Load(L"<A v=\"a   b\t\tc\" w=\"x\"/>"));
    CUiMarkupNode root = markup.GetRoot();
    EXPECT_EQ(Str(root.GetAttributeValue(0)), L"a b\t\tc");
    EXPECT_EQ(Str(root.GetAttributeValue(1)), L"x");
}

TEST(CUiMarkup, ANodeExposesAtMostSixtyFourAttributes) {
    std::wstring text = L"<Label";
    for (int i = 0; i < 70; ++i)
        text += L" a" + std::to_wstring(i) + L"=\"v" + std::to_wstring(i) + L"\"";
    text += L"/>";
    CUiMarkup markup(text.c_str());
    CUiMarkupNode root = markup.GetRoot();
    ASSERT_EQ(root.GetAttributeCount(), 64);
    EXPECT_EQ(Str(root.GetAttributeName(63)), L"a63");
    EXPECT_EQ(Str(root.GetAttributeValue(63)), L"v63");
    EXPECT_EQ(Str(root.GetAttributeName(64)), L"");
    wchar_t buffer[8] = {};
    EXPECT_TRUE(root.GetAttributeValue(L"A10", buffer, 8));
    EXPECT_EQ(std::wstring(buffer), L"v10");
    EXPECT_FALSE(root.GetAttributeValue(L"a65", buffer, 8));
}

TEST(CUiMarkup, AttributeLookupIgnoresCaseAndCopiesLikeWcsncpy) {
    CUiMarkup markup(L"<Label Text=\"hello\" text=\"second\"/>");
    CUiMarkupNode root = markup.GetRoot();
    wchar_t buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    ASSERT_TRUE(root.GetAttributeValue(L"TEXT", buffer, 3));
    EXPECT_EQ(std::wstring(buffer, 4), L"hel#");
    ASSERT_TRUE(root.GetAttributeValue(L"text", buffer, 8));
    EXPECT_EQ(std::wstring(buffer), L"hello");
    EXPECT_EQ(Str(root.GetAttributeValue(-1)), L"");
    EXPECT_TRUE(root.HasAttributes());
}

TEST(CUiMarkup, ElementsWithoutAttributesReportNone) {
    CUiMarkup markup(L"<Window><A/><B /><C>text</C><D></D></Window>");
    CUiMarkupNode node = markup.GetRoot();
    EXPECT_FALSE(node.HasAttributes());
    for (node = node.GetChild(); node.IsValid(); node = node.GetSibling()) {
        EXPECT_FALSE(node.HasAttributes()) << Str(node.GetName()).c_str();
        EXPECT_EQ(Str(node.GetAttributeName(0)), L"");
    }
}

TEST(CUiMarkup, AnInvalidNodeAnswersNull) {
    CUiMarkupNode node;
    EXPECT_FALSE(node.IsValid());
    EXPECT_EQ(node.GetName(), nullptr);
    EXPECT_EQ(node.GetAttributeName(0), nullptr);
    EXPECT_EQ(node.GetAttributeValue(0), nullptr);
    EXPECT_FALSE(node.GetChild().IsValid());
    EXPECT_FALSE(node.HasChildren());
    EXPECT_FALSE(node.HasAttributes());
    wchar_t buffer[4];
    EXPECT_FALSE(node.GetAttributeValue(L"a", buffer, 4));
}

TEST(CUiMarkup, ThousandsOfElementsGrowTheTable) {
    std::wstring text = L"<Window>";
    for (int i = 0; i < 3000; ++i) text += L"<E i=\"" + std::to_wstring(i) + L"\"/>";
    text += L"</Window>";
    CUiMarkup markup(text.c_str());
    int count = 0;
    for (CUiMarkupNode n = markup.GetRoot().GetChild(); n.IsValid(); n = n.GetSibling(), ++count) {
        ASSERT_EQ(Str(n.GetAttributeValue(0)), std::to_wstring(count));
    }
    EXPECT_EQ(count, 3000);
}

TEST(CUiMarkup, DeepNestingDoesNotExhaustTheStack) {
    const int depth = 200000;
    std::wstring text;
    for (int i = 0; i < depth; ++i) text += L"<a>";
    for (int i = 0; i < depth; ++i) text += L"</a>";
    CUiMarkup markup;
    ASSERT_TRUE(markup.Load(text.c_str()));
    int levels = 0;
    for (CUiMarkupNode n = markup.GetRoot(); n.IsValid(); n = n.GetChild()) ++levels;
    EXPECT_EQ(levels, depth);
    text.resize(text.size() - 4);
    text += L"</b>";
    ExpectFailure(text.c_str(), L"Unmatched closing tag", L"b>");
}

TEST(CUiMarkup, ALoadReplacesThePreviousDocument) {
    CUiMarkup markup(L"<First/>");
    ASSERT_TRUE(markup.Load(L"<Second/>"));
    EXPECT_EQ(Str(markup.GetRoot().GetName()), L"Second");
    EXPECT_FALSE(markup.Load(L"<Third"));
    EXPECT_FALSE(markup.GetRoot().IsValid());
    EXPECT_TRUE(markup.Load(L"<Fourth/>"));
    EXPECT_EQ(Str(markup.GetErrorMessage()), L"");
    markup.Release();
    EXPECT_FALSE(markup.GetRoot().IsValid());
}

}  // namespace
}  // namespace Weft
