#pragma once
// Reads RTF 1.x, as rich-edit controls and word processors write it, into a QTextDocument.
// Any input is accepted: hostile or damaged markup gives whatever text can be recovered and
// never crashes, hangs or takes memory out of proportion to the input.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

class QTextDocument;

namespace tolvane::richtext {

// True when the text is RTF markup: "{\rtf" after optional white space.
bool isRtf(QByteArrayView bytes);
bool isRtf(QStringView text);

// Replaces the document's content with what the RTF describes. Input that is not RTF is
// shown as plain text: UTF-8, or code page 1252 when it is not valid UTF-8.
void readRtf(const QByteArray& rtf, QTextDocument& document);
// The same for markup held as text: characters beyond ASCII in it stand for themselves.
void readRtf(const QString& rtf, QTextDocument& document);

} // namespace tolvane::richtext
