#pragma once
// QTextDocument needs a QGuiApplication for its fonts; the fuzz targets make one, offscreen,
// before the first input and keep it for the whole run.

#include <QGuiApplication>
#include <QtGlobal>

namespace tolvane::fuzz {

inline void ensureGuiApplication(int* argc, char*** argv) {
    if (QGuiApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication* app = new QGuiApplication(*argc, *argv);
    (void)app;
}

} // namespace tolvane::fuzz
