#include "richtext/RtfWriter.h"

#include "richtext/CodePageDecoder.h"
#include "richtext/RtfFontName.h"
#include "richtext/RtfFormat.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <charconv>
#include <optional>
#include <unordered_map>

namespace tolvane::richtext {

namespace {

// A run's formatting as RTF states it; font and colours are table indices.
struct RunFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int halfPoints = -1; // -1 before the first run: forces \f and \fs to be written
    int font = -1;
    int foreground = 0;
    int background = 0;
    bool operator==(const RunFormat&) const = default;
};

class RtfWriter {
public:
    explicit RtfWriter(const QTextDocument& document)
        : document_(document), defaultFont_(document.defaultFont()) {}

    QString write() {
        // The first pass gives every font and colour its table index in order of first use.
        forEachRun([this](const QTextCharFormat& f, int formatIndex) { resolve(f, formatIndex); });
        if (fonts_.isEmpty())
            fontIndex(cleanFontName(defaultFont_.family()));

        out_.reserve(document_.characterCount() + 256);
        out_.append("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl");
        for (qsizetype i = 0; i < fonts_.size(); ++i) {
            out_.append("{\\f");
            appendNumber(int(i));
            out_.append("\\fnil\\fcharset0 ");
            appendEscaped(fonts_.at(i), true);
            out_.append(";}");
        }
        out_.append("}\r\n");
        if (!colors_.isEmpty()) {
            out_.append("{\\colortbl ;");
            for (const QRgb rgb : std::as_const(colors_)) {
                out_.append("\\red");
                appendNumber(qRed(rgb));
                out_.append("\\green");
                appendNumber(qGreen(rgb));
                out_.append("\\blue");
                appendNumber(qBlue(rgb));
                out_.append(';');
            }
            out_.append("}\r\n");
        }
        out_.append("\\viewkind4\\uc1");

        std::optional<RtfParaProps> previousPara;
        for (QTextBlock block = document_.begin(); block.isValid(); block = block.next()) {
            const RtfParaProps para = paraProps(block.blockFormat());
            if (!previousPara || !(*previousPara == para)) {
                writeParaProps(para);
                previousPara = para;
            }
            bool empty = true;
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                if (!fragment.isValid() || fragment.length() == 0)
                    continue;
                empty = false;
                writeFormat(resolve(fragment.charFormat(), fragment.charFormatIndex()));
                appendEscaped(fragment.text(), false);
            }
            if (empty)
                writeFormat(resolve(block.charFormat(), -1));
            out_.append("\\par\r\n");
            delimiterPending_ = false;
        }
        out_.append("}\r\n");
        return QString::fromLatin1(out_);
    }

private:
    template <typename F>
    void forEachRun(F&& f) {
        for (QTextBlock block = document_.begin(); block.isValid(); block = block.next()) {
            bool empty = true;
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                if (!fragment.isValid() || fragment.length() == 0)
                    continue;
                empty = false;
                f(fragment.charFormat(), fragment.charFormatIndex());
            }
            if (empty)
                f(block.charFormat(), -1);
        }
    }

    RunFormat resolve(const QTextCharFormat& f, int formatIndex) {
        if (formatIndex >= 0) {
            const auto it = resolved_.find(formatIndex);
            if (it != resolved_.end())
                return it->second;
        }
        RunFormat r;
        r.bold = f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() > QFont::Medium
                                                         : defaultFont_.bold();
        r.italic = f.hasProperty(QTextFormat::FontItalic) ? f.fontItalic() : defaultFont_.italic();
        r.underline = (f.hasProperty(QTextFormat::TextUnderlineStyle) ||
                       f.hasProperty(QTextFormat::FontUnderline))
                          ? f.fontUnderline()
                          : defaultFont_.underline();
        r.strike = f.hasProperty(QTextFormat::FontStrikeOut) ? f.fontStrikeOut()
                                                             : defaultFont_.strikeOut();
        double points = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize()
                                                                  : defaultFont_.pointSizeF();
        if (points <= 0)
            points = kDefaultHalfPoints / 2.0;
        r.halfPoints = std::clamp(qRound(points * 2), 1, kMaxHalfPoints);
        r.font = fontIndex(family(f));
        if (f.foreground().style() != Qt::NoBrush)
            r.foreground = colorIndex(f.foreground().color().rgb());
        if (f.background().style() != Qt::NoBrush)
            r.background = colorIndex(f.background().color().rgb());
        if (formatIndex >= 0)
            resolved_.emplace(formatIndex, r);
        return r;
    }

    QString family(const QTextCharFormat& f) const {
        QString name;
        if (f.hasProperty(QTextFormat::FontFamilies))
            name = f.property(QTextFormat::FontFamilies).toStringList().value(0);
        if (name.isEmpty() && f.hasProperty(QTextFormat::FontFamily))
            name = f.property(QTextFormat::FontFamily).toString();
        name = cleanFontName(name);
        return name.isEmpty() ? cleanFontName(defaultFont_.family()) : name;
    }

    int fontIndex(const QString& name) {
        const auto it = fontIndices_.constFind(name);
        if (it != fontIndices_.constEnd())
            return *it;
        fonts_.append(name);
        fontIndices_.insert(name, int(fonts_.size() - 1));
        return int(fonts_.size() - 1);
    }

    int colorIndex(QRgb rgb) {
        rgb = qRgb(qRed(rgb), qGreen(rgb), qBlue(rgb));
        const int i = int(colors_.indexOf(rgb));
        if (i >= 0)
            return i + 1;
        colors_.append(rgb);
        return int(colors_.size()); // entry 0 is the automatic colour
    }

    static RtfParaProps paraProps(const QTextBlockFormat& f) {
        RtfParaProps p;
        const Qt::Alignment h = f.alignment() & Qt::AlignHorizontal_Mask;
        if (h & Qt::AlignJustify)
            p.align = RtfAlign::Justify;
        else if (h & Qt::AlignHCenter)
            p.align = RtfAlign::Center;
        else if (h & Qt::AlignRight)
            p.align = RtfAlign::Right;
        p.leftIndent = clampIndent(pixelsToTwips(f.leftMargin()));
        p.rightIndent = clampIndent(pixelsToTwips(f.rightMargin()));
        p.firstIndent = clampIndent(pixelsToTwips(f.textIndent()));
        p.spaceBefore = std::clamp(pixelsToTwips(f.topMargin()), 0, kMaxIndentTwips);
        p.spaceAfter = std::clamp(pixelsToTwips(f.bottomMargin()), 0, kMaxIndentTwips);
        return p;
    }

    void writeParaProps(const RtfParaProps& p) {
        out_.append("\\pard");
        switch (p.align) {
        case RtfAlign::Left: break;
        case RtfAlign::Center: out_.append("\\qc"); break;
        case RtfAlign::Right: out_.append("\\qr"); break;
        case RtfAlign::Justify: out_.append("\\qj"); break;
        }
        writeNumbered("\\li", p.leftIndent);
        writeNumbered("\\ri", p.rightIndent);
        writeNumbered("\\fi", p.firstIndent);
        writeNumbered("\\sb", p.spaceBefore);
        writeNumbered("\\sa", p.spaceAfter);
        delimiterPending_ = true;
    }

    void writeNumbered(const char* word, int value) {
        if (value == 0)
            return;
        out_.append(word);
        appendNumber(value);
    }

    void writeFormat(const RunFormat& r) {
        if (r == current_)
            return;
        auto toggle = [this](bool now, bool was, const char* on, const char* off) {
            if (now != was) {
                out_.append(now ? on : off);
                delimiterPending_ = true;
            }
        };
        toggle(r.bold, current_.bold, "\\b", "\\b0");
        toggle(r.italic, current_.italic, "\\i", "\\i0");
        toggle(r.underline, current_.underline, "\\ul", "\\ulnone");
        toggle(r.strike, current_.strike, "\\strike", "\\strike0");
        if (r.foreground != current_.foreground) {
            out_.append("\\cf");
            appendNumber(r.foreground);
            delimiterPending_ = true;
        }
        if (r.background != current_.background) {
            out_.append("\\highlight");
            appendNumber(r.background);
            delimiterPending_ = true;
        }
        if (r.font != current_.font) {
            out_.append("\\f");
            appendNumber(r.font);
            delimiterPending_ = true;
        }
        if (r.halfPoints != current_.halfPoints) {
            out_.append("\\fs");
            appendNumber(r.halfPoints);
            delimiterPending_ = true;
        }
        current_ = r;
    }

    void appendNumber(int value) {
        char buffer[16];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        out_.append(buffer, result.ptr - buffer);
    }

    void endControlWord() {
        if (delimiterPending_) {
            out_.append(' ');
            delimiterPending_ = false;
        }
    }

    void appendControl(const char* word) {
        out_.append(word);
        delimiterPending_ = true;
    }

    void appendUnicode(char16_t unit) {
        out_.append("\\u");
        appendNumber(unit > 0x7FFF ? int(unit) - 0x10000 : int(unit));
        out_.append('?');
        delimiterPending_ = false;
    }

    // Text as RTF: { } \ escaped, tab and line break as control words, 1252 characters as
    // \'hh and everything else as \uN with "?" for readers without Unicode. In a font name
    // ";" ends the name and is escaped too.
    void appendEscaped(const QString& text, bool fontName) {
        const qsizetype n = text.size();
        const char16_t* s = reinterpret_cast<const char16_t*>(text.constData());
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = s[i];
            if (c >= 0x20 && c < 0x7F) {
                if (c == '\\' || c == '{' || c == '}' || (fontName && c == ';')) {
                    if (c == ';') {
                        out_.append("\\'3b");
                        delimiterPending_ = false;
                        continue;
                    }
                    out_.append('\\');
                    out_.append(char(c));
                    delimiterPending_ = false;
                    continue;
                }
                endControlWord();
                out_.append(char(c));
                continue;
            }
            switch (c) {
            case 0:
            case 0xFDD0: // QTextDocument's frame and object markers are not text
            case 0xFDD1:
            case 0xFFFC:
                continue;
            case u'\t':
                appendControl("\\tab");
                continue;
            case u'\n':
            case u'\r':
            case 0x0B:
            case 0x0C:
            case 0x2028:
            case 0x2029:
                appendControl("\\line");
                continue;
            default:
                break;
            }
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
                appendUnicode(c);
                appendUnicode(s[++i]);
                continue;
            }
            if (c >= 0xD800 && c <= 0xDFFF) {
                appendUnicode(0xFFFD);
                continue;
            }
            const int byte = c >= 0x80 ? cp1252ByteFor(c) : -1;
            if (byte >= 0) {
                static const char hex[] = "0123456789abcdef";
                out_.append("\\'");
                out_.append(hex[byte >> 4]);
                out_.append(hex[byte & 15]);
                delimiterPending_ = false;
            } else {
                appendUnicode(c);
            }
        }
    }

    const QTextDocument& document_;
    const QFont defaultFont_;
    QByteArray out_;
    bool delimiterPending_ = false;
    RunFormat current_;
    QStringList fonts_;
    QHash<QString, int> fontIndices_;
    QList<QRgb> colors_;
    std::unordered_map<int, RunFormat> resolved_;
};

} // namespace

QString writeRtf(const QTextDocument& document) { return RtfWriter(document).write(); }

} // namespace tolvane::richtext
