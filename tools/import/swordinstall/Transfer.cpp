#include "Transfer.h"

#include "SafePath.h"

#include <curl/curl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace tolvane::swordinstall {

void TransferRules::arm(const std::string& folder, long long bound) {
    root = folder;
    maxBytes = bound;
    fault = Fault::None;
    detail.clear();
}

void TransferRules::note(Fault f, const std::string& what) {
    if (fault != Fault::None)
        return; // the first fault is what happened; the rest follow from it
    fault = f;
    detail = what;
}

namespace {

// A listing read into memory is a page of names; more than this is no listing.
constexpr long long kListingPageBytes = 4ll << 20;

struct Sink {
    TransferRules& rules;
    std::string path; // empty: into `buffer`
    sword::SWBuf* buffer = nullptr;
    int fd = -1;
    long long written = 0;
    sword::StatusReporter* progress = nullptr;
    const bool* term = nullptr;
    // The last time bytes came, by the clock of curl's progress calls.
    std::chrono::steady_clock::time_point lastByte = std::chrono::steady_clock::now();
    curl_off_t lastNow = 0;
    bool silent = false;

    ~Sink() {
        if (fd >= 0)
            ::close(fd);
    }
};

size_t write(char* data, size_t size, size_t count, void* user) {
    Sink& sink = *static_cast<Sink*>(user);
    const size_t bytes = size * count;
    sink.written += static_cast<long long>(bytes);
    const long long bound = sink.buffer ? kListingPageBytes : sink.rules.maxBytes;
    if (bound > 0 && sink.written > bound) {
        sink.rules.note(Fault::TooLarge, sink.path);
        return 0;
    }
    if (sink.buffer) {
        sink.buffer->append(data, bytes);
        return bytes;
    }
    // Opened with the first bytes, so that a file not found leaves nothing behind, and never
    // through a link.
    if (sink.fd < 0) {
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(sink.path).parent_path(), error);
        sink.fd =
            ::open(sink.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    }
    size_t done = 0;
    while (sink.fd >= 0 && done < bytes) {
        const ssize_t n = ::write(sink.fd, data + done, bytes - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += size_t(n);
    }
    if (done < bytes)
        sink.rules.note(errno == ENOSPC || errno == EFBIG || errno == EDQUOT ? Fault::NoRoom
                        : errno == ELOOP ? Fault::Outside // a link where the file goes
                                         : Fault::Unwritable,
                        sink.path);
    return done;
}

int progress(void* user, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t) {
    Sink& sink = *static_cast<Sink*>(user);
    if (sink.progress)
        sink.progress->update(static_cast<unsigned long>(std::max<curl_off_t>(0, total)),
                              static_cast<unsigned long>(std::max<curl_off_t>(0, now)));
    const auto time = std::chrono::steady_clock::now();
    if (now != sink.lastNow) {
        sink.lastNow = now;
        sink.lastByte = time;
    } else if (time - sink.lastByte > std::chrono::seconds(sink.rules.silentS)) {
        sink.silent = true; // nothing at all came: given up before the rate's window ends
    }
    return *sink.term || sink.silent ? 1 : 0;
}

Fault faultOf(CURLcode code, CURL* curl) {
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_off_t connected = 0;
    curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME_T, &connected);
    switch (code) {
    case CURLE_HTTP_RETURNED_ERROR:
        return status == 404 || status == 410 ? Fault::NotFound : Fault::ServerFault;
    case CURLE_REMOTE_FILE_NOT_FOUND:
        return Fault::NotFound;
    case CURLE_OPERATION_TIMEDOUT: // the server answered, then came too slowly
        return status > 0 || connected > 0 ? Fault::Stalled : Fault::Unreachable;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_UNSUPPORTED_PROTOCOL:
        return Fault::Unreachable;
    case CURLE_REMOTE_ACCESS_DENIED:
    case CURLE_WEIRD_SERVER_REPLY:
        return Fault::ServerFault;
    default:
        return Fault::CutOff;
    }
}

} // namespace

GuardedTransport::GuardedTransport(const char* server, sword::StatusReporter* progress,
                                   TransferRules& rules, bool ftp)
    : sword::CURLHTTPTransport(server, progress), m_rules(rules), m_ftp(ftp) {}

char GuardedTransport::getURL(const char* destPath, const char* sourceURL, sword::SWBuf* destBuf) {
    Sink sink{m_rules, destBuf ? std::string() : std::string(destPath ? destPath : "")};
    sink.buffer = destBuf;
    sink.progress = statusReporter;
    sink.term = &term;
    if (!destBuf && !staysInside(m_rules.root, sink.path)) {
        m_rules.note(Fault::Outside, sink.path);
        return -1;
    }
    CURL* curl = curl_easy_init();
    if (!curl) {
        m_rules.note(Fault::Unreachable);
        return -1;
    }
    curl_easy_setopt(curl, CURLOPT_URL, sourceURL);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
    curl_easy_setopt(curl, CURLOPT_USERNAME, u.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, p.c_str());
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, write);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &sink);
    // Slower than the minimum rate for the whole window (curl averages over its last
    // seconds): given up as stalled.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, m_rules.minRate);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, m_rules.windowS);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, m_rules.silentS);
    if (m_ftp) {
        curl_easy_setopt(curl, CURLOPT_FTP_USE_EPRT, 0L);
        if (!passive)
            curl_easy_setopt(curl, CURLOPT_FTPPORT, "-");
    }
    if (isUnverifiedPeerAllowed())
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
    const CURLcode code = curl_easy_perform(curl);
    if (code != CURLE_OK)
        m_rules.note(sink.silent ? Fault::Silent : faultOf(code, curl), sink.path);
    curl_easy_cleanup(curl);
    if (m_rules.waiting)
        m_rules.waiting();
    return code == CURLE_OK ? 0 : -1;
}

std::vector<sword::DirEntry> GuardedTransport::getDirList(const char* dirURL) {
    std::vector<sword::DirEntry> list = m_ftp ? sword::RemoteTransport::getDirList(dirURL)
                                              : sword::CURLHTTPTransport::getDirList(dirURL);
    // Each name becomes a file or folder under the step's own: one that climbs out (or is
    // empty) makes the whole listing refused.
    for (const sword::DirEntry& entry : list) {
        const std::optional<std::string> clean = cleanRelative(entry.name.c_str());
        if (!clean || clean->empty()) {
            m_rules.note(Fault::Outside, entry.name.c_str());
            return {};
        }
    }
    return list;
}

} // namespace tolvane::swordinstall
