#include "richtext/richedit.h"

#include "richtext/alignment.h"
#include "richtext/rtfdocument.h"
#include "richtext/rtfproperties.h"
#include "richtext/rtfreader.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>
#include <QUrl>

#include <cmath>
#include <utility>
#include <vector>

namespace tl {

namespace {

constexpr int kLinkProperty = QTextFormat::UserProperty + 0x7e1;
constexpr int kMisspeltProperty = QTextFormat::UserProperty + 0x7e2;

// The pictures of a copied selection, in order, as an RTF document: only
// this program reads it back.
constexpr const char *kPicturesMime = "application/x-tessaleaf-pictures";

std::vector<QTextImageFormat> picturesIn(const QTextDocument &doc, int from, int to)
{
    std::vector<QTextImageFormat> out;
    for (QTextBlock b = doc.findBlock(from); b.isValid() && b.position() < to; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.charFormat().isImageFormat())
                continue;
            for (int i = std::max(f.position(), from); i < std::min(f.position() + f.length(), to); ++i)
                out.push_back(f.charFormat().toImageFormat());
        }
    }
    return out;
}

void copyPicture(const QTextDocument &from, QTextDocument &to, const QString &name)
{
    const QUrl url(name);
    to.addResource(QTextDocument::ImageResource, url, from.resource(QTextDocument::ImageResource, url));
    to.addResource(rtf::kKeptResource, rtf::keptUrl(name), from.resource(rtf::kKeptResource, rtf::keptUrl(name)));
}

// A picture in the format at the caret, as pasted text is.
QTextImageFormat atCaret(const QTextCharFormat &caret, const QTextImageFormat &picture)
{
    QTextImageFormat f;
    f.merge(caret);
    for (int id = rtf::prop::PictureKind; id <= rtf::prop::PictureScaleY; ++id)
        f.clearProperty(id);
    const auto properties = picture.properties();
    for (auto it = properties.begin(); it != properties.end(); ++it) {
        const int id = it.key();
        if (id == QTextFormat::ImageName || id == QTextFormat::ImageWidth || id == QTextFormat::ImageHeight
            || (id >= rtf::prop::PictureKind && id <= rtf::prop::PictureScaleY))
            f.setProperty(id, it.value());
    }
    return f;
}

// The schemes the Windows control recognises, and "www." addresses.
const QRegularExpression &urlPattern()
{
    static const QRegularExpression re(
        QStringLiteral("(?<![\\w.@])(?:(?:https?|ftp|file|mailto|news|nntp|telnet|gopher|wais|"
                       "prospero|notes|callto|tel):[^\\s<>\"]+|www\\.[^\\s<>\"]+)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    return re;
}

} // namespace

// Display-only marks: formats of the layout, never of the document, so the
// text and its RTF stay exactly as they are. Web addresses, and misspelt
// words as the spelling marker says.
class MarkHighlighter final : public QSyntaxHighlighter {
public:
    explicit MarkHighlighter(QTextDocument *doc) : QSyntaxHighlighter(doc) {}

    QColor link;
    bool urls = false;
    RichEdit::SpellMarker spelling;
    // While a whole content is set, words wait for the paragraph-by-paragraph pass.
    bool spellingDeferred = false;

    // The marks of a paragraph, as the layout keeps them.
    QList<QTextLayout::FormatRange> marks(const QString &text, bool withSpelling) const
    {
        QList<QTextLayout::FormatRange> out;
        if (withSpelling && spelling) {
            QTextCharFormat wrong;
            wrong.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
            wrong.setUnderlineColor(Qt::red);
            wrong.setProperty(kMisspeltProperty, true);
            for (const spell::Span &w : spelling(text))
                out.append({w.start, w.length, wrong});
        }
        if (!urls)
            return out;
        QTextCharFormat f;
        f.setFontUnderline(true);
        f.setForeground(link);
        f.setProperty(kLinkProperty, true);
        auto it = urlPattern().globalMatch(text);
        while (it.hasNext()) {
            const auto m = it.next();
            int length = int(m.capturedLength());
            // Sentence punctuation after an address is not part of it.
            while (length > 0
                   && QStringView(u".,;:!?)]'").contains(text.at(m.capturedStart() + length - 1)))
                --length;
            if (length > 4)
                out.append({int(m.capturedStart()), length, f});
        }
        return out;
    }

protected:
    void highlightBlock(const QString &text) override
    {
        for (const QTextLayout::FormatRange &r : marks(text, !spellingDeferred))
            setFormat(r.start, r.length, r.format);
    }
};

RichEdit::RichEdit(QWidget *parent) : QTextEdit(parent)
{
    setAcceptRichText(false);
    setTabChangesFocus(false);
    // Bullets made here sit where those of a loaded note do.
    document()->setIndentWidth(rtf::kIndentWidth);
    // Made once: attaching a highlighter to a document that holds text marks
    // it, and tells of a change that is none.
    m_highlighter = new MarkHighlighter(document());
    connect(&m_remarkTimer, &QTimer::timeout, this, [this] { remarkSlice(); });
}

RichEdit::~RichEdit() = default;

namespace {
// Words of a content being set are marked by the pass that follows, a few
// paragraphs at a time, not all at once while the note opens.
struct DeferSpelling {
    MarkHighlighter *h;
    explicit DeferSpelling(MarkHighlighter *highlighter) : h(highlighter)
    {
        if (h)
            h->spellingDeferred = true;
    }
    ~DeferSpelling()
    {
        if (h)
            h->spellingDeferred = false;
    }
};
} // namespace

void RichEdit::setContentText(const QString &text)
{
    if (rtf::looksLikeRtf(text)) {
        setContentRtf(rtf::rtfBytes(text));
        return;
    }
    m_unheld = 0;
    setCurrentCharFormat(QTextCharFormat());
    {
        DeferSpelling defer(m_highlighter);
        setPlainText(text);
    }
    moveCursor(QTextCursor::Start);
    if (m_spellMarker)
        remarkSpelling();
    Q_EMIT contentReplaced();
}

void RichEdit::setContentRtf(const QByteArray &rtf)
{
    QTextDocument *doc = document();
    {
        DeferSpelling defer(m_highlighter);
        m_unheld = rtf::readDocument(std::string_view(rtf.constData(), size_t(rtf.size())), *doc);
    }
    doc->setUndoRedoEnabled(false);
    doc->setUndoRedoEnabled(true);
    QTextCursor c(doc);
    c.movePosition(QTextCursor::Start);
    setTextCursor(c);
    if (m_spellMarker)
        remarkSpelling();
    Q_EMIT contentReplaced();
}

QByteArray RichEdit::rtfBytes() const { return rtf::writeDocument(*document()); }

QString RichEdit::toRtf() const { return QString::fromLatin1(rtfBytes()); }

void RichEdit::ensureLaidOut() const
{
    document()->documentLayout()->documentSize();
}

int RichEdit::lineCount() const
{
    ensureLaidOut();
    int lines = 0;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next())
        lines += b.layout() ? std::max(1, b.layout()->lineCount()) : 1;
    return std::max(1, lines);
}

int RichEdit::caretLine() const
{
    ensureLaidOut();
    const int pos = textCursor().selectionEnd();
    const QTextBlock target = document()->findBlock(pos);
    int lines = 0;
    for (QTextBlock b = document()->begin(); b.isValid() && b != target; b = b.next())
        lines += b.layout() ? std::max(1, b.layout()->lineCount()) : 1;
    if (target.isValid() && target.layout() && target.layout()->lineCount() > 0) {
        const QTextLine line = target.layout()->lineForTextPosition(pos - target.position());
        if (line.isValid())
            lines += line.lineNumber();
    }
    return lines;
}

int RichEdit::firstVisibleLine() const
{
    ensureLaidOut();
    const qreal y = verticalScrollBar()->value();
    QAbstractTextDocumentLayout *layout = document()->documentLayout();
    int index = 0;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        const qreal top = layout->blockBoundingRect(b).top();
        QTextLayout *l = b.layout();
        const int n = l ? l->lineCount() : 0;
        if (n == 0) {
            if (layout->blockBoundingRect(b).bottom() > y)
                return index;
            ++index;
            continue;
        }
        for (int i = 0; i < n; ++i, ++index) {
            const QTextLine line = l->lineAt(i);
            if (top + line.y() + line.height() > y + 0.5)
                return index;
        }
    }
    return std::max(0, index - 1);
}

int RichEdit::lineTop(int wanted) const
{
    QAbstractTextDocumentLayout *layout = document()->documentLayout();
    int index = 0;
    qreal last = 0;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        const qreal top = layout->blockBoundingRect(b).top();
        QTextLayout *l = b.layout();
        const int n = l ? std::max(1, l->lineCount()) : 1;
        for (int i = 0; i < n; ++i, ++index) {
            last = l && l->lineCount() ? top + l->lineAt(i).y() : top;
            if (index == wanted)
                return int(std::ceil(last));
        }
    }
    return int(std::ceil(last));
}

void RichEdit::scrollLines(int n)
{
    if (n == 0)
        return;
    ensureLaidOut();
    const int target = std::clamp(firstVisibleLine() + n, 0, lineCount() - 1);
    verticalScrollBar()->setValue(lineTop(target));
}

void RichEdit::setTextLimit(int characters) { m_limit = std::max(0, characters); }

int RichEdit::characters() const { return std::max(0, document()->characterCount() - 1); }

void RichEdit::setAutoUrlDetect(bool on)
{
    if (on == m_urls)
        return;
    m_urls = on;
    m_highlighter->urls = on;
    m_highlighter->link = palette().color(QPalette::Link);
    m_highlighter->rehighlight();
}

void RichEdit::setSpellMarker(SpellMarker marker)
{
    const bool had = bool(m_spellMarker);
    m_spellMarker = std::move(marker);
    m_highlighter->spelling = m_spellMarker;
    if (had || m_spellMarker)
        remarkSpelling();
}

void RichEdit::remarkSpelling()
{
    // From the paragraph shown first to the end, then the ones above it.
    m_remarkFrom = cursorForPosition(QPoint(0, 0)).blockNumber();
    m_remarkDone = 0;
    if (!m_remarkTimer.isActive())
        m_remarkTimer.start(0);
}

bool RichEdit::isRemarking() const { return m_remarkTimer.isActive(); }

void RichEdit::remarkSlice()
{
    QElapsedTimer slice;
    slice.start();
    QTextDocument *doc = document();
    // A few milliseconds a turn: keys pressed meanwhile wait no longer than that.
    while (m_remarkDone < doc->blockCount() && slice.elapsed() < 5) {
        const QTextBlock b = doc->findBlockByNumber((m_remarkFrom + m_remarkDone) % doc->blockCount());
        ++m_remarkDone;
        // Set as the highlighter sets them, but outside an edit: a
        // rehighlight would tell the document's watchers of a change.
        const QList<QTextLayout::FormatRange> marks = m_highlighter->marks(b.text(), true);
        if (b.layout() && b.layout()->formats() != marks) {
            b.layout()->setFormats(marks);
            doc->markContentsDirty(b.position(), b.length());
        }
    }
    if (m_remarkDone >= doc->blockCount())
        m_remarkTimer.stop();
}

bool RichEdit::isLinkAt(int position) const { return hasMarkAt(position, kLinkProperty); }

bool RichEdit::isMisspeltAt(int position) const { return hasMarkAt(position, kMisspeltProperty); }

QTextCursor RichEdit::misspeltWordAt(int position) const
{
    const QTextBlock b = document()->findBlock(position);
    if (!b.isValid() || !b.layout())
        return {};
    const int offset = position - b.position();
    for (const QTextLayout::FormatRange &r : b.layout()->formats()) {
        if (offset >= r.start && offset <= r.start + r.length && r.format.hasProperty(kMisspeltProperty)) {
            QTextCursor c(document());
            c.setPosition(b.position() + r.start);
            c.setPosition(b.position() + r.start + r.length, QTextCursor::KeepAnchor);
            return c;
        }
    }
    return {};
}

bool RichEdit::hasMarkAt(int position, int property) const
{
    const QTextBlock b = document()->findBlock(position);
    if (!b.isValid() || !b.layout())
        return false;
    const int offset = position - b.position();
    for (const QTextLayout::FormatRange &r : b.layout()->formats()) {
        if (offset >= r.start && offset < r.start + r.length && r.format.hasProperty(property))
            return true;
    }
    return false;
}

RichEdit::CharFormat RichEdit::selectionCharFormat() const
{
    const QTextCursor c = textCursor();
    const QFont def = document()->defaultFont();
    auto fill = [&](const QTextCharFormat &f) {
        const rtf::TextAttributes a = rtf::attributesOf(f);
        CharFormat out;
        out.fontName = a.fontName.isEmpty() ? def.family() : a.fontName;
        out.pointSize = a.pointSize > 0 ? a.pointSize : def.pointSizeF();
        out.color = a.color;
        out.bold = a.bold;
        out.italic = a.italic;
        out.underline = a.underline;
        return out;
    };
    if (!c.hasSelection())
        return fill(c.charFormat());

    // The first character gives name, size and colour; a style counts only
    // when the whole selection has it.
    const int start = c.selectionStart(), end = c.selectionEnd();
    CharFormat out;
    bool first = true;
    for (QTextBlock b = document()->findBlock(start); b.isValid() && b.position() < end; b = b.next()) {
        for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (frag.position() + frag.length() <= start || frag.position() >= end)
                continue;
            const CharFormat f = fill(frag.charFormat());
            if (first) {
                out = f;
                first = false;
            } else {
                out.bold = out.bold && f.bold;
                out.italic = out.italic && f.italic;
                out.underline = out.underline && f.underline;
            }
        }
    }
    return first ? fill(c.charFormat()) : out;
}

void RichEdit::mergeSelection(const QTextCharFormat &format) { mergeCurrentCharFormat(format); }

void RichEdit::setSelectionFontName(const QString &name)
{
    QTextCharFormat f;
    f.setFontFamilies(QStringList{name});
    mergeSelection(f);
}

void RichEdit::setSelectionPointSize(double points)
{
    if (points <= 0)
        return;
    QTextCharFormat f;
    f.setFontPointSize(points);
    mergeSelection(f);
}

void RichEdit::setSelectionColor(const QColor &color)
{
    if (!color.isValid())
        return;
    QTextCharFormat f;
    f.setForeground(color);
    mergeSelection(f);
}

void RichEdit::setSelectionBold(bool on)
{
    QTextCharFormat f;
    f.setFontWeight(on ? QFont::Bold : QFont::Normal);
    mergeSelection(f);
}

void RichEdit::setSelectionItalic(bool on)
{
    QTextCharFormat f;
    f.setFontItalic(on);
    mergeSelection(f);
}

void RichEdit::setSelectionUnderline(bool on)
{
    QTextCharFormat f;
    f.setFontUnderline(on);
    mergeSelection(f);
}

Qt::Alignment RichEdit::paragraphAlignment() const
{
    return horizontalAlignment(textCursor().blockFormat().alignment());
}

void RichEdit::setParagraphAlignment(Qt::Alignment alignment)
{
    setAlignment(alignment & Qt::AlignHorizontal_Mask);
}

bool RichEdit::paragraphBullet() const { return textCursor().currentList() != nullptr; }

void RichEdit::setParagraphBullet(bool on)
{
    QTextCursor c = textCursor();
    const int start = c.selectionStart(), end = c.selectionEnd();
    c.beginEditBlock();
    QTextBlock last = document()->findBlock(end);
    for (QTextBlock b = document()->findBlock(start); b.isValid(); b = b.next()) {
        if (on && !b.textList()) {
            QTextList *prev = b.previous().isValid() ? b.previous().textList() : nullptr;
            if (prev) {
                prev->add(b);
            } else {
                QTextCursor at(b);
                QTextListFormat list;
                list.setStyle(QTextListFormat::ListDisc);
                list.setIndent(1);
                at.createList(list);
            }
        } else if (!on && b.textList()) {
            b.textList()->remove(b);
            QTextCursor at(b);
            QTextBlockFormat f = at.blockFormat();
            f.setIndent(0);
            at.setBlockFormat(f);
        }
        if (b == last)
            break;
    }
    c.endEditBlock();
}

void RichEdit::printContent(QPrinter *printer) const { document()->print(printer); }

// Text comes in as plain text; an image alone (a screenshot, a picture
// copied from a browser) as a PNG picture.
bool RichEdit::canInsertFromMimeData(const QMimeData *source) const
{
    return source && (source->hasText() || source->hasImage());
}

// A selection with pictures carries them for this program's own paste (and
// drop): the text still comes as plain text, the pictures where they were.
QMimeData *RichEdit::createMimeDataFromSelection() const
{
    QMimeData *data = QTextEdit::createMimeDataFromSelection();
    const QTextCursor c = textCursor();
    const std::vector<QTextImageFormat> pictures = picturesIn(*document(), c.selectionStart(), c.selectionEnd());
    if (data && !pictures.empty()) {
        QTextDocument part;
        QTextCursor at(&part);
        for (const QTextImageFormat &f : pictures) {
            copyPicture(*document(), part, f.name());
            at.insertImage(f);
        }
        data->setData(QLatin1String(kPicturesMime), rtf::writeDocument(part));
    }
    return data;
}

void RichEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source || isReadOnly())
        return;
    if (!source->hasText()) {
        const QImage image = qvariant_cast<QImage>(source->imageData());
        QTextCursor c = textCursor();
        if (image.isNull())
            return;
        if (characters() - (c.selectionEnd() - c.selectionStart()) + 1 > m_limit) {
            Q_EMIT textLimitReached();
            return;
        }
        c.insertImage(rtf::addPngPicture(*document(), image, c.charFormat()));
        setTextCursor(c);
        return;
    }
    QString text = source->text();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    QTextDocument part;
    std::vector<QTextImageFormat> pictures;
    if (source->hasFormat(QLatin1String(kPicturesMime))) {
        const QByteArray rtf = source->data(QLatin1String(kPicturesMime));
        rtf::readDocument(std::string_view(rtf.constData(), size_t(rtf.size())), part);
        pictures = picturesIn(part, 0, part.characterCount());
    }
    if (qsizetype(pictures.size()) != text.count(QChar::ObjectReplacementCharacter)) {
        pictures.clear();
        text.remove(QChar::ObjectReplacementCharacter); // a picture's place, without the picture
    }
    QTextCursor c = textCursor();
    const int room = m_limit - (characters() - (c.selectionEnd() - c.selectionStart()));
    if (text.size() > room) {
        Q_EMIT textLimitReached();
        if (room <= 0)
            return;
        text.truncate(room);
    }
    // In the format at the caret, pictures too.
    c.beginEditBlock();
    std::size_t next = 0;
    for (const QStringView piece : QStringView(text).split(QChar::ObjectReplacementCharacter)) {
        if (next > 0) {
            const QTextImageFormat &picture = pictures[next - 1];
            copyPicture(part, *document(), picture.name());
            c.insertImage(atCaret(c.charFormat(), picture));
        }
        c.insertText(piece.toString());
        ++next;
    }
    c.endEditBlock();
    setTextCursor(c);
}

void RichEdit::mousePressEvent(QMouseEvent *event)
{
    m_pressedLink.clear();
    if (event->button() == Qt::LeftButton && !(event->modifiers() & Qt::ShiftModifier)) {
        m_pressedLink = anchorAt(event->position().toPoint());
        m_pressedAt = event->position().toPoint();
    }
    QTextEdit::mousePressEvent(event);
}

// A click (Ctrl+click too) opens the link; a drag from it selects.
void RichEdit::mouseReleaseEvent(QMouseEvent *event)
{
    QTextEdit::mouseReleaseEvent(event);
    const QString link = std::exchange(m_pressedLink, QString());
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && !link.isEmpty() && anchorAt(at) == link
        && (at - m_pressedAt).manhattanLength() < QApplication::startDragDistance())
        Q_EMIT linkActivated(QUrl(link));
}

// A hand over a link, and back to the cursor the viewport had (a skin's).
void RichEdit::mouseMoveEvent(QMouseEvent *event)
{
    QTextEdit::mouseMoveEvent(event);
    const bool onLink = event->buttons() == Qt::NoButton && !anchorAt(event->position().toPoint()).isEmpty();
    if (onLink == m_handShown)
        return;
    m_handShown = onLink;
    if (onLink) {
        m_cursorBefore = viewport()->cursor();
        viewport()->setCursor(Qt::PointingHandCursor);
    } else {
        viewport()->setCursor(m_cursorBefore);
    }
}

void RichEdit::keyPressEvent(QKeyEvent *event)
{
    const QString t = event->text();
    const bool textKey = !t.isEmpty()
        && (t.at(0).isPrint() || t.at(0) == u'\t' || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter);
    // Alt with a key is a command of the window or a menu, never text (Qt
    // would insert it: only Ctrl is kept from typing).
    if (textKey && (event->modifiers() & Qt::AltModifier)) {
        event->ignore();
        return;
    }
    if (textKey && !(event->modifiers() & Qt::ControlModifier)) {
        const QTextCursor c = textCursor();
        if (characters() - (c.selectionEnd() - c.selectionStart()) + 1 > m_limit) {
            event->accept();
            Q_EMIT textLimitReached();
            return;
        }
    }
    QTextEdit::keyPressEvent(event);
}

void RichEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const QTextCursor c = textCursor();
    const int room = m_limit - (characters() - (c.selectionEnd() - c.selectionStart()));
    if (event->commitString().size() > std::max(0, room)) {
        Q_EMIT textLimitReached();
        QInputMethodEvent trimmed(event->preeditString(), event->attributes());
        trimmed.setCommitString(event->commitString().left(std::max(0, room)),
                                event->replacementStart(), event->replacementLength());
        QTextEdit::inputMethodEvent(&trimmed);
        return;
    }
    QTextEdit::inputMethodEvent(event);
}

} // namespace tl
