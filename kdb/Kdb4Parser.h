#pragma once

#include <memory>

#include "InputDataSource.h"
#include "RandomStream.h"
#include "Stack.h"

namespace kdb {

class Kdb4Tree;
class Node;

// Builds the node tree of a version-2 XML payload while it streams in. The payload is pushed
// to the XML parser in chunks, groups and entries complete themselves as their elements close,
// and protected values are unmasked in document order with the inner random stream.
class Kdb4Parser {
public:
    Kdb4Parser();
    ~Kdb4Parser();
    Kdb4Parser(const Kdb4Parser&) = delete;
    Kdb4Parser& operator=(const Kdb4Parser&) = delete;

    // The stream must outlive parse(); the parser does not own it.
    void set_randomStream(RandomStream* stream);

    // Reads the source to its end. Malformed XML throws ("InvalidData", "XmlParseError");
    // failures of the source pass through unchanged. No partial tree survives a failure.
    [[nodiscard]] std::shared_ptr<Kdb4Tree> parse(InputDataSource& source);

private:
    friend class Kdb4ParseSession;

    void reset();

    Stack<Node*> m_stack;
    std::shared_ptr<Kdb4Tree> m_tree;
    RandomStream* m_randomStream = nullptr;
};

} // namespace kdb
