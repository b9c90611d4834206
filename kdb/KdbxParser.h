#pragma once

#include <memory>

#include "InputSource.h"
#include "RandomStream.h"
#include "Stack.h"

namespace vaultora::kdb {

class KdbxTree;
class XmlNode;

// Builds the node tree of a version-2 XML payload while it streams in. The payload is pushed
// to the XML parser in chunks on a second thread, which hands its events over to the calling
// thread (see BlockChannel); groups and entries complete themselves as their elements
// close, and protected values are unmasked in document order with the inner random stream.
class KdbxParser {
public:
    KdbxParser();
    ~KdbxParser();
    KdbxParser(const KdbxParser&) = delete;
    KdbxParser& operator=(const KdbxParser&) = delete;

    // The stream must outlive parse(); the parser does not own it.
    void set_randomStream(RandomStream* stream);

    // Reads the source to its end, on the parser's thread: the source must not be used
    // elsewhere meanwhile. Malformed XML throws ("InvalidData", "XmlParseError"); failures
    // of the source pass through unchanged, after the events before them, so that the first
    // failure in the document is the one raised. No partial tree survives a failure.
    [[nodiscard]] std::shared_ptr<KdbxTree> parse(InputSource& source);

private:
    friend class KdbxParseSession;

    void reset();

    Stack<XmlNode*> m_stack;
    std::shared_ptr<KdbxTree> m_tree;
    RandomStream* m_randomStream = nullptr;
};

} // namespace vaultora::kdb
