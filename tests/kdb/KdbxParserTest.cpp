#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "kdb/DatabaseError.h"
#include "kdb/KdbxParser.h"
#include "kdb/KdbxTree.h"
#include "tests/kdb/support/ExpectKdbError.h"
#include "tests/kdb/support/LimitedSource.h"
#include "tests/kdb/support/ParseXml.h"
#include "tests/kdb/support/XmlFakeRandomStream.h"
#include "tests/kdb/support/XmlMemorySource.h"

namespace vaultora::kdb {
namespace {

using testing::XmlFakeRandomStream;
using testing::XmlMemorySource;
using testing::parseXml;

// The child at the index; a missing one fails the test with an exception.
XmlNode& child(const XmlNode& node, std::size_t index) {
    for (XmlNode* candidate : node._children()) {
        if (index-- == 0) {
            return *candidate;
        }
    }
    throw std::out_of_range("no such child");
}

TEST(KdbxParser, GathersTextAroundAnEmptyChildIntoTheElement) {
    const auto tree = parseXml("<a>x<b/>y</a>");
    XmlNode* root = tree->_root();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->_name().text(), "a");
    EXPECT_EQ(root->_text(), "xy");
    ASSERT_EQ(root->childCount(), 1u);
    const XmlNode& b = child(*root, 0);
    EXPECT_EQ(b._name().text(), "b");
    EXPECT_EQ(b._text(), "");
    EXPECT_EQ(b._parent(), root);
}

TEST(KdbxParser, DropsLayoutWhitespaceOfContainersButKeepsMixedText) {
    const auto tree = parseXml("<r>\n\t<Times>\n\t\t<Expires> False </Expires>\n\t</Times>"
                            "\n\t<m> x <b/> </m>\n\t<e>  </e>"
                            "\n\t<k> <b/>\t<i> </i> y </k>\n</r>");
    XmlNode* root = tree->_root();
    EXPECT_EQ(root->_text(), "");
    EXPECT_EQ(child(*root, 0)._text(), "");
    EXPECT_EQ(child(child(*root, 0), 0)._text(), " False ");
    EXPECT_EQ(child(*root, 1)._text(), " x  ");
    // An element without children keeps its text even when it is all white space.
    EXPECT_EQ(child(*root, 2)._text(), "  ");
    // White space before children counts once text follows them, in document order.
    EXPECT_EQ(child(*root, 3)._text(), " \t y ");
    EXPECT_EQ(child(child(*root, 3), 1)._text(), " ");
}

TEST(KdbxParser, ResolvesReferencesAndCDataIntoTheText) {
    const auto tree = parseXml("<a>1 &lt; 2 &amp;&#65;&#x42;<![CDATA[<c>&amp;]]></a>");
    EXPECT_EQ(tree->_root()->_text(), "1 < 2 &AB<c>&amp;");
}

TEST(KdbxParser, NamesElementsAndAttributesByTheirLocalNames) {
    const auto tree = parseXml(R"(<p:a xmlns:p="urn:x" p:k="v" plain="w"><p:b/></p:a>)");
    XmlNode* root = tree->_root();
    EXPECT_EQ(root->_name().text(), "a");
    ASSERT_NE(root->attribute("k"), nullptr);
    EXPECT_EQ(*root->attribute("k"), "v");
    EXPECT_EQ(*root->attribute("plain"), "w");
    EXPECT_EQ(child(*root, 0)._name().text(), "b");
}

TEST(KdbxParser, ResolvesReferencesInAttributeValues) {
    const auto tree = parseXml("<a x='&amp;&#38;&lt;&quot;&amp;#38; y'/>");
    ASSERT_NE(tree->_root()->attribute("x"), nullptr);
    EXPECT_EQ(*tree->_root()->attribute("x"), "&&<\"&#38; y");
}

TEST(KdbxParser, UnmasksProtectedValuesInDocumentOrder) {
    // Three bytes give four Base64 characters without padding; two give four with one "=".
    const std::string xml = "<r><v Protected='True'>" + XmlFakeRandomStream::mask("abc", 0) +
                            "</v><w><v Protected='True'>" + XmlFakeRandomStream::mask("de", 3) +
                            "</v></w><v Protected='False'>bm90</v><v>bm90</v></r>";
    XmlFakeRandomStream stream;
    const auto tree = parseXml(xml, stream);
    EXPECT_EQ(stream.consumedPerCall(), (std::vector<std::size_t>{3, 2}));
    XmlNode* root = tree->_root();
    EXPECT_EQ(child(*root, 0)._text(), "abc");
    EXPECT_EQ(child(child(*root, 1), 0)._text(), "de");
    EXPECT_EQ(child(*root, 2)._text(), "bm90");
    EXPECT_EQ(child(*root, 3)._text(), "bm90");
}

TEST(KdbxParser, EmptiesAProtectedValueOfBadBase64WithoutUsingTheKeyStream) {
    const std::string xml = "<r><v Protected='True'>abcde</v><v Protected='True'></v>"
                            "<v Protected='True'>" +
                            XmlFakeRandomStream::mask("ok", 0) + "</v></r>";
    XmlFakeRandomStream stream;
    const auto tree = parseXml(xml, stream);
    XmlNode* root = tree->_root();
    EXPECT_EQ(child(*root, 0)._text(), "");
    EXPECT_EQ(child(*root, 1)._text(), "");
    EXPECT_EQ(child(*root, 2)._text(), "ok");
    EXPECT_EQ(stream.position(), 2u);
}

TEST(KdbxParser, EmptiesAnUnmaskedValueThatIsNotUtf8AndGoesOn) {
    const std::string xml = "<r><v Protected='True'>" + XmlFakeRandomStream::mask("\xFF\xFE", 0) +
                            "</v><v Protected='True'>" + XmlFakeRandomStream::mask("next", 2) +
                            "</v></r>";
    const auto tree = parseXml(xml);
    EXPECT_EQ(child(*tree->_root(), 0)._text(), "");
    EXPECT_EQ(child(*tree->_root(), 1)._text(), "next");
}

TEST(KdbxParser, ReadsAPayloadOfExactlyOneChunkAndThenAnEmptyRead) {
    std::string xml = "<a>";
    xml += std::string(102400 - 7, 'z');
    xml += "</a>";
    ASSERT_EQ(xml.size(), 102400u);
    XmlMemorySource source(xml);
    XmlFakeRandomStream stream;
    KdbxParser parser;
    parser.set_randomStream(&stream);
    const auto tree = parser.parse(source);
    EXPECT_EQ(source.deliveredPerRead(), (std::vector<uint32_t>{102400, 0}));
    EXPECT_EQ(tree->_root()->_text().size(), 102400u - 7);
}

TEST(KdbxParser, JoinsElementsAndValuesSplitAcrossChunks) {
    std::string xml = "<r>";
    xml += std::string(102400 - 3 - 4, ' ');
    // The protected value's element and its Base64 text straddle the chunk boundary.
    xml += "<v Protected='True'>" + XmlFakeRandomStream::mask("straddling", 0) + "</v>";
    xml += "</r>";
    XmlMemorySource source(xml);
    XmlFakeRandomStream stream;
    KdbxParser parser;
    parser.set_randomStream(&stream);
    const auto tree = parser.parse(source);
    EXPECT_EQ(source.deliveredPerRead().size(), 3u);
    EXPECT_EQ(child(*tree->_root(), 0)._text(), "straddling");
}

TEST(KdbxParser, RefusesMalformedOrIncompleteDocuments) {
    for (const std::string xml :
         {"", "   ", "<a>", "<a><b></a>", "<a></b>", "<a/><b/>", "<a x='1' x='2'/>",
          "<a>&undefined;</a>", "<a><p:b/></a>", "text only", "<a>\xFF</a>"}) {
        EXPECT_KDB_ERROR(parseXml(xml), "InvalidData", "XmlParseError") << xml;
    }
}

TEST(KdbxParser, RefusesAnElementWithMoreAttributesThanAnyDatabaseHas) {
    // Quoted '>' and '=' must neither end the count nor add to it.
    std::string many = "<a";
    for (int index = 0; index < 129; ++index) {
        many += " x" + std::to_string(index) + "='>=\"'";
    }
    EXPECT_KDB_ERROR(parseXml(many + "/>"), "InvalidData", "XmlParseError");

    std::string enough = "<!-- a=b c=d --><a";
    for (int index = 0; index < 128; ++index) {
        enough += " x" + std::to_string(index) + "=\"1\"";
    }
    enough += ">" + std::string(300, '=') + "</a>";
    const auto tree = parseXml(enough);
    EXPECT_EQ(tree->_root()->_attributes().size(), 128u);
}

TEST(KdbxParser, PrintsNothingOfABrokenDocument) {
    // UTF-16 with unpaired surrogates fails in the character conversion.
    const std::string broken("\xFF\xFE<\0a\0>\0\x00\xD8\x00\xD8\x00\xD8<\0/\0a\0>\0", 22);
    ::testing::internal::CaptureStderr();
    EXPECT_KDB_ERROR(parseXml(broken), "InvalidData", "XmlParseError");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST(KdbxParser, NeverExpandsDeclaredEntities) {
    // Nested entities that would grow to gigabytes if expanded.
    std::string xml = "<!DOCTYPE a [<!ENTITY e0 \"0123456789\">";
    for (int level = 1; level < 10; ++level) {
        xml += "<!ENTITY e" + std::to_string(level) + " \"";
        for (int copy = 0; copy < 10; ++copy) {
            xml += "&e" + std::to_string(level - 1) + ";";
        }
        xml += "\">";
    }
    xml += "]><a>&e9;</a>";
    EXPECT_KDB_ERROR(parseXml(xml), "InvalidData", "XmlParseError");
}

TEST(KdbxParser, NeverLoadsExternalEntities) {
    const std::string xml =
        "<!DOCTYPE a [<!ENTITY secret SYSTEM \"file:///etc/hostname\">]><a>&secret;</a>";
    try {
        const auto tree = parseXml(xml);
        EXPECT_EQ(tree->_root()->_text(), "");
    } catch (const DatabaseError& error) {
        EXPECT_EQ(error.reason(), "XmlParseError");
    }
}

TEST(KdbxParser, PassesFailuresOfTheSourceThrough) {
    XmlMemorySource source("<a><b>" + std::string(200000, 'x') + "</b></a>");
    source.failAfter(150000);
    XmlFakeRandomStream stream;
    KdbxParser parser;
    parser.set_randomStream(&stream);
    EXPECT_KDB_ERROR(static_cast<void>(parser.parse(source)), "InvalidData", "InvalidBlockHash");
}

// A document that fails the building at its start (a protected value with no key stream to
// unmask it) and then goes on for megabytes.
std::vector<uint8_t> failingBuildThenMegabytes(const std::string& ending) {
    std::string xml = "<KeePassFile><Value Protected='True'>AAAA</Value>";
    for (int index = 0; index < 200000; ++index) {
        xml += "<Entry><String><Key>k</Key><Value>some text</Value></String></Entry>";
    }
    xml += ending;
    return {xml.begin(), xml.end()};
}

TEST(KdbxParser, RaisesTheFirstFailureInTheDocumentAndStopsTheParserEarly) {
    // The building fails first, the XML after it is broken: the building's failure is raised,
    // and the parser ahead of it stops within a few blocks instead of reading to the end.
    const std::vector<uint8_t> document = failingBuildThenMegabytes("</Broken>");
    testing::LimitedSource source(document);
    KdbxParser parser;
    EXPECT_KDB_ERROR(static_cast<void>(parser.parse(source)), "AppError", "MissingRandomStream");
    EXPECT_LT(source.bytesRead(), document.size() / 4);

    // Broken XML before a failure of the building: the XML's failure is raised.
    const std::string broken = "<KeePassFile><a></b><Value Protected='True'>AAAA</Value>";
    testing::LimitedSource brokenSource({broken.begin(), broken.end()});
    EXPECT_KDB_ERROR(static_cast<void>(parser.parse(brokenSource)), "InvalidData",
                     "XmlParseError");

    // A source that ends early behind a building that fails: the building's failure.
    const std::vector<uint8_t> cut = failingBuildThenMegabytes("</KeePassFile>");
    testing::LimitedSource cutSource(cut, static_cast<uint32_t>(cut.size() / 2));
    EXPECT_KDB_ERROR(static_cast<void>(parser.parse(cutSource)), "AppError",
                     "MissingRandomStream");

    // The parser is whole after each failure.
    EXPECT_NE(parseXml("<a><b/></a>")->_root(), nullptr);
}

TEST(KdbxParser, SurvivesVeryDeepNesting) {
    std::string xml;
    for (int level = 0; level < 100000; ++level) {
        xml += "<Group>";
    }
    for (int level = 0; level < 100000; ++level) {
        xml += "</Group>";
    }
    // The XML parser bounds the depth; either way nothing may overflow the call stack.
    try {
        const auto tree = parseXml(xml);
        EXPECT_NE(tree->_root(), nullptr);
    } catch (const DatabaseError& error) {
        EXPECT_EQ(error.reason(), "XmlParseError");
    }
}

TEST(KdbxParser, TakesLongTextsButRefusesAttributeValuesBeyondTenMegabytes) {
    // Text comes in pieces and may be as long as an attachment; an attribute value is held
    // whole by the XML parser, which bounds it.
    const std::string longText(12 * 1000 * 1000, 'Q');
    const auto tree = parseXml("<a><b>" + longText + "</b></a>");
    EXPECT_EQ(child(*tree->_root(), 0)._text().size(), longText.size());
    EXPECT_KDB_ERROR(parseXml("<a><b x='" + std::string(11 * 1000 * 1000, 'y') + "'/></a>"),
                     "InvalidData", "XmlParseError");
}

TEST(KdbxParser, GivesEachParseATreeOfItsOwn) {
    XmlFakeRandomStream stream;
    KdbxParser parser;
    parser.set_randomStream(&stream);
    XmlMemorySource first("<a>1</a>");
    XmlMemorySource second("<b>2</b>");
    const auto firstTree = parser.parse(first);
    const auto secondTree = parser.parse(second);
    EXPECT_NE(firstTree, secondTree);
    EXPECT_EQ(firstTree->_root()->_text(), "1");
    EXPECT_EQ(secondTree->_root()->_text(), "2");

    XmlMemorySource broken("<a>");
    EXPECT_KDB_ERROR(static_cast<void>(parser.parse(broken)), "InvalidData", "XmlParseError");
    XmlMemorySource third("<c/>");
    EXPECT_EQ(parser.parse(third)->_root()->_name().text(), "c");
}

} // namespace
} // namespace vaultora::kdb
