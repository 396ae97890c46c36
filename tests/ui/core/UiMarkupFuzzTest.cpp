// Random layouts from a fixed seed: generated documents must parse back to the tree they were
// written from, and mutated ones must give either a well-formed tree or one of the parser's
// error messages, never a crash.
#include <gtest/gtest.h>

#include <cwchar>
#include <cwctype>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "ui/core/UiMarkup.h"

namespace Weft {
namespace {

struct Attribute {
    std::wstring name;
    std::wstring value;
};

struct ElementModel {
    std::wstring name;
    std::vector<Attribute> attributes;
    std::vector<ElementModel> children;
};

// Raw source pieces of a value and what the parser decodes them to.
struct Piece {
    const wchar_t* raw;
    const wchar_t* decoded;
};

constexpr Piece ValuePieces[] = {
    {L"a", L"a"},
    {L"Z9", L"Z9"},
    {L" ", L" "},
    {L"\t", L"\t"},
    {L"&amp;", L"&"},
    {L"&lt;", L"<"},
    {L"&gt;", L">"},
    {L"&quot;", L"\""},
    {L"&apos;", L"'"},
    {L"&x;", L"&x;"},
    {L"<", L"<"},
    {L">", L">"},
    {L"'", L"'"},
    {L"\u5237", L"\u5237"},
    {L"#FF00FF00", L"#FF00FF00"},
    {L"1,2,3,4", L"1,2,3,4"},
};

const wchar_t* const Names[] = {
    L"Window", L"VerticalLayout", L"Label", L"Button", L"Font", L"a", L"x:y", L"_n1", L"RichEdit"};
const wchar_t* const Blanks[] = {L" ", L"  ", L"\r\n", L"\t", L" \n "};

class Generator {
  public:
    explicit Generator(unsigned seed) : random_(seed) {}

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    ElementModel Element(int depth) {
        ElementModel element;
        element.name = Names[Below(std::size(Names))];
        const int attributes = Below(10) == 0 ? 60 + Below(12) : Below(5);
        for (int i = 0; i < attributes; ++i) {
            Attribute attribute;
            attribute.name = L"attr" + std::to_wstring(i) + (Below(3) == 0 ? L":x" : L"");
            const int pieces = Below(6);
            for (int p = 0; p < pieces; ++p) {
                const Piece& piece = ValuePieces[Below(std::size(ValuePieces))];
                raw_.push_back(piece.raw);
                attribute.value += piece.decoded;
            }
            element.attributes.push_back(attribute);
            values_.push_back(raw_);
            raw_.clear();
        }
        if (depth < 5) {
            const int children = Below(4);
            for (int i = 0; i < children; ++i) element.children.push_back(Element(depth + 1));
        }
        return element;
    }

    std::wstring Blank() { return Below(2) ? L"" : Blanks[Below(std::size(Blanks))]; }

    // Writes the element with the raw value pieces recorded while it was generated.
    std::wstring Write(const ElementModel& element) {
        std::wstring text = L"<" + element.name;
        for (const Attribute& attribute : element.attributes) {
            text += Blanks[Below(std::size(Blanks))] + attribute.name + Blank() + L"=" + Blank() +
                    L"\"";
            for (const std::wstring& raw : values_[nextValue_]) text += raw;
            ++nextValue_;
            text += L"\"";
        }
        text += Blank();
        if (element.children.empty() && Below(2)) return text + L"/>";
        text += L">";
        if (Below(3) == 0) text += L"content &amp; text";
        for (const ElementModel& child : element.children) {
            text += Blank();
            if (Below(5) == 0) text += L"<!-- note <b> -->";
            text += Write(child);
        }
        return text + Blank() + L"</" + element.name + Blank() + L">";
    }

    std::wstring Document(ElementModel& root) {
        values_.clear();
        nextValue_ = 0;
        root = Element(0);
        std::wstring text;
        if (Below(2)) text += L"<?xml version=\"1.0\" encoding=\"utf-8\"?>" + Blank();
        return text + Write(root) + Blank();
    }

    std::wstring Mutate(std::wstring text) {
        static const wchar_t Specials[] = L"<>/\"'=&;!?- a\t\u5237";
        const int edits = 1 + Below(6);
        for (int i = 0; i < edits && !text.empty(); ++i) {
            const size_t at = static_cast<size_t>(Below(static_cast<int>(text.size())));
            switch (Below(5)) {
                case 0:
                    text.erase(at, static_cast<size_t>(1 + Below(8)));
                    break;
                case 1:
                    text.insert(at, 1, Specials[Below(std::size(Specials) - 1)]);
                    break;
                case 2:
                    text[at] = Specials[Below(std::size(Specials) - 1)];
                    break;
                case 3:
                    text.resize(at);
                    break;
                default:
                    text.insert(at, text.substr(at, static_cast<size_t>(Below(20))));
                    break;
            }
        }
        return text;
    }

  private:
    std::mt19937 random_;
    std::vector<std::wstring> raw_;
    std::vector<std::vector<std::wstring>> values_;
    size_t nextValue_ = 0;
};

void ExpectSameTree(CUiMarkupNode node, const ElementModel& model) {
    ASSERT_TRUE(node.IsValid());
    ASSERT_EQ(std::wstring(node.GetName()), model.name);
    const int exposed = std::min<int>(static_cast<int>(model.attributes.size()), 64);
    ASSERT_EQ(node.GetAttributeCount(), exposed);
    for (int i = 0; i < exposed; ++i) {
        ASSERT_EQ(std::wstring(node.GetAttributeName(i)), model.attributes[i].name);
        ASSERT_EQ(std::wstring(node.GetAttributeValue(i)), model.attributes[i].value);
    }
    CUiMarkupNode child = node.GetChild();
    for (const ElementModel& expected : model.children) {
        ExpectSameTree(child, expected);
        child = child.GetSibling();
    }
    ASSERT_FALSE(child.IsValid());
}

bool IsName(const wchar_t* name) {
    for (; *name != L'\0'; ++name) {
        if (*name != L'_' && *name != L':' && !std::iswalnum(*name)) return false;
    }
    return true;
}

// Walks whatever tree came out, with a bound on its size so that a broken link cannot loop.
void ExpectWellFormed(CUiMarkupNode node, size_t textLength, size_t& budget) {
    for (; node.IsValid(); node = node.GetSibling()) {
        ASSERT_GT(budget--, 0u) << "more elements than the text could hold";
        ASSERT_NE(node.GetName(), nullptr);
        ASSERT_LE(std::wcslen(node.GetName()), textLength);
        ASSERT_TRUE(IsName(node.GetName())) << "element name runs on";
        const int count = node.GetAttributeCount();
        ASSERT_GE(count, 0);
        ASSERT_LE(count, 64);
        for (int i = 0; i < count; ++i) {
            ASSERT_TRUE(IsName(node.GetAttributeName(i))) << "attribute name runs on";
            ASSERT_LE(std::wcslen(node.GetAttributeValue(i)), textLength);
        }
        ExpectWellFormed(node.GetChild(), textLength, budget);
    }
}

const std::set<std::wstring> ParseErrors = {
    L"Expected start tag",         L"Error parsing element name",
    L"Expected start-tag closing", L"Expected end-tag start",
    L"Unmatched closing tag",      L"Error while parsing attributes",
    L"Expected attribute value",   L"Error while parsing attribute string"};

TEST(CUiMarkupFuzz, GeneratedLayoutsParseBackToTheirTree) {
    Generator generator(20261208);
    for (int round = 0; round < 2000; ++round) {
        ElementModel model;
        const std::wstring text = generator.Document(model);
        CUiMarkup markup;
        ASSERT_TRUE(markup.Load(text.c_str()))
            << "round " << round << ": "
            << std::string(markup.GetErrorMessage(), markup.GetErrorMessage() + 5);
        ExpectSameTree(markup.GetRoot(), model);
        if (testing::Test::HasFatalFailure()) FAIL() << "round " << round;
    }
}

TEST(CUiMarkupFuzz, MutatedLayoutsGiveATreeOrAKnownError) {
    Generator generator(7411);
    int failures = 0;
    int successes = 0;
    for (int round = 0; round < 4000; ++round) {
        ElementModel model;
        const std::wstring text = generator.Mutate(generator.Document(model));
        CUiMarkup markup;
        if (markup.Load(text.c_str())) {
            ++successes;
            EXPECT_STREQ(markup.GetErrorMessage(), L"");
            size_t budget = text.size();
            ExpectWellFormed(markup.GetRoot(), text.size(), budget);
        } else {
            ++failures;
            EXPECT_EQ(ParseErrors.count(markup.GetErrorMessage()), 1u)
                << "round " << round << " gave an unknown message";
            EXPECT_LE(std::wcslen(markup.GetErrorLocation()), 49u);
            EXPECT_FALSE(markup.GetRoot().IsValid());
        }
        if (testing::Test::HasFailure()) FAIL() << "round " << round;
    }
    // Both outcomes must really occur, or the mutations test nothing.
    EXPECT_GT(failures, 400);
    EXPECT_GT(successes, 400);
}

TEST(CUiMarkupFuzz, RandomTextNeverCrashes) {
    std::mt19937 random(99);
    static const wchar_t Alphabet[] = L"<>/\"'=&;!?-_: \t\r\naAzZ09lgtampquos\u5237";
    for (int round = 0; round < 3000; ++round) {
        std::wstring text;
        const int length = std::uniform_int_distribution<int>(0, 200)(random);
        for (int i = 0; i < length; ++i) {
            text +=
                Alphabet[std::uniform_int_distribution<size_t>(0, std::size(Alphabet) - 2)(random)];
        }
        CUiMarkup markup;
        if (markup.Load(text.c_str())) {
            size_t budget = text.size();
            ExpectWellFormed(markup.GetRoot(), text.size(), budget);
        } else {
            EXPECT_EQ(ParseErrors.count(markup.GetErrorMessage()), 1u);
        }
        if (testing::Test::HasFailure()) FAIL() << "round " << round;
    }
}

}  // namespace
}  // namespace Weft
