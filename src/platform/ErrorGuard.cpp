#include "platform/ErrorGuard.h"

#include "platform/Error.h"
#include "platform/MessageBox.h"

#include <exception>

namespace tolvane::platform {

namespace {
int g_depth = 0; // user-interface thread only

struct DepthScope {
    DepthScope() { ++g_depth; }
    ~DepthScope() { --g_depth; }
};

void report(int number, const QString& message) {
    msgBox(describeError(number, message), Critical, QStringLiteral("Tolvane"));
}

void report(const NumberedError& e) {
    if (e.inPlainWords())
        msgBox(e.message(), Critical, QStringLiteral("Tolvane"));
    else
        report(e.number(), e.message());
}
} // namespace

QString describeError(int number, const QString& message) {
    return QStringLiteral("Run-time error '%1':\n\n%2").arg(QString::number(number), message);
}

bool insideHandler() {
    return g_depth > 0;
}

void runGuarded(const std::function<void()>& handler) {
    const bool outermost = g_depth == 0;
    try {
        DepthScope scope;
        handler();
    } catch (const NumberedError& e) {
        if (!outermost)
            throw;
        report(e);
    } catch (const std::bad_alloc&) {
        if (!outermost)
            throw;
        report(7, QStringLiteral("Out of memory"));
    } catch (const std::exception& e) {
        if (!outermost)
            throw;
        report(5, QString::fromUtf8(e.what()));
    }
}

} // namespace tolvane::platform
