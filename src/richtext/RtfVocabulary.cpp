#include "richtext/RtfVocabulary.h"

#include <unordered_map>

namespace tolvane::richtext {

RtfWord lookupRtfWord(std::string_view word) {
    using W = RtfWord;
    static const std::unordered_map<std::string_view, RtfWord> words = {
        {"rtf", W::Rtf}, {"ansi", W::Ansi}, {"mac", W::Mac}, {"pc", W::Pc}, {"pca", W::Pca},
        {"ansicpg", W::AnsiCpg}, {"deff", W::Deff}, {"uc", W::Uc}, {"u", W::U},
        {"upr", W::Upr}, {"ud", W::Ud}, {"bin", W::Bin},
        {"fonttbl", W::FontTable}, {"colortbl", W::ColorTable}, {"f", W::F},
        {"fcharset", W::FCharset}, {"cpg", W::Cpg}, {"red", W::Red}, {"green", W::Green},
        {"blue", W::Blue},
        {"par", W::Par}, {"line", W::Line}, {"tab", W::Tab}, {"cell", W::Cell},
        {"nestcell", W::NestCell}, {"row", W::Row}, {"nestrow", W::NestRow}, {"sect", W::Sect},
        {"page", W::Page}, {"emdash", W::EmDash}, {"endash", W::EnDash},
        {"emspace", W::EmSpace}, {"enspace", W::EnSpace}, {"qmspace", W::QmSpace},
        {"bullet", W::Bullet}, {"lquote", W::LQuote}, {"rquote", W::RQuote},
        {"ldblquote", W::LDblQuote}, {"rdblquote", W::RDblQuote},
        {"plain", W::Plain}, {"b", W::B}, {"i", W::I},
        // every underline style shows as an underline
        {"ul", W::Ul}, {"uld", W::Ul}, {"uldash", W::Ul}, {"uldashd", W::Ul},
        {"uldashdd", W::Ul}, {"uldb", W::Ul}, {"ulhwave", W::Ul}, {"ulldash", W::Ul},
        {"ulth", W::Ul}, {"ulthd", W::Ul}, {"ulthdash", W::Ul}, {"ulthdashd", W::Ul},
        {"ulthdashdd", W::Ul}, {"ulthldash", W::Ul}, {"ululdbwave", W::Ul}, {"ulw", W::Ul},
        {"ulwave", W::Ul}, {"ulnone", W::UlNone},
        {"strike", W::Strike}, {"striked", W::Strike}, {"fs", W::Fs}, {"cf", W::Cf},
        {"cb", W::Cb}, {"chcbpat", W::Cb}, {"highlight", W::Highlight}, {"v", W::Hidden},
        {"pard", W::Pard}, {"ql", W::Ql}, {"qc", W::Qc}, {"qr", W::Qr}, {"qj", W::Qj},
        {"li", W::Li}, {"ri", W::Ri}, {"fi", W::Fi}, {"sb", W::Sb}, {"sa", W::Sa},
        {"nesttableprops", W::NestTableProps},
        // Destinations whose content is not part of the body text.
        {"stylesheet", W::SkippedDestination}, {"info", W::SkippedDestination},
        {"pict", W::SkippedDestination}, {"fldinst", W::SkippedDestination},
        {"pntext", W::SkippedDestination}, {"listtext", W::SkippedDestination},
        {"header", W::SkippedDestination}, {"headerl", W::SkippedDestination},
        {"headerr", W::SkippedDestination}, {"headerf", W::SkippedDestination},
        {"footer", W::SkippedDestination}, {"footerl", W::SkippedDestination},
        {"footerr", W::SkippedDestination}, {"footerf", W::SkippedDestination},
        {"footnote", W::SkippedDestination}, {"nonshppict", W::SkippedDestination},
        {"shprslt", W::SkippedDestination}, {"nonesttables", W::SkippedDestination},
        {"xe", W::SkippedDestination}, {"tc", W::SkippedDestination},
        {"tcn", W::SkippedDestination}, {"themedata", W::SkippedDestination},
        {"latentstyles", W::SkippedDestination}, {"datastore", W::SkippedDestination},
        {"listtable", W::SkippedDestination}, {"listoverridetable", W::SkippedDestination},
        {"rsidtbl", W::SkippedDestination}, {"objdata", W::SkippedDestination},
        {"objclass", W::SkippedDestination}, {"objname", W::SkippedDestination},
        {"author", W::SkippedDestination}, {"title", W::SkippedDestination},
        {"subject", W::SkippedDestination}, {"operator", W::SkippedDestination},
        {"keywords", W::SkippedDestination}, {"comment", W::SkippedDestination},
        {"doccomm", W::SkippedDestination}, {"creatim", W::SkippedDestination},
        {"revtim", W::SkippedDestination}, {"printim", W::SkippedDestination},
        {"buptim", W::SkippedDestination}, {"generator", W::SkippedDestination},
        {"xmlnstbl", W::SkippedDestination}, {"annotation", W::SkippedDestination},
        {"atnid", W::SkippedDestination}, {"atnauthor", W::SkippedDestination},
        {"bkmkstart", W::SkippedDestination}, {"bkmkend", W::SkippedDestination},
        {"template", W::SkippedDestination}, {"txe", W::SkippedDestination},
        {"rxe", W::SkippedDestination}, {"userprops", W::SkippedDestination},
        {"docvar", W::SkippedDestination}, {"ftnsep", W::SkippedDestination},
        {"ftnsepc", W::SkippedDestination}, {"ftncn", W::SkippedDestination},
        {"aftnsep", W::SkippedDestination}, {"aftnsepc", W::SkippedDestination},
        {"aftncn", W::SkippedDestination}, {"filetbl", W::SkippedDestination},
        {"revtbl", W::SkippedDestination}, {"listpicture", W::SkippedDestination},
        {"pgdsctbl", W::SkippedDestination}, {"fchars", W::SkippedDestination},
        {"lchars", W::SkippedDestination}, {"pnseclvl", W::SkippedDestination},
        {"pntxta", W::SkippedDestination}, {"pntxtb", W::SkippedDestination},
        {"protusertbl", W::SkippedDestination}, {"gridtbl", W::SkippedDestination},
    };
    const auto it = words.find(word);
    return it == words.end() ? W::Unknown : it->second;
}

} // namespace tolvane::richtext
