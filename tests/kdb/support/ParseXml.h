#pragma once

#include <memory>
#include <string>

#include "kdb/KdbxTree.h"
#include "tests/kdb/support/XmlFakeRandomStream.h"

namespace vaultora::kdb::testing {

// The tree the engine's parser builds of the XML text, protected values unmasked with the
// stream (a fresh one when none is given).
std::shared_ptr<KdbxTree> parseXml(const std::string& xml, XmlFakeRandomStream& stream);
std::shared_ptr<KdbxTree> parseXml(const std::string& xml);

} // namespace vaultora::kdb::testing
