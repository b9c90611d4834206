#include "ui/DatabaseLoader.h"

#include "kdb/DatabaseError.h"
#include "kdb/DatabaseOpener.h"
#include "kdb/MappedFileSource.h"

#include <exception>

namespace vaultora::ui {

DatabaseLoadOutcome DatabaseLoader::load(const std::string& path,
                                         const kdb::SecureBytes& password) {
    DatabaseLoadOutcome outcome;
    try {
        std::shared_ptr<kdb::DatabaseTree> tree =
            kdb::openDatabase(std::make_unique<kdb::MappedFileSource>(path), password);
        if (!tree || tree->getRoot() == nullptr) {
            outcome.errorName = "ParseError";
            outcome.errorReason = "The file holds no root group";
            return outcome;
        }
        outcome.tree = std::move(tree);
    } catch (const kdb::DatabaseError& failure) {
        outcome.errorName = failure.name();
        outcome.errorReason = failure.reason();
    } catch (const std::exception& failure) {
        // Anything else (memory exhausted, a library failure) is reported like an engine
        // failure of its own name rather than taking the application down.
        outcome.errorName = "AppError";
        outcome.errorReason = failure.what();
    }
    return outcome;
}

} // namespace vaultora::ui
