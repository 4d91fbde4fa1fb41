#pragma once
// The one message of a failed transfer: what happened, to which module or list, from which
// repository, and what the user can do about it.

#include "Listing.h"
#include "Transfer.h"

#include <string>

namespace tolvane::swordinstall {

struct Subject {
    std::string module; // empty: the repository's list of modules
    std::string where;  // the repository "Test" (host/dir)
    std::string folder; // where the files were to go
};

std::string transferMessage(const Subject& subject, const TransferRules& rules);
std::string listingMessage(const Subject& subject, const ListingResult& result);
// `text` with its first letter a capital.
std::string capital(std::string text);
// A path of the repository's that would be written outside `subject.folder`.
std::string outsideMessage(const Subject& subject, const std::string& path);

} // namespace tolvane::swordinstall
