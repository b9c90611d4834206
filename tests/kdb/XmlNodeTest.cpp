#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "kdb/KdbxEntry.h"
#include "kdb/KdbxGroup.h"
#include "kdb/XmlNode.h"

namespace vaultora::kdb {
namespace {

std::vector<std::string> childNames(const XmlNode& node) {
    std::vector<std::string> names;
    for (XmlNode* child : node._children()) {
        names.push_back(child->_name().text());
    }
    return names;
}

TEST(NameTable, StoresEachDistinctNameOnceAndKnowsTheModelNames) {
    NameTable names;
    const ElementName first = names.intern("Times");
    const ElementName second = names.intern("Times");
    EXPECT_EQ(&first.text(), &second.text());
    EXPECT_EQ(first.id(), KnownName::Other);
    EXPECT_EQ(names.intern("Entry").id(), KnownName::Entry);
    EXPECT_EQ(&names.intern("Entry").text(), &ElementName::known(KnownName::Entry).text());
    EXPECT_EQ(names.intern("entry").id(), KnownName::Other);
    EXPECT_EQ(names.intern("").id(), KnownName::Other);
}

TEST(XmlNode, KeepsTextsAtTheirLengthWhetherSetOrAppended) {
    NameTable names;
    XmlNode node(names.intern("a"));
    EXPECT_TRUE(node._text().empty());
    std::string expected;
    for (std::size_t piece = 1; piece <= 40; ++piece) {
        const std::string part(piece, static_cast<char>('a' + piece % 26));
        node.appendText(part);
        expected += part;
        ASSERT_EQ(node._text(), expected) << piece;
    }
    node.set_text("");
    EXPECT_TRUE(node._text().empty());
    node.set_text(std::string(1000, 'x'));
    EXPECT_EQ(node._text(), std::string(1000, 'x'));
}

TEST(XmlNode, KeepsChildrenInOrderWithParentLinks) {
    NameTable names;
    XmlNode parent(names.intern("a"));
    for (const char* name : {"b", "c", "d"}) {
        parent.addChild(std::make_unique<XmlNode>(names.intern(name)));
    }
    EXPECT_EQ(childNames(parent), (std::vector<std::string>{"b", "c", "d"}));
    EXPECT_EQ(parent.childCount(), 3u);
    for (XmlNode* child : parent._children()) {
        EXPECT_EQ(child->_parent(), &parent);
    }
    XmlNode* first = parent.firstChild();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->_name().text(), "b");
}

TEST(XmlNode, RemovesFirstMiddleAndLastChildren) {
    NameTable names;
    XmlNode parent(names.intern("a"));
    std::vector<XmlNode*> children;
    for (const char* name : {"b", "c", "d", "e"}) {
        auto child = std::make_unique<XmlNode>(names.intern(name));
        children.push_back(child.get());
        parent.addChild(std::move(child));
    }
    std::unique_ptr<XmlNode> middle = parent.removeChild(*children[1]);
    ASSERT_EQ(middle.get(), children[1]);
    EXPECT_EQ(middle->_parent(), nullptr);
    EXPECT_EQ(childNames(parent), (std::vector<std::string>{"b", "d", "e"}));

    EXPECT_TRUE(parent.removeChild(*children[3]));
    EXPECT_EQ(childNames(parent), (std::vector<std::string>{"b", "d"}));
    EXPECT_TRUE(parent.removeChild(*children[0]));
    EXPECT_TRUE(parent.removeChild(*children[2]));
    EXPECT_TRUE(parent._children().empty());

    // Appending after the list emptied starts a new list.
    parent.addChild(std::move(middle));
    EXPECT_EQ(childNames(parent), (std::vector<std::string>{"c"}));
}

TEST(XmlNode, RemovingANodeThatIsNotAChildChangesNothing) {
    NameTable names;
    XmlNode parent(names.intern("a"));
    XmlNode other(names.intern("x"));
    parent.addChild(std::make_unique<XmlNode>(names.intern("b")));
    XmlNode stranger(names.intern("s"));
    other.addChild(std::make_unique<XmlNode>(names.intern("t")));
    EXPECT_EQ(parent.removeChild(stranger), nullptr);
    XmlNode* foreignChild = other.firstChild();
    ASSERT_NE(foreignChild, nullptr);
    EXPECT_EQ(parent.removeChild(*foreignChild), nullptr);
    EXPECT_EQ(childNames(parent), (std::vector<std::string>{"b"}));
    EXPECT_EQ(childNames(other), (std::vector<std::string>{"t"}));
}

TEST(XmlNode, ReplacesAnAttributeOfTheSameName) {
    NameTable names;
    XmlNode node(names.intern("Value"));
    EXPECT_TRUE(node._attributes().empty());
    EXPECT_EQ(node.attribute("Protected"), nullptr);
    node.addAttribute("Protected", "");
    node.addAttribute("Protected", "False");
    node.addAttribute("Other", "1");
    node.addAttribute("Protected", "True");
    ASSERT_EQ(node._attributes().size(), 2u);
    EXPECT_EQ(*node.attribute("Protected"), "True");
}

TEST(XmlNode, ReadsAttributeTruthLikeTheBooleanTextsOfTheFormat) {
    for (const char* value : {"True", "true", "Yes", "y", "1", "  +007", "-1", "\t9x"}) {
        EXPECT_TRUE(attributeIsTrue(value)) << value;
    }
    for (const char* value : {"False", "false", "no", "0", "000", "", "  ", "+", " 0x1", "N"}) {
        EXPECT_FALSE(attributeIsTrue(value)) << value;
    }
}

TEST(XmlNode, DescribesItselfWithNameAndText) {
    NameTable names;
    XmlNode node(names.intern("a"));
    node.set_text("xy");
    EXPECT_EQ(node.description(), "<a>xy<a/>");
}

TEST(XmlNode, TearsDownAMillionLevelsWithoutRecursion) {
    NameTable names;
    const ElementName name = names.intern("a");
    auto root = std::make_unique<XmlNode>(name);
    XmlNode* deepest = root.get();
    for (int level = 0; level < 1000000; ++level) {
        auto child = std::make_unique<XmlNode>(name);
        XmlNode* next = child.get();
        deepest->addChild(std::move(child));
        deepest = next;
    }
    root->breakCyclcReference();
    EXPECT_EQ(deepest->_parent(), nullptr);
    root.reset();
}

TEST(XmlNode, TearsDownDeeplyNestedGroupsAndEntriesWithoutRecursion) {
    auto root = std::make_unique<KdbxGroup>(ElementName::known(KnownName::Root));
    KdbxGroup* deepest = root.get();
    for (int level = 0; level < 300000; ++level) {
        auto group = std::make_unique<KdbxGroup>();
        KdbxGroup* next = group.get();
        deepest->addSubGroup(std::move(group));
        deepest->addEntry(std::make_unique<KdbxEntry>());
        deepest = next;
    }
    root->breakCyclcReference();
    EXPECT_EQ(deepest->getParent(), nullptr);
    root.reset();
}

} // namespace
} // namespace vaultora::kdb
