#include "tests/kdb/support/ParseXml.h"

#include "kdb/KdbxParser.h"
#include "tests/kdb/support/XmlMemorySource.h"

namespace vaultora::kdb::testing {

std::shared_ptr<KdbxTree> parseXml(const std::string& xml, XmlFakeRandomStream& stream) {
    XmlMemorySource source(xml);
    KdbxParser parser;
    parser.set_randomStream(&stream);
    return parser.parse(source);
}

std::shared_ptr<KdbxTree> parseXml(const std::string& xml) {
    XmlFakeRandomStream stream;
    return parseXml(xml, stream);
}

} // namespace vaultora::kdb::testing
