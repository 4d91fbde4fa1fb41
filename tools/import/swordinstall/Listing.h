#pragma once
// A repository's list of modules, mods.d.tar.gz, unpacked by us (libarchive) rather than by
// libsword, which writes a member wherever its name points. Only what a repository's list
// holds is taken: regular files mods.d/NAME.conf. Directory members and other regular files
// are passed over; a member that is absolute, climbs with "..", or is a link, device or pipe
// makes the whole list refused. The list's unpacked size and number of members are bounded
// (a small archive can unpack to gigabytes); past either, the list is refused too. A refused
// list leaves nothing of itself behind.

#include <string>

namespace tolvane::swordinstall {

// The repositories' real lists unpack to under 2 MB (some 2,000 small .conf files).
inline constexpr long long kListingMaxBytes = 8ll << 20;
inline constexpr long kListingMaxMembers = 20'000;
// The archive itself (some 300 KB for the largest repository).
inline constexpr long long kListingArchiveMaxBytes = 32ll << 20;

struct ListingResult {
    enum Outcome { Unpacked, Damaged, Hostile, TooLarge, NoRoom } outcome = Unpacked;
    std::string member; // the member at fault
    int conf = 0;       // the .conf files written
};

// Unpacks `archive` into the folder `modsD` (which exists and is empty).
ListingResult unpackListing(const std::string& archive, const std::string& modsD,
                            long long maxBytes = kListingMaxBytes,
                            long maxMembers = kListingMaxMembers);

} // namespace tolvane::swordinstall
