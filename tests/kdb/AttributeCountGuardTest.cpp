#include <gtest/gtest.h>

#include <cstddef>
#include <random>
#include <string>
#include <vector>

#include "kdb/AttributeCountGuard.h"

namespace vaultora::kdb {
namespace {

// The guard's answer for a document handed over in pieces that end at the given offsets.
bool acceptsInPieces(const std::string& document, std::vector<std::size_t> cuts) {
    AttributeCountGuard guard;
    std::size_t start = 0;
    cuts.push_back(document.size());
    for (const std::size_t cut : cuts) {
        if (!guard.accept(document.data() + start, cut - start)) {
            return false;
        }
        start = cut;
    }
    return true;
}

bool acceptsWhole(const std::string& document) {
    return acceptsInPieces(document, {});
}

std::string startTag(int attributes, const std::string& value) {
    std::string tag = "<Value";
    for (int index = 0; index < attributes; ++index) {
        tag += " a" + std::to_string(index) + "=" + value;
    }
    return tag + ">";
}

TEST(AttributeCountGuard, CountsAttributesOfStartTagsOnly) {
    EXPECT_TRUE(acceptsWhole(startTag(AttributeCountGuard::kMaximumAttributes, "\"1\"")));
    EXPECT_FALSE(acceptsWhole(startTag(AttributeCountGuard::kMaximumAttributes + 1, "\"1\"")));
    // Marks inside quoted values neither end the tag nor count.
    EXPECT_FALSE(acceptsWhole(startTag(AttributeCountGuard::kMaximumAttributes + 1, "'>=\"'")));
    EXPECT_TRUE(acceptsWhole(startTag(AttributeCountGuard::kMaximumAttributes, "\"=>='\"")));
    // Text, end tags, comments, declarations and processing instructions hold no attributes,
    // whatever '=' and quotes they hold; every tag counts from nothing.
    const std::string equalSigns(1000, '=');
    EXPECT_TRUE(acceptsWhole("<?xml version=\"1.0\"?><!-- " + equalSigns + " --><Notes>" +
                             equalSigns + "\"'</Notes" + equalSigns + ">" + startTag(100, "'x'") +
                             startTag(100, "'x'")));
}

TEST(AttributeCountGuard, GivesTheSameAnswerWhereverTheDocumentIsCut) {
    const std::string refused = "<Notes>a=b</Notes>" + startTag(129, "'>'") + "</Value>";
    const std::string accepted = "<Notes>a=b</Notes>" + startTag(128, "'>'") + "</Value>";
    for (std::size_t cut = 0; cut <= refused.size(); ++cut) {
        EXPECT_FALSE(acceptsInPieces(refused, {cut})) << cut;
    }
    for (std::size_t cut = 0; cut <= accepted.size(); ++cut) {
        EXPECT_TRUE(acceptsInPieces(accepted, {cut})) << cut;
    }

    // Random markup, whole and in random pieces (the pieces under sixteen bytes take another
    // path than the whole).
    std::mt19937 random(7);
    const std::string alphabet = "=====\"\"''ab /!?";
    int refusals = 0;
    for (int round = 0; round < 2000; ++round) {
        std::string document;
        const std::size_t length = random() % 3000;
        for (std::size_t index = 0; index < length; ++index) {
            // Markup opens and closes rarely, so that some tags grow past the limit.
            const unsigned draw = random() % 400;
            document += draw == 0 ? '<' : draw == 1 ? '>' : alphabet[draw % alphabet.size()];
        }
        std::vector<std::size_t> cuts;
        for (std::size_t cut = random() % 40; cut < length; cut += 1 + random() % 40) {
            cuts.push_back(cut);
        }
        const bool wholeAccepted = acceptsWhole(document);
        EXPECT_EQ(wholeAccepted, acceptsInPieces(document, cuts)) << document;
        refusals += wholeAccepted ? 0 : 1;
    }
    // Both answers were put to the test.
    EXPECT_GT(refusals, 20);
    EXPECT_LT(refusals, 1980);
}

} // namespace
} // namespace vaultora::kdb
