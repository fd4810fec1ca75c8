// Spelling as you type in a 50,000-word note (500 paragraphs of 100 words,
// one in twenty misspelt), with the installed en_US dictionary: the time
// to handle one key press, checking on against off in the same run
// (median and 99th percentile), and the time to open the note.
//
//   bench_spell [key presses, default 400] [opens, default 5]

#include "richtext/richedit.h"
#include "spell/speller.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QThread>
#include <QTextBlock>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QString makeNote()
{
    const QStringList words = QStringLiteral(
        "the quick brown fox jumps over lazy dog while people write notes about their daily work and "
        "plans for tomorrow morning before breakfast teh recieve seperate").split(QLatin1Char(' '));
    QString text;
    unsigned seed = 7;
    for (int p = 0; p < 500; ++p) {
        for (int w = 0; w < 100; ++w) {
            seed = seed * 1103515245u + 12345u;
            const unsigned r = (seed >> 8) % 1000;
            // The last three words are the misspelt ones: one word in twenty.
            const int pick = r < 50 ? int(words.size()) - 3 + int(r % 3) : int(r % unsigned(words.size() - 3));
            text += words[pick];
            text += QLatin1Char(w == 99 ? '\n' : ' ');
        }
    }
    return text;
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5))];
}

void settle(tl::RichEdit &e)
{
    e.document()->documentLayout()->documentSize();
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int presses = argc > 1 ? atoi(argv[1]) : 400;
    const int opens = argc > 2 ? atoi(argv[2]) : 5;

    tl::spell::Speller speller;
    speller.personalFile = QStringLiteral("/nonexistent/words.dic");
    speller.load(QStringLiteral("en_US"), QStringLiteral("English"));
    QElapsedTimer loading;
    loading.start();
    while (speller.isLoading() && loading.elapsed() < 60000) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    if (speller.isLoading() || speller.mainDictionary().isEmpty()) {
        std::fprintf(stderr, "bench_spell: no en_US dictionary (scripts/setup.sh installs it)\n");
        return 1;
    }
    const QString note = makeNote();
    auto marker = [&speller](QStringView paragraph) { return speller.misspelt(paragraph); };

    // Opening: the content set and laid out, then (on) until every
    // paragraph is marked.
    std::vector<double> openOff, openOn, markedOn;
    for (int i = 0; i < opens; ++i) {
        for (const bool on : {false, true}) {
            tl::RichEdit e;
            e.resize(600, 400);
            e.show();
            if (on)
                e.setSpellMarker(marker);
            settle(e);
            QElapsedTimer t;
            t.start();
            e.setContentText(note);
            settle(e);
            (on ? openOn : openOff).push_back(double(t.nsecsElapsed()) / 1e6);
            if (on) {
                while (e.isRemarking())
                    QCoreApplication::processEvents();
                markedOn.push_back(double(t.nsecsElapsed()) / 1e6);
            }
        }
    }

    // Typing into the middle of the note, both editors in turn.
    tl::RichEdit off, on;
    for (tl::RichEdit *e : {&off, &on}) {
        e->resize(600, 400);
        e->show();
        e->setTextLimit(0x7FFFFFFF);  // as the window sets it
        e->setContentText(note);
        QTextCursor c(e->document()->findBlockByNumber(250));
        c.movePosition(QTextCursor::EndOfBlock);
        e->setTextCursor(c);
        e->ensureCursorVisible();
    }
    on.setSpellMarker(marker);
    while (on.isRemarking())
        QCoreApplication::processEvents();
    const QString typed = QStringLiteral(" somthing quick about teh brown fox");
    std::vector<double> keyOff, keyOn;
    const int before = off.document()->characterCount();
    for (int i = 0; i < presses; ++i) {
        const QChar ch = typed[i % typed.size()];
        for (tl::RichEdit *e : {&off, &on}) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QElapsedTimer t;
            t.start();
            QApplication::sendEvent(e, &press);
            QApplication::sendEvent(e, &release);
            e->document()->documentLayout()->documentSize();
            (e == &on ? keyOn : keyOff).push_back(double(t.nsecsElapsed()) / 1e6);
        }
        QCoreApplication::processEvents();
    }

    if (off.document()->characterCount() != before + presses || on.toPlainText() != off.toPlainText()) {
        std::fprintf(stderr, "bench_spell: the keys did not all arrive\n");
        return 1;
    }
    const double p50Off = percentile(keyOff, 0.5), p50On = percentile(keyOn, 0.5);
    const double p99Off = percentile(keyOff, 0.99), p99On = percentile(keyOn, 0.99);
    std::printf("key press, ms    off: median %.3f p99 %.3f   on: median %.3f p99 %.3f   ratio: median %.2f p99 %.2f "
                "(target p99 <= 1.5)\n",
                p50Off, p99Off, p50On, p99On, p50On / p50Off, p99On / p99Off);
    const double oOff = percentile(openOff, 0.5), oOn = percentile(openOn, 0.5);
    std::printf("open, ms (median of %d)   off %.1f   on %.1f   ratio %.2f (target <= 1.3); every word marked after "
                "%.1f ms, in slices\n",
                opens, oOff, oOn, oOn / oOff, percentile(markedOn, 0.5));
    return 0;
}
