#pragma once
// The program's rich-text editor control (memo1): a QTextEdit that
// takes and gives RTF, counts and scrolls lines as the skin's scroll thumb
// needs, limits what the user may type, pastes text as plain text and
// images as pictures, can mark web addresses without changing the text, and
// reports clicks on the links a note holds.

#include <QColor>
#include <QCursor>
#include <QString>
#include <QTextEdit>
#include <QTimer>

#include "spell/words.h"

#include <functional>
#include <vector>

class QPrinter;
class QUrl;

namespace tl {

class MarkHighlighter;

class RichEdit : public QTextEdit {
    Q_OBJECT
public:
    // The format of the selection, as the format buttons show it.
    struct CharFormat {
        QString fontName;
        double pointSize = 0;
        QColor color; // invalid: the editor's text colour
        bool bold = false;
        bool italic = false;
        bool underline = false;
    };

    explicit RichEdit(QWidget *parent = nullptr);
    ~RichEdit() override;

    // The whole content from a text: RTF when it begins with "{\rtf",
    // plain text otherwise. The caret goes to the start, undo history is
    // cleared.
    void setContentText(const QString &text);
    void setContentRtf(const QByteArray &rtf);
    // The rtf::unheld bits of what the content last set held and this
    // editor left out; 0 for plain text.
    unsigned unheldContent() const { return m_unheld; }

    // The whole content as one complete RTF document (pure ASCII).
    QString toRtf() const;
    QByteArray rtfBytes() const;

    // The text without formatting; paragraphs separated by '\n'.
    QString plainText() const { return toPlainText(); }

    // Lines as laid out (wrapped lines count), at least 1.
    int lineCount() const;
    // The zero-based line that holds the caret (the end of the selection).
    int caretLine() const;
    // The zero-based line shown at the top.
    int firstVisibleLine() const;
    // Scrolls by n lines (negative: up), as far as there are lines.
    void scrollLines(int n);

    // How many characters the user may bring in by typing or pasting. Text
    // set by the program is not limited.
    void setTextLimit(int characters);
    int textLimit() const { return m_limit; }

    // Marks web addresses as links; the text and its format stay unchanged
    // and a click on a link only places the caret.
    void setAutoUrlDetect(bool on);
    bool autoUrlDetect() const { return m_urls; }
    // True when the character at position is inside a marked address.
    bool isLinkAt(int position) const;

    // The misspelt words of a paragraph, to underline with a red wave (as
    // display-only as the addresses). Asked for the paragraph being edited;
    // a content set, or remarkSpelling(), goes over the others a few at a
    // time once the event loop is free. Empty: no marks.
    using SpellMarker = std::function<std::vector<spell::Span>(QStringView paragraph)>;
    void setSpellMarker(SpellMarker marker);
    bool spellMarked() const { return bool(m_spellMarker); }
    // The marker's answers changed: every paragraph again, from the one shown.
    void remarkSpelling();
    // The pass over the paragraphs is still going.
    bool isRemarking() const;
    bool isMisspeltAt(int position) const;
    // The marked word that position is in or just after; no selection when none.
    QTextCursor misspeltWordAt(int position) const;

    CharFormat selectionCharFormat() const;
    void setSelectionFontName(const QString &name);
    void setSelectionPointSize(double points);
    void setSelectionColor(const QColor &color);
    void setSelectionBold(bool on);
    void setSelectionItalic(bool on);
    void setSelectionUnderline(bool on);

    // Paragraph of the caret (or every paragraph of the selection).
    Qt::Alignment paragraphAlignment() const;
    void setParagraphAlignment(Qt::Alignment alignment);
    bool paragraphBullet() const;
    void setParagraphBullet(bool on);

    // Prints the whole content.
    void printContent(QPrinter *printer) const;

Q_SIGNALS:
    // A click on a link the note holds (a hyperlink field of its RTF), as
    // opposed to a marked address, which a click only puts the caret in.
    void linkActivated(const QUrl &url);
    // The whole content was set (setContentText, setContentRtf), caret at the start.
    void contentReplaced();
    // Typing or pasting met the text limit: some of it was not taken.
    void textLimitReached();

protected:
    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    int characters() const;
    void mergeSelection(const QTextCharFormat &format);
    int lineTop(int line) const;
    void ensureLaidOut() const;

    unsigned m_unheld = 0;
    int m_limit = 32767;
    void remarkSlice();
    bool hasMarkAt(int position, int property) const;
    MarkHighlighter *m_highlighter = nullptr;
    bool m_urls = false;
    SpellMarker m_spellMarker;
    QTimer m_remarkTimer;
    int m_remarkFrom = 0, m_remarkDone = 0;
    QString m_pressedLink; // the link a press of the left button was on
    QPoint m_pressedAt;
    bool m_handShown = false;
    QCursor m_cursorBefore;
};

} // namespace tl
