#pragma once
// Hands an address (a web page or a mailto: address) to the desktop, which opens it in the
// user's default browser or mail program. The caller never waits and never learns whether
// it worked: every error is swallowed here.

#include <QUrl>
#include <memory>

namespace tolvane::platform {

class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    // Returns whether the desktop accepted the request; callers ignore it.
    virtual bool start(const QUrl& address) = 0;
};

class DesktopProgramStarter final : public ProgramStarter {
public:
    bool start(const QUrl& address) override;
};

ProgramStarter& programStarter();
std::shared_ptr<ProgramStarter> setProgramStarter(std::shared_ptr<ProgramStarter> s);

// Starts the address and ignores every failure, exceptions included.
void startIgnoringErrors(const QUrl& address) noexcept;

// The maker's addresses.
inline const QUrl& makerWebPage() {
    static const QUrl url(QStringLiteral("https://kestrane.example/"));
    return url;
}
inline const QString& makerEmail() {
    static const QString mail(QStringLiteral("info@kestrane.example"));
    return mail;
}
inline QUrl makerMailto() { return QUrl(QStringLiteral("mailto:") + makerEmail()); }

} // namespace tolvane::platform
