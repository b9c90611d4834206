// Files may nest groups far deeper than a call stack allows: loading and releasing such a
// tree must not recurse once per level.
#include <gtest/gtest.h>

#include <string>

#include "kdb/DatabaseModel.h"
#include "kdb/FormatDetector.h"
#include "kdb/MappedFileSource.h"
#include "tests/kdb/support/KdbxFileWriter.h"

namespace vaultora::kdb {
namespace {

using testing::Bytes;

TEST(DeepNesting, GroupsNestedTwoHundredThousandLevelsLoadAndRelease) {
    constexpr int kDepth = 200000;
    std::string xml = "<?xml version=\"1.0\"?><KeePassFile><Root>";
    for (int level = 0; level < kDepth; ++level) {
        xml += "<Group><Name>n</Name>";
    }
    xml += "<Entry><String><Key>Title</Key><Value>bottom</Value></String></Entry>";
    for (int level = 0; level < kDepth; ++level) {
        xml += "</Group>";
    }
    xml += "</Root></KeePassFile>";
    testing::KdbxFileWriter writer;
    writer.rounds = 1;
    const Bytes file = writer.file(testing::textBytes("p"), testing::textBytes(xml));

    auto source =
        std::make_unique<MappedFileSource>(std::make_shared<const std::vector<uint8_t>>(file));
    auto reader = FormatDetector::readerFor(*source);
    std::shared_ptr<DatabaseTree> tree = reader->load(std::move(source), secureBytesFromText("p"));
    reader.reset();

    int depth = 0;
    const DatabaseGroup* group = tree->getRoot();
    while (!group->getSubGroups().empty()) {
        group = group->getSubGroups().front();
        ++depth;
    }
    EXPECT_EQ(depth, kDepth);
    ASSERT_EQ(group->getEntries().size(), 1u);
    EXPECT_EQ(group->getEntries().front()->getEntryName(), "bottom");
    tree.reset();
}

} // namespace
} // namespace vaultora::kdb
