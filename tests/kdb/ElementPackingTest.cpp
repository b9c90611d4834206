#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "kdb/ElementPacking.h"
#include "kdb/KdbxEntry.h"
#include "kdb/KdbxGroup.h"
#include "kdb/KdbxTree.h"
#include "kdb/MappedFileSource.h"
#include "tests/kdb/support/ParseXml.h"
#include "tests/kdb/support/XmlFakeRandomStream.h"

namespace vaultora::kdb {
namespace {

using testing::XmlFakeRandomStream;
using testing::parseXml;

// The subtree below a node as text: names, attributes, texts and the parent links, walked
// without recursion.
std::string dump(const XmlNode& top) {
    std::string text;
    std::vector<std::pair<const XmlNode*, int>> pending;
    for (XmlNode* child : top._children()) {
        pending.emplace_back(child, 0);
    }
    std::reverse(pending.begin(), pending.end());
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        text.append(static_cast<std::size_t>(depth), ' ').append(node->_name().text());
        for (const Attribute& attribute : node->_attributes()) {
            text.append(" ").append(attribute.name).append("=").append(attribute.value);
        }
        text.append(" [").append(node->_text()).append("]");
        if (node->_parent() == nullptr) {
            text.append(" (no parent)");
        }
        text.append("\n");
        const std::size_t first = pending.size();
        for (XmlNode* child : node->_children()) {
            pending.emplace_back(child, depth + 1);
        }
        std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(first), pending.end());
    }
    return text;
}

const std::string kKeptChildren =
    "<ForegroundColor/>"
    "<Times><CreationTime>2024-03-01T10:00:00Z</CreationTime><Expires>False</Expires>"
    "<UsageCount>0</UsageCount></Times>"
    "<CustomData><Item><Key>k&amp;1</Key><Value Protected='True'>@MASK@</Value></Item>"
    "<Item a='1' b='&lt;2&gt;'>mixed<Deep><Deeper>d</Deeper></Deep>text</Item></CustomData>"
    "<Tags>work, ünïcode</Tags>";

std::string withMask(std::string xml, const std::string& mask) {
    xml.replace(xml.find("@MASK@"), 6, mask);
    return xml;
}

TEST(PackedChildren, ComeBackAsTheSameNodesInTheirPlacesBesideOnesThatStayNodes) {
    // The kept children of an entry, with a history entry between them; the same children
    // under a plain element, which keeps them as nodes, are what they must come back as.
    const std::string history = "<History><Entry><String><Key>Title</Key><Value>old</Value>"
                                "</String></Entry></History>";
    const std::string kept = withMask(kKeptChildren, XmlFakeRandomStream::mask("secret", 0));
    const std::string after = "<String><Key>Password</Key><Value Protected='True'>" +
                              XmlFakeRandomStream::mask("pw", 6) + "</Value></String>";
    XmlFakeRandomStream stream;
    const auto tree = parseXml("<KeePassFile><Root><Group><Entry><UUID>AAAA</UUID>" + kept +
                                history + "<AutoType><Enabled>True</Enabled></AutoType>" + after +
                                "</Entry></Group></Root></KeePassFile>",
                            stream);
    XmlFakeRandomStream plainStream;
    const auto plain = parseXml("<KeePassFile><Plain>" + kept + history +
                                 "<AutoType><Enabled>True</Enabled></AutoType></Plain></KeePassFile>",
                             plainStream);

    auto* const item = tree->getRoot()->getSubGroups()[0]->getEntries()[0];
    auto& node = dynamic_cast<KdbxEntry&>(*item);
    // The value after the packed protected one took the right share of the key stream.
    EXPECT_EQ(node.getPassword(), "pw");
    const std::string unpacked = dump(node);
    EXPECT_EQ(unpacked, dump(*plain->_root()->firstChild()));
    EXPECT_NE(unpacked.find("Value Protected=True [secret]"), std::string::npos) << unpacked;
    EXPECT_NE(unpacked.find("Item a=1 b=<2> [mixedtext]"), std::string::npos) << unpacked;
    for (XmlNode* child : node._children()) {
        EXPECT_EQ(child->_parent(), &node);
    }
    // The history entry stayed the node it was.
    XmlNode* historyNode = nullptr;
    for (XmlNode* child : node._children()) {
        if (child->_name().text() == "History") {
            historyNode = child;
        }
    }
    ASSERT_NE(historyNode, nullptr);
    XmlNode* const oldVersion = historyNode->firstChild();
    ASSERT_NE(oldVersion, nullptr);
    ASSERT_NE(oldVersion->asEntry(), nullptr);
    EXPECT_EQ(oldVersion->asEntry()->getEntryName(), "old");

    // Once unpacked, children are nodes like any other.
    auto extra = tree->arena().create<XmlNode>(tree->names().intern("Extra"));
    node.addChild(std::move(extra));
    EXPECT_EQ(node.childCount(), 7u);
    std::unique_ptr<XmlNode> removed = node.removeChild(*node.firstChild());
    ASSERT_NE(removed, nullptr);
    EXPECT_EQ(removed->_name().text(), "ForegroundColor");
    EXPECT_EQ(node.childCount(), 6u);
}

TEST(PackedChildren, GroupsPackTheirsAndDeepNestingNeedsNoRecursion) {
    constexpr int kDepth = 200000;
    std::string deep;
    for (int level = 0; level < kDepth; ++level) {
        deep += "<D>";
    }
    deep += "bottom";
    for (int level = 0; level < kDepth; ++level) {
        deep += "</D>";
    }
    XmlFakeRandomStream stream;
    const auto tree = parseXml("<KeePassFile><Root><Group><Name>G</Name><Times><X>1</X></Times>" +
                                deep + "</Group></Root></KeePassFile>",
                            stream);
    const DatabaseGroup& group = *tree->getRoot()->getSubGroups()[0];
    EXPECT_EQ(group.getGroupName(), "G");
    const auto& node = dynamic_cast<const KdbxGroup&>(group);
    ASSERT_EQ(node.childCount(), 2u);
    const XmlNode* const times = node.firstChild();
    ASSERT_NE(times, nullptr);
    EXPECT_EQ(times->_name().text(), "Times");
    const XmlNode* bottom = *++node._children().begin();
    ASSERT_NE(bottom, nullptr);
    int depth = 0;
    for (const XmlNode* below = bottom->firstChild(); below != nullptr;
         below = below->firstChild()) {
        bottom = below;
        ++depth;
    }
    EXPECT_EQ(depth, kDepth - 1);
    EXPECT_EQ(bottom->_text(), "bottom");
}

TEST(PackedChildren, KeepAnEntryLikeTheGeneratedOnesUnderAKilobyte) {
    // The shape of an entry that writers put out: times, colours, auto-type and an empty
    // history beside the fields. Before packing each of these took about 1.8 KB.
    const std::string oneEntry =
        "<Entry><UUID>K/iU/nLzbjwCAAAAAAAAAQ==</UUID><IconID>0</IconID>"
        "<ForegroundColor></ForegroundColor><BackgroundColor></BackgroundColor>"
        "<OverrideURL></OverrideURL><Tags></Tags><Times>"
        "<CreationTime>2024-03-01T10:00:00Z</CreationTime>"
        "<LastModificationTime>2024-03-01T10:00:00Z</LastModificationTime>"
        "<LastAccessTime>2024-03-01T10:00:00Z</LastAccessTime>"
        "<ExpiryTime>2024-03-01T10:00:00Z</ExpiryTime><Expires>False</Expires>"
        "<UsageCount>0</UsageCount><LocationChanged>2024-03-01T10:00:00Z</LocationChanged>"
        "</Times><String><Key>Title</Key><Value>Account 1</Value></String>"
        "<String><Key>UserName</Key><Value>user1@example.org</Value></String>"
        "<String><Key>URL</Key><Value>https://service1.example.org/login</Value></String>"
        "<String><Key>Notes</Key><Value>Entry number 1, written for the benchmarks.</Value>"
        "</String><String><Key>Customer number</Key><Value>C-100001</Value></String>"
        "<AutoType><Enabled>True</Enabled><DataTransferObfuscation>0</DataTransferObfuscation>"
        "</AutoType><History></History></Entry>";
    constexpr std::size_t kEntries = 2000;
    std::string xml = "<KeePassFile><Root><Group>";
    for (std::size_t index = 0; index < kEntries; ++index) {
        xml += oneEntry;
    }
    xml += "</Group></Root></KeePassFile>";
    XmlFakeRandomStream stream;
    const auto tree = parseXml(xml, stream);
    ASSERT_EQ(tree->getRoot()->getSubGroups()[0]->getEntries().size(), kEntries);
    EXPECT_LT(tree->arena().bytesInUse() / kEntries, 1024u);
}

TEST(PackedChildren, RefuseBytesThatWereNotWrittenByThePacker) {
    NodeArena arena;
    std::vector<std::unique_ptr<XmlNode>> children;
    const auto refuses = [&](std::string_view bytes) {
        children.clear();
        EXPECT_THROW(unpackElements(bytes, arena, children), std::invalid_argument)
            << "bytes of size " << bytes.size();
    };
    // Name number 1 is the empty name, which every table holds.
    refuses(std::string_view("\x80", 1));                 // a number cut short
    refuses(std::string_view("\x01\x05" "ab", 4));        // a text beyond the end
    refuses(std::string_view("\x7f\x00\x00\x00", 4));     // a name the table does not hold
    refuses(std::string_view("\x01\x00\x00\x01\x00", 5)); // a mark inside an element
    refuses(std::string_view("\x01\x00\x00\x02\x01\x00\x00\x00", 8)); // a child missing

    children.clear();
    unpackElements(std::string_view("\x00\x01\x01x\x00\x00", 6), arena, children);
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(children[0], nullptr);
    EXPECT_EQ(children[1]->_name().text(), "");
    EXPECT_EQ(children[1]->_text(), "x");
}

TEST(MappedFileSource, ReadsAFileAgainAfterGivingBackThePagesBehindIt) {
    const std::string path = ::testing::TempDir() + "mapped-file-source-test.bin";
    std::string content(5 * 1024 * 1024 + 123, '\0');
    std::mt19937 random(7);
    for (char& byte : content) {
        byte = static_cast<char>(random());
    }
    {
        std::ofstream file(path, std::ios::binary);
        file.write(content.data(), static_cast<std::streamsize>(content.size()));
    }
    MappedFileSource source(path);
    const auto readAll = [&source] {
        std::string read;
        std::vector<char> chunk(300 * 1000);
        while (const uint32_t count =
                   source.readBytes(chunk.data(), static_cast<uint32_t>(chunk.size()))) {
            read.append(chunk.data(), count);
        }
        return read;
    };
    EXPECT_EQ(readAll(), content);
    source.setReadOffset(4096 + 7);
    EXPECT_EQ(readAll(), content.substr(4096 + 7));
    std::remove(path.c_str());
}

} // namespace
} // namespace vaultora::kdb
