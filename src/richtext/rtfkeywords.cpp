#include "richtext/rtfkeywords.h"

#include "richtext/rtfreader.h"

#include <string_view>

namespace tl::rtf {

namespace {

constexpr Word kWords[] = {
    // destinations whose text is not shown; for those that hold the user's
    // content, value is its unheld:: bit
    {"author", Kw::SkipDest}, {"annotation", Kw::SkipContent, unheld::Comments}, {"atnauthor", Kw::SkipDest},
    {"atndate", Kw::SkipDest}, {"atnicn", Kw::SkipDest}, {"atnid", Kw::SkipDest},
    {"atnparent", Kw::SkipDest}, {"atnref", Kw::SkipDest}, {"atntime", Kw::SkipDest},
    {"atrfend", Kw::SkipDest}, {"atrfstart", Kw::SkipDest}, {"bkmkend", Kw::SkipDest},
    {"bkmkstart", Kw::SkipDest}, {"buptim", Kw::SkipDest}, {"category", Kw::SkipDest},
    {"colorschememapping", Kw::SkipDest}, {"comment", Kw::SkipDest},
    {"company", Kw::SkipDest}, {"creatim", Kw::SkipDest}, {"datafield", Kw::SkipDest},
    {"datastore", Kw::SkipDest}, {"defchp", Kw::SkipDest}, {"defpap", Kw::SkipDest},
    {"do", Kw::Drawing}, {"doccomm", Kw::SkipDest}, {"docvar", Kw::SkipDest},
    {"factoidname", Kw::SkipDest}, {"falt", Kw::SkipDest}, {"fchars", Kw::SkipDest},
    {"fldtype", Kw::SkipDest}, {"filetbl", Kw::SkipDest},
    {"fname", Kw::SkipDest}, {"fontemb", Kw::SkipDest}, {"fontfile", Kw::SkipDest},
    {"footer", Kw::SkipContent, unheld::HeadersFooters}, {"footerf", Kw::SkipContent, unheld::HeadersFooters}, {"footerl", Kw::SkipContent, unheld::HeadersFooters},
    {"footerr", Kw::SkipContent, unheld::HeadersFooters}, {"footnote", Kw::SkipContent, unheld::Footnotes}, {"formfield", Kw::SkipDest},
    {"ftncn", Kw::SkipDest}, {"ftnsep", Kw::SkipDest}, {"ftnsepc", Kw::SkipDest},
    {"aftncn", Kw::SkipDest}, {"aftnsep", Kw::SkipDest}, {"aftnsepc", Kw::SkipDest},
    {"generator", Kw::SkipDest}, {"gridtbl", Kw::SkipDest}, {"header", Kw::SkipContent, unheld::HeadersFooters},
    {"headerf", Kw::SkipContent, unheld::HeadersFooters}, {"headerl", Kw::SkipContent, unheld::HeadersFooters}, {"headerr", Kw::SkipContent, unheld::HeadersFooters},
    {"hlinkbase", Kw::SkipDest}, {"htmltag", Kw::SkipDest}, {"info", Kw::SkipDest},
    {"keycode", Kw::SkipDest}, {"keywords", Kw::SkipDest}, {"latentstyles", Kw::SkipDest},
    {"lchars", Kw::SkipDest}, {"leveltext", Kw::SkipDest}, {"levelnumbers", Kw::SkipDest},
    {"list", Kw::SkipDest}, {"listname", Kw::SkipDest}, {"listoverride", Kw::SkipDest},
    {"listoverridetable", Kw::SkipDest}, {"listpicture", Kw::SkipDest},
    {"liststylename", Kw::SkipDest}, {"listtable", Kw::SkipDest}, {"manager", Kw::SkipDest},
    {"mmathPr", Kw::SkipDest}, {"nonshppict", Kw::SkipDest},
    {"objdata", Kw::SkipDest}, {"objclass", Kw::SkipDest}, {"objname", Kw::SkipDest},
    {"operator", Kw::SkipDest}, {"panose", Kw::SkipDest}, {"pgdsctbl", Kw::SkipDest},
    {"pnseclvl", Kw::SkipDest}, {"pntxta", Kw::SkipDest},
    {"pntxtb", Kw::SkipDest}, {"printim", Kw::SkipDest}, {"private", Kw::SkipDest},
    {"propname", Kw::SkipDest}, {"protusertbl", Kw::SkipDest},
    {"revtbl", Kw::SkipDest}, {"revtim", Kw::SkipDest}, {"rsidtbl", Kw::SkipDest},
    {"shp", Kw::Drawing}, {"shpgrp", Kw::Drawing}, {"shpinst", Kw::SkipDest},
    {"shprslt", Kw::SkipDest}, {"shptxt", Kw::SkipDest},
    {"sn", Kw::SkipDest}, {"sp", Kw::SkipDest}, {"staticval", Kw::SkipDest},
    {"stylesheet", Kw::SkipDest}, {"subject", Kw::SkipDest}, {"sv", Kw::SkipDest},
    {"tc", Kw::SkipDest}, {"template", Kw::SkipDest}, {"themedata", Kw::SkipDest},
    {"title", Kw::SkipDest}, {"txe", Kw::SkipDest}, {"ud", Kw::SkipDest},
    {"userprops", Kw::SkipDest}, {"xe", Kw::SkipDest}, {"xmlnstbl", Kw::SkipDest},
    {"xmlopen", Kw::SkipDest}, {"xmlclose", Kw::SkipDest}, {"wgrffmtfilter", Kw::SkipDest},
    {"fonttbl", Kw::FontTable}, {"colortbl", Kw::ColorTable},
    {"pntext", Kw::PnText}, {"listtext", Kw::PnText}, {"pn", Kw::Pn},
    {"fldrslt", Kw::FldRslt}, {"fldinst", Kw::FldInst}, {"field", Kw::Field}, {"upr", Kw::Upr},
    // pictures and objects; value is the kind of picture (PicKind)
    {"pict", Kw::Pict}, {"shppict", Kw::ShpPict},
    {"pngblip", Kw::PicKind, 1}, {"jpegblip", Kw::PicKind, 2}, {"dibitmap", Kw::PicKind, 3},
    {"wbitmap", Kw::PicKind, 3}, {"emfblip", Kw::PicKind, 4}, {"wmetafile", Kw::PicKind, 4},
    {"pmmetafile", Kw::PicKind, 4}, {"macpict", Kw::PicKind, 4},
    {"picw", Kw::PicW}, {"pich", Kw::PicH}, {"picwgoal", Kw::PicWGoal}, {"pichgoal", Kw::PicHGoal},
    {"picscalex", Kw::PicScaleX}, {"picscaley", Kw::PicScaleY},
    {"object", Kw::Object}, {"result", Kw::Result}, {"objw", Kw::ObjW}, {"objh", Kw::ObjH},
    {"objscalex", Kw::ObjScaleX}, {"objscaley", Kw::ObjScaleY},
    // document
    {"ansi", Kw::Ansi}, {"mac", Kw::Mac}, {"pc", Kw::Pc}, {"pca", Kw::Pca},
    {"ansicpg", Kw::AnsiCpg}, {"deff", Kw::Deff}, {"fcharset", Kw::FCharset},
    {"red", Kw::Red}, {"green", Kw::Green}, {"blue", Kw::Blue}, {"bin", Kw::Bin},
    {"u", Kw::U}, {"uc", Kw::Uc},
    // character
    {"f", Kw::F}, {"fs", Kw::Fs}, {"cf", Kw::Cf}, {"b", Kw::B}, {"i", Kw::I},
    {"ul", Kw::Ul}, {"uld", Kw::Ul}, {"uldash", Kw::Ul}, {"uldashd", Kw::Ul},
    {"uldashdd", Kw::Ul}, {"uldb", Kw::Ul}, {"ulhwave", Kw::Ul}, {"ulldash", Kw::Ul},
    {"ulth", Kw::Ul}, {"ulthd", Kw::Ul}, {"ulthdash", Kw::Ul}, {"ulthdashd", Kw::Ul},
    {"ulthdashdd", Kw::Ul}, {"ulthldash", Kw::Ul}, {"ululdbwave", Kw::Ul}, {"ulw", Kw::Ul},
    {"ulwave", Kw::Ul}, {"ulnone", Kw::UlNone}, {"strike", Kw::Strike},
    {"striked", Kw::Strike}, {"plain", Kw::Plain}, {"v", Kw::Hidden},
    // paragraph
    {"par", Kw::Par}, {"page", Kw::Par}, {"sect", Kw::Par}, {"column", Kw::Par},
    {"pard", Kw::Pard}, {"ql", Kw::Ql}, {"qc", Kw::Qc}, {"qr", Kw::Qr}, {"qj", Kw::Qj},
    {"qd", Kw::Qj}, {"li", Kw::Li}, {"lin", Kw::Li}, {"ri", Kw::Ri}, {"rin", Kw::Ri},
    {"fi", Kw::Fi}, {"sb", Kw::Sb}, {"sa", Kw::Sa}, {"ls", Kw::Ls}, {"line", Kw::Line}, {"tab", Kw::Tab},
    {"cell", Kw::Cell}, {"nestcell", Kw::NestCell}, {"row", Kw::Row}, {"nestrow", Kw::NestRow},
    // table rows
    {"trowd", Kw::Trowd}, {"trgaph", Kw::Trgaph}, {"trleft", Kw::Trleft}, {"cellx", Kw::Cellx},
    {"intbl", Kw::Intbl}, {"trbrdrt", Kw::Border}, {"trbrdrl", Kw::Border}, {"trbrdrb", Kw::Border},
    {"trbrdrr", Kw::Border}, {"trbrdrh", Kw::Border}, {"trbrdrv", Kw::Border}, {"clbrdrt", Kw::Border},
    {"clbrdrl", Kw::Border}, {"clbrdrb", Kw::Border}, {"clbrdrr", Kw::Border},
    {"brdrnone", Kw::BorderNone}, {"brdrs", Kw::BorderStyle}, {"brdrth", Kw::BorderStyle},
    {"brdrsh", Kw::BorderStyle}, {"brdrdb", Kw::BorderStyle}, {"brdrdot", Kw::BorderStyle},
    {"brdrdash", Kw::BorderStyle}, {"brdrhair", Kw::BorderStyle}, {"brdrtriple", Kw::BorderStyle},
    // characters by name
    {"emdash", Kw::Char, u'\u2014'}, {"endash", Kw::Char, u'\u2013'},
    {"emspace", Kw::Char, u'\u2003'}, {"enspace", Kw::Char, u'\u2002'},
    {"qmspace", Kw::Char, u'\u2005'}, {"bullet", Kw::Char, u'\u2022'},
    {"lquote", Kw::Char, u'\u2018'}, {"rquote", Kw::Char, u'\u2019'},
    {"ldblquote", Kw::Char, u'\u201C'}, {"rdblquote", Kw::Char, u'\u201D'},
    {"zwj", Kw::Char, u'\u200D'}, {"zwnj", Kw::Char, u'\u200C'},
    {"zwbo", Kw::Char, u'\u200B'}, {"zwnbo", Kw::Char, u'\uFEFF'},
};

// Linear probing stays short while the index is at most half full.
static_assert(std::size(kWords) <= detail::WordIndex::kSlots / 2);

constexpr detail::WordIndex buildIndex()
{
    detail::WordIndex index;
    index.words = kWords;
    index.slots.fill(-1);
    for (std::size_t i = 0; i < std::size(kWords); ++i) {
        const std::string_view name = kWords[i].name;
        std::size_t h = detail::wordHash(name.data(), name.size()) & (detail::WordIndex::kSlots - 1);
        while (index.slots[h] >= 0)
            h = (h + 1) & (detail::WordIndex::kSlots - 1);
        index.slots[h] = static_cast<short>(i);
        index.lengths[h] = static_cast<unsigned char>(name.size());
    }
    return index;
}

} // namespace

constinit const detail::WordIndex detail::wordIndex = buildIndex();

std::span<const Word> knownWords() { return kWords; }

} // namespace tl::rtf
