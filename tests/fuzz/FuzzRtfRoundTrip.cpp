// libFuzzer target: read, write, read, write. Whatever the input, the markup we write must
// read back to the same text and write again to the same markup.

#include "fuzz/FuzzQtApp.h"
#include "richtext/PlainText.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

#include <QByteArray>
#include <QString>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    tolvane::fuzz::ensureGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tolvane::richtext;
    QTextDocument first;
    readRtf(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), first);
    const QString written = writeRtf(first);
    QTextDocument second;
    readRtf(written, second);
    if (plainText(second) != plainText(first)) {
        std::fprintf(stderr, "round trip changed the text\n");
        __builtin_trap();
    }
    if (writeRtf(second) != written) {
        std::fprintf(stderr, "writing is not a fixed point:\n%s\n", qPrintable(written));
        __builtin_trap();
    }
    return 0;
}
