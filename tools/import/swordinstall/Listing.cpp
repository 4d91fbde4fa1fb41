#include "Listing.h"

#include "SafePath.h"

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <unistd.h>
#include <vector>

namespace tolvane::swordinstall {

namespace {

using Archive = std::unique_ptr<archive, decltype(&archive_read_free)>;

// The file name a member is taken under, or empty when it is passed over.
std::string confName(const std::string& clean) {
    const std::string prefix = "mods.d/";
    if (clean.rfind(prefix, 0) != 0)
        return {};
    const std::string name = clean.substr(prefix.size());
    const bool conf = name.size() > 5 && name.compare(name.size() - 5, 5, ".conf") == 0;
    return conf && name.find('/') == std::string::npos ? name : std::string();
}

// Writes the member's data to `path`, counting its bytes into `total`.
ListingResult::Outcome writeMember(archive* a, const std::string& path, long long& total,
                                   long long maxBytes) {
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return ListingResult::NoRoom;
    const auto room = [] {
        return errno == ENOSPC || errno == EFBIG || errno == EDQUOT ? ListingResult::NoRoom
                                                                    : ListingResult::Damaged;
    };
    std::vector<char> block(64 * 1024);
    ListingResult::Outcome outcome = ListingResult::Unpacked;
    la_ssize_t n;
    while (outcome == ListingResult::Unpacked &&
           (n = archive_read_data(a, block.data(), block.size())) > 0) {
        total += n;
        if (total > maxBytes)
            outcome = ListingResult::TooLarge;
        for (la_ssize_t done = 0; outcome == ListingResult::Unpacked && done < n;) {
            const ssize_t w = ::write(fd, block.data() + done, size_t(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                outcome = room();
            done += std::max<ssize_t>(w, 0);
        }
    }
    if (outcome == ListingResult::Unpacked && n < 0)
        outcome = ListingResult::Damaged;
    if (::close(fd) != 0 && outcome == ListingResult::Unpacked)
        outcome = room();
    return outcome;
}

} // namespace

ListingResult unpackListing(const std::string& archivePath, const std::string& modsD,
                            long long maxBytes, long maxMembers) {
    ListingResult result;
    const auto fail = [&](ListingResult::Outcome outcome, const std::string& member) {
        // Nothing of a refused list stays.
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(modsD, error))
            std::filesystem::remove_all(entry.path(), error);
        result.outcome = outcome;
        result.member = member;
        result.conf = 0;
        return result;
    };
    Archive a(archive_read_new(), archive_read_free);
    archive_read_support_filter_gzip(a.get());
    archive_read_support_format_tar(a.get());
    if (archive_read_open_filename(a.get(), archivePath.c_str(), 64 * 1024) != ARCHIVE_OK)
        return fail(ListingResult::Damaged, {});
    long long total = 0;
    long members = 0;
    archive_entry* entry = nullptr;
    int rc;
    while ((rc = archive_read_next_header(a.get(), &entry)) == ARCHIVE_OK || rc == ARCHIVE_WARN) {
        const char* raw = archive_entry_pathname(entry);
        const std::string name = raw ? raw : "";
        if (++members > maxMembers)
            return fail(ListingResult::TooLarge, name);
        const std::optional<std::string> clean = cleanRelative(name);
        const auto type = archive_entry_filetype(entry);
        if (!clean || archive_entry_hardlink(entry) || (type != AE_IFREG && type != AE_IFDIR))
            return fail(ListingResult::Hostile, name);
        const std::string conf = type == AE_IFREG ? confName(*clean) : std::string();
        if (conf.empty()) {
            // Passed over; what it holds still counts towards the bound, as it is unpacked
            // to be skipped.
            total += std::max<la_int64_t>(0, archive_entry_size(entry));
            if (total > maxBytes)
                return fail(ListingResult::TooLarge, name);
            continue;
        }
        const auto outcome = writeMember(a.get(), modsD + "/" + conf, total, maxBytes);
        if (outcome != ListingResult::Unpacked)
            return fail(outcome, name);
        ++result.conf;
    }
    if (rc != ARCHIVE_EOF)
        return fail(ListingResult::Damaged, {});
    return result;
}

} // namespace tolvane::swordinstall
