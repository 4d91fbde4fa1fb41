#include "richtext/RtfReader.h"

#include "richtext/CodePageDecoder.h"
#include "richtext/PlainText.h"
#include "richtext/RtfParser.h"

#include <QStringDecoder>
#include <QTextDocument>

namespace tolvane::richtext {

bool isRtf(QByteArrayView bytes) {
    qsizetype i = 0;
    while (i < bytes.size() && parsing::isLeadingSpace(static_cast<unsigned char>(bytes[i])))
        ++i;
    return bytes.sliced(i).startsWith("{\\rtf");
}

bool isRtf(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && parsing::isLeadingSpace(text[i].unicode()))
        ++i;
    return text.sliced(i).startsWith(u"{\\rtf");
}

void readRtf(const QByteArray& rtf, QTextDocument& document) {
    if (!isRtf(QByteArrayView(rtf))) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8.decode(rtf);
        if (utf8.hasError()) {
            text.clear();
            CodePageDecoder decoder;
            decoder.decode(kDefaultCodePage, rtf, text);
        }
        setPlainTextContent(document, text);
        return;
    }
    parsing::RtfParser(rtf, false, document).run();
}

void readRtf(const QString& rtf, QTextDocument& document) {
    if (!isRtf(QStringView(rtf))) {
        setPlainTextContent(document, rtf);
        return;
    }
    const QByteArray bytes = rtf.toUtf8();
    parsing::RtfParser(bytes, true, document).run();
}

} // namespace tolvane::richtext
