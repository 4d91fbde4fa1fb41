// libFuzzer target: the RTF reader on any bytes, as a file or as markup held in a string.
// ASan and UBSan turn memory and arithmetic faults into crashes; libFuzzer's own timeout and
// memory limit catch hangs and runaway growth.

#include "fuzz/FuzzQtApp.h"
#include "richtext/PlainText.h"
#include "richtext/RtfReader.h"

#include <QByteArray>
#include <QString>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    tolvane::fuzz::ensureGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QTextDocument fromBytes;
    tolvane::richtext::readRtf(bytes, fromBytes);
    // The text must be valid UTF-16 and no longer than the input can account for.
    const QString text = tolvane::richtext::plainText(fromBytes);
    if (text.size() > qsizetype(size) + 1)
        __builtin_trap();
    QTextDocument fromString;
    tolvane::richtext::readRtf(QString::fromUtf8(bytes), fromString);
    return 0;
}
