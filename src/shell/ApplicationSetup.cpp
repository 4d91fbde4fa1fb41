#include "shell/ApplicationSetup.h"

#include "shell/Images.h"

#include <QApplication>

namespace tolvane::shell {

void setUpApplication() {
    QApplication::setApplicationName(QStringLiteral("Tolvane"));
    QApplication::setApplicationVersion(QStringLiteral(TOLVANE_VERSION));
    QApplication::setOrganizationName(QStringLiteral("Kestrane"));
    QApplication::setWindowIcon(programIcon());
}

} // namespace tolvane::shell
